#include "ResultTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace ztesting {
namespace {

using ztest::CMeasurement;

// The rows of the records with named measurements: caption as shown in the default language,
// unit as stored, value type and format.
TEST(MeasurementSets, EachMeasurementAsTheRecordDefinesIt)
{
    struct Row {
        const char* record;
        const char* key;
        const char* caption;
        const char* unit;
        int32_t valueType;
        const char* format;
    };
    const Row rows[] = {
        {"CResultEnergy", "ENGY", "Energy", "J", 1, "# ##0.0"},
        {"CResultEnergy", "PEAV", "Peak Voltage", "V", 1, "# ##0.0"},
        {"CResultEnergy", "PEAC", "Peak Current", "A", 1, "# ##0.0"},
        {"CResultEnergy", "PULW", "Pulse Width", "ms", 1, "# ##0.0"},
        {"CResultCharge", "CHTI", "Charge Time", "s", 1, "# ##0.0"},
        {"CResultCardio", "CADT", "Cardio Delay Time", "ms", 1, "# ##0.00"},
        {"CResultPacerPar", "PACR", "Pacer Rate", " ppm", 1, "# ##0.0"},
        {"CResultPacerPar", "PACC", "Pacer Current", " A", 1, "# ##0.000"},
        {"CResultPacerPar", "PACW", "Pacer Width", " ms", 1, "# ##0.0"},
        {"CResultPacerRef", "SENS", "Sensed Rp", "ms", 2, "# ##0"},
        {"CResultPacerRef", "PACE", "Paced Rp", "ms", 2, "# ##0"},
        {"CResultEcg", "ECGR", "ECG R-Wave Detection ", "", 3, ""},
        {"CResultArr", "ARR", "AF1", "", 3, ""},
        {"CResultNSW", "NSW", "Sine 30 BPM", "", 3, ""},
        {"CResultPerf", "PERF", "ZERO", "", 3, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.record) + " " + row.key);
        ResultWorld world;
        auto record = KindNamed(row.record).make(world);
        auto measurement = record->FindMeasurement(row.key);
        ASSERT_TRUE(measurement);
        EXPECT_EQ(measurement->Description(), row.caption);
        EXPECT_EQ(measurement->GetUnit(), row.unit);
        EXPECT_EQ(measurement->ValueType(), row.valueType);
        EXPECT_EQ(measurement->GetValueFormat(), row.format);
        EXPECT_TRUE(measurement->GetValue().IsEmpty());
        EXPECT_EQ(measurement->GetStatus(), CMeasurement::StatusNotRated);
    }
}

TEST(MeasurementSets, TheEnergyMeasurementCarriesTheConfiguredPresetEnergy)
{
    for (const char* name : {"CResultEnergy", "CResultCharge", "CResultCardio"}) {
        SCOPED_TRACE(name);
        ResultWorld world;
        const RecordKind& kind = KindNamed(name);
        auto record = kind.create();
        kind.initialize(*record, world);
        auto config = std::dynamic_pointer_cast<ztest::CConfigDischarge>(world.element->Configuration());
        ASSERT_TRUE(config);
        config->SetPresetEnergy(175.5f);
        kind.initialize(*record, world);
        EXPECT_EQ(record->FindMeasurement("ENGY")->GetPresetValue(), plat::Variant(175.5f));
        for (const auto& measurement : record->Measurements()) {
            if (measurement->GetKey() != "ENGY") {
                EXPECT_TRUE(measurement->GetPresetValue().IsEmpty());
            }
        }
    }

    // A configuration of another record's class presets nothing; neither does an element
    // without one.
    ResultWorld world;
    ztest::CResultEnergy energy;
    world.element->SetConfiguration(std::make_shared<ztest::CConfigCharge>());
    energy.Initialize(world.element);
    EXPECT_EQ(energy.MeasurementCount(), 4);
    EXPECT_TRUE(energy.FindMeasurement("ENGY")->GetPresetValue().IsEmpty());
    energy.Initialize(nullptr);
    EXPECT_EQ(energy.MeasurementCount(), 4);
    EXPECT_TRUE(energy.FindMeasurement("ENGY")->GetPresetValue().IsEmpty());
}

