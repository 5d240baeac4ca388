// Server entry points of the plug-in library. Its classes join the module with
// ZARVIK_REGISTER_CLASS in their own files.
//
// Registering the plug-in is also its installation: besides its classes it makes sure that the
// settings key exists and names the shipped test catalogue, so that a fresh installation finds
// its catalogue. That is why this library writes its entry points out instead of using
// ZARVIK_SERVER_MODULE.
#include "platform/com/ServerEntryPoints.h"
#include "plugin/Installation.h"

::plat::ServerModule& ::plat::server_detail::ThisModule()
{
    static ::plat::ServerModule module("telvoZarvik");
    return module;
}

extern "C" __attribute__((visibility("default"))) int32_t DllRegisterServer()
{
    auto& module = ::plat::server_detail::ThisModule();
    int32_t result = ::plat::server_detail::RegisterLibrary(module, reinterpret_cast<const void*>(&DllRegisterServer));
    if (result != ::plat::S_OK) return result;
    return zplugin::InstallSettings();
}

extern "C" __attribute__((visibility("default"))) int32_t DllUnregisterServer()
{
    // The settings stay: they are the operator's, and a new installation takes them over.
    return ::plat::server_detail::UnregisterLibrary(::plat::server_detail::ThisModule());
}

extern "C" __attribute__((visibility("default"))) int32_t DllGetClassObject(const char* clsid,
                                                                            std::shared_ptr<::plat::IClassFactory>* factory)
{
    return ::plat::server_detail::GetClassObject(::plat::server_detail::ThisModule(), clsid, factory);
}

extern "C" __attribute__((visibility("default"))) int32_t DllCanUnloadNow()
{
    return ::plat::server_detail::CanUnloadNow(::plat::server_detail::ThisModule());
}
