#pragma once

#include "instrument/ZarvikModule.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/UserControl.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ztest {

class CMtiData2;

// The analyzer identity page of the test-guide window: the type, serial number and firmware
// of the analyzer unit in use, which the operator may correct. It reads the unit last
// confirmed from the registry when it is created and writes the confirmed one back in RegSave.
//
// Registry (HKEY_LOCAL_MACHINE): "Software\Vantrel\Telvo\ZARVIK\MtiData\" holds "MRU" (DWORD,
// the record in use) and one subkey per analyzer type with "Serial" and "Firmware".
class XMTIData : public plat::UserControl {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XMTIData";
    static constexpr const char* ClassId = "{8D451F3E-A8FD-4E09-AE82-D819490C7AD4}";
    static constexpr const char* RegistryKey = "Software\\Vantrel\\Telvo\\ZARVIK\\MtiData\\";
    static constexpr const char* DefaultType = zarvik::ModuleKey;

    XMTIData();

    // Stores the record in use and its index in the registry.
    void RegSave();
    // The record in use; none when its slot is empty.
    std::shared_ptr<CMtiData2> GetMtiData();
    // Copies type, serial number and firmware into the record in use and shows them; an empty
    // record changes nothing.
    void SetMtiData(const std::shared_ptr<CMtiData2>& record);

    int32_t Current() const { return mCurrent; }

    const std::shared_ptr<plat::ComboBox>& cboMtiType() const { return mType; }
    const std::shared_ptr<plat::TextBox>& txtSerial() const { return mSerial; }
    const std::shared_ptr<plat::TextBox>& txtFirmware() const { return mFirmware; }

private:
    void RegLoad();
    void ShowRecord();
    void Layout();
    std::shared_ptr<CMtiData2> CurrentRecord() const;

    std::vector<std::shared_ptr<CMtiData2>> mRecords;
    int32_t mCurrent = 0;
    bool mShowing = false;
    std::shared_ptr<plat::ComboBox> mType;
    std::shared_ptr<plat::TextBox> mSerial;
    std::shared_ptr<plat::TextBox> mFirmware;
    std::shared_ptr<plat::Label> mTitle;
    std::shared_ptr<plat::Label> mTypeLabel;
    std::shared_ptr<plat::Label> mSerialLabel;
    std::shared_ptr<plat::Label> mFirmwareLabel;
    std::vector<plat::ScopedConnection> mConnections;
};

} // namespace ztest
