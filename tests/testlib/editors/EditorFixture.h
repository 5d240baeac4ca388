#pragma once

#include "host/interfaces/HostCallback.h"
#include "host/interfaces/IConfigData.h"
#include "platform/ui/ControlExtender.h"
#include "testlib/config/CConfigBase.h"
#include "testlib/core/FDialogWrapper.h"
#include "testlib/editors/XConfigEditor.h"
#include "tests/support/ControlLibraries.h"
#include "tests/support/DialogHost.h"
#include "tests/support/EventSpy.h"
#include "tests/support/UiDriver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace ztesting {

// An editor as the host shows it: the record's dialog docked into a shown host window, and a
// spy on the host callback's notifications. The callback is set before the editor's first
// Initialize, in the host's order, so that whatever the opening sends reaches the spy. Open()
// builds the dialog as the record's CreateDialog does (the record's own editor ProgID);
// OpenUnbound() hosts the editor of a ProgID without any record.
class EditorFixture : public ::testing::Test {
protected:
    EditorFixture() { spy.Watch(callback->Notified, "Notify"); }

    void Open(const std::shared_ptr<ztest::CConfigBase>& record, float width = 9660, float height = 3435)
    {
        HostNew(std::string(record->Info().editorProgId), plat::Variant(plat::ObjectPtr(record)), width, height);
    }

    void OpenUnbound(const std::string& editorProgId, float width = 9660, float height = 3435)
    {
        HostNew(editorProgId, plat::Variant(), width, height);
    }

    ztest::XConfigEditor& Editor() const { return *mEditor; }
    const std::shared_ptr<ztest::XConfigEditor>& EditorPtr() const { return mEditor; }

    template <class T>
    T& Find(const std::string& name, int index = -1) const
    {
        return host.Find<T>(name, index);
    }

    // The notifications the host has been sent, all "Change" with an empty argument array.
    int Changes() const
    {
        for (const auto& record : spy.Records()) {
            EXPECT_EQ(record.args.at(0).AsString(), "Change");
            EXPECT_TRUE(record.args.at(1).AsArray().items.empty());
        }
        return static_cast<int>(spy.Records().size());
    }

    ControlLibraries libraries;
    DialogHost host;
    std::shared_ptr<host::HostCallback> callback = std::make_shared<host::HostCallback>();
    EventSpy spy;
    UiDriver driver;

private:
    void HostNew(const std::string& editorProgId, const plat::Variant& data, float width, float height)
    {
        auto wrapper = std::make_shared<ztest::FDialogWrapper>();
        wrapper->Load();
        wrapper->CreateSetupCtrl(editorProgId);
        wrapper->SetCallBack(callback);
        wrapper->Initialize(data);
        host.Dock(wrapper, width, height);
        mEditor = host.HostedAs<ztest::XConfigEditor>();
        ASSERT_NE(mEditor, nullptr) << "the dialog hosts no editor";
    }

    std::shared_ptr<ztest::XConfigEditor> mEditor;
};

} // namespace ztesting
