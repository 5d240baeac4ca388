#include "host/documents/HostRegistry.h"
#include "host/interfaces/ITestWizard.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/PropertyBag.h"
#include "testlib/core/CMtiData2.h"
#include "testlib/guide/XMTIData.h"
#include "testlib/guide/XTestInfo.h"
#include "testlib/guide/XTestInstruction.h"
#include "tests/testlib/guide/GuideTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

using host::HKEY_LOCAL_MACHINE;
using host::HostRegistry;
using plat::Variant;
using ztest::CMtiData2;
using ztest::XMTIData;

namespace {

const std::string kKey = XMTIData::RegistryKey;

class MtiDataPage : public ztesting::GuideFixture {
protected:
    void StoreUnit(const std::string& type, const std::string& serial, const std::string& firmware)
    {
        HostRegistry registry;
        registry.CreateKey(HKEY_LOCAL_MACHINE, kKey + type);
        registry.SetStringValue("Serial", serial);
        registry.SetStringValue("Firmware", firmware);
    }
    void StoreMru(const Variant& value)
    {
        HostRegistry registry;
        registry.CreateKey(HKEY_LOCAL_MACHINE, kKey);
        if (value.IsString()) {
            registry.SetStringValue("MRU", value.AsString());
        } else {
            registry.SetDWordValue("MRU", value.AsLong());
        }
    }
    static std::vector<std::string> Types(const XMTIData& page)
    {
        std::vector<std::string> types;
        for (int i = 0; i < page.cboMtiType()->ListCount(); ++i) types.push_back(page.cboMtiType()->List(i));
        return types;
    }
};

TEST_F(MtiDataPage, RegistryStatesGiveTheOfferedUnit)
{
    const struct {
        const char* name;
        bool key;
        std::optional<Variant> mru;
        std::vector<std::vector<std::string>> units;  // type, serial, firmware
        std::string type, serial, firmware;
    } cases[] = {
        {"first run, no key", false, std::nullopt, {}, "ZARVIK", "", ""},
        {"key without units", true, Variant(int32_t{0}), {}, "ZARVIK", "", ""},
        {"one type, blanks trimmed", true, Variant(int32_t{0}), {{"ZARVIK-2", "  A12  ", " 1.0 "}}, "ZARVIK-2", "A12", "1.0"},
        {"two types: the first only", true, Variant(int32_t{0}), {{"Z1", "S1", "F1"}, {"Z2", "S2", "F2"}}, "Z1", "S1", "F1"},
        {"MRU naming no record", true, Variant(int32_t{1}), {{"Z1", "S1", "F1"}}, "Z1", "S1", "F1"},
        {"MRU far out of range", true, Variant(int32_t{-7}), {{"Z1", "S1", "F1"}}, "Z1", "S1", "F1"},
        {"unreadable MRU", true, Variant("soon"), {{"Z1", "S1", "F1"}}, "Z1", "S1", "F1"},
        {"no MRU", true, std::nullopt, {{"Z1", "S1", "F1"}}, "Z1", "S1", "F1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ztesting::TempRegistry registry;
        if (c.key) HostRegistry().CreateKey(HKEY_LOCAL_MACHINE, kKey);
        if (c.mru) StoreMru(*c.mru);
        for (const auto& unit : c.units) StoreUnit(unit[0], unit[1], unit[2]);
        XMTIData page;
        auto record = page.GetMtiData();
        ASSERT_TRUE(record);
        EXPECT_EQ(c.type, record->MtiType());
        EXPECT_EQ(c.serial, record->Serial());
        EXPECT_EQ(c.firmware, record->Firmware());
        EXPECT_EQ(std::vector<std::string>{c.type}, Types(page));
        EXPECT_EQ(c.type, page.cboMtiType()->Text());
        EXPECT_EQ(c.serial, page.txtSerial()->Text());
        EXPECT_EQ(c.firmware, page.txtFirmware()->Text());
        EXPECT_EQ(0, page.Current());
    }
}

// A serial number or firmware stored as a number (written by hand) is read as its text; the
// unit keeps the type of its subkey and is saved again as text.
TEST_F(MtiDataPage, ANumberStoredAsSerialOrFirmwareIsReadAsItsText)
{
    const struct {
        const char* name;
        bool serialIsNumber;
    } cases[] = {{"serial a DWORD", true}, {"firmware a DWORD", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ztesting::TempRegistry registry;
        {
            HostRegistry unit;
            unit.CreateKey(HKEY_LOCAL_MACHINE, kKey + "ZARVIK-7");
            unit.SetDWordValue(c.serialIsNumber ? "Serial" : "Firmware", 4711);
            unit.SetStringValue(c.serialIsNumber ? "Firmware" : "Serial", " 1.2 ");
        }
        XMTIData page;
        auto record = page.GetMtiData();
        ASSERT_TRUE(record);
        EXPECT_EQ("ZARVIK-7", record->MtiType());
        EXPECT_EQ(c.serialIsNumber ? "4711" : "1.2", record->Serial());
        EXPECT_EQ(c.serialIsNumber ? "1.2" : "4711", record->Firmware());
        EXPECT_EQ("ZARVIK-7", page.cboMtiType()->Text());

        page.RegSave();
        HostRegistry saved;
        saved.OpenKey(HKEY_LOCAL_MACHINE, kKey + "ZARVIK-7");
        EXPECT_EQ(record->Serial(), saved.GetStringValue("Serial"));
        EXPECT_EQ(record->Firmware(), saved.GetStringValue("Firmware"));
    }
}

TEST_F(MtiDataPage, OperatorsEditsRoundTripThroughTheRegistry)
{
    StoreUnit("ZARVIK-2", "A12", "1.0");
    {
        auto page = std::make_shared<XMTIData>();
        page->SetVisible(true);
        mDriver.Focus(*page->txtSerial());
        EXPECT_EQ(3, page->txtSerial()->SelLength());
        mDriver.Type(*page->txtSerial(), "B34");
        mDriver.Type(*page->txtFirmware(), "2.0");
        EXPECT_EQ("B34", page->GetMtiData()->Serial());
        // Nothing reaches the registry before RegSave.
        HostRegistry registry;
        registry.OpenKey(HKEY_LOCAL_MACHINE, kKey + "ZARVIK-2");
        EXPECT_EQ("A12", registry.GetStringValue("Serial"));
        page->RegSave();
    }
    XMTIData again;
    EXPECT_EQ("B34", again.GetMtiData()->Serial());
    EXPECT_EQ("2.0", again.GetMtiData()->Firmware());
    HostRegistry registry;
    registry.OpenKey(HKEY_LOCAL_MACHINE, kKey);
    EXPECT_EQ(0, registry.GetDWordValue("MRU"));
}

TEST_F(MtiDataPage, SetMtiDataShowsTheCopiedUnitAndSavesItUnderItsType)
{
    XMTIData page;
    auto unit = std::make_shared<CMtiData2>();
    unit->SetMtiType("ZARVIK-3");
    unit->SetSerial("C56");
    unit->SetFirmware("3.0");
    page.SetMtiData(unit);
    EXPECT_EQ("C56", page.GetMtiData()->Serial());
    EXPECT_EQ("C56", page.txtSerial()->Text());
    EXPECT_EQ("3.0", page.txtFirmware()->Text());
    EXPECT_EQ("ZARVIK-3", page.cboMtiType()->Text());
    page.SetMtiData(nullptr);
    EXPECT_EQ("C56", page.GetMtiData()->Serial());

    page.RegSave();
    HostRegistry registry;
    registry.OpenKey(HKEY_LOCAL_MACHINE, kKey + "ZARVIK-3");
    EXPECT_EQ("C56", registry.GetStringValue("Serial"));
    EXPECT_EQ("3.0", registry.GetStringValue("Firmware"));
}

TEST_F(MtiDataPage, ATypeThatNamesNoSingleSubkeyIsNeverSaved)
{
    for (const char* type : {"", "A\\B"}) {
        SCOPED_TRACE(type);
        ztesting::TempRegistry registry;
        XMTIData page;
        auto unit = std::make_shared<CMtiData2>();
        unit->SetMtiType(type);
        unit->SetSerial("X");
        page.SetMtiData(unit);
        page.RegSave();
        HostRegistry check;
        check.OpenKey(HKEY_LOCAL_MACHINE, kKey);
        EXPECT_EQ(0, check.SubKeyCount());
        EXPECT_TRUE(check.ValueExists("MRU"));
    }
}

// ---- The instruction popup ----

class InstructionPopup : public ztesting::GuideFixture {};

TEST_F(InstructionPopup, ShowMsgFlashAndMoveImage)
{
    ztest::XTestInstruction popup;
    popup.ShowMsg("TI:WAIT", "T9::Defibrillate");
    EXPECT_EQ("TI:WAIT", popup.IconKey());
    EXPECT_TRUE(popup.imgIcon()->Picture()->Width() > 0);
    EXPECT_EQ("Defibrillieren", popup.Message());
    EXPECT_EQ("T9::Defibrillate", popup.lblHelpTxt()->Tag());
    popup.ShowMsg("", "Plain text");
    EXPECT_EQ("TI:WAIT", popup.IconKey());
    EXPECT_EQ("Plain text", popup.Message());

    popup.SetFlash(true);
    EXPECT_TRUE(popup.Flash());
    EXPECT_EQ(500, popup.tmrFlash()->Interval());
    FastForwardBy(plat::Millis(500));
    EXPECT_EQ(ztest::XTestInstruction::FlashOff, popup.BackColor());
    FastForwardBy(plat::Millis(500));
    EXPECT_EQ(ztest::XTestInstruction::FlashOn, popup.BackColor());
    popup.SetFlash(false);
    EXPECT_FALSE(popup.Flash());
    EXPECT_EQ(ztest::XTestInstruction::FlashOff, popup.BackColor());

    popup.MoveImage();
    EXPECT_EQ(1000, popup.imgIcon()->Left());
    EXPECT_EQ(1750, popup.lblHelpTxt()->Left());

    popup.Move(0, 0, 6000, 2000);
    EXPECT_EQ(5910, popup.shpBackground()->Width());
    EXPECT_EQ((2000 - popup.imgIcon()->Height()) / 2, popup.imgIcon()->Top());
    popup.Move(0, 0, 50, 50);
    EXPECT_EQ(0, popup.shpBackground()->Width());
}

// ---- The step list with counter ----

class StepInfo : public ztesting::GuideFixture {};

TEST_F(StepInfo, StepsCounterAndLayout)
{
    ztest::XTestInfo info;
    ASSERT_TRUE(info.xtwInfo());
    info.Initialize("One", "Two", "Three");
    EXPECT_EQ((std::vector<std::string>{"One", "Two", "Three"}), info.xtwInfo()->Lines());
    info.HighLightItem(2);
    EXPECT_EQ(std::vector<int32_t>{2}, info.xtwInfo()->HighlightedLines());

    info.UpdateCounter(3);
    EXPECT_EQ("3", info.lblCounter()->Caption());
    EXPECT_EQ(plat::color::Red, info.lblCounter()->ForeColor());
    info.UpdateCounter(0);
    EXPECT_EQ("0", info.lblCounter()->Caption());
    EXPECT_EQ(plat::color::Black, info.lblCounter()->ForeColor());

    info.Move(0, 0, 3000, 285 + info.lblCounter()->Height());
    EXPECT_FALSE(info.xtwInfoControl()->Visible());
    info.Move(0, 0, 3000, 286 + info.lblCounter()->Height());
    EXPECT_TRUE(info.xtwInfoControl()->Visible());
    EXPECT_EQ(286, info.xtwInfoControl()->Height());
    info.SetShowCounter(false);
    EXPECT_EQ(info.Height(), info.xtwInfoControl()->Height());
}

// The list gives way to the counter only while the counter is shown and there is no room for
// both; it comes back when the control grows or the counter goes.
TEST_F(StepInfo, AListHiddenForLackOfRoomComesBack)
{
    ztest::XTestInfo info;
    auto list = info.xtwInfoControl();
    ASSERT_TRUE(list);
    const float tight = 285 + info.lblCounter()->Height();
    const struct {
        const char* step;
        float height;
        bool counter;
        bool listVisible;
    } steps[] = {
        {"too small", tight, true, false},
        {"counter hidden", tight, false, true},
        {"counter shown again", tight, true, false},
        {"enlarged", tight + 600, true, true},
        {"shrunk", tight, true, false},
        {"counter hidden, then enlarged", tight + 600, false, true},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        info.SetShowCounter(s.counter);
        info.Move(0, 0, 3000, s.height);
        EXPECT_EQ(s.listVisible, list->Visible());
    }
}

TEST_F(StepInfo, PacerMessageFlashesSevenTicksOnAndOneOff)
{
    ztest::XTestInfo info;
    info.Initialize("Step");
    info.ShowPacerMsg(Variant("Pacer running"));
    auto list = info.xtwInfoControl();
    EXPECT_EQ(std::vector<std::string>{"Pacer running"}, info.xtwInfo()->Lines());
    EXPECT_TRUE(info.xtwInfo()->MessageMode());
    std::string pattern;
    for (int tick = 0; tick < 16; ++tick) {
        FastForwardBy(plat::Millis(500));
        pattern += list->BackColor() == ztest::XTestInfo::MessageColor ? 'M' : '-';
    }
    EXPECT_EQ("MMMMMMM-MMMMMMM-", pattern);

    info.ShowPacerMsg(Variant());
    EXPECT_EQ(std::vector<std::string>{"Step"}, info.xtwInfo()->Lines());
    EXPECT_EQ(info.BackColor(), list->BackColor());
    FastForwardBy(plat::Millis(5000));
    EXPECT_EQ(info.BackColor(), list->BackColor());
}

TEST_F(StepInfo, BackColorAndBorderLiveInThePropertyBag)
{
    ztest::XTestInfo info;
    info.SetBackColor(0x123456);
    info.SetBorder(false);
    EXPECT_EQ(0x123456, info.xtwInfoControl()->BackColor());
    EXPECT_EQ((std::vector<std::string>{"BackColor", "Border"}), info.ChangedProperties());
    plat::PropertyBag bag;
    info.WriteProperties(bag);

    ztest::XTestInfo restored;
    restored.ReadProperties(bag);
    EXPECT_EQ(0x123456, restored.BackColor());
    EXPECT_FALSE(restored.Border());

    // Defaults are not stored, and an empty bag gives them back.
    plat::PropertyBag defaults;
    ztest::XTestInfo().WriteProperties(defaults);
    EXPECT_EQ(0u, defaults.Count());
    restored.ReadProperties(defaults);
    EXPECT_EQ(ztest::XTestInfo::DefaultBackColor, restored.BackColor());
    EXPECT_TRUE(restored.Border());
}

} // namespace
