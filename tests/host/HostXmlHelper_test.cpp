#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlErrors.h"
#include "host/documents/HostXmlHelper.h"
#include "platform/base/ComError.h"
#include "tests/support/DecimalCommaLocale.h"
#include "tests/support/Errors.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

using host::HostXmlDocument;
using host::HostXmlElement;
using host::HostXmlHelper;
using plat::ComError;
using plat::Variant;
using ztesting::ErrorOf;

namespace {

// The element as it comes back from a saved document, so that every round trip goes through
// the text of a file.
std::shared_ptr<HostXmlElement> ThroughText(const std::shared_ptr<HostXmlElement>& element)
{
    auto document = element->OwnerDocument();
    auto root = document->CreateElement("Root");
    document->SetDocumentElement(root);
    root->AppendChild(element);
    auto loaded = HostXmlDocument::Create();
    loaded->LoadXml(document->Xml());
    return loaded->DocumentElement()->ChildNodes()->Item(0);
}

std::string Show(const Variant& value)
{
    std::string kind = plat::VarTypeName(value.Type());
    switch (value.Type()) {
    case plat::VarType::String: return kind + " \"" + value.AsString() + "\"";
    case plat::VarType::Single: return kind + " " + std::to_string(value.AsSingle());
    case plat::VarType::Double: return kind + " " + std::to_string(value.AsDouble());
    default: return kind;
    }
}

bool SameValue(const Variant& a, const Variant& b)
{
    if (a.Type() == plat::VarType::Double && b.Type() == plat::VarType::Double && std::isnan(a.AsDouble())) {
        return std::isnan(b.AsDouble());
    }
    if (a.Type() == plat::VarType::Single && b.Type() == plat::VarType::Single && std::isnan(a.AsSingle())) {
        return std::isnan(b.AsSingle());
    }
    // Strict equality of kind and value; -0.0 must keep its sign as well.
    if (!(a == b)) return false;
    if (a.Type() == plat::VarType::Double) return std::signbit(a.AsDouble()) == std::signbit(b.AsDouble());
    if (a.Type() == plat::VarType::Single) return std::signbit(a.AsSingle()) == std::signbit(b.AsSingle());
    return true;
}

const Variant kValues[] = {
    Variant(),
    Variant::Null(),
    Variant(true),
    Variant(false),
    Variant(int16_t{0}),
    Variant(int16_t{-32768}),
    Variant(int16_t{32767}),
    Variant(0),
    Variant(std::numeric_limits<int32_t>::min()),
    Variant(std::numeric_limits<int32_t>::max()),
    Variant(0.1f),
    Variant(-123.456f),
    Variant(16777216.0f),
    Variant(1.0000001f),
    Variant(std::numeric_limits<float>::max()),
    Variant(std::numeric_limits<float>::denorm_min()),
    Variant(-0.0f),
    Variant(0.1),
    Variant(0.1 + 0.2),
    Variant(1e20),
    Variant(-2.5e-7),
    Variant(std::numeric_limits<double>::max()),
    Variant(std::numeric_limits<double>::denorm_min()),
    Variant(std::numeric_limits<double>::infinity()),
    Variant(-std::numeric_limits<double>::infinity()),
    Variant(std::numeric_limits<double>::quiet_NaN()),
    Variant(std::numeric_limits<float>::infinity()),
    Variant(""),
    Variant(" "),
    Variant("NOSYNC"),
    Variant("12.5"),
    Variant("True"),
    Variant("Empty"),
    Variant("a < b & \"c\"\r\n"),
};

} // namespace

TEST(HostXmlHelper, EveryValueKindComesBackAsItWentIn)
{
    HostXmlHelper helper;
    auto document = helper.CreateDocument();
    for (const Variant& value : kValues) {
        for (int32_t valueType : {0, 1, 3, 5, -1}) {
            SCOPED_TRACE(Show(value) + " of value type " + std::to_string(valueType));
            auto element = ThroughText(helper.CreateValueElement(HostXmlDocument::Create(), value, valueType));
            Variant read;
            int32_t readType = 99;
            helper.ReadValueElement(element, read, readType);
            EXPECT_TRUE(SameValue(read, value)) << Show(read);
            EXPECT_EQ(readType, valueType);
        }
    }
}

