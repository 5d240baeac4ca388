#pragma once

#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"
#include "testlib/editors/XConfigEditor.h"

#include <functional>

namespace ztest {

// What a group of controls needs of the editor that holds it: the editor's loading flag (set
// while the editor fills its own controls, so that their notifications write nothing), a way to
// run a step under that flag, and the "Change" notice to the host.
struct GroupSite {
    std::function<bool()> loading;
    std::function<void(const std::function<void()>&)> whileLoading;
    std::function<void()> changed;
};

// An editor built of groups of controls (wave list, duration, pacer load, threshold, atrial
// pace lists): it hands each group its site. Record may be the common class of several
// records; Accepts then tells the editor's own record class from the others.
template <class Record>
class XGroupEditor : public XRecordEditor<Record> {
    using Base = XRecordEditor<Record>;

protected:
    using Base::Base;

    GroupSite Site()
    {
        return GroupSite{
            [this] { return Base::Loading(); },
            [this](const std::function<void()>& step) {
                typename Base::LoadingScope loading(*this);
                Base::Try(step);
            },
            [this] { Base::NotifyHost("Change"); },
        };
    }

    // Whether an object is a record of this editor's own class.
    virtual bool Accepts(const plat::ObjectPtr&) const { return true; }

    // A record of another class is refused: the record bound before stays bound.
    bool BindRecord(const plat::Variant& data) override
    {
        if (data.IsObject() && data.AsObject() && !Accepts(data.AsObject())) return Base::mConfig != nullptr;
        return Base::BindRecord(data);
    }
};

} // namespace ztest
