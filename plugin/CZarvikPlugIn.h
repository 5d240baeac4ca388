#pragma once

#include "host/interfaces/IPlugIn.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/ComError.h"
#include "testlib/core/IZARVIKPlugIn.h"
#include "testlib/core/LibraryInfo.h"

#include <cstdint>
#include <memory>
#include <string>

namespace host {
class HostTestCatalogue;
class HostXmlElement;
}

namespace zplugin {

class CZARVIKSetup;

// The plug-in entry, the object the host creates first. It tells the host who the plug-in is,
// owns the settings, reads the test catalogue at start-up into template test elements (created
// by ProgID through the component runtime, so only registered classes can be named), hands the
// host clones of them, and serves the catalogue's standards to the test library.
class CZarvikPlugIn : public host::IPlugIn,
                      public ztest::IZARVIKPlugIn,
                      public std::enable_shared_from_this<CZarvikPlugIn> {
public:
    static constexpr const char* ProgId = "TelvoZARVIK.CZARVIKPlugIn";
    static constexpr const char* ClassId = "{4D5F9EC4-D35D-4784-9FE6-56265DC2C414}";
    static constexpr const char* Source = "TelvoZARVIK.CZARVIKPlugIn";
    static constexpr const char* ClassName = "CZarvikPlugIn";
    static constexpr const char* ModuleKey = zarvik::ModuleKey;

    static constexpr int32_t ErrNotInitialized = plat::Hr(0x8004A229u);
    static constexpr int32_t ErrFileNotFound = plat::Hr(0x8004A22Au);
    static constexpr int32_t ErrBadCatalogue = plat::Hr(0x8004A22Cu);
    static constexpr int32_t ErrNoTemplate = plat::Hr(0x8004A233u);
    static constexpr int32_t ErrFileAccess = plat::Hr(0x8004A28Fu);
    // Errors of a test element that make the whole catalogue unusable.
    static constexpr int32_t ErrElementFatal1 = plat::Hr(0x80047730u);
    static constexpr int32_t ErrElementFatal2 = plat::Hr(0x80047737u);
    // A host notice that the reader passes over.
    static constexpr int32_t ErrHostNotice = plat::Hr(0x80048ACDu);
    // A group nested deeper than MaxGroupDepth: the entry is skipped.
    static constexpr int32_t ErrGroupTooDeep = plat::Hr(0x8004A22Du);

    // How deep groups may nest in a catalogue; a hostile file cannot exhaust the stack.
    static constexpr int MaxGroupDepth = 16;

    // The deliverable's version: major, minor and revision.
    // The version of the system, one for the plug-in and the test library.
    static constexpr int VersionMajor = ztest::LibraryInfo::VersionMajor;
    static constexpr int VersionMinor = ztest::LibraryInfo::VersionMinor;
    static constexpr int VersionRevision = ztest::LibraryInfo::VersionRevision;

    CZarvikPlugIn() = default;
    ~CZarvikPlugIn() override;

    // IPlugIn
    std::string ID() override { return ModuleKey; }
    // The bitmap of the test ID at the size; no picture when there is no such key or it cannot
    // be loaded. The colour depth is not used.
    plat::ObjectPtr Icon(int32_t testId, int32_t size, int32_t colors) override;
    std::string Name() override;
    int32_t Flags() override { return mFlags; }
    std::shared_ptr<host::ISetup> Setup() override;
    plat::ObjectPtr ControlPanel() override { return nullptr; }
    // The catalogue; 0x8004A229 before a successful Initialize or without a catalogue.
    std::shared_ptr<host::HostTestCollection> Tests() override;
    std::string Version() override;
    plat::ObjectPtr PlugInMenu() override { return nullptr; }
    // Creates the settings, loads the catalogue that they name and hands this plug-in to the
    // test library. Only 0x8004A22A, 0x8004A22C and 0x8004A28F leave it; other failures are
    // reported. The log is not used.
    void Initialize(const std::shared_ptr<host::HostLoadLog>& log) override;
    // A clone of the template of the test ID, with its standards cleared. 0x8004A229 before
    // initialisation, 0x8004A233 for a test ID without template; other failures are reported
    // and give nothing.
    std::shared_ptr<host::ITestElement> CreateTest(int32_t testId) override;
    plat::ObjectPtr CreateDutData() override { return nullptr; }

    // IZARVIKPlugIn: a copy of the catalogue's standard of that test ID and names, or none;
    // never raises.
    std::shared_ptr<host::HostStandard> LoadStandard(int32_t iTestID, const std::string& sAlphaName,
                                                     const std::string& sCompleteName) override;

    // The settings object; none before Initialize.
    const std::shared_ptr<CZARVIKSetup>& SetupObject() const { return mSettings; }

private:
    // Reads the catalogue file; none when the reader reported a failure itself.
    std::shared_ptr<host::HostTestCatalogue> LoadTestTemplates(const std::string& path);
    std::shared_ptr<host::ITestElement> ParseTestElement(const std::shared_ptr<host::HostXmlElement>& element,
                                                         int depth);
    std::shared_ptr<host::ITestElement> BuildEntry(const std::shared_ptr<host::HostXmlElement>& element, int depth);
    void ReadElementProperties(const std::shared_ptr<host::ITestElement>& test,
                               const std::shared_ptr<host::HostXmlElement>& element);
    void AddEntry(host::HostTestCollection& collection, const std::shared_ptr<host::ITestElement>& entry);

    std::shared_ptr<host::HostTestCatalogue> mCatalogue;
    std::shared_ptr<CZARVIKSetup> mSettings;
    bool mInitialised = false;
    int32_t mFlags = 0;
};

} // namespace zplugin
