#pragma once

#include <string>

namespace plat {

// Column alignments of a list view.
constexpr int lvwColumnLeft = 0;
constexpr int lvwColumnRight = 1;
constexpr int lvwColumnCenter = 2;

// One column of a list view in report mode.
struct ColumnHeader {
    std::string key;
    std::string text;
    float width = 1440;
    int alignment = lvwColumnLeft;
};

} // namespace plat
