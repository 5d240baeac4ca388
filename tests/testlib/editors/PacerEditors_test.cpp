#include "testlib/config/CConfigPacerPar.h"
#include "testlib/config/CConfigPacerRef.h"
#include "testlib/editors/XPacerParConfig.h"
#include "tests/support/DecimalCommaLocale.h"
#include "tests/testlib/editors/EditorHarness.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

using ztest::CConfigPacerPar;
using ztest::CConfigPacerRef;
using ztest::XPacerParConfig;
using ztest::XPacerRefConfig;

namespace {

template <class Record, class EditorClass>
class PacerHarness : public ztesting::EditorHarness<Record, EditorClass> {
protected:
    plat::ComboBox& Adapter() { return this->template Find<plat::ComboBox>("cboAdapter"); }
    plat::ComboBox& Load() { return this->template Find<plat::ComboBox>("cboLoad"); }
    plat::TextBox& Rate() { return this->template Find<plat::TextBox>("txtPresetPacerRate"); }
    plat::TextBox& Amplitude() { return this->template Find<plat::TextBox>("txtPresetPacerAmplitude"); }

public:
    int AdapterShown() { return Adapter().ListIndex(); }
    int LoadShown() { return Load().ListIndex(); }

protected:
    std::vector<std::string> Loads()
    {
        std::vector<std::string> loads;
        for (int i = 0; i < Load().ListCount(); ++i) loads.push_back(Load().List(i));
        return loads;
    }
};

// Another record of the class shown in the open editor, with another adapter and load than
// the one shown before: the lists follow it, and neither record is written nor the host told.
template <class Record, class EditorClass>
void ExpectAnotherRecordShownUntouched(PacerHarness<Record, EditorClass>& harness, const std::shared_ptr<Record>& record,
                                       const std::shared_ptr<host::IDialog>& dialog)
{
    auto other = std::make_shared<Record>();
    other->SetAdapterIndex(3);
    other->SetAdapter("PXA6 MDE");
    other->SetLoadIndex(2);
    other->SetLoad("Open");
    const auto before = std::make_tuple(record->GetAdapterIndex(), record->GetAdapter(), record->GetLoadIndex(), record->GetLoad());
    dialog->Initialize(plat::Variant(plat::ObjectPtr(other)));
    EXPECT_EQ(harness.AdapterShown(), 3);
    EXPECT_EQ(harness.LoadShown(), 2);
    EXPECT_EQ(std::make_tuple(other->GetAdapterIndex(), other->GetAdapter(), other->GetLoadIndex(), other->GetLoad()),
              std::make_tuple(int16_t{3}, std::string("PXA6 MDE"), int16_t{2}, std::string("Open")));
    EXPECT_EQ(std::make_tuple(record->GetAdapterIndex(), record->GetAdapter(), record->GetLoadIndex(), record->GetLoad()),
              before);
}

using PacerParEditor = PacerHarness<CConfigPacerPar, XPacerParConfig>;
using PacerRefEditor = PacerHarness<CConfigPacerRef, XPacerRefConfig>;

} // namespace

TEST_F(PacerParEditor, TheInternalLoadIsShownOnceAndDisabled)
{
    host::HostTranslator::Process()->SetText("ZARVIK", "20350", "Interne Last 50 Ohm");
    const std::string storedAdapter = record->GetAdapter();
    const std::string storedLoad = record->GetLoad();
    Open();
    ASSERT_EQ(Adapter().ListCount(), 11);
    EXPECT_EQ(Adapter().Text(), "Interne Last 50 Ohm");
    EXPECT_EQ(Adapter().List(10), "PXA18 MRL");
    EXPECT_EQ(Loads(), std::vector<std::string>{"50 Ohms"});
    EXPECT_EQ(Load().ListIndex(), 0);
    EXPECT_FALSE(Load().Enabled());
    EXPECT_EQ(Rate().Text(), "60");
    EXPECT_EQ(Amplitude().Text(), "50");
    EXPECT_EQ(record->GetAdapter(), storedAdapter);
    EXPECT_EQ(record->GetLoad(), storedLoad);
    EXPECT_EQ(Changes(), 0);
}

