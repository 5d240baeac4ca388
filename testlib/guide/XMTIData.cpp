#include "testlib/guide/XMTIData.h"

#include "host/documents/HostRegistry.h"
#include "host/documents/HostTranslator.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "platform/com/ServerEntryPoints.h"
#include "testlib/core/CMtiData2.h"

namespace ztest {

namespace {

constexpr const char* kModuleKey = zarvik::ModuleKey;
constexpr int kSlots = 3;

std::string TrimBlanks(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A stored identity value as text, trimmed: a number (a DWORD written by hand) is its text.
std::string StoredText(const host::HostRegistry& unit, const char* name)
{
    return TrimBlanks(plat::CStr(unit.GetValue(name, std::string())));
}

// A record is stored under a subkey named by its type, so a type that names no single subkey
// (empty, or holding the path separator) is never written.
bool StorableType(const std::string& type) { return !type.empty() && type.find('\\') == std::string::npos; }

} // namespace

XMTIData::XMTIData() : plat::UserControl("XMTIData")
{
    mTitle = Add<plat::Label>("lblTitle");
    mTitle->SetCaption("462::MTI data");
    mTitle->SetFont(plat::TextFont{"Arial Black", 12, false, false, false});
    mTitle->Move(120, 120, 4000, 375);
    mTypeLabel = Add<plat::Label>("lblMtiType");
    mTypeLabel->SetCaption("20510::MTI Type:");
    mTypeLabel->Move(120, 720, 2200, 285);
    mSerialLabel = Add<plat::Label>("lblSerial");
    mSerialLabel->SetCaption("20511::Serial number:");
    mSerialLabel->Move(120, 1200, 2200, 285);
    mFirmwareLabel = Add<plat::Label>("lblFirmWare");
    mFirmwareLabel->SetCaption("20512::Firmware version:");
    mFirmwareLabel->Move(120, 1680, 2200, 285);
    mType = Add<plat::ComboBox>("cboMtiType", plat::vbComboDropdownList);
    mType->Move(2400, 690, 3000, 315);
    mSerial = Add<plat::TextBox>("txtSerial");
    mSerial->Move(2400, 1170, 3000, 315);
    mFirmware = Add<plat::TextBox>("txtFirmware");
    mFirmware->Move(2400, 1650, 3000, 315);

    mConnections.emplace_back(mType->Click.Connect([this] {
        if (mShowing) return;
        const int entry = mType->ListIndex();
        if (entry < 0 || entry >= mType->ListCount()) return;
        mCurrent = mType->ItemData(entry);
        ShowRecord();
    }));
    mConnections.emplace_back(mSerial->Change.Connect([this] {
        if (auto record = CurrentRecord(); record && !mShowing) record->SetSerial(mSerial->Text());
    }));
    mConnections.emplace_back(mFirmware->Change.Connect([this] {
        if (auto record = CurrentRecord(); record && !mShowing) record->SetFirmware(mFirmware->Text());
    }));
    for (const auto& box : {mSerial, mFirmware}) {
        std::weak_ptr<plat::TextBox> weak = box;
        mConnections.emplace_back(box->GotFocus.Connect([weak] {
            if (auto b = weak.lock()) {
                b->SetSelStart(0);
                b->SetSelLength(b->Length());
            }
        }));
    }

    plat::IgnoreErrors([&] { host::HostTranslator::Process()->TranslateObject(kModuleKey, *this); });
    mRecords.assign(kSlots, nullptr);
    mRecords[0] = std::make_shared<CMtiData2>();
    RegLoad();
    mType->Clear();
    for (int slot = 0; slot < static_cast<int>(mRecords.size()); ++slot) {
        if (!mRecords[static_cast<size_t>(slot)]) continue;
        mType->AddItem(mRecords[static_cast<size_t>(slot)]->MtiType());
        mType->SetItemData(mType->NewIndex(), slot);
    }
    ShowRecord();
}

std::shared_ptr<CMtiData2> XMTIData::CurrentRecord() const
{
    if (mCurrent < 0 || static_cast<size_t>(mCurrent) >= mRecords.size()) return nullptr;
    return mRecords[static_cast<size_t>(mCurrent)];
}

void XMTIData::RegLoad()
{
    host::HostRegistry registry;
    bool opened = false;
    plat::IgnoreErrors([&] {
        registry.OpenKey(host::HKEY_LOCAL_MACHINE, RegistryKey);
        opened = true;
    });
    // An unreadable "MRU" reads as 0; the subkeys are read all the same.
    plat::IgnoreErrors([&] {
        if (opened) mCurrent = plat::CLng(registry.GetValue("MRU"));
    });
    int32_t subKeys = 0;
    plat::IgnoreErrors([&] {
        if (opened) subKeys = registry.SubKeyCount();
    });
    if (subKeys == 0) {
        // A first run (no key, or no unit stored yet) offers the analyzer's own type.
        mRecords.assign(2, nullptr);
        mRecords[0] = std::make_shared<CMtiData2>();
        mRecords[0]->SetMtiType(DefaultType);
    } else {
        // The type is the subkey's name; a serial number or firmware that cannot be read as
        // text leaves only its own field empty, so the unit keeps its type and is saved again.
        std::string type;
        plat::IgnoreErrors([&] { type = registry.EnumKey(1); });
        if (!type.empty()) {
            auto record = std::make_shared<CMtiData2>();
            record->SetMtiType(type);
            host::HostRegistry unit;
            bool unitOpened = false;
            plat::IgnoreErrors([&] {
                unit.OpenKey(host::HKEY_LOCAL_MACHINE, RegistryKey + type);
                unitOpened = true;
            });
            if (unitOpened) {
                plat::IgnoreErrors([&] { record->SetSerial(StoredText(unit, "Serial")); });
                plat::IgnoreErrors([&] { record->SetFirmware(StoredText(unit, "Firmware")); });
            }
            mRecords[0] = record;
        }
    }
    // An "MRU" that names no filled slot falls back to the first record.
    if (!CurrentRecord()) mCurrent = 0;
}

void XMTIData::ShowRecord()
{
    mShowing = true;
    plat::IgnoreErrors([&] {
        for (int entry = 0; entry < mType->ListCount(); ++entry) {
            if (mType->ItemData(entry) == mCurrent) mType->SetListIndex(entry);
        }
    });
    auto record = CurrentRecord();
    plat::IgnoreErrors([&] { mFirmware->SetText(record ? record->Firmware() : std::string()); });
    plat::IgnoreErrors([&] { mSerial->SetText(record ? record->Serial() : std::string()); });
    mShowing = false;
}

void XMTIData::RegSave()
{
    plat::IgnoreErrors([&] {
        host::HostRegistry registry;
        registry.CreateKey(host::HKEY_LOCAL_MACHINE, RegistryKey);
        registry.SetDWordValue("MRU", mCurrent);
    });
    auto record = CurrentRecord();
    if (!record || !StorableType(record->MtiType())) return;
    plat::IgnoreErrors([&] {
        host::HostRegistry registry;
        registry.CreateKey(host::HKEY_LOCAL_MACHINE, RegistryKey + record->MtiType());
        registry.SetStringValue("Firmware", record->Firmware());
        registry.SetStringValue("Serial", record->Serial());
    });
}

std::shared_ptr<CMtiData2> XMTIData::GetMtiData() { return CurrentRecord(); }

void XMTIData::SetMtiData(const std::shared_ptr<CMtiData2>& record)
{
    if (!record || mCurrent < 0 || static_cast<size_t>(mCurrent) >= mRecords.size()) return;
    auto& slot = mRecords[static_cast<size_t>(mCurrent)];
    if (!slot) slot = std::make_shared<CMtiData2>();
    slot->SetMtiType(record->MtiType());
    slot->SetSerial(record->Serial());
    slot->SetFirmware(record->Firmware());
    // The page shows what the test will register, so the operator confirms the right unit.
    plat::IgnoreErrors([&] {
        bool listed = false;
        for (int entry = 0; entry < mType->ListCount(); ++entry) {
            if (mType->ItemData(entry) != mCurrent) continue;
            mType->SetList(entry, slot->MtiType());
            listed = true;
        }
        if (!listed) {
            mType->AddItem(slot->MtiType());
            mType->SetItemData(mType->NewIndex(), mCurrent);
        }
    });
    ShowRecord();
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XMTIData, ztest::XMTIData::ProgId, ztest::XMTIData::ClassId)
