#include "platform/ui/MessageBox.h"

#include <cstdio>
#include <vector>

namespace plat {

namespace {

class StderrMessageBox : public IMessageBoxService {
public:
    int Show(const std::string& prompt, int style, const std::string& title) override
    {
        int answer = DefaultAnswer(style);
        std::fprintf(stderr, "[message box] %s: %s (style %d, answered %d)\n", title.c_str(), prompt.c_str(), style,
                     answer);
        return answer;
    }
};

std::shared_ptr<IMessageBoxService>& Installed()
{
    static std::shared_ptr<IMessageBoxService> service = std::make_shared<StderrMessageBox>();
    return service;
}

} // namespace

std::shared_ptr<IMessageBoxService> SetMessageBoxService(std::shared_ptr<IMessageBoxService> service)
{
    auto previous = Installed();
    Installed() = service ? std::move(service) : std::make_shared<StderrMessageBox>();
    return previous;
}

int MsgBox(const std::string& prompt, int style, const std::string& title)
{
    // A copy: a service may replace itself while it shows the box.
    auto service = Installed();
    return service->Show(prompt, style, title);
}

int DefaultAnswer(int style)
{
    static const std::vector<std::vector<int>> buttons = {
        {vbOK}, {vbOK, vbCancel}, {vbAbort, vbRetry, vbIgnore}, {vbYes, vbNo, vbCancel}, {vbYes, vbNo}, {vbRetry, vbCancel},
    };
    int set = style & 0x7;
    const auto& choices = set < static_cast<int>(buttons.size()) ? buttons[static_cast<size_t>(set)] : buttons[0];
    auto which = static_cast<size_t>((style & 0x300) >> 8);
    return which < choices.size() ? choices[which] : choices[0];
}

} // namespace plat
