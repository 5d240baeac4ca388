#include "testlib/elements/CTestPacerPar.h"

#include "instrument/IZarvikVTi.h"
#include "platform/base/Conversions.h"
#include "testlib/elements/AnalyzerReply.h"
#include "testlib/elements/GuideSteps.h"
#include "testlib/elements/PacerReply.h"

#include <array>

namespace ztest {

namespace {

constexpr std::array<MeasurementListRow, 3> kMeasurements{{
    {"PACR", "20126::Pacer Rate"},
    {"PACC", "20127::Pacer Current"},
    {"PACW", "20128::Pacer Width"},
}};

} // namespace

std::span<const MeasurementListRow> CTestPacerPar::MeasurementList() const
{
    return kMeasurements;
}

plat::Variant CTestPacerPar::BuildInstructions()
{
    std::vector<std::string> lines(4);
    plat::IgnoreErrors([&] {
        auto settings = Settings();
        lines[0] = Translate("20370::1. Set pacemaker rate to %%1 PPM", plat::Variant(NumberText(settings->GetRate())));
        lines[1] =
            Translate("20371::2. Set pacemaker output to %%1mA", plat::Variant(NumberText(settings->GetAmplitude())));
        lines[2] = Translate("20372::3. Click Start to begin test, stop to end test");
    });
    return StepLines(lines);
}

void CTestPacerPar::RunMeasurement()
{
    if (mfStopped) return;
    bool adapterLoad = false;
    const std::optional<std::string> loadReply = SendLoad(adapterLoad);
    if (!loadReply) return;

    if (Usable()) Wait(25);
    if (Usable()) SetPacerMode();
    if (!Usable()) {
        mfStopped = true;
        return;
    }
    if (!AcceptLoadReply(*loadReply)) return;

    const std::optional<std::string> data = PollForData(adapterLoad);
    if (TimedOut()) mfStopped = true;
    if (mfStopped || !data) return;
    auto result = Record();
    if (!result) return;
    result->StoreResult(*data);
    RateResult(false);
}

std::optional<std::string> CTestPacerPar::PollForData(bool adapterLoad)
{
    int polls = 0;
    while (true) {
        Wait(PollInterval);
        if (!Usable()) return std::nullopt;
        const std::string reply = Send("QDATA");
        if (TimedOut()) mfStopped = true;
        if (mfStopped) return std::nullopt;
        ++polls;
        if (AnalyzerReply::Begins(reply, "OLDDATA") || AnalyzerReply::Begins(reply, "NEWDATA")) {
            Wait(15);
            if (!Usable()) return std::nullopt;
            const std::string data = Send("PACEPDATA");
            if (TimedOut()) mfStopped = true;
            if (mfStopped) return std::nullopt;
            switch (PacerReply::Classify(data)) {
            case PacerReplyKind::Data: return data;
            case PacerReplyKind::Empty: break;
            default: RefuseReply(data); return std::nullopt;
            }
        }
        // The poll that brings data stores it, the sixth included; only six polls without data
        // give up.
        if (adapterLoad && polls >= AdapterPollLimit) {
            plat::IgnoreErrors([] { ShowAnalyzerBox(NoDataText); });
            mfStopped = true;
            return std::nullopt;
        }
    }
}

void CTestPacerPar::SetPacerMode()
{
    std::string reply;
    try {
        do {
            PumpOnce();
            reply = Send("PACEPMODE");
            if (AnalyzerReply::Begins(reply, "ERR")) break;
            if (TimedOut()) mfStopped = true;
        } while (!AnalyzerReply::Begins(reply, "OK") && !mfStopped);
        if (!AnalyzerReply::Begins(reply, "ERR")) return;
    } catch (const plat::ComError& error) {
        // The link has shown its own message for its error: no second box.
        if (error.Number() == vti::eeVTI_Error) {
            mfStopped = true;
            return;
        }
    } catch (...) {
    }
    if (PacerReply::ModeErrorCode(reply) == 20) {
        plat::IgnoreErrors([] { ShowOverloadBox(); });
    } else {
        plat::IgnoreErrors([] { ShowAnalyzerErrorBox(); });
    }
    mfStopped = true;
}

} // namespace ztest

ZARVIK_REGISTER_TEST(ztest::CTestPacerPar, ztest::CTestPacerPar::ClassId)
