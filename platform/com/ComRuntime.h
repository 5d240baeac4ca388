#pragma once

#include "platform/base/ComError.h"
#include "platform/base/Unknown.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plat {

// Success and the failure codes that the four server entry points answer with (and
// E_FAIL_CODE, with the errors).
constexpr int32_t S_OK = 0;
constexpr int32_t S_FALSE = 1;
constexpr int32_t CLASS_E_CLASSNOTAVAILABLE_CODE = static_cast<int32_t>(0x80040111u);
constexpr int32_t REGDB_E_CLASSNOTREG_CODE = static_cast<int32_t>(0x80040154u);

// The registry root under which classes are registered.
constexpr const char* kClassesRoot = "HKEY_CLASSES_ROOT";

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

// True for a class identifier written as "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (hex digits).
bool IsClsid(const std::string& text);

// The table of classes of one server library, behind its four entry points. Objects made
// through its class objects are counted while they live (the object handed out holds a token
// that counts down when the last reference goes), so that CanUnloadNow can answer.
class ServerModule {
public:
    explicit ServerModule(std::string name, std::vector<ClassEntry> classes = {});

    const std::string& Name() const;
    const std::vector<ClassEntry>& Classes() const;

    // Adds a class (at static initialisation). A malformed entry or a ProgID or CLSID that the
    // module already serves is not added; the module remembers the fault and refuses to
    // register, so the library fails visibly instead of half-registered. Never throws.
    bool AddClass(ClassEntry entry);

    // Writes ProgID -> CLSID and CLSID -> (library path, ProgID) into the registry store, all
    // in one save. Failures answer E_FAIL and leave the reason with SetErrorInfo.
    int32_t RegisterServer(const std::string& libraryPath);
    // Removes this module's classes from the registry store (a ProgID only while it still
    // names this module's class).
    int32_t UnregisterServer();
    int32_t GetClassObject(const std::string& clsid, std::shared_ptr<IClassFactory>* factory);
    bool CanUnloadNow() const;
    long LiveObjects() const;

private:
    struct Impl;
    std::shared_ptr<Impl> mImpl;
};

// The error of the last failed entry point call on this thread, for callers that only get a
// code back across a library boundary. TakeErrorInfo returns it once and clears it.
void SetErrorInfo(const ComError& error);
std::optional<ComError> TakeErrorInfo();

// Creates an object of a registered class by ProgID or CLSID: looks the class up in the
// registry store, loads its library (once; libraries stay loaded for the life of the process)
// and asks its class object. Raises a ComError 429 (class not registered, library not
// loadable, class not served by its library) for anything else; never creates a class that is
// not registered. Errors of the class's own creation pass through as they are.
ObjectPtr CreateObject(const std::string& progIdOrClsid);

template <class I>
std::shared_ptr<I> CreateObjectAs(const std::string& progIdOrClsid)
{
    return std::dynamic_pointer_cast<I>(CreateObject(progIdOrClsid));
}

// The registered classes: ProgID, CLSID and library path, in ProgID order (ignoring case).
struct RegisteredClass {
    std::string progId;
    std::string clsid;
    std::string library;
};
std::vector<RegisteredClass> RegisteredClasses();

// Loads a server library by path and calls its DllRegisterServer / DllUnregisterServer.
// Raises a ComError when the library cannot be loaded, lacks the entry point or the call
// fails. RegisterServerLibrary returns the classes now registered to that library.
std::vector<RegisteredClass> RegisterServerLibrary(const std::string& libraryPath);
void UnregisterServerLibrary(const std::string& libraryPath);

// The library's answer to DllCanUnloadNow: true when it has no live objects. Raises like
// RegisterServerLibrary.
bool ServerLibraryCanUnloadNow(const std::string& libraryPath);

} // namespace plat

// Each server library defines these four with ZARVIK_SERVER_MODULE (ServerEntryPoints.h).
extern "C" {
typedef int32_t (*DllRegisterServerFn)();
typedef int32_t (*DllUnregisterServerFn)();
typedef int32_t (*DllGetClassObjectFn)(const char* clsid, std::shared_ptr<plat::IClassFactory>* factory);
typedef int32_t (*DllCanUnloadNowFn)();
}
