#include "testlib/elements/GuideSteps.h"

#include "host/interfaces/ITestWizard.h"
#include "testlib/guide/FZARVIKTestGuide.h"

namespace ztest {

void ReplaceStepLines(FZARVIKTestGuide& guide, const plat::Variant& lines)
{
    if (auto details = guide.xtwDetails()) details->SetSteps(lines);
}

plat::Variant StepLines(const std::vector<std::string>& lines)
{
    plat::VariantArray array = plat::VariantArray::OneDim(0, static_cast<int32_t>(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i) array.At(static_cast<int32_t>(i)) = plat::Variant(lines[i]);
    return plat::Variant(std::move(array));
}

} // namespace ztest
