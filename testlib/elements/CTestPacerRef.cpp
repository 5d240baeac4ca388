#include "testlib/elements/CTestPacerRef.h"

#include "host/documents/HostRegistry.h"
#include "platform/base/Conversions.h"
#include "platform/loop/EventLoop.h"
#include "testlib/guide/FZARVIKTestGuide.h"
#include "testlib/guide/XTestInstruction.h"
#include "testlib/elements/AnalyzerReply.h"
#include "testlib/elements/CDischargeTest.h"
#include "testlib/elements/GuideSteps.h"
#include "testlib/elements/PacerReply.h"

#include <array>
#include <climits>

namespace ztest {

namespace {

constexpr std::array<MeasurementListRow, 2> kMeasurements{{
    {"PACE", "20130::Paced Rp"},
    {"SENS", "20129::Sensed Rp"},
}};

} // namespace

std::span<const MeasurementListRow> CTestPacerRef::MeasurementList() const
{
    return kMeasurements;
}

plat::Variant CTestPacerRef::BuildInstructions()
{
    std::vector<std::string> lines(6);
    plat::IgnoreErrors([&] {
        auto settings = Settings();
        lines[0] = Translate(settings->GetAdapterIndex() == 0 ? "20380::1. Connect pacer to input fixed load"
                                                              : "20381::1. Connect pacer to input variable load");
        lines[1] = Translate("20382::2. Connect ECG leads");
        lines[2] =
            Translate("20383::3. Set pacer output level to %%1 mA.", plat::Variant(NumberText(settings->GetAmplitude())));
        lines[3] = Translate("20384::4. Set pacer rate to %%1 PPM", plat::Variant(NumberText(settings->GetRate())));
        lines[4] = Translate("20385::5. Start pacer");
        lines[5] = Translate("20386::6. Click Start to begin test, stop to end test");
    });
    return StepLines(lines);
}

int16_t CTestPacerRef::ReadPacerRefractoryTimeout()
{
    try {
        host::HostRegistry registry;
        registry.OpenKey(host::HKEY_LOCAL_MACHINE, CDischargeTest::SettingsKey);
        return plat::CInt(registry.GetValue(TimeoutValue));
    } catch (...) {
        return DefaultRefractoryTimeout;
    }
}

void CTestPacerRef::RunMeasurement()
{
    if (mfStopped) return;
    HighLight({5});
    bool adapterLoad = false;
    const std::optional<std::string> loadReply = SendLoad(adapterLoad);
    if (!loadReply) return;

    Wait(15);
    if (!Usable()) {
        mfStopped = true;
        return;
    }
    miCountdown = ReadPacerRefractoryTimeout();
    mfCountdownDone = false;
    mfrmWaitTimer.Start(TestTimer::OneSecond, [this] { mfrmWaitTimer_Timer(); });
    std::optional<std::string> data;
    try {
        HighLight({6});
        if (AcceptLoadReply(*loadReply)) data = AskRefractory();
    } catch (...) {
        // The count-down ends and its instruction goes with every end of the run.
        mfrmWaitTimer.Stop();
        plat::IgnoreErrors([&] { mfrmTestGuide->HideInstruction(); });
        throw;
    }
    mfrmWaitTimer.Stop();
    plat::IgnoreErrors([&] { mfrmTestGuide->HideInstruction(); });
    HighLight({1, 2, 3, 4, 5});

    if (TimedOut()) mfStopped = true;
    if (mfStopped) return;
    if (!data) {
        // The count-down ran out without an answer: nothing was measured and nothing is rated.
        mfStopped = true;
        return;
    }
    auto result = Record();
    if (!result) return;
    result->StoreResult(*data);
    RateResult(false);
}

std::optional<std::string> CTestPacerRef::AskRefractory()
{
    std::string reply;
    while (true) {
        PumpOnce();
        const bool ask = AnalyzerReply::Text(reply).empty() && !mfStopped && Usable();
        if (ask) reply = Send("PACEREFRACT");
        if (TimedOut()) mfStopped = true;
        if (mfStopped) return std::nullopt;
        if (AnalyzerReply::Text(reply).size() > 1) {
            if (PacerReply::Classify(reply) == PacerReplyKind::Data) return reply;
            RefuseReply(reply);
            return std::nullopt;
        }
        if (mfCountdownDone) return std::nullopt;
        // A one-character reply is neither data nor asked again: wait for the next tick or Stop.
        if (!ask) plat::Loop().PumpOnce();
    }
}

void CTestPacerRef::mfrmWaitTimer_Timer()
{
    plat::IgnoreErrors([&] {
        if (miCountdown > INT16_MIN) --miCountdown;
        if (miCountdown >= 1) {
            const std::string text = Translate("20174::Wait for %%1 seconds", plat::Variant(static_cast<int32_t>(miCountdown)));
            if (mfrmTestGuide) {
                // Lays the popup out for the count-down text.
                if (auto popup = mfrmTestGuide->xtipopup()) popup->MoveImage();
                mfrmTestGuide->ShowInstruction("TI:WAIT", text, false);
            }
        } else {
            mfCountdownDone = true;
        }
    });
}

} // namespace ztest

ZARVIK_REGISTER_TEST(ztest::CTestPacerRef, ztest::CTestPacerRef::ClassId)
