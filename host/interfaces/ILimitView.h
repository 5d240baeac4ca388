#pragma once

#include "platform/base/Unknown.h"

#include <cstdint>
#include <string>

namespace host {

// The host's limit view ("TelvoView.XLimitView") as the limits fill it: one row per measured
// quantity that a standard can limit.
class ILimitView : public virtual plat::IUnknown {
public:
    // The dispatch identifier under which the host's type library publishes AddRow.
    static constexpr int32_t DispIdAddRow = 0x60030005;

    // Adds one row: the measurement key, its caption (already translated), the unit shown
    // beside the values, and the formula forms offered for its bounds as
    // "<op>form;form;...</op>" (empty: the row offers plain values only).
    virtual void AddRow(const std::string& key, const std::string& caption, const std::string& unit,
                        const std::string& operators) = 0;
};

} // namespace host
