#include "testlib/tests/GuideSteps.h"

#include "host/interfaces/ITestWizard.h"
#include "testlib/guide/FZARVIKTestGuide.h"

namespace ztest {

void ReplaceStepLines(FZARVIKTestGuide& guide, const plat::Variant& lines)
{
    if (auto details = guide.xtwDetails()) details->SetSteps(lines);
}

} // namespace ztest