TEST(HostXmlHelper, StatusAndItsTextComeBackAsTheyWentIn)
{
    HostXmlHelper helper;
    const Variant texts[] = {Variant(), Variant(""), Variant("NA"), Variant(7), Variant(2.5), Variant(true)};
    for (int32_t status : {0, 1, 2, 3, -1}) {
        for (const Variant& text : texts) {
            SCOPED_TRACE(std::to_string(status) + " with " + Show(text));
            auto element = ThroughText(helper.CreateStatusElement(HostXmlDocument::Create(), status, text));
            int32_t readStatus = 99;
            Variant readText("stale");
            helper.ReadStatusElement(element, readStatus, readText);
            EXPECT_EQ(readStatus, status);
            EXPECT_TRUE(SameValue(readText, text)) << Show(readText);
        }
    }
}

TEST(HostXmlHelper, LayoutNamesTheKindAndWritesPointDecimals)
{
    HostXmlHelper helper;
    auto document = helper.CreateDocument();
    EXPECT_EQ(helper.CreateValueElement(document, Variant(12.5), 1)->Xml(),
              "<Value Type=\"Double\" ValueType=\"1\">12.5</Value>");
    EXPECT_EQ(helper.CreateValueElement(document, Variant(true), 3)->Xml(),
              "<Value Type=\"Boolean\" ValueType=\"3\">True</Value>");
    EXPECT_EQ(helper.CreateValueElement(document, Variant(), 0)->Xml(), "<Value Type=\"Empty\" ValueType=\"0\"/>");
    EXPECT_EQ(helper.CreateStatusElement(document, 2, Variant())->Xml(), "<Status>2</Status>");
    EXPECT_EQ(helper.CreateStatusElement(document, 3, Variant("NA"))->Xml(),
              "<Status Text=\"NA\" TextType=\"String\">3</Status>");
}

TEST(HostXmlHelper, NumbersIgnoreTheLocale)
{
    std::string text;
    Variant read;
    {
        ztesting::DecimalCommaLocale locale;
        ZTEST_NEED_DECIMAL_COMMA_C_LOCALE(locale);
        HostXmlHelper helper;
        auto element = helper.CreateValueElement(helper.CreateDocument(), Variant(1234.5), 1);
        text = element->Text();
        int32_t readType = 0;
        helper.ReadValueElement(element, read, readType);
    }
    EXPECT_EQ(text, "1234.5");
    EXPECT_EQ(read, Variant(1234.5));
}

