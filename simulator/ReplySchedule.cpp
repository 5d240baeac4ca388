#include "simulator/ReplySchedule.h"

namespace zsim {

std::string WithNoSync(std::string_view line)
{
    const size_t comma = line.rfind(',');
    if (comma == std::string_view::npos) return "NOSYNC";
    return std::string(line.substr(0, comma + 1)) + "NOSYNC";
}

std::string Garble(std::string_view bytes)
{
    std::string garbled;
    garbled.reserve(bytes.size());
    for (char c : bytes) {
        garbled.push_back(static_cast<char>(0x80 | ((static_cast<unsigned char>(c) * 37 + 11) & 0x7F)));
    }
    return garbled;
}

std::string LineNoise()
{
    return "\x9c\xfe\x03#\x81~\xe0";
}

std::vector<ReplyPiece> ShapeReply(std::string_view line, const std::optional<Fault>& fault, std::chrono::milliseconds delay)
{
    const std::string full = std::string(line) + "\r\n";
    if (!fault) return {{delay, full}};

    switch (fault->GetKind()) {
    case Fault::Kind::Silence:
    case Fault::Kind::PortFailure:
        return {};
    case Fault::Kind::Reply:
        return {{delay, fault->Line() + "\r\n"}};
    case Fault::Kind::NoSync:
        return {{delay, WithNoSync(line) + "\r\n"}};
    case Fault::Kind::Delay:
        return {{fault->DelayTime(), full}};
    case Fault::Kind::Partial: {
        std::string part(line.substr(0, std::min(fault->Keep(), line.size())));
        if (part.empty()) return {};
        return {{delay, part}};
    }
    case Fault::Kind::Garbage:
        return {{delay, LineNoise() + (fault->WithLineEnd() ? "\r\n" : "")}};
    case Fault::Kind::Pieces: {
        // Pieces as even as the length allows; the last one carries the line end.
        const size_t count = std::min(static_cast<size_t>(fault->Count()), full.size());
        std::vector<ReplyPiece> pieces;
        size_t start = 0;
        for (size_t i = 0; i < count; ++i) {
            const size_t end = full.size() * (i + 1) / count;
            pieces.push_back({delay + fault->Gap() * static_cast<int>(i), full.substr(start, end - start)});
            start = end;
        }
        return pieces;
    }
    }
    return {{delay, full}};
}

} // namespace zsim
