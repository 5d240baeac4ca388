// What holds for every editor built of control groups (wave lists, duration, pacer load, ECG
// threshold, atrial pace lists): opening a record writes none of its stored values except the
// ECG editor's values that follow its indexes, and no operator action on an editor without a
// record lets an error out; each still tells the host.
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "platform/com/ComRuntime.h"
#include "platform/ui/CheckBox.h"
#include "testlib/config/CConfigArr.h"
#include "testlib/config/CConfigEcg.h"
#include "testlib/config/CConfigNSW.h"
#include "testlib/config/CConfigPacerPar.h"
#include "testlib/config/CConfigPacerRef.h"
#include "testlib/config/CConfigPerf.h"
#include "tests/testlib/editors/EditorFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

struct GroupEditorCase {
    const char* editorProgId;
    // A record with stored values away from the defaults (and, where the editor has them,
    // consistent with what it shows).
    std::function<std::shared_ptr<ztest::CConfigBase>()> record;
};

const GroupEditorCase kCases[] = {
    {"TelvoZarvikTest.XNSWConfig",
     [] {
         auto record = std::make_shared<ztest::CConfigNSW>();
         record->SetWavetype(105);
         record->SetDuration(0);
         return record;
     }},
    {"TelvoZarvikTest.XPerfConfig",
     [] {
         auto record = std::make_shared<ztest::CConfigPerf>();
         record->SetWavetype(311);
         record->SetDuration(75);
         record->SetLead(0);
         return record;
     }},
    {"TelvoZarvikTest.XArrConfig",
     [] {
         auto record = std::make_shared<ztest::CConfigArr>();
         record->SetWavetype(229);
         record->SetWidth(0.3f);
         record->SetAmplitude(-20.0f);
         record->SetDuration(-4);
         return record;
     }},
    {"TelvoZarvikTest.XEcgConfig",
     [] {
         auto record = std::make_shared<ztest::CConfigEcg>();
         record->SetWidthIndex(2.0f);
         record->SetWidth(20.0f);
         record->SetAmplitudeIndex(30.0f);
         record->SetAutoIncrement(1);
         record->SetDuration(61);
         return record;
     }},
    {"TelvoZarvikTest.XPacerParConfig",
     [] {
         auto record = std::make_shared<ztest::CConfigPacerPar>();
         record->SetAdapterIndex(7);
         record->SetAdapter("Adapter in einer anderen Sprache");
         record->SetLoadIndex(4);
         record->SetLoad("400 Ohms");
         record->SetRate(72.5f);
         return record;
     }},
    {"TelvoZarvikTest.XPacerRefConfig",
     [] {
         auto record = std::make_shared<ztest::CConfigPacerRef>();
         record->SetAdapterIndex(-3);
         record->SetLoadIndex(1);
         record->SetAmplitude(0.0f);
         return record;
     }},
};

std::string Name(const ::testing::TestParamInfo<GroupEditorCase>& info)
{
    std::string name = info.param.editorProgId;
    return name.substr(name.find('.') + 1);
}

class GroupEditor : public ztesting::EditorFixture, public ::testing::WithParamInterface<GroupEditorCase> {
protected:
    // Acts on every input an operator can reach, as an operator would.
    void OperateEverything()
    {
        for (const auto& control : Editor().NamedControls()) {
            if (!ztesting::UiDriver::CanOperate(*control)) continue;
            SCOPED_TRACE(control->Name());
            if (auto combo = std::dynamic_pointer_cast<plat::ComboBox>(control)) {
                if (combo->ListCount() > 0) driver.Select(*combo, combo->ListCount() - 1);
            } else if (auto list = std::dynamic_pointer_cast<plat::ListBox>(control)) {
                if (list->ListCount() > 0) driver.Check(*list, list->ListCount() - 1);
            } else if (auto box = std::dynamic_pointer_cast<plat::TextBox>(control)) {
                driver.Type(*box, "5");
                driver.PressKey(*box, 8);
            } else if (auto slider = std::dynamic_pointer_cast<plat::Slider>(control)) {
                driver.MoveSlider(*slider, slider->Value() == slider->Max() ? slider->Min() : slider->Max());
            } else if (std::dynamic_pointer_cast<plat::CheckBox>(control) ||
                       std::dynamic_pointer_cast<plat::OptionButton>(control)) {
                driver.Click(*control);
            }
        }
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Editors, GroupEditor, ::testing::ValuesIn(kCases), Name);

TEST_P(GroupEditor, OpeningARecordWritesNoneOfItsStoredValues)
{
    auto record = GetParam().record();
    const auto document = host::HostXmlDocument::Create();
    const std::string before = record->Save(document)->Xml();
    Open(record);
    EXPECT_FALSE(Editor().Loading());
    EXPECT_EQ(Changes(), 0);
    std::string after = record->Save(document)->Xml();
    if (std::string(GetParam().editorProgId) == "TelvoZarvikTest.XEcgConfig") {
        // The width follows its index; the amplitude index names no entry and stays as stored.
        EXPECT_EQ(std::dynamic_pointer_cast<ztest::CConfigEcg>(record)->GetWidth(), 20.0f);
    }
    EXPECT_EQ(after, before);
}

TEST_P(GroupEditor, NoOperatorActionWithoutARecordLetsAnErrorOut)
{
    OpenUnbound(GetParam().editorProgId);
    EXPECT_NO_THROW(OperateEverything());
    EXPECT_GT(Changes(), 0);
    EXPECT_FALSE(Editor().Loading());
    // Locked and unlocked without a record: nothing is left disabled for good.
    host.Dialog()->SetLocked(true);
    host.Dialog()->SetLocked(false);
    EXPECT_NO_THROW(OperateEverything());
}