TEST(HostXmlHelper, ElementsWrittenByHandAreReadWithSensibleDefaults)
{
    HostXmlHelper helper;
    struct Case {
        const char* xml;
        Variant value;
        int32_t valueType;
    };
    const Case cases[] = {
        {"<Value>12.5</Value>", Variant("12.5"), 0},
        {"<Value/>", Variant(), 0},
        {"<Value ValueType=\"2\"> 7 </Value>", Variant(" 7 "), 2},
        {"<Value Type=\"Long\"> 7 </Value>", Variant(7), 0},
        {"<Value Type=\"Double\" ValueType=\"1\">1E+20</Value>", Variant(1e20), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        auto document = HostXmlDocument::Create();
        document->LoadXml(c.xml);
        Variant value;
        int32_t valueType = 99;
        helper.ReadValueElement(document->DocumentElement(), value, valueType);
        EXPECT_TRUE(SameValue(value, c.value)) << Show(value);
        EXPECT_EQ(valueType, c.valueType);
    }

    auto document = HostXmlDocument::Create();
    document->LoadXml("<Status Text=\"plain\"/>");
    int32_t status = 99;
    Variant text;
    helper.ReadStatusElement(document->DocumentElement(), status, text);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(text, Variant("plain"));
}

TEST(HostXmlHelper, UnreadableElementsRaiseAndChangeNothing)
{
    HostXmlHelper helper;
    struct Case {
        const char* xml;
        int32_t code;
    };
    const Case cases[] = {
        {"<Measurement>1</Measurement>", host::xmlerr::WrongNode},
        {"<Status>1</Status>", host::xmlerr::WrongNode},
        {"<Value Type=\"Long\">abc</Value>", host::xmlerr::BadValue},
        {"<Value Type=\"Long\">12abc</Value>", host::xmlerr::BadValue},
        {"<Value Type=\"Long\"></Value>", host::xmlerr::BadValue},
        {"<Value Type=\"Long\">2147483648</Value>", plat::rt::Overflow},
        {"<Value Type=\"Integer\">40000</Value>", plat::rt::Overflow},
        {"<Value Type=\"Integer\">99999999999999999999999</Value>", plat::rt::Overflow},
        {"<Value Type=\"Single\">1E+39</Value>", plat::rt::Overflow},
        {"<Value Type=\"Double\">1,5</Value>", host::xmlerr::BadValue},
        {"<Value Type=\"Boolean\">true</Value>", host::xmlerr::BadValue},
        {"<Value Type=\"Object\">x</Value>", host::xmlerr::BadValue},
        {"<Value Type=\"Double\" ValueType=\"one\">1</Value>", host::xmlerr::BadValue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        auto document = HostXmlDocument::Create();
        document->LoadXml(c.xml);
        Variant value("kept");
        int32_t valueType = 42;
        ComError error = ErrorOf([&] { helper.ReadValueElement(document->DocumentElement(), value, valueType); });
        EXPECT_EQ(error.Number(), c.code) << error.Description();
        EXPECT_EQ(value, Variant("kept"));
        EXPECT_EQ(valueType, 42);
    }

    for (const char* xml : {"<Value>1</Value>", "<Status>x</Status>", "<Status TextType=\"Long\" Text=\"x\">1</Status>"}) {
        SCOPED_TRACE(xml);
        auto document = HostXmlDocument::Create();
        document->LoadXml(xml);
        int32_t status = 42;
        Variant text("kept");
        EXPECT_THROW(helper.ReadStatusElement(document->DocumentElement(), status, text), ComError);
        EXPECT_EQ(status, 42);
        EXPECT_EQ(text, Variant("kept"));
    }
}

TEST(HostXmlHelper, ValuesWithoutATextFormAndMissingObjectsAreRefused)
{
    HostXmlHelper helper;
    auto document = helper.CreateDocument();
    EXPECT_EQ(ErrorOf([&] { helper.CreateValueElement(document, Variant(plat::VariantArray::OneDim(0, 2)), 0); })
                  .Number(),
              plat::rt::TypeMismatch);
    EXPECT_EQ(ErrorOf([&] { helper.CreateValueElement(nullptr, Variant(1), 0); }).Number(), plat::rt::ObjectNotSet);
    EXPECT_EQ(ErrorOf([&] { helper.CreateStatusElement(nullptr, 1, Variant()); }).Number(), plat::rt::ObjectNotSet);
    Variant value;
    int32_t valueType = 0;
    EXPECT_EQ(ErrorOf([&] { helper.ReadValueElement(nullptr, value, valueType); }).Number(), plat::rt::ObjectNotSet);
}

TEST(HostXmlHelper, ChildTextTellsAMissingChildFromAnEmptyOne)
{
    auto document = HostXmlDocument::Create();
    document->LoadXml("<PlugInData><Wavetype/><PresetEnergy>150</PresetEnergy><PresetEnergy>2</PresetEnergy></PlugInData>");
    auto root = document->DocumentElement();
    EXPECT_EQ(HostXmlHelper::ChildText(*root, "PresetEnergy"), "150");
    EXPECT_EQ(HostXmlHelper::ChildText(*root, "Wavetype"), "");
    EXPECT_EQ(HostXmlHelper::ChildText(*root, "WaveFormIndex"), std::nullopt);
}
