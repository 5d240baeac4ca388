#include "TempFolder.h"

#include "platform/base/RegistryStore.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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
    std::filesystem::permissions(mPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(mPath, ignored);
}

std::vector<std::string> TempFolder::Names() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(mPath)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

TempRegistry::TempRegistry() : mFolder("zarvik-registry")
{
    plat::SetRegistryPath(File());
}

} // namespace ztesting
