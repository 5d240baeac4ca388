#pragma once

#include "platform/ui/MessageBox.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ztesting {

// A message-box service that keeps every box it is asked to show instead of showing it, and
// answers it: with the fixed answer when one is set, else with the box's default button.
class MessageBoxRecorder : public plat::IMessageBoxService {
public:
    struct Box {
        std::string prompt;
        int style;
        std::string title;
    };

    MessageBoxRecorder() = default;
    explicit MessageBoxRecorder(int fixedAnswer) : answer(fixedAnswer) {}

    int Show(const std::string& prompt, int style, const std::string& title) override;

    // The prompts of the boxes, in the order they were shown.
    std::vector<std::string> Prompts() const;

    std::vector<Box> boxes;
    std::optional<int> answer;
};

// Installs a recorder while it lives and then puts back the service it replaced.
class MessageBoxCapture {
public:
    MessageBoxCapture() : MessageBoxCapture(std::make_shared<MessageBoxRecorder>()) {}
    explicit MessageBoxCapture(int fixedAnswer) : MessageBoxCapture(std::make_shared<MessageBoxRecorder>(fixedAnswer)) {}
    ~MessageBoxCapture() { plat::SetMessageBoxService(mPrevious); }
    MessageBoxCapture(const MessageBoxCapture&) = delete;
    MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

    std::vector<MessageBoxRecorder::Box>& Boxes() { return mRecorder->boxes; }
    std::vector<std::string> Prompts() const { return mRecorder->Prompts(); }
    void Clear() { mRecorder->boxes.clear(); }

private:
    explicit MessageBoxCapture(std::shared_ptr<MessageBoxRecorder> recorder)
        : mRecorder(std::move(recorder)), mPrevious(plat::SetMessageBoxService(mRecorder))
    {
    }

    std::shared_ptr<MessageBoxRecorder> mRecorder;
    std::shared_ptr<plat::IMessageBoxService> mPrevious;
};

} // namespace ztesting
