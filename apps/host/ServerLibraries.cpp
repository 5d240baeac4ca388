#include "apps/host/ServerLibraries.h"

#include "platform/com/ComRuntime.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace zhost {

const std::vector<std::string>& DeliverableNames()
{
    static const std::vector<std::string> names = {"telvoView", "telvoTGCL2", "telvoZarvikVti", "telvoZarvikTest", "telvoZarvik"};
    return names;
}

std::string LibraryDirectory()
{
    char exe[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0) return "../lib";
    std::string path(exe, static_cast<size_t>(length));
    std::string folder = path.substr(0, path.rfind('/'));
    std::string lib = folder + "/../lib";
    char* real = ::realpath(lib.c_str(), nullptr);
    if (real) {
        lib = real;
        std::free(real);
    }
    return lib;
}

std::string DeliverablePath(const std::string& name)
{
    return LibraryDirectory() + "/lib" + name + ".so";
}

void RegisterDeliverables(std::ostream& out)
{
    for (const auto& name : DeliverableNames()) {
        for (const auto& registered : plat::RegisterServerLibrary(DeliverablePath(name)))
            out << "registered " << registered.progId << ' ' << registered.clsid << '\n';
    }
}

void UnregisterDeliverables(std::ostream& out)
{
    for (const auto& name : DeliverableNames()) {
        std::string path = DeliverablePath(name);
        char* real = ::realpath(path.c_str(), nullptr);
        std::string library = real ? real : path;
        std::free(real);
        std::vector<plat::RegisteredClass> before;
        for (auto& registered : plat::RegisteredClasses())
            if (registered.library == library) before.push_back(std::move(registered));
        plat::UnregisterServerLibrary(path);
        for (const auto& registered : before)
            out << "unregistered " << registered.progId << ' ' << registered.clsid << '\n';
    }
}

size_t ListClasses(std::ostream& out)
{
    auto classes = plat::RegisteredClasses();
    for (const auto& registered : classes)
        out << registered.progId << '\t' << registered.clsid << '\t' << registered.library << '\n';
    return classes.size();
}

} // namespace zhost
