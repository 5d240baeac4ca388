#include "plugin/CZARVIKSetup.h"

#include "host/documents/HostErrorRaiser.h"
#include "host/documents/HostRegistry.h"
#include "host/documents/HostUtilities.h"
#include "platform/base/Conversions.h"
#include "platform/com/ServerEntryPoints.h"
#include "plugin/PlugInErrors.h"
#include "plugin/XPluginPrefs.h"
#include "testlib/core/FDialogWrapper.h"

#include <exception>
#include <filesystem>
#include <span>
#include <utility>

namespace zplugin {

namespace {

std::string KeyText()
{
    return std::string("HKEY_LOCAL_MACHINE\\") + CZARVIKSetup::RegistryKey;
}

// Reads one number; a value that is missing or cannot be taken as a Long leaves the target as
// it is.
void ReadNumber(const host::HostRegistry& registry, const char* name, int32_t& target)
{
    IgnoreErrors([&] { target = plat::CLng(registry.GetValue(name)); });
}

// Whether the settings key holds each of the numbers as a DWORD of that value.
bool HoldsNumbers(std::span<const std::pair<const char*, int32_t>> numbers)
{
    host::HostRegistry key;
    if (!key.KeyExists(host::HKEY_LOCAL_MACHINE, CZARVIKSetup::RegistryKey)) return false;
    key.OpenKey(host::HKEY_LOCAL_MACHINE, CZARVIKSetup::RegistryKey);
    for (const auto& [name, value] : numbers) {
        const plat::Variant stored = key.GetValue(name, plat::Variant());
        if (stored.Type() != plat::VarType::Long || stored.AsLong() != value) return false;
    }
    return true;
}

} // namespace

std::string CZARVIKSetup::DefaultConfigFile()
{
    // The folder of this library, found through an address inside it.
    const std::string library = plat::LibraryPathOf(reinterpret_cast<const void*>(&CZARVIKSetup::DefaultConfigFile));
    const std::string folder = std::filesystem::path(library).parent_path().string();
    return host::HostUtilities::NormalizeFolder(folder) + CatalogueFileName;
}

void CZARVIKSetup::Initialize()
{
    IgnoreErrors([&] { RegLoad(host::HKEY_LOCAL_MACHINE, RegistryKey); });
}

std::shared_ptr<host::IDialog> CZARVIKSetup::GetSetup() { return CreateDialog(); }

std::shared_ptr<host::IDialog> CZARVIKSetup::CreateDialog()
{
    try {
        auto wrapper = std::make_shared<ztest::FDialogWrapper>();
        wrapper->Load();
        // A dialog without its page would show the host an empty frame; give none instead.
        if (!wrapper->CreateSetupCtrl(XPluginPrefs::ProgId)) {
            wrapper->Unload();
            return nullptr;
        }
        wrapper->Initialize(plat::Variant(plat::ObjectPtr(shared_from_this())));
        return wrapper;
    } catch (const std::exception&) {
        return nullptr;
    }
}

void CZARVIKSetup::RegLoad(int32_t, const std::string&)
{
    const host::HostErrorRaiser raiser;
    try {
        host::HostRegistry registry;
        // While the key is opened and the path read, "not found" only skips the step.
        SkipOnCodes({host::HostRegistry::ErrNotFound}, [&] { registry.OpenKey(host::HKEY_LOCAL_MACHINE, RegistryKey); });
        if (!registry.KeyExists()) {
            RaisePlugInError(ErrKeyMissing, Source, 3, "The settings key " + KeyText() + " does not exist");
        }
        SkipOnCodes({host::HostRegistry::ErrNotFound}, [&] { mConfigFile = registry.GetStringValue(ValueConfiguration); });
        if (mConfigFile.empty()) mConfigFile = DefaultConfigFile();

        // Only a value that cannot be read takes its default; a stored 0 stays 0, a stored -1
        // counts as unreadable.
        mCommTimeOut = -1;
        mRangeThreshold = -1;
        mPacerRefractoryTimeout = -1;
        ReadNumber(registry, ValueCommTimeOut, mCommTimeOut);
        ReadNumber(registry, ValueRangeThreshold, mRangeThreshold);
        ReadNumber(registry, ValuePacerRefractoryTimeout, mPacerRefractoryTimeout);
        if (mCommTimeOut == -1) mCommTimeOut = DefaultCommTimeOut;
        if (mRangeThreshold == -1) mRangeThreshold = DefaultRangeThreshold;
        if (mPacerRefractoryTimeout == -1) mPacerRefractoryTimeout = DefaultPacerRefractoryTimeout;

        // The defaults are written back at once, so that the readers elsewhere find them.
        RegSave(host::HKEY_LOCAL_MACHINE, RegistryKey);
    } catch (const plat::ComError& error) {
        // A registry that cannot be read at all is the caller's to handle.
        if (error.Number() == host::HostRegistry::ErrStore || error.Number() == host::HostRegistry::ErrNoKey) throw;
        raiser.Report(error, Source);
    } catch (const std::exception& error) {
        raiser.Report(error, Source);
    }
}

void CZARVIKSetup::RegSave(int32_t, const std::string&)
{
    try {
        const std::pair<const char*, int32_t> numbers[] = {{ValueCommTimeOut, mCommTimeOut},
                                                           {ValueRangeThreshold, mRangeThreshold},
                                                           {ValuePacerRefractoryTimeout, mPacerRefractoryTimeout}};
        // Every save rewrites the whole file with fsync: the numbers go in one save, and in none
        // when the registry holds them already (as at every start-up but the first).
        if (HoldsNumbers(numbers)) return;
        host::HostRegistry registry;
        registry.Change([&] {
            registry.CreateKey(host::HKEY_LOCAL_MACHINE, RegistryKey);
            for (const auto& [name, value] : numbers) registry.SetDWordValue(name, value);
        });
    } catch (const std::exception&) {
        // A failed save is reported rather than passed over, so that the operator learns that
        // the settings were not kept.
        host::HostErrorRaiser().ReportCurrent(Source);
    }
}

} // namespace zplugin

ZARVIK_REGISTER_CLASS(zplugin::CZARVIKSetup, zplugin::CZARVIKSetup::ProgId, zplugin::CZARVIKSetup::ClassId)
