#pragma once

#include "platform/base/Unknown.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace host {

// One limit item of a standard: the measurement key it judges, its unit, and per bound
// (0 upper, 1 lower) an enabled flag, a plain value and a formula text. A plain item is judged
// by its plain values only; an item that can evaluate its formulas is a HostFormulaLimit, which
// is what Create gives, so that any item the host makes can take a formula later.
class HostLimitItem : public plat::IUnknown {
public:
    static constexpr int UpperBound = 0;
    static constexpr int LowerBound = 1;

    HostLimitItem() = default;

    // The host's new limit item: formula-capable, both bounds disabled, values 0, no formulas.
    static std::shared_ptr<HostLimitItem> Create();

    // Sets the key, the unit and the two further texts; bounds are left as they are.
    void Initialize(const std::string& key, const std::string& unit, const std::string& caption,
                    const std::string& note);

    const std::string& Key() const { return mKey; }
    void SetKey(const std::string& key) { mKey = key; }
    const std::string& Unit() const { return mUnit; }
    void SetUnit(const std::string& unit) { mUnit = unit; }
    const std::string& Caption() const { return mCaption; }
    void SetCaption(const std::string& caption) { mCaption = caption; }
    const std::string& Note() const { return mNote; }
    void SetNote(const std::string& note) { mNote = note; }

    // Per bound; a bound other than 0 or 1 raises Subscript out of range.
    bool Enabled(int bound) const;
    void SetEnabled(int bound, bool enabled);
    float Value(int bound) const;
    void SetValue(int bound, float value);
    const std::string& Formula(int bound) const;
    void SetFormula(int bound, const std::string& formula);

    // The value a measurement with preset value presetX is compared with on this bound. A plain
    // item gives its plain value; a formula item evaluates its formula.
    virtual float LimitValue(int bound, float presetX) const;

    // A copy that shares nothing with this item and keeps its kind.
    virtual std::shared_ptr<HostLimitItem> Clone() const;

protected:
    struct Bound {
        bool enabled = false;
        float value = 0.0f;
        std::string formula;
    };

    const Bound& BoundAt(int bound) const;
    Bound& BoundAt(int bound);

private:
    std::string mKey;
    std::string mUnit;
    std::string mCaption;
    std::string mNote;
    std::array<Bound, 2> mBounds;
};

} // namespace host