TEST(MeasurementSets, PacerPresetsAreTheConfiguredRateAndCurrent)
{
    ResultWorld world;
    auto config = std::make_shared<ztest::CConfigPacerPar>();
    config->SetRate(60.0f);
    config->SetAmplitude(50.0f);
    ztest::CResultPacerPar record;
    record.Initialize(config);
    EXPECT_EQ(record.FindMeasurement("PACR")->GetPresetValue(), plat::Variant(60.0f));
    EXPECT_EQ(record.FindMeasurement("PACC")->GetPresetValue(), plat::Variant(0.05f));
    EXPECT_TRUE(record.FindMeasurement("PACW")->GetPresetValue().IsEmpty());

    record.Initialize(nullptr);
    EXPECT_EQ(record.MeasurementCount(), 3);
    for (const auto& measurement : record.Measurements()) EXPECT_TRUE(measurement->GetPresetValue().IsEmpty());
}

TEST(MeasurementSets, TheEcgCaptionKeepsTheLanguageOfInitialize)
{
    ResultWorld world;
    auto translator = std::make_shared<host::HostTranslator>();
    host::HostTranslator::SetProcess(translator);
    translator->SetText("ZARVIK", "20135", "EKG R-Zacken-Erkennung ");
    ztest::CResultEcg record;
    record.Initialize(nullptr);
    translator->SetText("ZARVIK", "20135", "Detection onde R ");
    EXPECT_EQ(record.Measurements().front()->Description(), "EKG R-Zacken-Erkennung ");
}

TEST(MeasurementSets, WaveCaptionsFollowTheConfiguredWave)
{
    struct Case {
        const char* record;
        int32_t waveId;
        const char* caption; // in the default language; empty outside the table
    };
    const Case cases[] = {
        {"CResultNSW", 100, "Sine 30 BPM"}, {"CResultNSW", 107, "Sine 300 BPM"}, {"CResultNSW", 99, ""},
        {"CResultNSW", 108, ""},           {"CResultArr", 200, "AF1"},          {"CResultArr", 229, "AVS"},
        {"CResultArr", 235, "TQNC"},       {"CResultArr", 199, ""},             {"CResultArr", 236, ""},
        {"CResultPerf", 300, "ZERO"},      {"CResultPerf", 303, "SIN 0.05"},    {"CResultPerf", 314, "Sin 150"},
        {"CResultPerf", 316, "TRI"},       {"CResultPerf", 317, ""},            {"CResultPerf", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.record) + " " + std::to_string(c.waveId));
        ResultWorld world;
        const RecordKind& kind = KindNamed(c.record);
        auto record = kind.make(world);
        auto config = std::dynamic_pointer_cast<ztest::CConfigSimWave>(world.element->Configuration());
        ASSERT_TRUE(config);
        config->SetWavetype(c.waveId);
        kind.initialize(*record, world);
        ASSERT_EQ(record->MeasurementCount(), 1);
        EXPECT_EQ(record->Measurements().front()->Description(), c.caption);
    }

    // The language-ID text is kept and translated when shown.
    ResultWorld world;
    auto translator = std::make_shared<host::HostTranslator>();
    host::HostTranslator::SetProcess(translator);
    auto record = KindNamed("CResultNSW").make(world);
    translator->SetText("ZARVIK", "20250", "Sinus 30 S/min");
    EXPECT_EQ(record->Measurements().front()->Description(), "Sinus 30 S/min");

    // Without a configuration record the caption is empty.
    ztest::CResultPerf bare;
    bare.Initialize(nullptr);
    EXPECT_EQ(bare.Measurements().front()->Description(), "");
}

} // namespace
} // namespace ztesting
