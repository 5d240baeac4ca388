#pragma once

namespace ztest {

// The test library's own title (it titles the "Error #" box of a test) and the version of the
// system, which the plug-in entry reports as its own.
struct LibraryInfo {
    static constexpr const char* Title = "Zarvik Test Library";
    static constexpr int VersionMajor = 1;
    static constexpr int VersionMinor = 0;
    static constexpr int VersionRevision = 0;
};

} // namespace ztest
