#include "ResultTestSupport.h"

#include "host/documents/HostLoadLog.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace ztesting {
namespace {

using ztest::CConfigDefib;
using ztest::CResultBatCap;
using ztest::CResultDefib;

std::vector<std::string> KeysOf(const ztest::CResultRecord& record)
{
    std::vector<std::string> keys;
    for (const auto& measurement : record.Measurements()) keys.push_back(measurement->GetKey());
    return keys;
}

// The values of the series, in order: a number, or none for a measurement without a value.
std::vector<std::optional<double>> ValuesOf(const ztest::CResultRecord& record)
{
    std::vector<std::optional<double>> values;
    for (const auto& measurement : record.Measurements()) {
        const plat::Variant& value = measurement->GetValue();
        values.push_back(value.IsEmpty() ? std::nullopt : std::optional<double>(value.AsDouble()));
    }
    return values;
}

std::vector<std::optional<double>> Expected(std::size_t count, std::vector<std::optional<double>> first)
{
    first.resize(count);
    return first;
}

std::shared_ptr<CResultDefib> MakeDefib(ResultWorld& world, bool batteryOperated, float presetEnergy = 150.0f)
{
    auto config = std::make_shared<CConfigDefib>();
    config->SetBatteryOperated(batteryOperated);
    config->SetPresetEnergy(presetEnergy);
    world.element->SetConfiguration(config);
    auto record = std::make_shared<CResultDefib>();
    record->Initialize(config);
    return record;
}

TEST(SeriesResults, PulseCountFollowsTheBatteryOperatedFlag)
{
    struct Case {
        const char* what;
        std::optional<bool> batteryOperated; // none: no configuration record
        std::size_t count;
        plat::Variant preset;
    };
    const Case cases[] = {
        {"battery operated", true, 10, plat::Variant(150.0f)},
        {"mains operated", false, 15, plat::Variant(150.0f)},
        {"no configuration", std::nullopt, 15, plat::Variant()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResultWorld world;
        std::shared_ptr<CResultDefib> record;
        if (c.batteryOperated) {
            record = MakeDefib(world, *c.batteryOperated);
        } else {
            record = std::make_shared<CResultDefib>();
            record->Initialize(nullptr);
        }
        EXPECT_EQ(KeysOf(*record), Numbered("ENGY", static_cast<int>(c.count)));
        for (const auto& measurement : record->Measurements()) {
            EXPECT_EQ(measurement->GetPresetValue(), c.preset);
            EXPECT_EQ(measurement->GetUnit(), "J");
            EXPECT_EQ(measurement->GetValueFormat(), "# ##0.0");
        }
        EXPECT_EQ(record->Measurements()[1]->Description(), "Discharge Energy 2");
    }
}

TEST(SeriesResults, ChargeTimesAreFifteenWithoutPreset)
{
    ResultWorld world;
    auto record = std::make_shared<CResultBatCap>();
    record->Initialize(nullptr);
    EXPECT_EQ(KeysOf(*record), Numbered("CHTI", 15));
    for (const auto& measurement : record->Measurements()) {
        EXPECT_TRUE(measurement->GetPresetValue().IsEmpty());
        EXPECT_EQ(measurement->GetUnit(), "s");
    }
    EXPECT_EQ(record->Measurements()[14]->Description(), "Charge Time 15");
}

TEST(SeriesResults, CaptionsKeepTheLanguageOfInitialize)
{
    ResultWorld world;
    auto translator = std::make_shared<host::HostTranslator>();
    host::HostTranslator::SetProcess(translator);
    translator->SetText("ZARVIK", "20124", "Ladezeit");
    auto record = std::make_shared<CResultBatCap>();
    record->Initialize(nullptr);
    translator->SetText("ZARVIK", "20124", "Temps de charge");
    EXPECT_EQ(record->Measurements()[2]->Description(), "Ladezeit 3");
}

TEST(SeriesResults, PulseEnergiesEndAtTheFirstEmptyEntry)
{
    struct Case {
        const char* what;
        std::vector<std::string> entries;
        int16_t last;
        std::vector<std::optional<double>> values; // of the first measurements; the rest none
    };
    const Case cases[] = {
        {"empty entry ends", {"150.2", "", "149.8"}, 2, {150.2}},
        {"all", {"150.2", "149.8", "151"}, 2, {150.2, 149.8, 151.0}},
        {"up to last only", {"1", "2", "3"}, 1, {1.0, 2.0}},
        {"leading number", {"12.5,3", "abc", " 7 J"}, 2, {12.5, 0.0, 7.0}},
        {"no discharge", std::vector<std::string>(11, ""), 9, {}},
        {"last beyond the entries", {"1", "2"}, 9, {1.0, 2.0}},
        {"last beyond the set", std::vector<std::string>(20, "5"), 19, std::vector<std::optional<double>>(10, 5.0)},
        {"negative last", {"1"}, -1, {}},
        {"no entries", {}, 9, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResultWorld world;
        auto record = MakeDefib(world, true);
        record->StoreResult(c.entries, c.last);
        EXPECT_EQ(ValuesOf(*record), Expected(10, c.values));
        EXPECT_EQ(record->MeasurementCount(), 10);
    }
}

TEST(SeriesResults, ChargeTimesSkipEmptyEntries)
{
    struct Case {
        const char* what;
        std::vector<std::string> entries;
        std::vector<std::optional<double>> values;
    };
    std::vector<std::string> sixteen(16, "6");
    sixteen[15] = "99";
    const Case cases[] = {
        {"empty entry skipped", {"150.2", "", "149.8", "", ""}, {150.2, 7.0, 149.8}},
        {"sixteen slots", sixteen, std::vector<std::optional<double>>(15, 6.0)},
        {"fewer than fifteen", {"1", "2"}, {1.0, 2.0}},
        {"no entries", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResultWorld world;
        auto record = std::make_shared<CResultBatCap>();
        record->Initialize(nullptr);
        // A value from before stays where the entry is empty.
        record->Measurements()[1]->SetValue(7.0);
        std::vector<std::optional<double>> expected = Expected(15, c.values);
        if (!expected[1]) expected[1] = 7.0;
        record->StoreResult(c.entries);
        EXPECT_EQ(ValuesOf(*record), expected);
        EXPECT_EQ(record->MeasurementCount(), 15);
    }
}

TEST(SeriesResults, AStoredSeriesLongerThanTheConfiguredOneSurvivesALoad)
{
    // Fifteen pulses stored by a mains-operated run...
    ResultWorld world;
    auto stored = MakeDefib(world, false);
    std::vector<std::string> energies;
    for (int i = 1; i <= 15; ++i) energies.push_back(std::to_string(100 + i));
    stored->StoreResult(energies, 14);
    stored->UpdateStatus(world.element, world.standards, false);
    ASSERT_EQ(stored->Status(), ztest::CResultRecord::StatusPassed);
    auto document = host::HostXmlDocument::Create();
    auto element = stored->Save(document);
    ASSERT_TRUE(element);

    // ...loaded after the configuration was switched to battery operation.
    ResultWorld other;
    auto loaded = MakeDefib(other, true);
    auto log = std::make_shared<host::HostLoadLog>();
    loaded->Load(element, log);
    EXPECT_TRUE(log->Entries().empty()) << log->ToText();
    EXPECT_EQ(KeysOf(*loaded), Numbered("ENGY", 15));
    EXPECT_EQ(loaded->Measurements()[14]->GetValue(), plat::Variant(115.0));
    EXPECT_EQ(loaded->Measurements()[14]->GetPresetValue(), plat::Variant(150.0f));
    EXPECT_EQ(loaded->Save(host::HostXmlDocument::Create())->Xml(), element->Xml());
}

TEST(SeriesResults, LoadMakesOnlyMeasurementsOfTheSeries)
{
    ResultWorld world;
    auto record = std::make_shared<CResultBatCap>();
    record->Initialize(nullptr);
    auto document = host::HostXmlDocument::Create();
    document->LoadXml(R"(<ResultItem><Status>1</Status>
        <Measurement Key="CHTI17"><Value Type="Double" ValueType="1">3.5</Value></Measurement>
        <Measurement Key="CHTI16"><Value Type="Double" ValueType="1">2.5</Value></Measurement>
        <Measurement Key="CHTI0"/><Measurement Key="CHTI01"/><Measurement Key="CHTI100"/>
        <Measurement Key="CHTIx"/><Measurement Key="CHT"/><Measurement Key="ENGY1"/>
        <Measurement Key="CHTI99999999999"/></ResultItem>)");
    auto log = std::make_shared<host::HostLoadLog>();
    record->Load(document->DocumentElement(), log);

    std::vector<std::string> keys = Numbered("CHTI", 17);
    EXPECT_EQ(KeysOf(*record), keys) << "new measurements take their place by number";
    EXPECT_EQ(record->Measurements()[15]->GetValue(), plat::Variant(2.5));
    EXPECT_EQ(record->Measurements()[16]->GetValue(), plat::Variant(3.5));
    EXPECT_EQ(record->Measurements()[16]->Description(), "Charge Time 17");
    // Seven keys are refused; the passed record also tells each measurement stored without a
    // status, or missing.
    std::size_t refused = 0;
    for (const auto& entry : log->Entries()) refused += entry.text.find("has no such measurement") != std::string::npos;
    EXPECT_EQ(refused, 7u) << log->ToText();

    // A record loaded before Initialize gets the stored series all the same.
    auto bare = std::make_shared<CResultBatCap>();
    bare->Load(document->DocumentElement(), nullptr);
    EXPECT_EQ(KeysOf(*bare), (std::vector<std::string>{"CHTI16", "CHTI17"}));
}

} // namespace
} // namespace ztesting
