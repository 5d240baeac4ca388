#pragma once

#include "platform/ui/Colors.h"

#include <cstdint>
#include <string>

namespace plat {

// One cell of a list item beyond its first column.
struct ListSubItem {
    std::string key;
    std::string text;
    bool bold = false;
    int32_t foreColor = color::WindowText;
    std::string toolTipText;
};

} // namespace plat
