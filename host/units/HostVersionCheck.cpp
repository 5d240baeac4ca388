#include "host/units/HostVersionCheck.h"

#include "platform/base/ComError.h"

#include <charconv>
#include <mutex>
#include <vector>

namespace host {

namespace {

std::mutex gMutex;
std::optional<std::string> gVersion;

// The numbers of a dotted version; nullopt for anything else.
std::optional<std::vector<long>> Parts(const std::string& text)
{
    std::vector<long> parts;
    size_t start = 0;
    for (;;) {
        const size_t dot = text.find('.', start);
        const size_t end = dot == std::string::npos ? text.size() : dot;
        long value = 0;
        auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + end, value);
        if (end == start || ec != std::errc() || ptr != text.data() + end || value < 0) return std::nullopt;
        parts.push_back(value);
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return parts;
}

} // namespace

std::string HostVersionCheck::Version() const
{
    std::lock_guard lock(gMutex);
    return gVersion.value_or(DefaultVersion);
}

bool HostVersionCheck::IsVersionAtLeast(const std::string& version) const
{
    const std::string own = Version();
    if (own.empty()) {
        throw plat::ComError(plat::rt::ObjectLacksMember, "HostVersionCheck",
                             "Object doesn't support this property or method");
    }
    auto order = Compare(own, version);
    return order && *order >= 0;
}

void HostVersionCheck::SetHostVersion(std::optional<std::string> version)
{
    std::lock_guard lock(gMutex);
    gVersion = std::move(version);
}

std::optional<int> HostVersionCheck::Compare(const std::string& a, const std::string& b)
{
    auto left = Parts(a);
    auto right = Parts(b);
    if (!left || !right) return std::nullopt;
    const size_t count = std::max(left->size(), right->size());
    for (size_t i = 0; i < count; ++i) {
        const long x = i < left->size() ? (*left)[i] : 0;
        const long y = i < right->size() ? (*right)[i] : 0;
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

} // namespace host
