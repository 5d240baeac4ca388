#pragma once

#include "platform/base/Variant.h"

#include <map>
#include <string>

namespace plat {

// The store in which a user control keeps its properties between sessions: named values,
// names compared without regard to case. As on the original platform, a value equal to its
// default is not stored, and reading a name that is not stored gives the default.
class PropertyBag {
public:
    Variant ReadProperty(const std::string& name, const Variant& defaultValue = {}) const;
    void WriteProperty(const std::string& name, const Variant& value, const Variant& defaultValue = {});
    bool Contains(const std::string& name) const;
    std::size_t Count() const { return mValues.size(); }

private:
    struct NameLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    std::map<std::string, Variant, NameLess> mValues;
};

} // namespace plat
