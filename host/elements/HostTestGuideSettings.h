#pragma once

#include "platform/base/Unknown.h"

#include <cstdint>
#include <memory>
#include <string>

namespace host {

class HostXmlDocument;
class HostXmlElement;
class HostLoadLog;

// The host's test-guide settings of one test: how the test-guide window presents the test. The
// host's settings editor edits them in place; every configuration record owns one object and
// stores it with its own values as the element
//   <TestGuideSettings>
//     <ToolbarFlags>3</ToolbarFlags>
//     <ShowInstructions>True</ShowInstructions>
//     <Remark>Use the 50 Ohm adapter</Remark>
//   </TestGuideSettings>
// Saving and loading give back exactly what was saved.
class HostTestGuideSettings : public plat::IUnknown {
public:
    static constexpr const char* ElementName = "TestGuideSettings";
    static constexpr const char* ErrorSource = "HostTestGuideSettings";

    // Toolbar flags: the buttons the operator may use besides the guide's own. The guide adds
    // the Abort button (4) itself.
    static constexpr int32_t ToolbarSkip = 1;
    static constexpr int32_t ToolbarNotApplicable = 2;

    // The first of the settings' values, as the test-guide window reads it to configure its
    // toolbar: the toolbar flags.
    int32_t FirstValue() const { return mToolbarFlags; }

    int32_t ToolbarFlags() const { return mToolbarFlags; }
    void SetToolbarFlags(int32_t flags) { mToolbarFlags = flags; }
    // Whether the window pops up the step instructions during the run.
    bool ShowInstructions() const { return mShowInstructions; }
    void SetShowInstructions(bool show) { mShowInstructions = show; }
    // A note to the operator shown with the test.
    const std::string& Remark() const { return mRemark; }
    void SetRemark(const std::string& remark) { mRemark = remark; }

    // Reads the settings from a "TestGuideSettings" element. A missing child keeps its value; a
    // value that cannot be read (a flags text that is no number, or one that overflows) keeps
    // its value too and is written to the log, and the rest is read. Raises Object variable not
    // set (91) without an element and xmlerr::WrongNode for an element of another name, and
    // then changes nothing.
    void Load(const std::shared_ptr<HostXmlElement>& element, const std::shared_ptr<HostLoadLog>& log);
    // A new unattached "TestGuideSettings" element of the document; raises Object variable not
    // set (91) without a document.
    std::shared_ptr<HostXmlElement> Save(const std::shared_ptr<HostXmlDocument>& document) const;
    // An independent copy.
    std::shared_ptr<HostTestGuideSettings> Clone() const;

    bool operator==(const HostTestGuideSettings& other) const;

private:
    int32_t mToolbarFlags = ToolbarSkip | ToolbarNotApplicable;
    bool mShowInstructions = true;
    std::string mRemark;
};

} // namespace host
