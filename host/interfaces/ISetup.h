#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <memory>
#include <string>

namespace host {

// A plug-in's settings object as the host sees it.
class ISetup : public virtual plat::IUnknown {
public:
    virtual bool HasDialog() = 0;
    virtual plat::Variant Settings() = 0;
    virtual void SetSettings(const plat::Variant& settings) = 0;
    virtual std::shared_ptr<IDialog> CreateDialog() = 0;
    virtual void RegLoad(int32_t hKey, const std::string& regKey) = 0;
    virtual void RegSave(int32_t hKey, const std::string& regKey) = 0;
};

} // namespace host
