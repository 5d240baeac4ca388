#include "plugin/PlugInIcons.h"

#include "platform/ui/BitmapResources.h"
#include "plugin/Installation.h"

namespace zplugin {

namespace {

struct TestIcon {
    int32_t testId;
    const char* code;
};

constexpr TestIcon kTestIcons[] = {
    {100, "EMT"}, {200, "CTT"}, {300, "CST"}, {400, "NSW"}, {500, "ARR"},  {600, "PER"},
    {700, "PPT"}, {800, "PRT"}, {900, "BCT"}, {1000, "DPR"}, {1100, "ECG"},
};

constexpr const char* kPlugInSmall = "ZARVIK(16X16X256)";
constexpr const char* kPlugInLarge = "ZARVIK(32X32X256)";

// The library's bitmaps become resources of the process when it is loaded, as a resource
// section would.
[[maybe_unused]] const bool kIconsRegistered = [] {
    for (const auto& key : IconKeys()) plat::RegisterBitmapFile(key, ResourceFolder() + IconFileName(key));
    return true;
}();

} // namespace

std::string IconKey(int32_t testId, int32_t size)
{
    if (testId == 0) {
        if (size == IconSmall) return kPlugInSmall;
        if (size == IconLarge) return kPlugInLarge;
        return {};
    }
    for (const auto& icon : kTestIcons) {
        if (icon.testId != testId) continue;
        if (size == IconSmall) return std::string("TE:") + icon.code + "(16X16X256)";
        if (size == IconWide) return std::string("TE:") + icon.code + "(32X16X256)";
        return {};
    }
    return {};
}

std::vector<std::string> IconKeys()
{
    std::vector<std::string> keys = {kPlugInSmall, kPlugInLarge};
    for (const auto& icon : kTestIcons) {
        keys.push_back(IconKey(icon.testId, IconSmall));
        keys.push_back(IconKey(icon.testId, IconWide));
    }
    return keys;
}

std::string IconFileName(const std::string& key)
{
    std::string name;
    for (char c : key) {
        if (c == ':' || c == '(') {
            name += '_';
        } else if (c != ')') {
            name += c;
        }
    }
    return name + ".bmp";
}

} // namespace zplugin
