#pragma once

#include "platform/base/Unknown.h"

#include <optional>
#include <string>

namespace host {

// The host's version check: tells a plug-in whether the host application is at least a given
// version, so that it can rely on what that version offers (a configured port per module).
class HostVersionCheck : public plat::IUnknown {
public:
    // The version this host reports.
    static constexpr const char* DefaultVersion = "2.2.0";

    // The host's version text.
    std::string Version() const;

    // Whether the host is at least the version given as dotted numbers ("2.1.2"); parts are
    // compared as numbers, a missing part counts as 0. A text that is not such a version is
    // never reached: false. Raises 438 when the check is unavailable (see SetHostVersion).
    bool IsVersionAtLeast(const std::string& version) const;

    // Makes the process report another version (an older host, in tests); an empty text makes
    // the check unavailable, as in a host that lacks it; nullopt restores the default.
    static void SetHostVersion(std::optional<std::string> version);

    // Compares two versions: negative, zero or positive; nullopt when either is malformed.
    static std::optional<int> Compare(const std::string& a, const std::string& b);
};

} // namespace host
