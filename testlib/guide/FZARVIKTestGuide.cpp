#include "testlib/guide/FZARVIKTestGuide.h"

#include "testlib/core/CMtiData2.h"

namespace ztest {

FZARVIKTestGuide::FZARVIKTestGuide() : plat::Form("FZARVIKTestGuide") {}
void FZARVIKTestGuide::InitGuide(const std::shared_ptr<host::ITestElement>&, const std::shared_ptr<host::HostTestContext>&,
                                 const plat::Variant&) {}
void FZARVIKTestGuide::SetRunState(int32_t, bool) {}
void FZARVIKTestGuide::HighLightSteps(const std::vector<int16_t>&) {}
void FZARVIKTestGuide::ShowStatusText(const std::string&) {}
void FZARVIKTestGuide::ShowInstruction(const std::string&, const std::string&, bool) {}
void FZARVIKTestGuide::HideInstruction() {}
void FZARVIKTestGuide::ShowResult(const std::shared_ptr<host::IResultData>&) {}
void FZARVIKTestGuide::ShowResultStatus(const std::shared_ptr<host::IResultData>&) {}
void FZARVIKTestGuide::EnableNext(bool) {}
std::shared_ptr<CMtiData2> FZARVIKTestGuide::GetMtiData() { return std::make_shared<CMtiData2>(); }

} // namespace ztest
