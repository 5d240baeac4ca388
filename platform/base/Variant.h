#pragma once

#include "platform/base/Unknown.h"

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace plat {

class Variant;

// A 1-D or 2-D array of variants with lower bounds, stored row-major by the first index.
struct VariantArray {
    std::vector<int32_t> lowerBounds; // one per dimension
    std::vector<int32_t> counts;      // one per dimension
    std::vector<Variant> items;

    static VariantArray OneDim(int32_t lower, int32_t count);
    static VariantArray TwoDim(int32_t lower1, int32_t count1, int32_t lower2, int32_t count2);
    int Dimensions() const { return static_cast<int>(counts.size()); }
    int32_t LBound(int dim = 1) const;
    int32_t UBound(int dim = 1) const;
    // Raises subscript-out-of-range for an index outside the bounds or the wrong dimension count.
    Variant& At(int32_t i);
    const Variant& At(int32_t i) const;
    Variant& At(int32_t i, int32_t j);
    const Variant& At(int32_t i, int32_t j) const;
};

enum class VarType { Empty, Null, Boolean, Integer, Long, Single, Double, String, Object, Array };

// The language's variant: a value of one of the kinds above. Arrays are values, copied with
// the variant; objects are references.
class Variant {
public:
    struct NullTag {};

    Variant() = default;
    Variant(NullTag) : mValue(NullTag{}) {}
    Variant(bool v) : mValue(v) {}
    Variant(int16_t v) : mValue(v) {}
    Variant(int32_t v) : mValue(v) {}
    Variant(float v) : mValue(v) {}
    Variant(double v) : mValue(v) {}
    Variant(std::string v) : mValue(std::move(v)) {}
    Variant(const char* v) : mValue(std::string(v)) {}
    Variant(ObjectPtr v) : mValue(std::move(v)) {}
    template <class T, class = std::enable_if_t<std::is_base_of_v<IUnknown, T>>>
    Variant(std::shared_ptr<T> v) : mValue(ObjectPtr(std::move(v))) {}
    Variant(VariantArray v) : mValue(ArrayBox(std::move(v))) {}

    static Variant Null() { return Variant(NullTag{}); }

    VarType Type() const { return static_cast<VarType>(mValue.index()); }
    bool IsEmpty() const { return Type() == VarType::Empty; }
    bool IsNull() const { return Type() == VarType::Null; }
    bool IsNumeric() const;      // Boolean, Integer, Long, Single, Double
    bool IsString() const { return Type() == VarType::String; }
    bool IsObject() const { return Type() == VarType::Object; }
    bool IsArray() const { return Type() == VarType::Array; }

    // Direct access to the stored kind; raise type-mismatch for another kind.
    bool AsBool() const;
    int16_t AsInteger() const;
    int32_t AsLong() const;
    float AsSingle() const;
    double AsDouble() const;
    const std::string& AsString() const;
    const ObjectPtr& AsObject() const;
    const VariantArray& AsArray() const;
    VariantArray& AsArray();

    // The object, asked for an interface; empty when this holds no object or the object lacks it.
    template <class I>
    std::shared_ptr<I> Query() const
    {
        if (!IsObject()) return nullptr;
        return std::dynamic_pointer_cast<I>(std::get<ObjectPtr>(mValue));
    }

    // Strict equality of kind and value (for tests and containers), not the language's "=".
    bool operator==(const Variant& other) const;

private:
    // Keeps arrays by value while letting Variant be declared before VariantArray is complete.
    class ArrayBox {
    public:
        explicit ArrayBox(VariantArray a);
        ArrayBox(const ArrayBox& o);
        ArrayBox(ArrayBox&&) noexcept = default;
        ArrayBox& operator=(const ArrayBox& o);
        ArrayBox& operator=(ArrayBox&&) noexcept = default;
        ~ArrayBox();
        VariantArray& get() { return *mArray; }
        const VariantArray& get() const { return *mArray; }

    private:
        std::unique_ptr<VariantArray> mArray;
    };

    std::variant<std::monostate, NullTag, bool, int16_t, int32_t, float, double, std::string, ObjectPtr, ArrayBox>
        mValue;
};

// The name of a kind, for messages ("Empty", "Long", ...).
const char* VarTypeName(VarType type);

} // namespace plat
