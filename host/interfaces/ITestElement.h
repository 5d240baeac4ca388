#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <memory>
#include <string>

namespace host {

// A test element as the host sees it. Configuration records are handed out as IConfigData;
// callers inside the test library take them as their own class.
class ITestElement : public virtual plat::IUnknown {
public:
    virtual std::string PlugInID() = 0;
    virtual int32_t TestID() = 0;
    virtual int32_t ID() = 0;
    virtual void SetID(int32_t id) = 0;
    // The collection or sequence that holds the element; none for a free element.
    virtual plat::ObjectPtr Parent() = 0;
    virtual void SetParent(const plat::ObjectPtr& parent) = 0;
    virtual std::shared_ptr<HostTestInfo> Info() = 0;
    virtual std::shared_ptr<HostTestFilter> Filter() = 0;
    virtual std::shared_ptr<IResultData> Result() = 0;
    virtual std::shared_ptr<ILimitData> Limits() = 0;
    virtual std::shared_ptr<IConfigData> Configuration() = 0;
    virtual void Initialize(const std::string& moduleKey, int32_t testId, int32_t id) = 0;
    virtual std::shared_ptr<ITestElement> Clone() = 0;
    virtual void Perform(const std::shared_ptr<HostTestContext>& context) = 0;
    // Called once for every child of a stored element ("PlugInData", "ExpectedResult",
    // "ResultItem"); a child of any other name is passed over.
    virtual void Load(const std::shared_ptr<HostXmlElement>& element, const std::shared_ptr<HostLoadLog>& log) = 0;
    virtual std::shared_ptr<HostXmlElement> Save(const std::shared_ptr<HostXmlDocument>& document) = 0;
    virtual void PrintReport(const std::shared_ptr<HostReport>& report, const plat::Variant& argument) = 0;
    // Whether the element accepts the parent; asked before the host moves it.
    virtual bool QuerySetParent(const plat::ObjectPtr& parent) = 0;
    virtual void Terminate() = 0;
    // Gives the standards of the element's limits their owning element again (after a copy or
    // a load).
    virtual void UpdateReferences() = 0;
    // Rows 0 .. n-1 by columns 0 and 1: each measurement key the element yields and its
    // translated caption.
    virtual plat::Variant GetMeasurementList() = 0;
};

} // namespace host
