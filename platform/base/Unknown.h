#pragma once

#include <memory>

namespace plat {

// The root of every component interface. Interfaces are abstract classes held by
// std::shared_ptr; asking an object for another interface is a dynamic_pointer_cast.
class IUnknown {
public:
    virtual ~IUnknown() = default;
};

using ObjectPtr = std::shared_ptr<IUnknown>;

// Asks an object for one of its interfaces; empty when the object is empty or lacks it.
template <class I, class T>
std::shared_ptr<I> QueryInterface(const std::shared_ptr<T>& object)
{
    return std::dynamic_pointer_cast<I>(object);
}

} // namespace plat

// Interfaces derive from IUnknown virtually ("class IFoo : public virtual plat::IUnknown"), so
// that a class implementing several interfaces has one IUnknown and converts to ObjectPtr.
