#include "support/MessageBoxRecorder.h"

namespace ztesting {

int MessageBoxRecorder::Show(const std::string& prompt, int style, const std::string& title)
{
    boxes.push_back({prompt, style, title});
    return answer ? *answer : plat::DefaultAnswer(style);
}

std::vector<std::string> MessageBoxRecorder::Prompts() const
{
    std::vector<std::string> prompts;
    for (const Box& box : boxes) prompts.push_back(box.prompt);
    return prompts;
}

} // namespace ztesting
