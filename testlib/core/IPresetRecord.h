#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"

#include <memory>

namespace ztest {

// A test element that can give the record its next run would measure into: a fresh result
// record built from the current configuration, each measurement with its preset and no value.
// The limits printout of a test without a result asks for it, so that a formula limit prints
// as the number the configuration's preset makes of it, as it does beside a measured value.
class IPresetRecord : public virtual plat::IUnknown {
public:
    // None when no record can be built.
    virtual std::shared_ptr<host::IResultData> PresetRecord() = 0;
};

} // namespace ztest
