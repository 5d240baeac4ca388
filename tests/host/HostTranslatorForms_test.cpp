#include "host/documents/HostTranslator.h"
#include "platform/ui/Form.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextBox.h"

#include <gtest/gtest.h>

#include <memory>

TEST(HostTranslatorForms, TranslatesLanguageTextsOfAFormAndEverythingInsideIt)
{
    host::HostTranslator translator;
    translator.SetText("ZARVIK", "20531", "Prüfung läuft");

    auto form = std::make_shared<plat::Form>("frmTest");
    form->SetCaption("20000::Analyzer");
    auto frame = form->Add<plat::Frame>("fraOuter");
    auto label = frame->Add<plat::Label>("lblStatus");
    label->SetCaption("20531::Test in progress");
    label->SetToolTipText("20532::Shown while the analyzer measures");
    auto box = form->Add<plat::TextBox>("txtOperator");
    box->SetText("an operator's own words");
    // A stored serial number that looks like a language-ID text is still the box's data.
    auto serial = frame->Add<plat::TextBox>("txtSerial");
    serial->SetText("SN::4711");

    translator.TranslateObject("ZARVIK", *form);

    EXPECT_EQ(form->Caption(), "Analyzer");
    EXPECT_EQ(label->Caption(), "Prüfung läuft") << "nested controls are reached through their container";
    EXPECT_EQ(label->ToolTipText(), "Shown while the analyzer measures");
    EXPECT_EQ(box->Text(), "an operator's own words") << "a text without an ID stays as it is";
    EXPECT_EQ(serial->Text(), "SN::4711") << "what a text box holds is never translated";
}
