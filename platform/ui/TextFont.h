#pragma once

#include <string>

namespace plat {

// The font of a control; kept and read back, never measured.
struct TextFont {
    std::string name = "MS Sans Serif";
    float size = 8.25f;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const TextFont&) const = default;
};

} // namespace plat
