#pragma once

#include "platform/base/Unknown.h"

#include <cstdint>
#include <memory>

namespace host {

// The filter object of a test element: flags that tell the result records what the host wants
// made of a rating. Bit 0 asks for a service record. The other bits belong to the host and are
// kept as they are.
class HostTestFilter : public plat::IUnknown {
public:
    static constexpr int32_t FlagServiceRecord = 1;

    HostTestFilter() = default;
    explicit HostTestFilter(int32_t flags) : mFlags(flags) {}

    int32_t Flags() const { return mFlags; }
    void SetFlags(int32_t flags) { mFlags = flags; }

    // Whether a rating makes a service record (bit 0).
    bool MakesServiceRecord() const { return (mFlags & FlagServiceRecord) != 0; }

    // A filter of its own with the same flags, for a copied test element.
    std::shared_ptr<HostTestFilter> Clone() const { return std::make_shared<HostTestFilter>(mFlags); }

private:
    int32_t mFlags = 0;
};

} // namespace host
