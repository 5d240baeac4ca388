#pragma once

#include <memory>
#include <string>
#include <vector>

namespace plat {

class Control;
class ControlExtender;
class Window;

// The Controls collection of a form or user control: every control named in it, and the
// controls added at run time by ProgID.
class ControlCollection {
public:
    explicit ControlCollection(Window& scope) : mScope(scope) {}
    ControlCollection(const ControlCollection&) = delete;
    ControlCollection& operator=(const ControlCollection&) = delete;

    // Creates a registered user control by ProgID through the component runtime, places it in
    // `container` (the owner of this collection when null) under `name`, hidden, and returns its
    // extender. A ProgID that cannot be created (not registered, library not loadable), or
    // whose object is no control, gives null; an error raised by the control's own start passes
    // through; a name that is taken raises 727 and creates nothing.
    std::shared_ptr<ControlExtender> Add(const std::string& progId, const std::string& name,
                                         Window* container = nullptr);

    int Count() const;
    bool Contains(const std::string& name) const;
    // A control by name (and index within a control array); null when there is none.
    std::shared_ptr<Control> Item(const std::string& name, int index = -1) const;
    // The extender of a control added by ProgID; null for any other name.
    std::shared_ptr<ControlExtender> Extender(const std::string& name) const;
    // Destroys a control added by ProgID; other names are left alone (they were placed by design).
    void Remove(const std::string& name);

private:
    friend class Form;

    // Forgets the extenders of controls that were destroyed.
    void Prune();

    Window& mScope;
    std::vector<std::shared_ptr<ControlExtender>> mAdded;
};

} // namespace plat
