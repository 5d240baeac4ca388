#include "host/elements/HostTestElement.h"

#include "host/elements/HostTestFilter.h"
#include "host/elements/HostTestInfo.h"
#include "host/interfaces/IConfigData.h"
#include "host/interfaces/ILimitData.h"
#include "host/interfaces/IResultData.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/report/HostPrintContext.h"
#include "host/report/HostReport.h"
#include "platform/base/Conversions.h"

namespace host {

HostTestElement::HostTestElement()
    : mInfo(std::make_shared<HostTestInfo>()), mFilter(std::make_shared<HostTestFilter>())
{
}

void HostTestElement::Initialize(const std::string& plugInId, int32_t testId, int32_t id)
{
    mPlugInId = plugInId;
    mTestId = testId;
    mId = id;
}

std::shared_ptr<HostTestElement> HostTestElement::Clone() const
{
    auto copy = std::make_shared<HostTestElement>();
    copy->Initialize(mPlugInId, mTestId, mId);
    copy->mInfo = mInfo->Clone();
    copy->mFilter = mFilter->Clone();
    if (mConfiguration) copy->mConfiguration = mConfiguration->Clone();
    if (mLimits) copy->mLimits = mLimits->Clone();
    return copy;
}

void HostTestElement::Terminate()
{
    mConfiguration.reset();
    mLimits.reset();
    mResult.reset();
}

std::shared_ptr<HostXmlElement> HostTestElement::Save(const std::shared_ptr<HostXmlDocument>& document) const
{
    auto element = document->CreateElement(ElementName);
    element->SetAttribute("PlugInID", mPlugInId);
    element->SetAttribute("TestID", std::to_string(mTestId));
    element->SetAttribute("ID", std::to_string(mId));
    if (!mInfo->ClassName().empty()) element->SetAttribute("ClassName", mInfo->ClassName());
    if (!mInfo->Name().empty()) element->SetAttribute("Name", mInfo->Name());
    auto append = [&](const std::shared_ptr<HostXmlElement>& child) {
        if (child) element->AppendChild(child);
    };
    if (mConfiguration) append(mConfiguration->Save(document));
    if (mLimits) append(mLimits->Save(document));
    if (mResult) append(mResult->Save(document));
    return element;
}

void HostTestElement::Load(const std::shared_ptr<HostXmlElement>& child, const std::shared_ptr<HostLoadLog>& log)
{
    if (!child) return;
    const std::string name = child->Name();
    if (name == "PlugInData") {
        if (mConfiguration) mConfiguration->Load(child, log);
    } else if (name == "ExpectedResult") {
        if (mLimits) mLimits->Load(child, log);
    } else if (name == "ResultItem") {
        if (mResult) mResult->Load(child, log);
    }
}

const char* HostTestElement::StatusWord(int32_t status)
{
    switch (status) {
    case 1: return "passed";
    case 2: return "failed";
    case 3: return "skipped";
    default: return "not rated";
    }
}

void HostTestElement::PrintReport(const std::shared_ptr<HostReport>& report, const plat::Variant& argument) const
{
    if (!report) return;
    const std::string name = mInfo->Name().empty() ? mPlugInId + " " + std::to_string(mTestId) : mInfo->Name();
    report->WriteLine(name);
    const auto subject = argument.Query<PrintSubject>();
    std::string outcome = subject ? subject->outcome : argument.IsString() ? argument.AsString() : std::string();
    if (outcome.empty()) outcome = mResult ? StatusWord(mResult->Status()) : "not run";
    report->WriteLine("Outcome: " + outcome);
    if (subject && !subject->measuredWith.empty()) report->WriteLine(subject->measuredWith);
    if (mConfiguration) mConfiguration->PrintReport(report);
    if (mLimits) {
        // Values beside the limits get a verdict only when the record was rated on them.
        auto printContext = std::make_shared<HostPrintContext>();
        const int32_t status = mResult ? mResult->Status() : 0;
        printContext->SetValuesRated(status == 1 || status == 2);
        mLimits->PrintReport(report, printContext);
    }
    if (mResult) mResult->PrintReport(report, nullptr);
}

} // namespace host
