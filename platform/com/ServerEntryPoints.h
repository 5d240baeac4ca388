#pragma once

// The four entry points of a server library and its table of classes.
//
// Place ZARVIK_SERVER_MODULE("libraryName") once in the library's Server.cpp, and
// ZARVIK_REGISTER_CLASS(CppType, "Project.Class", "{CLSID}") in the .cpp file of every class
// the library serves. The classes join the module at static initialisation, whatever the order
// of the files.

#include "platform/com/ComRuntime.h"

#include <memory>
#include <string>

namespace plat {

// The path of the loaded library (or program) whose code or data holds the address, resolved to
// the real file; empty when it cannot be found. A library finds its own folder with an address
// inside itself.
std::string LibraryPathOf(const void* address);

} // namespace plat

namespace plat::server_detail {

// The module of the library being compiled. Every server library defines its own (with
// ZARVIK_SERVER_MODULE); hidden visibility binds each library to its own definition when
// several server libraries are loaded into one process.
[[gnu::visibility("hidden")]] ServerModule& ThisModule();

// The work behind the four entry points. `anchor` is an address inside the calling library,
// from which its own path is found. None of them throws: failures answer a code and leave the
// reason with SetErrorInfo.
int32_t RegisterLibrary(ServerModule& module, const void* anchor);
int32_t UnregisterLibrary(ServerModule& module);
int32_t GetClassObject(ServerModule& module, const char* clsid, std::shared_ptr<IClassFactory>* factory);
int32_t CanUnloadNow(ServerModule& module);

} // namespace plat::server_detail

#define ZARVIK_PP_CONCAT2(a, b) a##b
#define ZARVIK_PP_CONCAT(a, b) ZARVIK_PP_CONCAT2(a, b)

#define ZARVIK_SERVER_MODULE(libraryName) ZARVIK_SERVER_MODULE_INSTALLING(libraryName, [] { return ::plat::S_OK; })

// As ZARVIK_SERVER_MODULE, for a library whose registration is also its installation: after its
// classes are registered, `install` (a callable giving an HRESULT-style code) runs, and its code
// is what DllRegisterServer answers.
#define ZARVIK_SERVER_MODULE_INSTALLING(libraryName, install)                                                 \
    ::plat::ServerModule& ::plat::server_detail::ThisModule()                                                 \
    {                                                                                                         \
        static ::plat::ServerModule module(libraryName);                                                      \
        return module;                                                                                        \
    }                                                                                                         \
    extern "C" __attribute__((visibility("default"))) int32_t DllRegisterServer()                             \
    {                                                                                                         \
        int32_t result = ::plat::server_detail::RegisterLibrary(                                              \
            ::plat::server_detail::ThisModule(), reinterpret_cast<const void*>(&::plat::server_detail::ThisModule)); \
        if (result != ::plat::S_OK) return result;                                                            \
        return (install)();                                                                                   \
    }                                                                                                         \
    extern "C" __attribute__((visibility("default"))) int32_t DllUnregisterServer()                           \
    {                                                                                                         \
        return ::plat::server_detail::UnregisterLibrary(::plat::server_detail::ThisModule());                 \
    }                                                                                                         \
    extern "C" __attribute__((visibility("default"))) int32_t DllGetClassObject(                              \
        const char* clsid, std::shared_ptr<::plat::IClassFactory>* factory)                                   \
    {                                                                                                         \
        return ::plat::server_detail::GetClassObject(::plat::server_detail::ThisModule(), clsid, factory);    \
    }                                                                                                         \
    extern "C" __attribute__((visibility("default"))) int32_t DllCanUnloadNow()                               \
    {                                                                                                         \
        return ::plat::server_detail::CanUnloadNow(::plat::server_detail::ThisModule());                      \
    }

#define ZARVIK_REGISTER_CLASS(CppType, progId, clsid)                                                         \
    namespace {                                                                                               \
    [[maybe_unused]] const bool ZARVIK_PP_CONCAT(zarvikClassAdded_, __COUNTER__) =                            \
        ::plat::server_detail::ThisModule().AddClass(::plat::ClassEntry{                                      \
            progId, clsid, [] { return ::plat::ObjectPtr(std::make_shared<CppType>()); }});                   \
    }
