#include "testlib/tests/GuideSteps.h"

#include "testlib/guide/FZARVIKTestGuide.h"

#if __has_include("host/interfaces/ITestWizard.h")
#include "host/interfaces/ITestWizard.h"
#define ZARVIK_GUIDE_STEP_LIST 1
#endif

namespace ztest {

void ReplaceStepLines(FZARVIKTestGuide& guide, const plat::Variant& lines)
{
#ifdef ZARVIK_GUIDE_STEP_LIST
    if (auto details = guide.xtwDetails()) details->SetSteps(lines);
#else
    (void)guide;
    (void)lines;
#endif
}

void MarkSteps(FZARVIKTestGuide& guide, const std::vector<int16_t>& steps)
{
#ifdef ZARVIK_GUIDE_STEP_LIST
    guide.HighLightStepList(steps);
#else
    guide.HighLightSteps(steps);
#endif
}

} // namespace ztest
