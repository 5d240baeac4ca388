#pragma once

#include "host/interfaces/CustomControl.h"
#include "host/interfaces/ILimitData.h"
#include "host/interfaces/ILimitView.h"

#include <memory>
#include <string>
#include <vector>

namespace host {

// The host's limit view: the control in which the operator edits the standards of a test
// element. This stand-in keeps the rows it is given and the limits object it shows, so that a
// dialog can host it and a test can read back what it was given; it draws no grid.
class XLimitView : public CustomControl, public ILimitView {
public:
    static constexpr const char* ProgId = "TelvoView.XLimitView";
    static constexpr const char* Clsid = "{C6DCE789-D1AD-445F-A869-96DE5974DF83}";

    struct Row {
        std::string key;
        std::string caption;
        std::string unit;
        std::string operators;
    };

    XLimitView();

    // ILimitView
    void AddRow(const std::string& key, const std::string& caption, const std::string& unit,
                const std::string& operators) override;

    // ICustomControl
    // A locked view shows the limits without letting the operator change them (the base keeps
    // the flag).
    // Takes the limits object (ILimitData) that the rows are edited in; any other data leaves
    // the view without limits.
    void Initialize(const plat::Variant& data) override;
    void SetFocus() override;

    // What the view was given, in order.
    const std::vector<Row>& Rows() const { return mRows; }
    const std::shared_ptr<ILimitData>& Limits() const { return mLimits; }

private:
    std::vector<Row> mRows;
    std::shared_ptr<ILimitData> mLimits;
};

} // namespace host