TEST_F(PacerParEditor, ChoosingAnAdapterWritesItAndItsFirstLoad)
{
    host::HostTranslator::Process()->SetText("ZARVIK", "20368", "Offen");
    Open();
    driver.Select(Adapter(), 3);
    EXPECT_EQ(Loads(), (std::vector<std::string>{"600 Ohms", "1000 Ohms", "Offen"}));
    EXPECT_EQ(Load().Text(), "600 Ohms");
    EXPECT_TRUE(Load().Enabled());
    EXPECT_EQ(record->GetAdapterIndex(), 3);
    EXPECT_EQ(record->GetAdapter(), "PXA6 MDE");
    EXPECT_EQ(record->GetLoadIndex(), 0);
    EXPECT_EQ(record->GetLoad(), "600 Ohms");
    EXPECT_EQ(Changes(), 2);

    driver.Select(Load(), 2);
    EXPECT_EQ(record->GetLoadIndex(), 2);
    EXPECT_EQ(record->GetLoad(), "Offen");
    EXPECT_EQ(Changes(), 3);

    driver.Select(Adapter(), 0);
    EXPECT_EQ(Loads(), std::vector<std::string>{"50 Ohms"});
    EXPECT_FALSE(Load().Enabled());
    EXPECT_EQ(record->GetAdapterIndex(), 0);
    EXPECT_EQ(record->GetLoadIndex(), 0);
    EXPECT_EQ(record->GetLoad(), "50 Ohms");
    EXPECT_EQ(Changes(), 5);
}

TEST_F(PacerParEditor, TheNumberBoxesTakeDigitsOnly)
{
    Open();
    driver.SelectAll(Rate());
    driver.Type(Rate(), "1-2.0");
    EXPECT_EQ(Rate().Text(), "120");
    EXPECT_EQ(record->GetRate(), 120.0f);
    EXPECT_EQ(Changes(), 3);

    // An emptied rate box stores 0; an emptied amplitude box keeps the amplitude. Both tell.
    driver.SelectAll(Rate());
    driver.PressKey(Rate(), 8);
    EXPECT_EQ(record->GetRate(), 0.0f);
    EXPECT_EQ(Changes(), 4);
    driver.Focus(Amplitude());
    EXPECT_EQ(Amplitude().SelLength(), 2);
    driver.PressKey(Amplitude(), 8);
    EXPECT_EQ(record->GetAmplitude(), 50.0f);
    EXPECT_EQ(Changes(), 5);
    driver.Type(Amplitude(), "75");
    EXPECT_EQ(record->GetAmplitude(), 75.0f);
    EXPECT_EQ(Changes(), 7);

    // A number too large for the record is not stored; the host is still told.
    ResetChanges();
    Rate().SetText(std::string(400, '9'));
    EXPECT_EQ(record->GetRate(), 0.0f);
    EXPECT_EQ(Changes(), 1);
}

TEST_F(PacerParEditor, ShowsDecimalAmountsWithAPointInADecimalCommaLocale)
{
    ztesting::DecimalCommaLocale comma;
    record->SetAmplitude(2.5f);
    record->SetRate(70.5f);
    Open();
    EXPECT_EQ(Amplitude().Text(), "2.5");
    EXPECT_EQ(Rate().Text(), "70.5");
    EXPECT_EQ(Changes(), 0);

    // Read back from the boxes (a click runs each box's handler), the amounts stay as they were.
    driver.Click(Amplitude());
    driver.Click(Rate());
    EXPECT_EQ(record->GetAmplitude(), 2.5f);
    EXPECT_EQ(record->GetRate(), 70.5f);
    EXPECT_EQ(Changes(), 2);
}

TEST_F(PacerParEditor, LockingDisablesTheInputsAndUnlockingEnablesTheLoadList)
{
    Open();
    dialog->SetLocked(true);
    for (const char* name : {"cboAdapter", "cboLoad", "txtPresetPacerRate", "txtPresetPacerAmplitude"}) {
        EXPECT_FALSE(Find<plat::Control>(name).Enabled()) << name;
    }
    // Showing an adapter while locked keeps the load list disabled.
    record->SetAdapterIndex(5);
    Reinitialize();
    EXPECT_FALSE(Load().Enabled());
    dialog->SetLocked(false);
    for (const char* name : {"cboAdapter", "cboLoad", "txtPresetPacerRate", "txtPresetPacerAmplitude"}) {
        EXPECT_TRUE(Find<plat::Control>(name).Enabled()) << name;
    }
    EXPECT_EQ(Changes(), 0);
}

