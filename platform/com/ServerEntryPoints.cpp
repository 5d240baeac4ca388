#include "platform/com/ServerEntryPoints.h"

#include <cstdlib>
#include <dlfcn.h>

namespace plat {

std::string LibraryPathOf(const void* address)
{
    Dl_info info {};
    if (::dladdr(address, &info) == 0 || !info.dli_fname || !*info.dli_fname) return {};
    char* real = ::realpath(info.dli_fname, nullptr);
    std::string path = real ? real : info.dli_fname;
    std::free(real);
    return path;
}

} // namespace plat

namespace plat::server_detail {

int32_t RegisterLibrary(ServerModule& module, const void* anchor)
{
    // The library registers the path it was really loaded from, so that the registry names
    // the same file whichever path or link the caller used.
    std::string path = LibraryPathOf(anchor);
    if (path.empty()) {
        SetErrorInfo(ComError(E_FAIL_CODE, module.Name(), "Cannot find the path of the library"));
        return E_FAIL_CODE;
    }
    return module.RegisterServer(path);
}

int32_t UnregisterLibrary(ServerModule& module)
{
    return module.UnregisterServer();
}

int32_t GetClassObject(ServerModule& module, const char* clsid, std::shared_ptr<IClassFactory>* factory)
{
    try {
        return module.GetClassObject(clsid ? clsid : "", factory);
    } catch (const std::exception& e) {
        SetErrorInfo(ComError(E_FAIL_CODE, module.Name(), e.what()));
        return E_FAIL_CODE;
    }
}

int32_t CanUnloadNow(ServerModule& module)
{
    return module.CanUnloadNow() ? S_OK : S_FALSE;
}

} // namespace plat::server_detail
