#include "testlib/elements/CPacerTest.h"

#include "host/elements/HostTestElement.h"
#include "platform/base/Conversions.h"
#include "platform/ui/MessageBox.h"
#include "testlib/config/CConfigPacer.h"
#include "testlib/guide/FZARVIKTestGuide.h"
#include "testlib/elements/PacerReply.h"

namespace ztest {

namespace {

constexpr const char* kAnalyzerTitle = "20471::Telvo Plug-In MTI response";
constexpr const char* kInternalLoad = "INT";

} // namespace

void CPacerTest::PrepareGuide(bool hasPrevious)
{
    mfrmTestGuide->SetRunState(1, hasPrevious);
    mfrmTestGuide->InitGuide(shared_from_this(), mTestContext, BuildInstructions());
    mfrmTestGuide->ShowResultStatus(mTestElement->Result());
}

void CPacerTest::ShowRunInProgress()
{
    mfrmTestGuide->ShowStatusText("20530::Test in progress, please wait...");
}

std::shared_ptr<CConfigPacer> CPacerTest::PacerSettings() const
{
    return std::dynamic_pointer_cast<CConfigPacer>(mTestElement->Configuration());
}

bool CPacerTest::Usable()
{
    return !TimedOut() && !mfStopped;
}

std::optional<std::string> CPacerTest::SendLoad(bool& adapterLoad)
{
    auto settings = PacerSettings();
    const std::string code = settings ? settings->GetLoadCode(settings->GetLoadIndex(), settings->GetAdapterIndex()) : "";
    const std::string loadCommand = "PACELOAD=" + code;
    adapterLoad = code != kInternalLoad;

    if (adapterLoad) {
        std::string adapterReply;
        if (Usable()) Wait(50);
        if (Usable()) adapterReply = Send("QADAPTER");
        const std::optional<bool> present = PacerReply::AdapterPresent(adapterReply);
        if (!present && !Usable()) {
            // Stopped or the link lost while asking: the run ends without a word of its own.
            mfStopped = true;
            return std::nullopt;
        }
        if (!present.value_or(false)) {
            plat::IgnoreErrors([] { ShowAnalyzerBox(NoAdapterText); });
            mfStopped = true;
            return std::nullopt;
        }
        if (Usable()) Wait(25);
    } else if (Usable()) {
        Wait(50);
    }
    if (!Usable()) {
        // The run is ended (Stop) or the link is lost at the load step: nothing is measured, and
        // the run is not rated.
        mfStopped = true;
        return std::nullopt;
    }
    std::string reply = Send(loadCommand);
    if (!Usable()) {
        mfStopped = true;
        return std::nullopt;
    }
    return reply;
}

bool CPacerTest::AcceptLoadReply(std::string_view reply)
{
    if (PacerReply::Classify(reply) == PacerReplyKind::Ok) return true;
    RefuseReply(reply);
    return false;
}

void CPacerTest::RefuseReply(std::string_view reply)
{
    switch (PacerReply::Classify(reply)) {
    case PacerReplyKind::ModuleOverload: plat::IgnoreErrors([] { ShowOverloadBox(); }); break;
    case PacerReplyKind::NoPacer: plat::IgnoreErrors([] { ShowAnalyzerBox(NoPacerText); }); break;
    default: plat::IgnoreErrors([] { ShowAnalyzerErrorBox(); }); break;
    }
    mfStopped = true;
}

void CPacerTest::ShowOverloadBox()
{
    plat::MsgBox(Translate(OverloadText) + "\n" + Translate(OverloadText2), plat::vbCritical, Translate(kAnalyzerTitle));
}

std::string CPacerTest::NumberText(float value)
{
    return plat::CStr(value);
}

} // namespace ztest
