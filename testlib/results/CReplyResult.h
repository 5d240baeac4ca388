#pragma once

#include "testlib/results/CLimitRatedResult.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace ztest {

class CMeasurement;

// Where one field of a comma reply goes: the key of its measurement (none: the field is read
// past and not used) and the factor its number is multiplied by (1000 turns the analyzer's
// seconds into milliseconds).
struct ReplyFieldSpec {
    const char* key;
    double scale;
};

// A limit-rated record filled from one data reply of the analyzer (energy, charge time,
// cardioversion, pacer parameters, pacer refractory period): field i of the reply goes to the
// measurement that the record's field table names for i.
class CReplyResult : public CLimitRatedResult {
public:
    // What StoreResult does when storing a field fails (a number beyond the Double range).
    enum class StoreErrors {
        SkipField,        // the field is left unset and parsing goes on
        ShowAndStop,      // a message box names the error; nothing more is stored, nor the flag set
        PassOn,           // the error reaches the caller
    };

    // Stores the fields of the reply into their measurements and sets the stored flag. The
    // reply may end with its line end or not; a field the reply does not have sets no value,
    // fields beyond the table are not read, an empty reply stores nothing.
    void StoreResult(const std::string& reply);
    bool GetResultStored() const { return mResultStored; }

protected:
    CReplyResult(std::string errorSource, std::string loadText, std::span<const MeasurementSpec> measurements,
                 std::span<const ReplyFieldSpec> fields, StoreErrors storeErrors);

    // Builds the measurement set of the record's table, each with its preset from the
    // configuration record (which may be missing).
    void InitializeFrom(const std::shared_ptr<host::IConfigData>& configuration);
    // The preset value of one measurement; the default is none.
    virtual plat::Variant PresetOf(const MeasurementSpec& spec,
                                   const std::shared_ptr<host::IConfigData>& configuration) const;
    // The configuration record of a test element; none when it has none or cannot give it.
    static std::shared_ptr<host::IConfigData> ConfigurationOf(const std::shared_ptr<host::ITestElement>& element);

    // Stores one field into its measurement; the default stores the field's leading number
    // times the factor. Records with a field of their own kind override it.
    virtual void StoreField(std::size_t index, std::string_view field, const ReplyFieldSpec& spec,
                            CMeasurement& measurement);

private:
    std::span<const MeasurementSpec> mMeasurementSpecs;
    std::span<const ReplyFieldSpec> mFields;
    StoreErrors mStoreErrors;
    bool mResultStored = false;
};

} // namespace ztest
