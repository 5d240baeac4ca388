#pragma once

#include "testlib/elements/CTestElement.h"
#include "testlib/elements/DataRecord.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace ztest {

// The analyzer commands of one defibrillator test: its mode, its background wave (none for
// the tests without one) and the commands that fetch the data once the analyzer has it (the
// last reply is the data).
struct DischargeCommands {
    const char* mode;
    const char* wave;
    std::vector<const char*> data;
    // The flashing prompt that asks for the shock.
    const char* prompt = "20170::Defibrillate Now";
    // What a data reply of the test is: the discharge record, every field of it read.
    DataRecord reading = DataRecord::Numbers(4);
};

// The defibrillator measurement sequence that the energy, charge-time, cardioversion,
// pulse-repetition and battery-capacity tests share: set the analyzer's mode and its energy
// range by the registry threshold, choose the background wave, ask for the shock, poll until
// the analyzer has data, fetch it and hand it to the result record.
class CDischargeTest : public CTestElement {
public:
    static constexpr const char* SettingsKey = "Software\\Vantrel\\telvo\\ZARVIK";
    static constexpr const char* RangeThresholdValue = "RangeThreshold";

    int32_t RangeThreshold() const { return mlRangeThreshold; }

protected:
    using CTestElement::CTestElement;

    virtual const DischargeCommands& Commands() const = 0;
    // Hands the data reply to the result record; the default is the comma-reply records'
    // StoreResult.
    virtual void StoreData(const std::string& data);

    // Reads "RangeThreshold" from the registry: a missing key or value gives 0, an unreadable
    // store or value keeps the value.
    void ReadRangeThreshold();
    // The mode and range steps; the last reply.
    std::string SetInstrumentMode();
    // The poll and data steps; the data reply, or "" when the run was stopped.
    std::string ReadMeasurementData();
    void RunMeasurement() override;

    // The end of a measurement: after a lost link nothing more; a data reply that is no reading
    // of the test (DischargeCommands::reading) shows the analyzer's error box and stores nothing;
    // otherwise the data goes to the result record, which is rated and shown.
    void StoreMeasuredData(const std::string& data);
    // The instruction lines of a single-discharge test: 5 entries, the first with the preset
    // energy rounded to a whole number, then the others as given, the rest empty. Reads the
    // range threshold as well.
    plat::Variant InstructionLines(const char* presetLine, std::initializer_list<const char*> others);

    // The configured preset energy (J) and background wave code.
    float PresetEnergy() const;
    std::string WaveCode() const;

    int32_t mlRangeThreshold = 0;
};

} // namespace ztest
