#pragma once

#include "platform/serial/LineSettings.h"

#include <optional>
#include <string_view>

namespace zsim {

// The wire as the analyzer sees it: where its replies go, and what the other end is set to.
class AnalyzerLine {
public:
    virtual ~AnalyzerLine() = default;
    // The settings of the port at the other end; nullopt when the transport cannot tell.
    virtual std::optional<plat::LineSettings> RemoteSettings() const = 0;
    virtual void Transmit(std::string_view bytes) = 0;
    // The line fails under the command just heard (a device pulled out, an I/O error): the
    // transport raises its error to whoever drives it. A transport that cannot does nothing.
    virtual void Fail() {}
};

} // namespace zsim
