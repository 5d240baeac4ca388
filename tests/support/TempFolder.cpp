#include "TempFolder.h"

#include "platform/base/RegistryStore.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace ztesting {

TempFolder::TempFolder(const std::string& prefix)
{
    std::string pattern = "/tmp/" + prefix + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!::mkdtemp(buffer.data())) throw std::runtime_error("cannot make a temporary folder");
    mPath = buffer.data();
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
}

TempRegistry::TempRegistry() : mFolder("zarvik-registry")
{
    plat::SetRegistryPath(File());
}

} // namespace ztesting
