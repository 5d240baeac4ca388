#pragma once

// Fixtures shared by the plug-in's tests: a temporary registry with the libraries registered
// and files written into its folder. Their message boxes are recorded by the shared recorder.

#include "platform/base/RegistryStore.h"
#include "platform/com/ComRuntime.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace ztesting {

// Points the process registry at a fresh temporary store and, when asked, registers the host's
// control library, the test library, the plug-in and the plug-in fixture library in it, as an
// installation would. The folder also takes the test's own files.
class PluginRegistry {
public:
    explicit PluginRegistry(bool registerLibraries = true)
    {
        if (!registerLibraries) return;
        for (const char* name : {"telvoView", "telvoZarvikTest", "telvoZarvik"}) plat::RegisterServerLibrary(LibraryPath(name));
        plat::RegisterServerLibrary(ZARVIK_PLUGIN_FIXTURE);
    }

    static std::string LibraryPath(const std::string& name)
    {
        return std::string(ZARVIK_LIBRARY_DIR) + "/lib" + name + ".so";
    }

    const std::string& Dir() const { return mRegistry.Folder(); }
    std::string RegistryPath() const { return mRegistry.File(); }

    // Writes a file into the folder and gives its path.
    std::string WriteFile(const std::string& name, const std::string& text) const
    {
        const std::string path = Dir() + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

private:
    TempRegistry mRegistry;
};

} // namespace ztesting
