#include "platform/base/Variant.h"

#include "platform/base/ComError.h"

namespace plat {

VariantArray VariantArray::OneDim(int32_t lower, int32_t count)
{
    if (count < 0) RaiseRuntime(rt::SubscriptOutOfRange);
    VariantArray a;
    a.lowerBounds = {lower};
    a.counts = {count};
    a.items.resize(static_cast<size_t>(count));
    return a;
}

VariantArray VariantArray::TwoDim(int32_t lower1, int32_t count1, int32_t lower2, int32_t count2)
{
    if (count1 < 0 || count2 < 0) RaiseRuntime(rt::SubscriptOutOfRange);
    VariantArray a;
    a.lowerBounds = {lower1, lower2};
    a.counts = {count1, count2};
    a.items.resize(static_cast<size_t>(count1) * static_cast<size_t>(count2));
    return a;
}

int32_t VariantArray::LBound(int dim) const
{
    if (dim < 1 || dim > Dimensions()) RaiseRuntime(rt::SubscriptOutOfRange);
    return lowerBounds[static_cast<size_t>(dim - 1)];
}

int32_t VariantArray::UBound(int dim) const
{
    if (dim < 1 || dim > Dimensions()) RaiseRuntime(rt::SubscriptOutOfRange);
    size_t d = static_cast<size_t>(dim - 1);
    return static_cast<int32_t>(static_cast<int64_t>(lowerBounds[d]) + counts[d] - 1);
}

namespace {
size_t Offset(const VariantArray& a, int64_t i, int dim)
{
    size_t d = static_cast<size_t>(dim);
    int64_t rel = i - a.lowerBounds[d];
    if (rel < 0 || rel >= a.counts[d]) RaiseRuntime(rt::SubscriptOutOfRange);
    return static_cast<size_t>(rel);
}
} // namespace

Variant& VariantArray::At(int32_t i)
{
    return const_cast<Variant&>(static_cast<const VariantArray&>(*this).At(i));
}

const Variant& VariantArray::At(int32_t i) const
{
    if (Dimensions() != 1) RaiseRuntime(rt::SubscriptOutOfRange);
    return items[Offset(*this, i, 0)];
}

Variant& VariantArray::At(int32_t i, int32_t j)
{
    return const_cast<Variant&>(static_cast<const VariantArray&>(*this).At(i, j));
}

const Variant& VariantArray::At(int32_t i, int32_t j) const
{
    if (Dimensions() != 2) RaiseRuntime(rt::SubscriptOutOfRange);
    return items[Offset(*this, i, 0) * static_cast<size_t>(counts[1]) + Offset(*this, j, 1)];
}

Variant::ArrayBox::ArrayBox(VariantArray a) : mArray(std::make_unique<VariantArray>(std::move(a))) {}
Variant::ArrayBox::ArrayBox(const ArrayBox& o) : mArray(std::make_unique<VariantArray>(*o.mArray)) {}
Variant::ArrayBox& Variant::ArrayBox::operator=(const ArrayBox& o)
{
    if (this != &o) mArray = std::make_unique<VariantArray>(*o.mArray);
    return *this;
}
Variant::ArrayBox::~ArrayBox() = default;

bool Variant::IsNumeric() const
{
    switch (Type()) {
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double: return true;
    default: return false;
    }
}

namespace {
template <class T, class V>
const T& Get(const V& v)
{
    if (const T* p = std::get_if<T>(&v)) return *p;
    RaiseRuntime(rt::TypeMismatch);
}
} // namespace

bool Variant::AsBool() const { return Get<bool>(mValue); }
int16_t Variant::AsInteger() const { return Get<int16_t>(mValue); }
int32_t Variant::AsLong() const { return Get<int32_t>(mValue); }
float Variant::AsSingle() const { return Get<float>(mValue); }
double Variant::AsDouble() const { return Get<double>(mValue); }
const std::string& Variant::AsString() const { return Get<std::string>(mValue); }
const ObjectPtr& Variant::AsObject() const { return Get<ObjectPtr>(mValue); }
const VariantArray& Variant::AsArray() const { return Get<ArrayBox>(mValue).get(); }
VariantArray& Variant::AsArray() { return const_cast<ArrayBox&>(Get<ArrayBox>(mValue)).get(); }

bool Variant::operator==(const Variant& other) const
{
    if (Type() != other.Type()) return false;
    switch (Type()) {
    case VarType::Empty:
    case VarType::Null: return true;
    case VarType::Boolean: return AsBool() == other.AsBool();
    case VarType::Integer: return AsInteger() == other.AsInteger();
    case VarType::Long: return AsLong() == other.AsLong();
    case VarType::Single: return AsSingle() == other.AsSingle();
    case VarType::Double: return AsDouble() == other.AsDouble();
    case VarType::String: return AsString() == other.AsString();
    case VarType::Object: return AsObject() == other.AsObject();
    case VarType::Array: {
        const VariantArray& a = AsArray();
        const VariantArray& b = other.AsArray();
        return a.lowerBounds == b.lowerBounds && a.counts == b.counts && a.items == b.items;
    }
    }
    return false;
}

const char* VarTypeName(VarType type)
{
    switch (type) {
    case VarType::Empty: return "Empty";
    case VarType::Null: return "Null";
    case VarType::Boolean: return "Boolean";
    case VarType::Integer: return "Integer";
    case VarType::Long: return "Long";
    case VarType::Single: return "Single";
    case VarType::Double: return "Double";
    case VarType::String: return "String";
    case VarType::Object: return "Object";
    case VarType::Array: return "Array";
    }
    return "?";
}

} // namespace plat
