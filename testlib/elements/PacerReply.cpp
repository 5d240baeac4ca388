#include "testlib/elements/PacerReply.h"

#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "testlib/elements/AnalyzerReply.h"
#include "testlib/elements/DataRecord.h"

#include <string>

namespace ztest {

namespace {

// A whole number from a text the way the language converts it; nothing when it is no number
// or beyond the 16-bit range.
std::optional<int16_t> WholeNumber(std::string_view text)
{
    try {
        return plat::CInt(plat::Variant(std::string(text)));
    } catch (const plat::ComError&) {
        return std::nullopt;
    }
}

} // namespace

bool PacerReply::IsData(std::string_view reply)
{
    // The record's fields are the first three; an analyzer that sends more (a further field, a
    // trailing remark) still sends its data.
    static const DataRecord kPacerData = DataRecord::Numbers(3);
    return kPacerData.IsReading(reply);
}

PacerReplyKind PacerReply::Classify(std::string_view reply)
{
    const std::string_view text = AnalyzerReply::Text(reply);
    if (text.empty()) return PacerReplyKind::Empty;
    if (AnalyzerReply::Begins(text, "MODULEOVERLOAD")) return PacerReplyKind::ModuleOverload;
    if (AnalyzerReply::Begins(text, "NO PACER")) return PacerReplyKind::NoPacer;
    if (AnalyzerReply::Begins(text, "ERR")) {
        return AnalyzerReply::IsError(text) ? PacerReplyKind::Error : PacerReplyKind::Unexpected;
    }
    if (AnalyzerReply::Begins(text, "OK")) return PacerReplyKind::Ok;
    if (IsData(text)) return PacerReplyKind::Data;
    return PacerReplyKind::Unexpected;
}

int16_t PacerReply::ModeErrorCode(std::string_view reply)
{
    std::string_view text = AnalyzerReply::Text(reply);
    const size_t equals = text.find('=');
    if (equals != std::string_view::npos) text.remove_prefix(equals + 1);
    const double code = plat::Val(text.substr(0, 2));
    return WholeNumber(plat::CStr(code)).value_or(0);
}

std::optional<bool> PacerReply::AdapterPresent(std::string_view reply)
{
    const std::string_view text = AnalyzerReply::Text(reply);
    auto two = WholeNumber(text.substr(0, 2));
    auto one = WholeNumber(text.substr(0, 1));
    if (text.empty() || !two || !one) return std::nullopt;
    return *two >= 1 || *one >= 1;
}

} // namespace ztest
