#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/UiError.h"

#include <memory>
#include <string>
#include <vector>

namespace plat {

// The elements of one control array (controls that share a name and differ by index), seen
// from the form or user control they belong to. A view: it owns nothing and always reflects
// the elements present now.
template <class T>
class ControlArray {
public:
    ControlArray(const Window& scope, std::string name) : mScope(&scope), mName(std::move(name)) {}

    // An element; an index without an element raises 340.
    std::shared_ptr<T> Item(int index) const
    {
        auto control = std::dynamic_pointer_cast<T>(mScope->FindControl(mName, index));
        if (index < 0 || !control) RaiseUiError(uierr::ControlArrayElementMissing, mName);
        return control;
    }
    std::shared_ptr<T> operator[](int index) const { return Item(index); }

    std::vector<int> Indexes() const { return mScope->ArrayIndexes(mName); }
    int Count() const { return static_cast<int>(Indexes().size()); }
    int LBound() const
    {
        auto indexes = Indexes();
        return indexes.empty() ? 0 : indexes.front();
    }
    int UBound() const
    {
        auto indexes = Indexes();
        return indexes.empty() ? -1 : indexes.back();
    }

    // Connects one handler to an event of every element, called with the element's index
    // first: arr.ConnectEach(&OptionButton::Click, [](int index) { ... }).
    template <class Member, class F>
    std::vector<Connection> ConnectEach(Member member, F fn) const
    {
        std::vector<Connection> connections;
        for (int index : Indexes()) {
            auto element = Item(index);
            auto& event = (*element).*member;
            connections.push_back(event.Connect([fn, index](auto&&... args) { fn(index, args...); }));
        }
        return connections;
    }

private:
    const Window* mScope;
    std::string mName;
};

} // namespace plat
