#pragma once

#include "platform/base/Unknown.h"

#include <string>

namespace ztest {

// The identity of one analyzer unit: its type, serial number and firmware version. The class is
// public so that the guide window can hand it to its views; its properties are the test
// library's own.
class CMtiData2 : public virtual plat::IUnknown {
public:
    static constexpr const char* InterfaceId = "{247F6B39-B02C-44E2-B37A-D81D3889C404}";
    static constexpr const char* ClassId = "{8D2E1299-669F-47AD-9231-0326894F782A}";
    static constexpr const char* ProgId = "TelvoZarvikTest.CMtiData2";

    const std::string& MtiType() const { return mMtiType; }
    void SetMtiType(const std::string& mtiType) { mMtiType = mtiType; }
    const std::string& Serial() const { return mSerial; }
    void SetSerial(const std::string& serial) { mSerial = serial; }
    const std::string& Firmware() const { return mFirmware; }
    void SetFirmware(const std::string& firmware) { mFirmware = firmware; }

private:
    std::string mMtiType;
    std::string mSerial;
    std::string mFirmware;
};

} // namespace ztest
