#pragma once

// A configuration record's editor opened as the host opens it: the record's dialog, docked into
// a shown host window and sized, with a callback whose "Change" notices are counted. The
// operator acts on the editor's controls through the UI driver.

#include "host/documents/HostTranslator.h"
#include "host/interfaces/HostCallback.h"
#include "platform/com/ComRuntime.h"
#include "platform/ui/ControlExtender.h"
#include "platform/ui/Form.h"
#include "testlib/core/FDialogWrapper.h"
#include "tests/support/EventSpy.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UiDriver.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace ztesting {

template <class Record, class Editor>
class EditorHarness {
public:
    static constexpr float DialogWidth = 11000;
    static constexpr float DialogHeight = 3600;

    EditorHarness()
    {
        for (const char* name : {"telvoView", "telvoZarvikTest"}) {
            plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/lib" + name + ".so");
        }
        hostWindow->Move(0, 0, DialogWidth + 600, DialogHeight + 600);
        hostWindow->Show();
    }
    ~EditorHarness()
    {
        if (dialog) dialog->Unload();
        hostWindow->Unload();
        host::HostTranslator::SetProcess(previousTranslator);
    }
    EditorHarness(const EditorHarness&) = delete;
    EditorHarness& operator=(const EditorHarness&) = delete;

    // Opens the record's dialog as the host does: created by the record (which hands the
    // editor the record), docked, shown, sized, given the callback.
    Editor& Open()
    {
        dialog = record->CreateDialog();
        if (!dialog) throw std::logic_error("no dialog");
        dialog->Dock(hostWindow->hWnd());
        dialog->Show(0);
        dialog->Move(0, 0, DialogWidth, DialogHeight);
        dialog->SetCallBack(callback);
        spy.Watch(callback->Notified, "Change");
        auto wrapper = std::dynamic_pointer_cast<ztest::FDialogWrapper>(dialog);
        if (!wrapper || !wrapper->Control()) throw std::logic_error("no editor in the dialog");
        editor = std::dynamic_pointer_cast<Editor>(wrapper->Control()->Object());
        if (!editor) throw std::logic_error("the dialog hosts another editor");
        return *editor;
    }

    template <class T>
    T& Find(const std::string& name, int index = -1) const
    {
        auto control = editor->template FindAs<T>(name, index);
        if (!control) throw std::logic_error("no control " + name);
        return *control;
    }

    int Changes() const { return spy.Count("Change"); }
    // Counts from now on.
    void ResetChanges() { spy.Clear(); }

    TempRegistry registry;
    std::shared_ptr<host::HostTranslator> previousTranslator =
        host::HostTranslator::SetProcess(std::make_shared<host::HostTranslator>());
    std::shared_ptr<plat::Form> hostWindow = std::make_shared<plat::Form>("frmHostDialog");
    std::shared_ptr<host::HostCallback> callback = std::make_shared<host::HostCallback>();
    std::shared_ptr<Record> record = std::make_shared<Record>();
    std::shared_ptr<host::IDialog> dialog;
    std::shared_ptr<Editor> editor;
    EventSpy spy;
    UiDriver driver;
};

} // namespace ztesting
