#pragma once

// The key under which the host knows this plug-in: its texts in the translator, its settings,
// its error texts, its analyzer units and the plug-in's ID. The three libraries and the
// command-line host share it; it lives with the instrument link, the lowest of the libraries.
namespace zarvik {

inline constexpr const char* ModuleKey = "ZARVIK";

} // namespace zarvik