TEST_F(PacerParEditor, StoredIndexesThatNameNoEntryLeaveTheListsAsTheyWere)
{
    record->SetAdapterIndex(11);
    record->SetLoadIndex(-1);
    Open();
    EXPECT_EQ(Adapter().ListIndex(), 0);
    EXPECT_EQ(Load().ListIndex(), 0);
    EXPECT_EQ(record->GetAdapterIndex(), 11);
    EXPECT_EQ(record->GetLoadIndex(), -1);

    record->SetAdapterIndex(5);
    record->SetAdapter("");
    record->SetLoadIndex(7);
    Reinitialize();
    EXPECT_EQ(Adapter().ListIndex(), 5);
    EXPECT_EQ(Load().ListIndex(), 0);
    EXPECT_EQ(record->GetLoadIndex(), 7);
    EXPECT_EQ(Changes(), 0);
}

// The stored texts of another adapter: the parameter editor shows them where the list holds
// them (the text wins), the refractory editor the entries at the stored indexes.
TEST_F(PacerParEditor, AStoredTextTheListHoldsWinsOverTheIndex)
{
    record->SetAdapterIndex(3);
    record->SetAdapter("PXA9 Physio Control");
    record->SetLoadIndex(1);
    record->SetLoad("1500 Ohms");
    Open();
    EXPECT_EQ(Adapter().ListIndex(), 5);
    EXPECT_EQ(Load().Text(), "1500 Ohms");
    EXPECT_EQ(record->GetAdapterIndex(), 3);
    EXPECT_EQ(Changes(), 0);
}

TEST_F(PacerRefEditor, TheStoredIndexesWinOverTheStoredTexts)
{
    record->SetAdapterIndex(3);
    record->SetAdapter("PXA9 Physio Control");
    record->SetLoadIndex(1);
    record->SetLoad("1500 Ohms");
    Open();
    EXPECT_EQ(Adapter().ListIndex(), 3);
    EXPECT_EQ(Load().Text(), "1000 Ohms");
    EXPECT_EQ(record->GetAdapter(), "PXA9 Physio Control");
    EXPECT_EQ(Changes(), 0);

    // A text saved in another language is not in the list: the index shows.
    record->SetAdapter("PXA6 MDE (fr)");
    record->SetAdapterIndex(7);
    Reinitialize();
    EXPECT_EQ(Adapter().ListIndex(), 7);
}

TEST_F(PacerRefEditor, LaysOutForItsFixedSize)
{
    Open();
    auto& pacer = Find<plat::Frame>("fraPacer");
    auto& settings = Find<plat::Frame>("fraTestGuideSettings");
    auto& empty = Find<plat::Frame>("fraEmpty");
    dialog->Move(0, 0, 12000, 5000);
    const float height = pacer.Height();
    EXPECT_FLOAT_EQ(pacer.Width(), 10785 * 0.55f);
    EXPECT_FLOAT_EQ(settings.Left(), 10785 * 0.55f + 120);
    EXPECT_EQ(settings.Height(), height);
    EXPECT_FLOAT_EQ(empty.Left(), settings.Left() + settings.Width() + 120);
    EXPECT_FLOAT_EQ(empty.Width(), 12000 - empty.Left());
    // A smaller editor is laid out alike; the empty frame keeps its last width when none is left.
    dialog->Move(0, 0, 3000, 1000);
    EXPECT_EQ(pacer.Height(), height);
    EXPECT_FLOAT_EQ(pacer.Width(), 10785 * 0.55f);
}

TEST_F(PacerParEditor, AnotherRecordIsShownWithoutWritingOrNotifying)
{
    Open();
    ExpectAnotherRecordShownUntouched(*this, record, dialog);
    EXPECT_EQ(Changes(), 0);
}

TEST_F(PacerRefEditor, AnotherRecordIsShownWithoutWritingOrNotifying)
{
    Open();
    ExpectAnotherRecordShownUntouched(*this, record, dialog);
    EXPECT_EQ(Changes(), 0);
}
