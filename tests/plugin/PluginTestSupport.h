#pragma once

// Fixtures shared by the plug-in's tests: a temporary registry with the libraries registered,
// files written into its folder, and a message-box recorder.

#include "platform/base/RegistryStore.h"
#include "platform/com/ComRuntime.h"
#include "platform/ui/MessageBox.h"
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

// Answers every message box with OK and keeps its prompt, while it is installed.
class MessageBoxRecorder {
public:
    MessageBoxRecorder() : mService(std::make_shared<Service>())
    {
        mPrevious = plat::SetMessageBoxService(mService);
    }
    ~MessageBoxRecorder() { plat::SetMessageBoxService(mPrevious); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const std::vector<std::string>& Prompts() const { return mService->prompts; }
    void Clear() { mService->prompts.clear(); }

private:
    struct Service : plat::IMessageBoxService {
        std::vector<std::string> prompts;
        int Show(const std::string& prompt, int, const std::string&) override
        {
            prompts.push_back(prompt);
            return plat::vbOK;
        }
    };

    std::shared_ptr<Service> mService;
    std::shared_ptr<plat::IMessageBoxService> mPrevious;
};

} // namespace ztesting
