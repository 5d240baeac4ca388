#include "testlib/elements/AnalyzerReply.h"

#include "platform/base/Conversions.h"

namespace ztest {

std::string_view AnalyzerReply::Text(std::string_view reply)
{
    while (!reply.empty() && (reply.back() == '\r' || reply.back() == '\n')) reply.remove_suffix(1);
    return reply;
}

bool AnalyzerReply::Begins(std::string_view reply, std::string_view token)
{
    return reply.substr(0, token.size()) == token;
}

double AnalyzerReply::ErrorCode(std::string_view reply)
{
    const std::string_view text = Text(reply);
    if (text.size() <= 4) return 0;
    return plat::Val(text.substr(4, 2));
}

bool AnalyzerReply::IsError(std::string_view reply)
{
    return Begins(reply, "ERR") && ErrorCode(reply) >= 0;
}

} // namespace ztest
