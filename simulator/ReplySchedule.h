#pragma once

#include "simulator/Fault.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zsim {

// When and in what pieces a reply goes out: a list of byte pieces, each with its time after
// the command arrived. Pure, so that every fault's shape can be checked with plain tables.
struct ReplyPiece {
    std::chrono::milliseconds at{0};
    std::string bytes;
    bool operator==(const ReplyPiece&) const = default;
};

// The pieces of the reply line (without its line end) under the fault, when the analyzer
// normally answers `delay` after a command. Silence gives no piece; Reply is applied before
// (the line given is already the fault's).
std::vector<ReplyPiece> ShapeReply(std::string_view line, const std::optional<Fault>& fault, std::chrono::milliseconds delay);

// The data reply with its last comma-separated field replaced by "NOSYNC" (the whole reply when
// it has no comma).
std::string WithNoSync(std::string_view line);

// What bytes sent at one speed look like to a receiver set to another: every byte becomes a
// non-ASCII one, and no line end survives.
std::string Garble(std::string_view bytes);

// The noise of Fault::Garbage.
std::string LineNoise();

} // namespace zsim
