#pragma once

#include "host/interfaces/HostForward.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/Variant.h"
#include "platform/ui/TextBox.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ztest {

class CMtiData2;
class IZARVIKPlugIn;

// Shared utilities of the test library. The module keeps, once per loaded library, the
// plug-in entry that GGlobals stored and the index of the analyzer unit registered last.
namespace MMiscUtils {

// ---- Plug-in pointer and analyzer units ----

// The module key under which the test library keeps its analyzer units in the host's list.
inline constexpr const char* MtiModuleKey = zarvik::ModuleKey;

// Keeps the plug-in entry weakly: the plug-in stays its host's to release.
void StorePlugInPointer(const std::shared_ptr<IZARVIKPlugIn>& plugIn);
// The stored plug-in entry while it lives, else none.
std::shared_ptr<IZARVIKPlugIn> StoredPlugIn();
// The standard of that test type and names from the plug-in entry's catalogue; none without a
// living stored plug-in, when it has none, or when asking it fails.
std::shared_ptr<host::HostStandard> LoadStandardFromPlugIn(int32_t testId, const std::string& alphaName,
                                                           const std::string& completeName);

// The record of the unit with that index in the list (index 0: the unit registered last), or
// none without a list, without an index or without such a unit.
std::shared_ptr<CMtiData2> CreateMtiData(const std::shared_ptr<host::HostMtiList>& list, int32_t index);
// The index of the unit in the list, adding the unit when its type and serial number are not
// there yet; a new unit takes the next index not used by any unit of this library. Gives 0
// when nothing could be registered (no list, no record, the list refused the unit).
int32_t RegisterMti(const std::shared_ptr<host::HostMtiList>& list, const std::shared_ptr<CMtiData2>& record);
// The index of the unit added last, 0 before any.
int32_t LastRegisteredIndex();

// Forgets the stored plug-in and the last registered index, as a freshly loaded library has
// them (for tests).
void ResetModuleState();

// ---- End of plug-in pointer and analyzer units ----

// ---- Limit report rows ----

// The rows of a test element's limits report, a 2-D array of rows 0 .. n-1 by columns 0 .. 3:
// the measurement key, its caption translated by the report, the number format of its values
// ("0", "0.0", or "0.000" for the pacer current in amperes), and the measurement of that key
// in the element's current result (empty without one). The rows are a fixed table per test
// type; types without rows, and no element, give Empty. Nothing is reported or raised.
plat::Variant BuildLimitReportRows(const std::shared_ptr<host::HostReport>& report,
                                   const std::shared_ptr<host::ITestElement>& element);
// The same rows with the measurements of the given record in place of the element's result.
plat::Variant BuildLimitReportRows(const std::shared_ptr<host::HostReport>& report,
                                   const std::shared_ptr<host::ITestElement>& element,
                                   const std::shared_ptr<host::IResultData>& result);

// ---- End of limit report rows ----

// Selects the whole text of a text box: selection start 0, selection length the length of its
// text. Errors of the control are not trapped (an empty box reference raises 91).
void SelectAllText(const std::shared_ptr<plat::TextBox>& textBox);

} // namespace MMiscUtils
} // namespace ztest
