#include "instrument/LinkProtocol.h"

namespace vti::LinkProtocol {

std::string FrameCommand(std::string_view command)
{
    std::string framed(command);
    if (framed.empty() || framed.back() != CR) framed += CR;
    return framed;
}

std::string LinkCheckText()
{
    return std::string(LinkCommand) + LF + CR;
}

std::string ReleaseText()
{
    return std::string(LinkCommand) + CR;
}

std::string BaudProbeText()
{
    return std::string(BaudCommand) + LF;
}

std::string LinkProbeText()
{
    return std::string(LinkCommand) + LF;
}

bool EndsWithLf(std::string_view text)
{
    return !text.empty() && text.back() == LF;
}

bool EndsWithCrLf(std::string_view text)
{
    return text.ends_with("\r\n");
}

bool IsConnectAnswer(std::string_view reply)
{
    return reply.starts_with("OK") || reply.starts_with("ERR");
}

bool AcceptsBaudChange(std::string_view reply)
{
    return reply.starts_with("OK");
}

bool IsProbeAnswer(std::string_view reply)
{
    return reply.starts_with("OK") || reply.starts_with('?');
}

bool IsRefractoryCommand(std::string_view framedCommand)
{
    return framedCommand == std::string(RefractoryCommand) + CR;
}

int CountLines(std::string_view text)
{
    int lines = 0;
    for (char c : text) {
        if (c == LF) ++lines;
    }
    return lines;
}

std::string FirstLine(std::string_view text)
{
    const size_t first = text.find(LF);
    return std::string(first == std::string_view::npos ? text : text.substr(0, first + 1));
}

std::string CompleteLines(std::string_view text)
{
    const size_t last = text.rfind(LF);
    if (last == std::string_view::npos) return {};
    return std::string(text.substr(0, last + 1));
}

} // namespace vti::LinkProtocol
