#pragma once

// Stand-in declaration of the guide window until the window itself lands on this branch.
#include "host/interfaces/HostForward.h"
#include "platform/base/Variant.h"
#include "platform/ui/Event.h"
#include "platform/ui/Form.h"

#include <cstdint>
#include <vector>
#include <memory>
#include <string>

namespace ztest {

class CMtiData2;

class FZARVIKTestGuide : public plat::Form {
public:
    FZARVIKTestGuide();
    void InitGuide(const std::shared_ptr<host::ITestElement>& element,
                   const std::shared_ptr<host::HostTestContext>& context, const plat::Variant& instructions);
    void SetRunState(int32_t state, bool flag);
    void HighLightSteps(const std::vector<int16_t>& steps = {});
    void ShowStatusText(const std::string& text);
    void ShowInstruction(const std::string& bitmapKey, const std::string& message, bool flash);
    void HideInstruction();
    void ShowResult(const std::shared_ptr<host::IResultData>& result);
    void ShowResultStatus(const std::shared_ptr<host::IResultData>& result);
    void EnableNext(bool enabled);
    std::shared_ptr<CMtiData2> GetMtiData();

    plat::Event<> StartTest;
    plat::Event<> StopTest;
    plat::Event<> AbortTest;
    plat::Event<> NA;
    plat::Event<> NextTest;
    plat::Event<> Previous;
    plat::Event<> Skip;
    plat::Event<bool> ItemClicked;
};

} // namespace ztest
