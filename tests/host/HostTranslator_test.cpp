#include "host/documents/HostTranslator.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using host::HostTranslator;
using plat::Variant;
using plat::VariantArray;

namespace {

class HostTranslatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mFolder = mRoot / "tables";
        std::filesystem::create_directories(mFolder);
        // Mixed line ends, a comment, a line without a tab and escapes, as a hand-edited table has.
        Write(mFolder / "ZARVIK.lng",
              "\xEF\xBB\xBF# German\r\n"
              "20531\tTest l\xC3\xA4uft\r\n"
              "T1708\tKommentar\n"
              "20171\tBereit in %%1 Sekunden\n"
              "20100\tEKG-Schwelle\n"
              "not a line of the table\n"
              "\n"
              "20999\tZeile 1\\nZeile 2\\tTab \\\\ Ende\n"
              "20200\t%%2 vor %%1\n");
        Write(mRoot / "Secret.lng", "20531\tleaked\n");
    }

    static void Write(const std::filesystem::path& file, const std::string& content)
    {
        std::ofstream(file, std::ios::binary) << content;
    }

    ztesting::TempFolder mTemp{"zarvik-lng"};
    std::filesystem::path mRoot = mTemp.Path();
    std::filesystem::path mFolder;
};

} // namespace

TEST_F(HostTranslatorTest, TranslatesEveryFormOfText)
{
    HostTranslator translator(mFolder);
    struct Case {
        const char* module;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"ZARVIK", "20531::Test in progress", "Test l\xC3\xA4uft"},
        {"ZARVIK", "20532::Not in the table", "Not in the table"},
        {"ZARVIK", "T1708::Comment", "Kommentar"},
        {"ZARVIK", " 20100::ECG R-Wave Threshold", "EKG-Schwelle"},
        {"ZARVIK", "20469:: mode on Defibrillator", " mode on Defibrillator"},
        {"ZARVIK", "20999::Two lines", "Zeile 1\nZeile 2\tTab \\ Ende"},
        {"ZARVIK", "20531::", "Test l\xC3\xA4uft"},
        {"ZARVIK", "20533::", ""},
        {"ZARVIK", "::No ID", "No ID"},
        {"ZARVIK", "Plain text", "Plain text"},
        {"ZARVIK", "", ""},
        {"ZARVIK", "Ratio 1::2", "Ratio 1::2"},     // no ID word before "::"
        {"ZARVIK", "http://x::y", "http://x::y"},
        {"OTHER", "20531::Test in progress", "Test in progress"},
        {"../Secret", "20531::Test in progress", "Test in progress"}, // never reads outside the folder
        {"", "20531::Test in progress", "Test in progress"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.module) + " " + c.text);
        EXPECT_EQ(translator.Translate(c.module, c.text), c.expected);
    }
}

TEST_F(HostTranslatorTest, SubstitutesArgumentsIntoTheTranslation)
{
    HostTranslator translator(mFolder);
    EXPECT_EQ(translator.Translate("ZARVIK", "20171::Standby to initiate charge in %%1 seconds", {Variant(int32_t{5})}),
              "Bereit in 5 Sekunden");
    EXPECT_EQ(translator.Translate("ZARVIK", "20200::%%1 before %%2", {Variant("A"), Variant("B")}), "B vor A");
    EXPECT_EQ(translator.Translate("ZARVIK", "20400::Last chargetime : %%1s", {Variant(2.5)}), "Last chargetime : 2.5s");

    // An argument's text is not scanned again, and a marker without an argument stays visible.
    EXPECT_EQ(translator.Translate("ZARVIK", "1::%%1 and %%2", {Variant("%%2")}), "%%2 and %%2");
    EXPECT_EQ(translator.Translate("ZARVIK", "1::%%1%%", {Variant("x")}), "x%%");
    // Texts that are not language texts are left alone, arguments or not.
    EXPECT_EQ(translator.Translate("ZARVIK", "Count %%1", {Variant("x")}), "Count %%1");
    // Arguments without text stand for nothing.
    EXPECT_EQ(translator.Translate("ZARVIK", "1::[%%1]", {Variant::Null()}), "[]");

    VariantArray fromOne = VariantArray::OneDim(1, 2);
    fromOne.At(1) = Variant("first");
    fromOne.At(2) = Variant("second");
    EXPECT_EQ(translator.Translate("ZARVIK", "1::%%1, %%2", fromOne), "first, second");
}

TEST_F(HostTranslatorTest, MemoryEntriesComeFirstAndTheFolderCanChange)
{
    HostTranslator translator;
    EXPECT_EQ(translator.Translate("ZARVIK", "20531::Test in progress"), "Test in progress");

    translator.SetTableFolder(mFolder);
    EXPECT_EQ(translator.Translate("ZARVIK", "20531::Test in progress"), "Test l\xC3\xA4uft");

    translator.SetText("ZARVIK", "20531", "Essai en cours");
    EXPECT_EQ(translator.Translate("ZARVIK", "20531::Test in progress"), "Essai en cours");
    EXPECT_EQ(translator.Translate("ZARVIK", "T1708::Comment"), "Kommentar");

    translator.SetTableFolder(mRoot / "missing");
    EXPECT_EQ(translator.Translate("ZARVIK", "T1708::Comment"), "Comment");
}

TEST(HostTranslatorProcess, CanBeReplacedAndRestored)
{
    auto original = HostTranslator::Process();
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(HostTranslator::Process(), original);

    auto replacement = std::make_shared<HostTranslator>();
    replacement->SetText("ZARVIK", "1", "eins");
    auto previous = HostTranslator::SetProcess(replacement);
    EXPECT_EQ(previous, original);
    EXPECT_EQ(HostTranslator::Process()->Translate("ZARVIK", "1::one"), "eins");

    HostTranslator::SetProcess(previous);
    EXPECT_EQ(HostTranslator::Process(), original);
}

TEST(HostTranslatorSplit, SeparatesIdAndDefaultText)
{
    auto parts = HostTranslator::Split("  T1708 ::Comment: see::below");
    ASSERT_TRUE(parts.has_value());
    EXPECT_EQ(parts->id, "T1708");
    EXPECT_EQ(parts->defaultText, "Comment: see::below");
    EXPECT_FALSE(HostTranslator::Split("no marker").has_value());
    EXPECT_FALSE(HostTranslator::Split("a-b::c").has_value());
}
