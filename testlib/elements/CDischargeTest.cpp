#include "testlib/elements/CDischargeTest.h"

#include "host/documents/HostRegistry.h"
#include "host/elements/HostTestElement.h"
#include "instrument/IZarvikVTi.h"
#include "platform/base/Conversions.h"
#include "testlib/config/CConfigDischarge.h"
#include "testlib/config/CConfigWaveIndex.h"
#include "testlib/guide/FZARVIKTestGuide.h"
#include "testlib/results/CReplyResult.h"
#include "testlib/elements/GuideSteps.h"

namespace ztest {

void CDischargeTest::ReadRangeThreshold()
{
    plat::IgnoreErrors([&] {
        host::HostRegistry registry;
        // A missing key reads as a missing value: the threshold becomes 0, never the one read
        // before.
        if (!registry.KeyExists(host::HKEY_LOCAL_MACHINE, SettingsKey)) {
            mlRangeThreshold = 0;
            return;
        }
        registry.OpenKey(host::HKEY_LOCAL_MACHINE, SettingsKey);
        const plat::Variant value = registry.GetValue(RangeThresholdValue, plat::Variant());
        mlRangeThreshold = value.IsEmpty() ? 0 : plat::CLng(value);
    });
}

float CDischargeTest::PresetEnergy() const
{
    auto configuration = std::dynamic_pointer_cast<CConfigDischarge>(mTestElement->Configuration());
    return configuration ? configuration->GetPresetEnergy() : 0.0f;
}

std::string CDischargeTest::WaveCode() const
{
    auto configuration = std::dynamic_pointer_cast<CConfigWaveIndex>(mTestElement->Configuration());
    return configuration ? configuration->GetWaveCode(configuration->GetWaveFormIndex()) : std::string();
}

std::string CDischargeTest::SetInstrumentMode()
{
    const std::string range = static_cast<double>(PresetEnergy()) > mlRangeThreshold ? "HIGH" : "LOW";
    Wait(50);
    std::string reply = Send(Commands().mode);
    if (TimedOut()) mfStopped = true;
    if (Begins(reply, "OK")) {
        // No count limit: the analyzer's "OK", Stop or a lost link ends it.
        do {
            PumpOnce();
            Wait(250);
            reply = Send(std::string("DEFRANGE=") + range);
            if (TimedOut()) mfStopped = true;
        } while (!Begins(reply, "OK") && !mfStopped);
    } else if (Begins(reply, "ERR")) {
        HandleErrorReply(reply, false);
        reply = reply.size() > 4 ? reply.substr(4, 2) : std::string();
    }
    return reply;
}

std::string CDischargeTest::ReadMeasurementData()
{
    for (;;) {
        std::string reply;
        try {
            reply = Send("QDATA");
        } catch (const std::exception&) {
            // The link has shown its error; polling on would only show it again and again.
            mfStopped = true;
            return {};
        }
        plat::IgnoreErrors([&] { Wait(500); });
        PumpOnce();
        if (Begins(reply, "NEWDATA") || Begins(reply, "OLDDATA")) {
            std::string data;
            try {
                for (const char* command : Commands().data) data = Send(command);
            } catch (const std::exception&) {
                mfStopped = true;
                return {};
            }
            // A reply that is only its line end is no data: the poll goes on.
            if (!IsEmptyReply(data)) return data;
        } else if (Begins(reply, "ERR")) {
            HandleErrorReply(reply, false);
        }
        if (TimedOut()) mfStopped = true;
        if (mfStopped) return {};
    }
}

void CDischargeTest::RunMeasurement()
{
    SetInstrumentMode();
    if (mfStopped) return;
    std::string data;
    if (Commands().wave) {
        const std::string waveCommand = std::string(Commands().wave) + "=" + WaveCode();
        if (!TimedOut() && !mfStopped) {
            Wait(50);
            Send(waveCommand);
        }
    }
    if (!TimedOut() && !mfStopped) {
        mfrmTestGuide->ShowInstruction("TI:SHOCK", Commands().prompt, true);
        Wait(200);
        if (!TimedOut() && !mfStopped) data = ReadMeasurementData();
        if (Begins(data, "OVERRANGE")) {
            ShowAnalyzerBox("20460::Over Range!Please check the defibrillator's energy settings");
            mfStopped = true;
        } else if (Begins(data, "ERR")) {
            // An error reply is never taken as data.
            HandleErrorReply(data, true);
        }
        if (TimedOut()) mfStopped = true;
        mfrmTestGuide->HideInstruction();
    }
    StoreMeasuredData(data);
}

void CDischargeTest::StoreMeasuredData(const std::string& data)
{
    if (TimedOut()) mfStopped = true;
    if (!mfStopped && !Commands().reading.IsReading(data)) {
        // "NODATA", "OK", "12ABC", a reply short of fields: never a measurement of 0.
        plat::IgnoreErrors([] { ShowAnalyzerErrorBox(); });
        mfStopped = true;
    }
    if (!mfStopped) {
        StoreData(data);
        RateResult(false);
        mfrmTestGuide->ShowResult(mResult);
    }
}

plat::Variant CDischargeTest::InstructionLines(const char* presetLine, std::initializer_list<const char*> others)
{
    std::vector<std::string> lines(5);
    plat::IgnoreErrors([&] {
        const int32_t energy = plat::CLng(static_cast<double>(PresetEnergy()));
        ReadRangeThreshold();
        lines[0] = Translate(presetLine, plat::Variant(std::to_string(energy)));
        std::size_t i = 1;
        for (const char* line : others) lines[i++] = Translate(line);
    });
    return StepLines(lines);
}

void CDischargeTest::StoreData(const std::string& data)
{
    if (auto record = std::dynamic_pointer_cast<CReplyResult>(mResult)) record->StoreResult(data);
}

} // namespace ztest
