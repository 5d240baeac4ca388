#pragma once

#include <string>
#include <vector>

namespace ztest {

// The pictures of the test-guide window and its views, registered as bitmap resources of the
// process when the test library is loaded: the instruction icons "TI:WAIT", "TI:SHOCK" and
// "TI:ZARVIK", the check marks "CHK:CHECK" and "CHK:UNCHECK", and the tab pictures
// "TAB_MTIDATA_1" and "TAB_MTIDATA_2".
namespace GuideBitmaps {

std::vector<std::string> Keys();
// The file in the resource folder that holds a key's bitmap: "TI:WAIT" is "TI_WAIT.bmp".
std::string FileName(const std::string& key);

} // namespace GuideBitmaps
} // namespace ztest
