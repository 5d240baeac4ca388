#include "apps/host/CatalogueListing.h"

#include "host/documents/HostLoadLog.h"
#include "host/documents/HostRegistry.h"
#include "host/elements/HostTestCollection.h"
#include "host/elements/HostTestInfo.h"
#include "host/interfaces/IPlugIn.h"
#include "host/interfaces/ITestElement.h"
#include "platform/base/ComError.h"
#include "platform/base/RegistryStore.h"
#include "platform/com/ComRuntime.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace zhost {

namespace {

constexpr const char* kPlugInProgId = "TelvoZARVIK.CZARVIKPlugIn";
constexpr const char* kSettingsKey = "Software\\Vantrel\\telvo\\ZARVIK";

// For the life of the object the process works on a copy of its registry, in which the
// catalogue path is replaced; the registry file itself is never written.
class RegistryOverlay {
public:
    explicit RegistryOverlay(const std::string& cataloguePath) : mOriginal(plat::Registry().Path())
    {
        char pattern[] = "/tmp/zarvik-host-XXXXXX";
        const char* dir = ::mkdtemp(pattern);
        if (!dir) throw plat::ComError(plat::rt::PermissionDenied, "zarvik-host", "cannot make a temporary folder");
        mDir = dir;
        const std::string copy = mDir + "/registry";
        std::error_code ignored;
        if (std::filesystem::exists(mOriginal, ignored)) std::filesystem::copy_file(mOriginal, copy);
        plat::SetRegistryPath(copy);
        host::HostRegistry key;
        key.CreateKey(host::HKEY_LOCAL_MACHINE, kSettingsKey);
        key.SetStringValue("Configuration", cataloguePath);
    }
    ~RegistryOverlay()
    {
        plat::SetRegistryPath(mOriginal);
        std::error_code ignored;
        std::filesystem::remove_all(mDir, ignored);
    }
    RegistryOverlay(const RegistryOverlay&) = delete;
    RegistryOverlay& operator=(const RegistryOverlay&) = delete;

private:
    std::string mOriginal;
    std::string mDir;
};

std::string CodeText(int32_t code)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
    return text;
}

int ListCollection(std::ostream& out, host::HostTestCollection& collection)
{
    int lines = 0;
    for (int32_t i = 0; i < collection.Count(); ++i) {
        auto test = collection.Item(i);
        auto info = test->Info();
        out << test->TestID() << '\t' << (info ? info->ClassName() : std::string()) << '\t'
            << (info ? info->Name() : std::string()) << '\n';
        ++lines;
        if (auto group = plat::QueryInterface<host::HostTestCollection>(test)) lines += ListCollection(out, *group);
    }
    return lines;
}

} // namespace

std::optional<int> ListCatalogue(std::ostream& out, std::ostream& err, const std::optional<std::string>& cataloguePath)
{
    std::unique_ptr<RegistryOverlay> overlay;
    if (cataloguePath) overlay = std::make_unique<RegistryOverlay>(*cataloguePath);

    std::shared_ptr<host::IPlugIn> plugIn;
    try {
        plugIn = plat::CreateObjectAs<host::IPlugIn>(kPlugInProgId);
    } catch (const plat::ComError& error) {
        if (error.Number() != plat::rt::ClassNotRegistered) throw;
        throw plat::ComError(error.Number(), error.Source(),
                             "the plug-in is not registered (run 'zarvik-host register' first): " + error.Description());
    }
    if (!plugIn) throw plat::ComError(plat::rt::TypeMismatch, "zarvik-host", std::string(kPlugInProgId) + " is no plug-in");

    try {
        plugIn->Initialize(std::make_shared<host::HostLoadLog>());
        auto tests = plugIn->Tests();
        if (!tests) return 0;
        return ListCollection(out, *tests);
    } catch (const plat::ComError& error) {
        out.flush();
        err << "error " << CodeText(error.Number()) << ": " << error.Description() << '\n';
        return std::nullopt;
    }
}

} // namespace zhost
