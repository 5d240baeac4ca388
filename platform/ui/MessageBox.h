#pragma once

#include <memory>
#include <string>

namespace plat {

// Message box styles: buttons, icon and default button, added together.
constexpr int vbOKOnly = 0;
constexpr int vbOKCancel = 1;
constexpr int vbAbortRetryIgnore = 2;
constexpr int vbYesNoCancel = 3;
constexpr int vbYesNo = 4;
constexpr int vbRetryCancel = 5;
constexpr int vbCritical = 16;
constexpr int vbQuestion = 32;
constexpr int vbExclamation = 48;
constexpr int vbInformation = 64;
constexpr int vbDefaultButton1 = 0;
constexpr int vbDefaultButton2 = 256;
constexpr int vbDefaultButton3 = 512;

// Answers.
constexpr int vbOK = 1;
constexpr int vbCancel = 2;
constexpr int vbAbort = 3;
constexpr int vbRetry = 4;
constexpr int vbIgnore = 5;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

// Shows a message box and returns the operator's answer. Tests install a recorder; the
// scripted operator answers; the default writes the box to stderr and answers with its
// default button.
class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    virtual int Show(const std::string& prompt, int style, const std::string& title) = 0;
};

// Installs a service (null restores the default) and returns the one it replaces.
std::shared_ptr<IMessageBoxService> SetMessageBoxService(std::shared_ptr<IMessageBoxService> service);

// Shows a message box through the installed service.
int MsgBox(const std::string& prompt, int style = vbOKOnly, const std::string& title = {});

// The answer of the default button of a style (vbYesNo + vbDefaultButton2 gives vbNo); a
// default button beyond the buttons of the style is the first.
int DefaultAnswer(int style);

} // namespace plat
