#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zhost {

// The server libraries, in the order they are registered: the host's two control libraries,
// the instrument link, the test library that creates its objects, the plug-in entry that
// creates the test library's.
const std::vector<std::string>& DeliverableNames();

// The folder the libraries are installed in: the "lib" folder beside the program's own folder.
std::string LibraryDirectory();
std::string DeliverablePath(const std::string& name);

// Register or unregister the three libraries, one line per class ("registered <ProgID>
// <CLSID>", "unregistered <ProgID> <CLSID>"). Raise a ComError when a library cannot be loaded
// or its registration fails.
void RegisterDeliverables(std::ostream& out);
void UnregisterDeliverables(std::ostream& out);

// One line per registered class: "<ProgID>\t<CLSID>\t<library path>". Returns how many.
size_t ListClasses(std::ostream& out);

} // namespace zhost
