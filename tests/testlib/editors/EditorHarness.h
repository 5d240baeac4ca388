#pragma once

// An editor of one record class opened as the host opens it (EditorFixture), with the record,
// the editor as its own class, and a translator of the test's own.

#include "host/documents/HostTranslator.h"
#include "tests/testlib/editors/EditorFixture.h"

#include <memory>
#include <stdexcept>

namespace ztesting {

template <class Record, class EditorClass>
class EditorHarness : public EditorFixture {
protected:
    static constexpr float DialogWidth = 11000;
    static constexpr float DialogHeight = 3600;

    ~EditorHarness() override { host::HostTranslator::SetProcess(mPreviousTranslator); }

    // Opens the record's dialog: created by the record (which hands the editor the record),
    // docked into the shown host window, sized, given the callback.
    EditorClass& Open()
    {
        EditorFixture::Open(record, DialogWidth, DialogHeight);
        editor = std::dynamic_pointer_cast<EditorClass>(EditorPtr());
        if (!editor) throw std::logic_error("the dialog hosts another editor");
        dialog = host.Dialog();
        return *editor;
    }

    // Shows the record again, as the host's Initialize does.
    void Reinitialize() { dialog->Initialize(plat::Variant(plat::ObjectPtr(record))); }

    // Counts from now on.
    void ResetChanges() { spy.Clear(); }

    std::shared_ptr<host::HostTranslator> mPreviousTranslator =
        host::HostTranslator::SetProcess(std::make_shared<host::HostTranslator>());
    std::shared_ptr<Record> record = std::make_shared<Record>();
    std::shared_ptr<host::IDialog> dialog;
    std::shared_ptr<EditorClass> editor;
};

} // namespace ztesting
