#include "platform/ui/PropertyBag.h"

#include "platform/ui/UserControl.h"

#include <algorithm>
#include <cctype>

namespace plat {

bool PropertyBag::NameLess::operator()(const std::string& a, const std::string& b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) < std::tolower(y);
    });
}

Variant PropertyBag::ReadProperty(const std::string& name, const Variant& defaultValue) const
{
    auto found = mValues.find(name);
    return found == mValues.end() ? defaultValue : found->second;
}

void PropertyBag::WriteProperty(const std::string& name, const Variant& value, const Variant& defaultValue)
{
    if (value == defaultValue) {
        mValues.erase(name);
    } else {
        mValues[name] = value;
    }
}

bool PropertyBag::Contains(const std::string& name) const { return mValues.count(name) != 0; }

void UserControl::ReadProperties(const PropertyBag& /*bag*/) {}

void UserControl::WriteProperties(PropertyBag& /*bag*/) const {}

void UserControl::PropertyChanged(const std::string& name)
{
    if (std::find(mChangedProperties.begin(), mChangedProperties.end(), name) == mChangedProperties.end())
        mChangedProperties.push_back(name);
}

} // namespace plat
