#include "platform/com/ComRuntime.h"

#include "platform/base/RegistryStore.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <dlfcn.h>
#include <map>
#include <mutex>

namespace plat {

namespace {

constexpr const char* kSource = "ComRuntime";

thread_local std::optional<ComError> tErrorInfo;

std::string Fold(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

[[noreturn]] void RaiseCannotCreate(const std::string& what, const std::string& why)
{
    throw ComError(rt::ClassNotRegistered, kSource, "Cannot create '" + what + "': " + why);
}

std::optional<std::string> StringValue(const RegistryStore& registry, const std::string& key, const std::string& name)
{
    auto value = registry.GetValue(key, name);
    if (!value || value->kind != RegistryStore::Value::Kind::String) return std::nullopt;
    return value->text;
}

std::string ClassKey(const std::string& clsid)
{
    return std::string(kClassesRoot) + "\\CLSID\\" + clsid;
}

// The server libraries loaded so far, by the path they were loaded from. A library stays
// loaded for the life of the process: objects, their code and their class tables may be
// referenced from anywhere, so unloading could never be proven safe.
std::mutex gLibraryMutex;
std::map<std::string, void*> gLibraries;

void* LoadServerLibrary(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        throw ComError(rt::ClassNotRegistered, kSource, "The library path '" + path + "' is not absolute");
    std::lock_guard lock(gLibraryMutex);
    auto found = gLibraries.find(path);
    if (found != gLibraries.end()) return found->second;
    // Local binding keeps one library's symbols from standing in for another's.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = ::dlerror();
        throw ComError(rt::ClassNotRegistered, kSource,
                       "Cannot load the library '" + path + "': " + (error ? error : "unknown error"));
    }
    gLibraries.emplace(path, handle);
    return handle;
}

template <class Fn>
Fn EntryPoint(void* library, const char* name, const std::string& path)
{
    void* symbol = ::dlsym(library, name);
    if (!symbol) throw ComError(rt::ClassNotRegistered, kSource, "The library '" + path + "' has no entry point " + name);
    return reinterpret_cast<Fn>(symbol);
}

std::string CanonicalPath(const std::string& path)
{
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) throw ComError(rt::ClassNotRegistered, kSource, "Cannot load the library '" + path + "': file not found");
    std::string result(real);
    std::free(real);
    return result;
}

std::string Described(const std::string& text)
{
    auto info = TakeErrorInfo();
    return info ? text + ": " + info->Description() : text;
}

} // namespace

bool IsClsid(const std::string& text)
{
    static const std::string shape = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    if (text.size() != shape.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (shape[i] == 'X') {
            if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
        } else if (text[i] != shape[i]) {
            return false;
        }
    }
    return true;
}

void SetErrorInfo(const ComError& error)
{
    tErrorInfo = error;
}

std::optional<ComError> TakeErrorInfo()
{
    auto info = std::move(tErrorInfo);
    tErrorInfo.reset();
    return info;
}

ObjectPtr CreateObject(const std::string& progIdOrClsid)
{
    const std::string& id = progIdOrClsid;
    RegistryStore& registry = Registry();
    std::string clsid;
    if (!id.empty() && id.front() == '{') {
        if (!IsClsid(id)) RaiseCannotCreate(id, "not a class identifier");
        clsid = id;
    } else {
        // A ProgID is one key name; anything that would reach elsewhere in the registry is
        // not a registered class.
        if (id.empty() || id.size() > RegistryStore::MaxKeyNameBytes || id.find('\\') != std::string::npos)
            RaiseCannotCreate(id, "not a valid ProgID");
        auto registered = StringValue(registry, std::string(kClassesRoot) + "\\" + id + "\\CLSID", "");
        if (!registered || !IsClsid(*registered)) RaiseCannotCreate(id, "class not registered");
        clsid = *registered;
    }
    auto library = StringValue(registry, ClassKey(clsid) + "\\InprocServer32", "");
    if (!library || library->empty()) RaiseCannotCreate(id, "class not registered");

    DllGetClassObjectFn getClassObject = nullptr;
    try {
        getClassObject = EntryPoint<DllGetClassObjectFn>(LoadServerLibrary(*library), "DllGetClassObject", *library);
    } catch (const ComError& e) {
        RaiseCannotCreate(id, e.Description());
    }
    std::shared_ptr<IClassFactory> factory;
    TakeErrorInfo();
    int32_t hr = getClassObject(clsid.c_str(), &factory);
    if (hr != S_OK || !factory) RaiseCannotCreate(id, Described("the library '" + *library + "' does not serve it"));
    return factory->CreateInstance();
}

std::vector<RegisteredClass> RegisteredClasses()
{
    const RegistryStore& registry = Registry();
    std::vector<RegisteredClass> classes;
    for (const auto& clsid : registry.SubKeys(std::string(kClassesRoot) + "\\CLSID")) {
        if (!IsClsid(clsid)) continue;
        auto progId = StringValue(registry, ClassKey(clsid) + "\\ProgID", "");
        auto library = StringValue(registry, ClassKey(clsid) + "\\InprocServer32", "");
        if (progId && library) classes.push_back({*progId, clsid, *library});
    }
    std::stable_sort(classes.begin(), classes.end(), [](const RegisteredClass& a, const RegisteredClass& b) {
        return Fold(a.progId) < Fold(b.progId);
    });
    return classes;
}

std::vector<RegisteredClass> RegisterServerLibrary(const std::string& libraryPath)
{
    std::string path = CanonicalPath(libraryPath);
    auto registerServer = EntryPoint<DllRegisterServerFn>(LoadServerLibrary(path), "DllRegisterServer", path);
    TakeErrorInfo();
    int32_t hr = registerServer();
    if (hr != S_OK) throw ComError(hr, kSource, Described("Registering '" + path + "' failed"));
    std::vector<RegisteredClass> mine;
    for (auto& registered : RegisteredClasses())
        if (registered.library == path) mine.push_back(std::move(registered));
    return mine;
}

void UnregisterServerLibrary(const std::string& libraryPath)
{
    std::string path = CanonicalPath(libraryPath);
    auto unregisterServer = EntryPoint<DllUnregisterServerFn>(LoadServerLibrary(path), "DllUnregisterServer", path);
    TakeErrorInfo();
    int32_t hr = unregisterServer();
    if (hr != S_OK) throw ComError(hr, kSource, Described("Unregistering '" + path + "' failed"));
}

bool ServerLibraryCanUnloadNow(const std::string& libraryPath)
{
    std::string path = CanonicalPath(libraryPath);
    auto canUnloadNow = EntryPoint<DllCanUnloadNowFn>(LoadServerLibrary(path), "DllCanUnloadNow", path);
    return canUnloadNow() == S_OK;
}

} // namespace plat
