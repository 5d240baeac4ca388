#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace zhost {

// Creates the plug-in entry through the component runtime, initialises it as the host does and
// writes one line per template of its catalogue: "<ID>\t<ClassName>\t<translated Name>", the
// entries of a group right after the group. A catalogue path, when given, replaces the
// "Configuration" setting for this run only: the plug-in then works on a copy of the registry,
// so the registry itself is left as it was.
//
// When Initialize or Tests fails, writes "error 0x<CODE>: <description>" to err and returns
// none; otherwise returns the number of lines written. Raises a ComError when the plug-in cannot
// be created (not registered).
std::optional<int> ListCatalogue(std::ostream& out, std::ostream& err, const std::optional<std::string>& cataloguePath);

} // namespace zhost
