#pragma once

#include "host/interfaces/IDialog.h"
#include "platform/ui/ControlExtender.h"
#include "platform/ui/Form.h"
#include "platform/ui/UserControl.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace ztesting {

// A shown host window into which a test docks a dialog (an editor, a view, a preferences page)
// as the host does: Dock into the window, Show, Move to a size. Only then can the UI driver
// reach the hosted control's controls, and the control's layout runs. Unloads the dialog and
// the window at the end.
class DialogHost {
public:
    DialogHost();
    ~DialogHost();
    DialogHost(const DialogHost&) = delete;
    DialogHost& operator=(const DialogHost&) = delete;

    // Docks, shows and places the dialog at the top left of the window, at the size given
    // (twips). A dialog docked before is unloaded. Fails the test when the dialog is null or
    // cannot be docked.
    void Dock(const std::shared_ptr<host::IDialog>& dialog, float width = 9660, float height = 3435);
    // Places the docked dialog again at another size.
    void Resize(float width, float height);

    plat::Form& Window() const { return *mWindow; }
    const std::shared_ptr<host::IDialog>& Dialog() const { return mDialog; }
    // The control the dialog hosts (as its wrapper added it), null when there is none.
    std::shared_ptr<plat::ControlExtender> Hosted() const;
    // The hosted control's own object as T; null when there is none or it is no T.
    template <class T>
    std::shared_ptr<T> HostedAs() const
    {
        auto hosted = Hosted();
        return hosted ? std::dynamic_pointer_cast<T>(hosted->Object()) : nullptr;
    }

    // A control inside the hosted control by name (and index); throws when there is none, so a
    // test reads `host.Find<plat::TextBox>("txtEnergy")`.
    template <class T>
    T& Find(const std::string& name, int index = -1) const
    {
        auto hosted = Hosted();
        std::shared_ptr<T> control = hosted ? hosted->Control()->FindAs<T>(name, index) : nullptr;
        if (!control) throw std::logic_error("the hosted control has no " + name);
        return *control;
    }

private:
    std::shared_ptr<plat::Form> mWindow;
    std::shared_ptr<host::IDialog> mDialog;
};

} // namespace ztesting
