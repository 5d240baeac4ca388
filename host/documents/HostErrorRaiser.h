#pragma once

#include "platform/base/ComError.h"
#include "platform/base/Unknown.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace host {

// What the error raiser's report operation records of a caught error.
struct HostErrorReport {
    int32_t number;          // the error's code
    std::string errorSource; // where the error was raised
    std::string description;
    int level;
    std::string reportedBy;  // the source handed to Report
};

// The host's error object. Raise throws a coded plat::ComError; Report records a caught error
// without throwing, into the report sink (by default one line on stderr).
class HostErrorRaiser : public plat::IUnknown {
public:
    using ReportSink = std::function<void(const HostErrorReport&)>;

    // Throws a plat::ComError with the code, source and level; its description is the text of
    // a known code or "Error 0x8004A3FF". Code 0 is the pass-on form ("", 0, "", 1): the error
    // being handled is thrown again unchanged, whatever its type; outside a handler a generic
    // error is thrown.
    [[noreturn]] void Raise(const std::string& moduleKey, int32_t code, const std::string& source, int level) const;

    // Records a caught error with the reporter's source.
    void Report(const plat::ComError& error, const std::string& source) const;
    // Records an error that is no ComError (out of memory, a library's exception).
    void Report(const std::exception& error, const std::string& source) const;
    // Records the error being handled; call it inside a catch block.
    void ReportCurrent(const std::string& source) const;

    // The error handler of every load, save and copy; call it inside a catch block. An error
    // whose number is one of ownCodes is passed on unchanged; any other is reported with the
    // source and the call returns, so that the procedure ends normally with what it has.
    void PassOnOrReport(const std::string& source, std::initializer_list<int32_t> ownCodes) const;

    // Runs one step under that handler: true when the step ended normally, false when its
    // error was reported; the own codes propagate.
    template <class Step>
    bool Guard(const std::string& source, std::initializer_list<int32_t> ownCodes, Step&& step) const
    {
        try {
            std::forward<Step>(step)();
            return true;
        } catch (...) {
            PassOnOrReport(source, ownCodes);
            return false;
        }
    }

    // Replaces the process-wide report sink and returns the former one; an empty sink
    // restores the default (stderr).
    static ReportSink SetReportSink(ReportSink sink);

    // The description that Raise gives a code.
    static std::string DescribeCode(int32_t code);

    // Collects the reports made while it lives (for tests), then restores the former sink.
    class ReportCapture {
    public:
        ReportCapture();
        ~ReportCapture();
        ReportCapture(const ReportCapture&) = delete;
        ReportCapture& operator=(const ReportCapture&) = delete;

        const std::vector<HostErrorReport>& Reports() const { return mReports; }

    private:
        std::vector<HostErrorReport> mReports;
        ReportSink mPrevious;
    };

private:
    static void Deliver(const HostErrorReport& report);
};

} // namespace host
