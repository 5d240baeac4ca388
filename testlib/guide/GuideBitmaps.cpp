#include "testlib/guide/GuideBitmaps.h"

#include "host/documents/HostUtilities.h"
#include "platform/ui/BitmapResources.h"

namespace ztest::GuideBitmaps {

namespace {

// The library's bitmaps become resources of the process when it is loaded, as a resource
// section would.
[[maybe_unused]] const bool kBitmapsRegistered = [] {
    const std::string folder = host::HostUtilities::NormalizeFolder(ZARVIK_RESOURCE_DIR);
    for (const auto& key : Keys()) plat::RegisterBitmapFile(key, folder + FileName(key));
    return true;
}();

} // namespace

std::vector<std::string> Keys()
{
    return {"TI:WAIT", "TI:SHOCK", "TI:ZARVIK", "CHK:CHECK", "CHK:UNCHECK", "TAB_MTIDATA_1", "TAB_MTIDATA_2"};
}

std::string FileName(const std::string& key)
{
    std::string name;
    for (char c : key) name += c == ':' ? '_' : c;
    return name + ".bmp";
}

} // namespace ztest::GuideBitmaps
