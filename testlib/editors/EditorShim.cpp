#include "testlib/editors/EditorShim.h"

#include "host/documents/HostTranslator.h"
#include "host/interfaces/IHelpText.h"
#include "platform/base/ComError.h"
#include "platform/ui/Label.h"

namespace ztest {

std::shared_ptr<plat::Frame> EditorShim::AddSettingsFrame(float left, float top, float width, float height)
{
    mSettingsFrame = Add<plat::Frame>("fraTestGuideSettings");
    mSettingsFrame->Move(left, top, width, height);
    auto label = mSettingsFrame->Add<plat::Label>("lblTestGuideSettings");
    label->Move(120, 240, 2055, 285);
    label->SetCaption("20080::Test guide settings:");
    plat::IgnoreErrors([&] {
        mSettings = Controls().Add("telvoView.XTestGuideSettings", "xtgTestGuideConfig", mSettingsFrame.get());
        if (mSettings) {
            mSettings->Move(120, 600, 1815, 735);
            mSettings->SetVisible(true);
        }
    });
    return mSettingsFrame;
}

void EditorShim::AddHelpText(const std::string& caption, float left, float top, float width, float height)
{
    plat::IgnoreErrors([&] {
        mHelp = Controls().Add("telvoView.XHelpText", "xhtHelpText");
        if (!mHelp) return;
        mHelp->Move(left, top, width, height);
        mHelp->SetVisible(true);
        if (auto text = plat::QueryInterface<host::IHelpText>(mHelp->Object())) text->SetText(caption);
    });
}

void EditorShim::TranslateCaptions()
{
    plat::IgnoreErrors([&] { host::HostTranslator::Process()->TranslateObject("ZARVIK", *this); });
}

void EditorShim::BindSettings(const std::shared_ptr<host::HostTestGuideSettings>&) {}
void EditorShim::SetSettingsLocked(bool) {}
void EditorShim::MoveSettingsEditor(float left, float top)
{
    plat::IgnoreErrors([&] {
        if (mSettings) mSettings->Move(left, top);
    });
}

float EditorShim::FitHelpText(float height)
{
    float top = height;
    plat::IgnoreErrors([&] {
        if (!mHelp) return;
        mHelp->Move(0, height - mHelp->Height());
        top = mHelp->Top();
    });
    return top;
}

} // namespace ztest
