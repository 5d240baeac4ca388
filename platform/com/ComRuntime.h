#pragma once

#include "platform/base/Unknown.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// Success and the failure codes that the four server entry points answer with.
constexpr int32_t S_OK = 0;
constexpr int32_t S_FALSE = 1;
constexpr int32_t E_FAIL_CODE = static_cast<int32_t>(0x80004005u);
constexpr int32_t CLASS_E_CLASSNOTAVAILABLE_CODE = static_cast<int32_t>(0x80040111u);
constexpr int32_t REGDB_E_CLASSNOTREG_CODE = static_cast<int32_t>(0x80040154u);

// Makes new objects of one class.
class IClassFactory : public IUnknown {
public:
    virtual ObjectPtr CreateInstance() = 0;
};

// One class that a server library serves: its ProgID, its class identifier ("{8D2E...}")
// and how to make one.
struct ClassEntry {
    std::string progId;
    std::string clsid;
    std::function<ObjectPtr()> create;
};

// The table of classes of one server library, behind its four entry points. Objects made
// through it are counted while they live, so that CanUnloadNow can answer.
class ServerModule {
public:
    ServerModule(std::string name, std::vector<ClassEntry> classes);

    const std::string& Name() const;
    const std::vector<ClassEntry>& Classes() const;

    // Writes ProgID -> CLSID and CLSID -> (library path, ProgID) into the registry store.
    int32_t RegisterServer(const std::string& libraryPath);
    int32_t UnregisterServer();
    int32_t GetClassObject(const std::string& clsid, std::shared_ptr<IClassFactory>* factory);
    bool CanUnloadNow() const;
    long LiveObjects() const;

private:
    struct Impl;
    std::shared_ptr<Impl> mImpl;
};

// Creates an object of a registered class by ProgID or CLSID: looks the class up in the
// registry store, loads its library (once) and asks its class object. Raises a ComError
// (class not registered, library not loadable) for anything else; never creates a class that
// is not registered.
ObjectPtr CreateObject(const std::string& progIdOrClsid);

template <class I>
std::shared_ptr<I> CreateObjectAs(const std::string& progIdOrClsid)
{
    return std::dynamic_pointer_cast<I>(CreateObject(progIdOrClsid));
}

// The registered classes: ProgID, CLSID and library path, in ProgID order.
struct RegisteredClass {
    std::string progId;
    std::string clsid;
    std::string library;
};
std::vector<RegisteredClass> RegisteredClasses();

} // namespace plat

// Each server library defines these four with ZARVIK_SERVER_ENTRY_POINTS(module).
extern "C" {
typedef int32_t (*DllRegisterServerFn)();
typedef int32_t (*DllUnregisterServerFn)();
typedef int32_t (*DllGetClassObjectFn)(const char* clsid, std::shared_ptr<plat::IClassFactory>* factory);
typedef int32_t (*DllCanUnloadNowFn)();
}
