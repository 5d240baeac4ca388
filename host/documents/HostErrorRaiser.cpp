#include "host/documents/HostErrorRaiser.h"

#include "host/documents/HostXmlErrors.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <new>

namespace host {

namespace {

// The code of an error that carries no code of its own (an exception of a library).
constexpr int32_t kUnspecified = plat::E_FAIL_CODE;

std::string CodeText(int32_t code)
{
    char text[16];
    if (code >= 0 && code <= 0xFFFF) {
        std::snprintf(text, sizeof text, "%d", static_cast<int>(code));
    } else {
        std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
    }
    return text;
}

void PrintReport(const HostErrorReport& report)
{
    std::string line = "zarvik: error " + CodeText(report.number);
    if (!report.errorSource.empty()) line += " in " + report.errorSource;
    if (!report.description.empty()) line += ": " + report.description;
    if (!report.reportedBy.empty()) line += " (reported by " + report.reportedBy + ")";
    std::fprintf(stderr, "%s\n", line.c_str());
}

struct SinkState {
    std::mutex mutex;
    HostErrorRaiser::ReportSink sink;
};

SinkState& Sink()
{
    static SinkState state;
    return state;
}

} // namespace

void HostErrorRaiser::Raise(const std::string& moduleKey, int32_t code, const std::string& source, int level) const
{
    // The module key would select the module's own message table; this host has none, so
    // the description comes from the code alone.
    (void)moduleKey;
    if (code == 0) {
        if (std::exception_ptr current = std::current_exception()) std::rethrow_exception(current);
        throw plat::ComError(plat::rt::InvalidCall, source.empty() ? "HostErrorRaiser" : source,
                             "An error was to be passed on, but no error is being handled", level);
    }
    throw plat::ComError(code, source, DescribeCode(code), level);
}

void HostErrorRaiser::Report(const plat::ComError& error, const std::string& source) const
{
    Deliver(HostErrorReport{error.Number(), error.Source(), error.Description(), error.Level(), source});
}

void HostErrorRaiser::Report(const std::exception& error, const std::string& source) const
{
    if (auto* coded = dynamic_cast<const plat::ComError*>(&error)) {
        Report(*coded, source);
    } else if (dynamic_cast<const std::bad_alloc*>(&error)) {
        Deliver(HostErrorReport{plat::rt::OutOfMemory, {}, plat::RuntimeErrorText(plat::rt::OutOfMemory), 0, source});
    } else {
        Deliver(HostErrorReport{kUnspecified, {}, error.what(), 0, source});
    }
}

void HostErrorRaiser::ReportCurrent(const std::string& source) const
{
    std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
        std::rethrow_exception(current);
    } catch (const std::exception& error) {
        Report(error, source);
    } catch (...) {
        Deliver(HostErrorReport{kUnspecified, {}, "Unknown error", 0, source});
    }
}

void HostErrorRaiser::PassOnOrReport(const std::string& source, std::initializer_list<int32_t> ownCodes) const
{
    std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
        std::rethrow_exception(current);
    } catch (const plat::ComError& error) {
        if (std::find(ownCodes.begin(), ownCodes.end(), error.Number()) != ownCodes.end()) throw;
        Report(error, source);
    } catch (...) {
        ReportCurrent(source);
    }
}

HostErrorRaiser::ReportSink HostErrorRaiser::SetReportSink(ReportSink sink)
{
    SinkState& state = Sink();
    std::lock_guard lock(state.mutex);
    std::swap(state.sink, sink);
    return sink;
}

void HostErrorRaiser::Deliver(const HostErrorReport& report)
{
    ReportSink sink;
    {
        SinkState& state = Sink();
        std::lock_guard lock(state.mutex);
        sink = state.sink;
    }
    // The sink runs outside the lock, so that it may itself report or replace the sink.
    if (sink) {
        sink(report);
    } else {
        PrintReport(report);
    }
}

std::string HostErrorRaiser::DescribeCode(int32_t code)
{
    switch (code) {
    case xmlerr::Malformed: return "The XML document is not well-formed";
    case xmlerr::Rejected: return "The XML document was refused";
    case xmlerr::WrongNode: return "The XML element cannot be used here";
    case xmlerr::BadValue: return "The XML element holds a value that cannot be read";
    case xmlerr::DiskFull: return "Disk full";
    case xmlerr::DeviceIoError: return "Device I/O error";
    case xmlerr::PathFileAccessError: return "Path/File access error";
    default: break;
    }
    if (code > 0 && code <= 0xFFFF) return plat::RuntimeErrorText(code);
    return "Error " + CodeText(code);
}

HostErrorRaiser::ReportCapture::ReportCapture()
{
    mPrevious = SetReportSink([this](const HostErrorReport& report) { mReports.push_back(report); });
}

HostErrorRaiser::ReportCapture::~ReportCapture()
{
    SetReportSink(std::move(mPrevious));
}

} // namespace host
