#include "platform/base/RegistryStore.h"
#include "platform/com/ComRuntime.h"

#include <algorithm>

namespace plat {

namespace {

bool SameText(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        return fold(x) == fold(y);
    });
}

// Names that cannot be a ProgID because they would reach into another part of the classes
// root or be taken for a class identifier.
bool IsValidProgId(const std::string& progId)
{
    if (progId.empty() || progId.size() > 255 || progId.front() == '{' || SameText(progId, "CLSID")) return false;
    return std::none_of(progId.begin(), progId.end(), [](char c) {
        return c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
}

// Keeps the count of a module's objects: one is held by each object handed out and counts
// down once the object itself is gone.
struct LiveToken {
    LiveToken(ObjectPtr made, std::shared_ptr<std::atomic<long>> counter)
        : object(std::move(made)), live(std::move(counter))
    {
        live->fetch_add(1);
    }
    LiveToken(const LiveToken&) = delete;
    LiveToken& operator=(const LiveToken&) = delete;

    ObjectPtr object;
    std::shared_ptr<std::atomic<long>> live;

    ~LiveToken()
    {
        object.reset();
        live->fetch_sub(1);
    }
};

class ModuleClassFactory : public IClassFactory {
public:
    ModuleClassFactory(ClassEntry entry, std::shared_ptr<std::atomic<long>> live)
        : mEntry(std::move(entry)), mLive(std::move(live))
    {
    }

    ObjectPtr CreateInstance() override
    {
        ObjectPtr object = mEntry.create();
        if (!object) throw ComError(E_FAIL_CODE, mEntry.progId, "The class created no object");
        IUnknown* raw = object.get();
        auto token = std::make_shared<LiveToken>(std::move(object), mLive);
        // The caller holds the object through the token: the aliasing pointer points at the
        // object and shares the token's count.
        return ObjectPtr(token, raw);
    }

private:
    ClassEntry mEntry;
    std::shared_ptr<std::atomic<long>> mLive;
};

} // namespace

struct ServerModule::Impl {
    std::string name;
    std::vector<ClassEntry> classes;
    std::vector<std::string> faults;
    std::shared_ptr<std::atomic<long>> live = std::make_shared<std::atomic<long>>(0);
};

ServerModule::ServerModule(std::string name, std::vector<ClassEntry> classes) : mImpl(std::make_shared<Impl>())
{
    mImpl->name = std::move(name);
    for (auto& entry : classes) AddClass(std::move(entry));
}

const std::string& ServerModule::Name() const
{
    return mImpl->name;
}

const std::vector<ClassEntry>& ServerModule::Classes() const
{
    return mImpl->classes;
}

bool ServerModule::AddClass(ClassEntry entry)
{
    std::string fault;
    if (!IsValidProgId(entry.progId)) {
        fault = "invalid ProgID '" + entry.progId + "'";
    } else if (!IsClsid(entry.clsid)) {
        fault = "invalid class identifier '" + entry.clsid + "' of " + entry.progId;
    } else if (!entry.create) {
        fault = "no way to create " + entry.progId;
    } else {
        for (const auto& known : mImpl->classes) {
            if (SameText(known.progId, entry.progId)) fault = "ProgID " + entry.progId + " added twice";
            else if (SameText(known.clsid, entry.clsid))
                fault = "class identifier " + entry.clsid + " of " + entry.progId + " already used by " + known.progId;
        }
    }
    if (!fault.empty()) {
        mImpl->faults.push_back(fault);
        return false;
    }
    mImpl->classes.push_back(std::move(entry));
    return true;
}

int32_t ServerModule::RegisterServer(const std::string& libraryPath)
{
    try {
        if (!mImpl->faults.empty())
            throw ComError(E_FAIL_CODE, mImpl->name, "The server has faulty classes: " + mImpl->faults.front());
        if (libraryPath.empty() || libraryPath.front() != '/')
            throw ComError(E_FAIL_CODE, mImpl->name, "The library path '" + libraryPath + "' is not absolute");
        RegistryStore& registry = Registry();
        const std::string root = kClassesRoot;
        registry.Change([&] {
            for (const auto& entry : mImpl->classes) {
                const std::string progKey = root + "\\" + entry.progId;
                const std::string classKey = root + "\\CLSID\\" + entry.clsid;
                // A new registration replaces an old one whole, so that nothing stale stays.
                registry.DeleteKey(progKey);
                registry.DeleteKey(classKey);
                registry.SetString(progKey, "", entry.progId);
                registry.SetString(progKey + "\\CLSID", "", entry.clsid);
                registry.SetString(classKey, "", entry.progId);
                registry.SetString(classKey + "\\InprocServer32", "", libraryPath);
                registry.SetString(classKey + "\\InprocServer32", "ThreadingModel", "Apartment");
                registry.SetString(classKey + "\\ProgID", "", entry.progId);
            }
        });
        return S_OK;
    } catch (const ComError& e) {
        SetErrorInfo(e);
    } catch (const std::exception& e) {
        SetErrorInfo(ComError(E_FAIL_CODE, mImpl->name, e.what()));
    }
    return E_FAIL_CODE;
}

int32_t ServerModule::UnregisterServer()
{
    try {
        RegistryStore& registry = Registry();
        const std::string root = kClassesRoot;
        registry.Change([&] {
            for (const auto& entry : mImpl->classes) {
                const std::string progKey = root + "\\" + entry.progId;
                auto owner = registry.GetValue(progKey + "\\CLSID", "");
                if (owner && owner->kind == RegistryStore::Value::Kind::String && SameText(owner->text, entry.clsid))
                    registry.DeleteKey(progKey);
                registry.DeleteKey(root + "\\CLSID\\" + entry.clsid);
            }
        });
        return S_OK;
    } catch (const ComError& e) {
        SetErrorInfo(e);
    } catch (const std::exception& e) {
        SetErrorInfo(ComError(E_FAIL_CODE, mImpl->name, e.what()));
    }
    return E_FAIL_CODE;
}

int32_t ServerModule::GetClassObject(const std::string& clsid, std::shared_ptr<IClassFactory>* factory)
{
    if (!factory) return E_FAIL_CODE;
    factory->reset();
    for (const auto& entry : mImpl->classes) {
        if (SameText(entry.clsid, clsid)) {
            *factory = std::make_shared<ModuleClassFactory>(entry, mImpl->live);
            return S_OK;
        }
    }
    SetErrorInfo(ComError(CLASS_E_CLASSNOTAVAILABLE_CODE, mImpl->name,
                          "The server '" + mImpl->name + "' does not serve the class " + clsid));
    return CLASS_E_CLASSNOTAVAILABLE_CODE;
}

bool ServerModule::CanUnloadNow() const
{
    return LiveObjects() == 0;
}

long ServerModule::LiveObjects() const
{
    return mImpl->live->load();
}

} // namespace plat
