#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ztest {

// The gate of the pacer tests' replies (load command, "PACEPDATA", "PACEREFRACT"): what a reply
// is, read without its line end. Only Data reaches a result record: three comma-separated
// numbers, whatever fields follow them (a reading by the rule of DataRecord); everything that
// is neither data, "OK", a known token nor an empty reply is Unexpected.
enum class PacerReplyKind {
    Empty,           // nothing but a line end (or nothing at all)
    Ok,              // begins "OK"
    Data,            // three comma-separated numbers, further fields allowed
    ModuleOverload,  // begins "MODULEOVERLOAD"
    NoPacer,         // begins "NO PACER"
    Error,           // begins "ERR" with a code of 0 or more
    Unexpected,      // anything else, an "ERR" with a code below 0 included
};

struct PacerReply {
    static PacerReplyKind Classify(std::string_view reply);
    static bool IsData(std::string_view reply);
    // The error code of a refused "PACEPMODE": the two characters after the first "=" (the
    // first two characters of a reply without one), read as a number and made a whole number.
    // Text that is no number, and a number beyond the 16-bit range, give 0.
    static int16_t ModeErrorCode(std::string_view reply);
    // Whether the answer to "QADAPTER" reports an adapter: its first two characters, or its
    // first one, read as a whole number of at least 1. Nothing for an empty reply or one that
    // is no number.
    static std::optional<bool> AdapterPresent(std::string_view reply);
};

} // namespace ztest
