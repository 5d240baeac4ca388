#pragma once

#include "platform/ui/Control.h"

#include <memory>

namespace plat {

// An up-down (spin) control, optionally tied to a buddy label or text box. Value always lies
// between Min and Max (a value outside raises 380). A different Value raises Change and, with
// SyncBuddy, writes the value as decimal text into the buddy (its caption or text, which
// raises the buddy's own Change). When the operator presses an arrow, a synced buddy's number
// is where the step starts, so what the operator sees is what is stepped.
class UpDown : public Control {
public:
    UpDown();

    int Min() const { return mMin; }
    void SetMin(int v);
    int Max() const { return mMax; }
    void SetMax(int v);
    int Value() const { return mValue; }
    void SetValue(int v);
    int Increment() const { return mIncrement; }
    void SetIncrement(int v);  // below 1: 380
    bool Wrap() const { return mWrap; }
    void SetWrap(bool v) { mWrap = v; }
    std::shared_ptr<Control> Buddy() const { return mBuddy.lock(); }
    void SetBuddy(const std::shared_ptr<Control>& v) { mBuddy = v; }
    bool SyncBuddy() const { return mSyncBuddy; }
    void SetSyncBuddy(bool v) { mSyncBuddy = v; }

    Event<> Change;
    Event<> UpClick;
    Event<> DownClick;

    // The operator presses the up or the down arrow once.
    void UserSpinUp();
    void UserSpinDown();

private:
    void Spin(int direction);
    void WriteBuddy();
    int Low() const { return mMin < mMax ? mMin : mMax; }
    int High() const { return mMin < mMax ? mMax : mMin; }

    int mMin = 0;
    int mMax = 10;
    int mValue = 0;
    int mIncrement = 1;
    bool mWrap = false;
    std::weak_ptr<Control> mBuddy;
    bool mSyncBuddy = true;
};

} // namespace plat
