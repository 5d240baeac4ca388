#pragma once

#include "host/interfaces/HostForward.h"
#include "host/interfaces/IResultData.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/Variant.h"
#include "testlib/core/RatingStatus.h"
#include "testlib/results/MeasurementSpec.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ztest {

class CMeasurement;

// What the eleven result records share: the measurement set in its order, the record status,
// the operator's comment, the service record made by the last rating, the analyzer unit index,
// and everything the host does with a result through IResultData (reading, the comment dialog,
// the "ResultItem" element, the report table).
//
// What differs lives in the records: their measurement sets (tables of MeasurementSpec), how
// they are filled (a comma reply, an array of readings, the operator's verdict), how they are
// rated, and the texts of their load log and error source, which the records pass in.
class CResultRecord : public host::IResultData, public std::enable_shared_from_this<CResultRecord> {
public:
    static constexpr int32_t StatusNotRated = rating::NotRated;
    static constexpr int32_t StatusPassed = rating::Passed;
    static constexpr int32_t StatusFailed = rating::Failed;
    static constexpr int32_t StatusSkipped = rating::Skipped;

    static constexpr int32_t ErrorWrongElement = static_cast<int32_t>(0x8004A3EBu);
    static constexpr int32_t ErrorElementNotCreated = static_cast<int32_t>(0x8004A3ECu);

    static constexpr const char* ElementName = "ResultItem";
    // The comment view that every result record's dialog shows.
    static constexpr const char* DialogProgId = "TelvoZarvikTest.XDetailedResult";
    static constexpr const char* ModuleKey = zarvik::ModuleKey;

    ~CResultRecord() override;

    // The index of the analyzer unit in the host's instrument list; 0 means none.
    int32_t GetMTIID() const { return mMTIID; }
    void SetMTIID(int32_t index) { mMTIID = index; }
    int32_t GetResultStatus() const { return mStatus; }
    void SetResultStatus(int32_t status) { mStatus = status; }

    const std::string& ErrorSource() const { return mErrorSource; }
    const std::string& LoadText() const { return mLoadText; }

    // The measurements in collection order, and the one of a key (none when the set has none).
    const std::vector<std::shared_ptr<CMeasurement>>& Measurements() const { return mMeasurements; }
    std::shared_ptr<CMeasurement> FindMeasurement(std::string_view key) const;

    // IResultData
    std::string Comment() override { return mComment; }
    void SetComment(const std::string& comment) override { mComment = comment; }
    bool HasDialog() override { return !mComment.empty(); }
    int32_t Status() override { return mStatus; }
    std::shared_ptr<host::IMeasurement> Measurement(const plat::Variant& indexOrKey) override;
    int32_t MeasurementCount() override { return static_cast<int32_t>(mMeasurements.size()); }
    std::shared_ptr<host::HostServiceRecord> ServiceRecord() override { return mServiceRecord; }
    int32_t MTIID() override { return mMTIID; }
    std::shared_ptr<host::IDialog> CreateDialog() override;
    void Load(const std::shared_ptr<host::HostXmlElement>& element, const std::shared_ptr<host::HostLoadLog>& log) override;
    std::shared_ptr<host::HostXmlElement> Save(const std::shared_ptr<host::HostXmlDocument>& document) override;
    void PrintReport(const std::shared_ptr<host::HostReport>& report, const plat::ObjectPtr& unused) override;

protected:
    // The preset value of one row of a measurement set; Empty for none.
    using PresetOf = std::function<plat::Variant(const MeasurementSpec&)>;

    CResultRecord(std::string errorSource, std::string loadText);

    // Replaces the measurement set by new measurements built from the table, in table order.
    void BuildMeasurements(std::span<const MeasurementSpec> specs, const PresetOf& presetOf = {});
    void ClearMeasurements() { mMeasurements.clear(); }
    // Adds a measurement at the end, or before the one at the position.
    void AddMeasurement(std::shared_ptr<CMeasurement> measurement);
    void InsertMeasurement(std::size_t position, std::shared_ptr<CMeasurement> measurement);

    // Makes a new service record of the current rating when the filter asks for one (bit 0)
    // and the record is rated; otherwise the record keeps the one it has.
    void CreateServiceRecord(const std::shared_ptr<host::HostTestFilter>& filter);
    // The element's filter; none when there is no element or it gives none.
    static std::shared_ptr<host::HostTestFilter> FilterOf(const std::shared_ptr<host::ITestElement>& element);

    // The measurement into which a stored "Measurement" child of that key loads; none when the
    // record has none of that key, and the child is then skipped. Records whose sets can grow
    // make the missing measurement here.
    virtual std::shared_ptr<CMeasurement> MeasurementForStoredKey(const std::string& key);

    // The translation of a language-ID text for this module.
    static std::string Translate(std::string_view text);

    // After a load (see CheckStoredStatus), records that are rated against limits rate their
    // stored values again and log each stored verdict that rating does not give.
    virtual void CheckStoredRatings(const host::HostXmlElement& /*element*/, const std::string& /*testName*/,
                                    const std::shared_ptr<host::HostLoadLog>& /*log*/) const
    {
    }
    // Adds a load log entry (severity 2) that a stored result contradicts itself.
    static void LogContradiction(const std::shared_ptr<host::HostLoadLog>& log, const std::string& text,
                                 std::initializer_list<plat::Variant> arguments);
    // The name of the test whose stored element holds the result element, for the load log.
    std::string TestNameOf(const host::HostXmlElement& element) const;

private:
    void BuildReportHeader(const std::shared_ptr<host::HostReport>& report, std::string& columnFormat,
                           std::string& header) const;
    void BuildReportBody(const std::shared_ptr<host::HostReport>& report, std::string& rows) const;
    void LoadMTI(const host::HostXmlElement& element, const std::shared_ptr<host::HostLoadLog>& log);
    // After a load: where the stored status of a rated record is not the one its stored
    // measurements give (one not passed, or missing, in a passed record; none failed in a failed
    // one), the load log says so; the stored statuses are kept. Then CheckStoredRatings.
    void CheckStoredStatus(const host::HostXmlElement& element, const std::set<std::string>& loadedKeys,
                           const std::shared_ptr<host::HostLoadLog>& log) const;
    void LoadChild(const std::shared_ptr<host::HostXmlElement>& child, const std::shared_ptr<host::HostLoadLog>& log,
                   const std::string& testName, std::set<std::string>& loadedKeys);
    void LoadMeasurement(const std::shared_ptr<host::HostXmlElement>& child,
                         const std::shared_ptr<host::HostLoadLog>& log, const std::string& testName,
                         std::set<std::string>& loadedKeys);

    std::string mErrorSource;
    std::string mLoadText;

    std::vector<std::shared_ptr<CMeasurement>> mMeasurements;
    int32_t mStatus = StatusNotRated;
    plat::Variant mStatusText;
    std::string mComment;
    std::shared_ptr<host::HostServiceRecord> mServiceRecord;
    int32_t mMTIID = 0;
};

} // namespace ztest
