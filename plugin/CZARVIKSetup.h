#pragma once

#include "host/interfaces/ISetup.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/ComError.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zplugin {

// The plug-in's settings: the path of the test catalogue and three numbers that the test
// library and the instrument link read from the same registry key. Loads them from the registry
// (HKEY_LOCAL_MACHINE "Software\Vantrel\telvo\ZARVIK"), writes the three numbers back, and opens
// the preferences page that edits them in place.
class CZARVIKSetup : public host::ISetup, public std::enable_shared_from_this<CZARVIKSetup> {
public:
    static constexpr const char* ProgId = "TelvoZARVIK.CZARVIKSetup";
    static constexpr const char* ClassId = "{DE1A361A-2E09-4DE8-9604-7A312D282BE5}";
    static constexpr const char* Source = "TelvoZARVIK.CZARVIKSetup";
    static constexpr const char* ModuleKey = zarvik::ModuleKey;

    static constexpr const char* RegistryKey = "Software\\Vantrel\\telvo\\ZARVIK";
    static constexpr const char* ValueConfiguration = "Configuration";
    static constexpr const char* ValueCommTimeOut = "CommTimeOut";
    static constexpr const char* ValueRangeThreshold = "RangeThreshold";
    static constexpr const char* ValuePacerRefractoryTimeout = "PacerRefractoryTimeout";
    static constexpr const char* CatalogueFileName = "Zarvik.mpc";

    static constexpr int32_t DefaultCommTimeOut = 1000;        // ms
    static constexpr int32_t DefaultRangeThreshold = 50;       // J
    static constexpr int32_t DefaultPacerRefractoryTimeout = 120; // s

    // The settings key does not exist.
    static constexpr int32_t ErrKeyMissing = plat::Hr(0x8004A28Eu);

    // The catalogue path used when the registry names none: this library's own folder followed
    // by "Zarvik.mpc".
    static std::string DefaultConfigFile();

    // Loads the settings from the registry; every error is ignored.
    void Initialize();
    // The preferences dialog, as CreateDialog gives it.
    std::shared_ptr<host::IDialog> GetSetup();

    const std::string& ConfigFile() const { return mConfigFile; }
    void SetConfigFile(const std::string& path) { mConfigFile = path; }
    int32_t CommTimeOut() const { return mCommTimeOut; }
    void SetCommTimeOut(int32_t value) { mCommTimeOut = value; }
    int32_t RangeThreshold() const { return mRangeThreshold; }
    void SetRangeThreshold(int32_t value) { mRangeThreshold = value; }
    int32_t PacerRefractoryTimeout() const { return mPacerRefractoryTimeout; }
    void SetPacerRefractoryTimeout(int32_t value) { mPacerRefractoryTimeout = value; }

    // ISetup
    bool HasDialog() override { return true; }
    plat::Variant Settings() override { return {}; }
    void SetSettings(const plat::Variant&) override {}
    // The preferences page in a dialog wrapper; nothing when the page cannot be made.
    std::shared_ptr<host::IDialog> CreateDialog() override;
    // Reads the four settings; the arguments are ignored, the key above is always read. A
    // missing key is reported and changes nothing; values that cannot be read take their
    // defaults, and the three numbers are written back at once.
    void RegLoad(int32_t hKey, const std::string& regKey) override;
    // Writes the three numbers (never the catalogue path); the arguments are ignored. A failure
    // is reported through the host's error service.
    void RegSave(int32_t hKey, const std::string& regKey) override;

private:
    std::string mConfigFile;
    int32_t mCommTimeOut = 0;
    int32_t mRangeThreshold = 0;
    int32_t mPacerRefractoryTimeout = 0;
};

} // namespace zplugin
