#pragma once

#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"
#include "platform/ui/Event.h"

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace ztesting {

// Records the events it watches, in the order they fire, each with a name and its arguments
// turned into variants (numbers, Booleans, texts, arrays and objects; anything else is kept
// as Empty). Stops listening when it goes.
class EventSpy {
public:
    struct Record {
        std::string name;
        std::vector<plat::Variant> args;
    };

    template <class... A>
    void Watch(plat::Event<A...>& event, const std::string& name)
    {
        mConnections.emplace_back(event.Connect([this, name](A... args) {
            mRecords.push_back(Record{name, {ToVariant(args)...}});
        }));
    }

    const std::vector<Record>& Records() const { return mRecords; }
    // The names of the records in order.
    std::vector<std::string> Names() const;
    int Count(const std::string& name) const;
    // The last record; fails the test and gives an empty record when there is none.
    Record Last() const;
    void Clear() { mRecords.clear(); }

    template <class T>
    static plat::Variant ToVariant(const T& value)
    {
        using V = std::decay_t<T>;
        if constexpr (std::is_same_v<V, plat::Variant>) {
            return value;
        } else if constexpr (std::is_same_v<V, bool>) {
            return plat::Variant(value);
        } else if constexpr (std::is_same_v<V, int16_t>) {
            return plat::Variant(value);
        } else if constexpr (std::is_integral_v<V>) {
            return plat::Variant(static_cast<int32_t>(value));
        } else if constexpr (std::is_same_v<V, float> || std::is_same_v<V, double>) {
            return plat::Variant(value);
        } else if constexpr (std::is_convertible_v<V, std::string>) {
            return plat::Variant(std::string(value));
        } else if constexpr (std::is_same_v<V, plat::VariantArray>) {
            return plat::Variant(value);
        } else if constexpr (requires { typename V::element_type; } ) {
            if constexpr (std::is_base_of_v<plat::IUnknown, typename V::element_type>) {
                return plat::Variant(plat::ObjectPtr(value));
            } else {
                return plat::Variant();
            }
        } else {
            return plat::Variant();
        }
    }

private:
    std::vector<Record> mRecords;
    std::vector<plat::ScopedConnection> mConnections;
};

} // namespace ztesting
