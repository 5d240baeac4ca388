#pragma once

#include "host/interfaces/HostForward.h"
#include "host/interfaces/ILimitData.h"
#include "platform/base/ComError.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace host {
class ILimitView;
}

namespace ztest {

// The limits of one test element: its standards, each a named set of limit items with an upper
// and a lower bound per measurement key. The test element creates it in its construction and
// hands itself over as owner; the host edits the limits in a dialog, asks for new standards,
// stores them as "ExpectedResult" and prints them, and the result records rate every
// measurement through FindFailedStandards.
//
// The owner is held weakly: the limits never keep their test element alive. Once the owner is
// gone, every operation that needs it behaves as without an owner.
class CLimitData : public host::ILimitData, public std::enable_shared_from_this<CLimitData> {
public:
    static constexpr const char* ErrorSource = "TelvoZarvikTest.CLimitData";
    // Raised by Load for an element that is not "ExpectedResult".
    static constexpr int32_t ErrorLoad = plat::Hr(0x8004A4EEu);
    static constexpr const char* ElementName = "ExpectedResult";
    static constexpr const char* LimitViewProgId = "TelvoView.XLimitView";
    // The formula forms a bound may take, as the limit view offers them.
    static constexpr const char* OperatorList = "<op>Y;X+Y;X+(X*Y%)</op>";

    CLimitData() = default;
    // Drops the standards without emptying the collection: whoever still holds it (the host,
    // a printout) keeps the standards it was given.
    ~CLimitData() override = default;
    CLimitData(const CLimitData&) = delete;
    CLimitData& operator=(const CLimitData&) = delete;

    // Sets the owner and whether the limits can be edited in a dialog; every test element
    // calls it from its construction with itself and true.
    void SetOwner(const std::shared_ptr<host::ITestElement>& owner, bool hasDialog);
    bool GetHasDialog() const { return mHasDialog; }
    void SetHasDialog(bool hasDialog) { mHasDialog = hasDialog; }

    // Drops the own standards and takes a copy of the source's, when it has any.
    void CopyStandards(const std::shared_ptr<host::ILimitData>& source);

    // Adds a new limit item (key, unit, two empty texts) to the standard; a formula that is not
    // empty becomes the formula of the upper bound.
    static void AddLimit(const std::shared_ptr<host::HostStandard>& standard, const std::string& key,
                         const std::string& unit, const std::string& formula);
    // Adds the default limit items of a test type to a standard; types judged by the operator
    // (400, 500, 600, 1100) and unknown types add none.
    static void CreateTestLimits(const std::shared_ptr<host::HostStandard>& standard, int32_t testType);
    // Fills the limit view with the rows of a test type.
    static void ParseLimitsToDialog(const std::shared_ptr<host::ILimitView>& limitView, int32_t testType);

    // ILimitData
    std::string Description() override { return {}; }
    void SetDescription(const std::string& /*description*/) override {}
    bool HasDialog() override { return mHasDialog; }
    std::shared_ptr<host::HostStandards> Standards() override { return mStandards; }
    std::shared_ptr<host::ITestElement> Owner() override { return mOwner.lock(); }
    // New limits with a deep copy of the standards and the same HasDialog, without an owner.
    std::shared_ptr<host::ILimitData> Clone() override;
    std::shared_ptr<host::IDialog> CreateDialog() override;
    // A standard from the plug-in's catalogue, else a new one with the owner's default items;
    // added to the standards. None without an owner (the error is reported).
    std::shared_ptr<host::HostStandard> CreateStandard(const std::string& alphaName,
                                                       const std::string& completeName) override;
    // Reads the standards of an "ExpectedResult" element; one that holds no standard leaves
    // none. A load that fails half-way reports its error and keeps the standards there were.
    void Load(const std::shared_ptr<host::HostXmlElement>& element,
              const std::shared_ptr<host::HostLoadLog>& log) override;
    // The standards as a new "ExpectedResult" element; none without standards.
    std::shared_ptr<host::HostXmlElement> Save(const std::shared_ptr<host::HostXmlDocument>& document) override;
    // Prints the standards with the report rows of the owner's result; an owner without a
    // result that can give its preset record (IPresetRecord) has its rows built from that.
    void PrintReport(const std::shared_ptr<host::HostReport>& report,
                     const std::shared_ptr<host::HostPrintContext>& printContext) override;
    void UpdateLimits(const plat::ObjectPtr& /*object*/) override {}
    // The standards of this object, among those given (matched by their two names), in which
    // the measurement fails; none when it fails none.
    std::shared_ptr<host::HostStandards> FindFailedStandards(const std::shared_ptr<host::IMeasurement>& measurement,
                                                             const std::shared_ptr<host::HostStandards>& standards) override;

private:
    // The owner's test type, or none without a living owner.
    std::optional<int32_t> OwnerTestId() const;

    std::shared_ptr<host::HostStandards> mStandards;
    std::weak_ptr<host::ITestElement> mOwner;
    bool mHasDialog = true;
};

} // namespace ztest
