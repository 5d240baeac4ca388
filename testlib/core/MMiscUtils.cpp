#include "testlib/core/MMiscUtils.h"

#include "host/units/HostMtiList.h"
#include "platform/base/ComError.h"
#include "host/standards/HostStandard.h"
#include "testlib/core/CMtiData2.h"
#include "testlib/core/IZARVIKPlugIn.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <exception>

namespace ztest::MMiscUtils {

// ---- Plug-in pointer and analyzer units ----

namespace {

// State of the module: one per loaded test library.
struct ModuleState {
    std::weak_ptr<IZARVIKPlugIn> plugIn;
    int32_t lastIndex = 0;
};

ModuleState& State()
{
    static ModuleState state;
    return state;
}

// Module keys compare without regard to case, as the host's list compares them.
bool IsOwnModule(const std::string& moduleKey)
{
    const std::string own = MtiModuleKey;
    return std::equal(moduleKey.begin(), moduleKey.end(), own.begin(), own.end(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
    });
}

} // namespace

void StorePlugInPointer(const std::shared_ptr<IZARVIKPlugIn>& plugIn)
{
    State().plugIn = plugIn;
}

std::shared_ptr<IZARVIKPlugIn> StoredPlugIn()
{
    return State().plugIn.lock();
}

std::shared_ptr<host::HostStandard> LoadStandardFromPlugIn(int32_t testId, const std::string& alphaName,
                                                           const std::string& completeName)
{
    const std::shared_ptr<IZARVIKPlugIn> plugIn = StoredPlugIn();
    if (!plugIn) return nullptr;
    try {
        return plugIn->LoadStandard(testId, alphaName, completeName);
    } catch (const std::exception&) {
        return nullptr; // the caller then builds the default standard
    }
}

std::shared_ptr<CMtiData2> CreateMtiData(const std::shared_ptr<host::HostMtiList>& list, int32_t index)
{
    if (!list) return nullptr;
    if (index == 0) index = State().lastIndex;
    if (index <= 0) return nullptr;
    const std::shared_ptr<host::HostMtiList::Entry> entry = list->Find(MtiModuleKey, index);
    if (!entry) return nullptr;
    auto record = std::make_shared<CMtiData2>();
    record->SetMtiType(entry->MtiType());
    record->SetSerial(entry->Serial());
    record->SetFirmware(entry->Firmware());
    return record;
}

int32_t RegisterMti(const std::shared_ptr<host::HostMtiList>& list, const std::shared_ptr<CMtiData2>& record)
{
    if (!list || !record) return 0;

    // A unit is known by its type and serial number; an empty serial number is one like any
    // other. Only this library's units count: indexes of other modules are theirs.
    int32_t highest = 0;
    for (const auto& entry : *list) {
        if (!entry || !IsOwnModule(entry->ModuleKey())) continue;
        if (entry->MtiType() == record->MtiType() && entry->Serial() == record->Serial()) return entry->Index();
        highest = std::max(highest, entry->Index());
    }
    // Results refer to a unit by its index, so a new unit takes one that no unit of this
    // library has, whatever its type.
    if (highest == std::numeric_limits<int32_t>::max()) return 0;
    const int32_t next = highest + 1;

    try {
        auto entry = list->NewEntry();
        entry->Initialize(MtiModuleKey, next);
        entry->SetMtiData(record->MtiType(), record->Serial(), record->Firmware());
        list->Add(entry);
    } catch (const std::exception&) {
        return 0; // not registered: no result may refer to it
    }
    State().lastIndex = next;
    return next;
}

int32_t LastRegisteredIndex()
{
    return State().lastIndex;
}

void ResetModuleState()
{
    State() = ModuleState{};
}

// ---- End of plug-in pointer and analyzer units ----

void SelectAllText(const std::shared_ptr<plat::TextBox>& textBox)
{
    if (!textBox) plat::RaiseRuntime(plat::rt::ObjectNotSet, "MMiscUtils");
    textBox->SetSelStart(0);
    textBox->SetSelLength(textBox->Length());
}

} // namespace ztest::MMiscUtils
