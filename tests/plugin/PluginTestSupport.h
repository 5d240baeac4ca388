#pragma once

// Fixtures shared by the plug-in's tests: a temporary registry with the libraries registered,
// files written into its folder, and a message-box recorder.

#include "platform/base/RegistryStore.h"
#include "platform/com/ComRuntime.h"
#include "platform/ui/MessageBox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace ztesting {

// Points the process registry at a fresh temporary store and, when asked, registers the host's
// control library, the test library, the plug-in and the plug-in fixture library in it, as an
// installation would. The folder also takes the test's own files. The process registry is left
// pointing at the removed folder afterwards, so that a later test that forgets to choose its own
// store fails instead of touching the user's registry.
class PluginRegistry {
public:
    explicit PluginRegistry(bool registerLibraries = true)
    {
        char pattern[] = "/tmp/zarvik-plugin-XXXXXX";
        const char* dir = ::mkdtemp(pattern);
        if (!dir) {
            ADD_FAILURE() << "no temporary folder";
            return;
        }
        mDir = dir;
        plat::SetRegistryPath(RegistryPath());
        if (!registerLibraries) return;
        for (const char* name : {"telvoView", "telvoZarvikTest", "telvoZarvik"}) plat::RegisterServerLibrary(LibraryPath(name));
        plat::RegisterServerLibrary(ZARVIK_PLUGIN_FIXTURE);
    }
    ~PluginRegistry()
    {
        std::error_code ignored;
        if (!mDir.empty()) std::filesystem::remove_all(mDir, ignored);
    }
    PluginRegistry(const PluginRegistry&) = delete;
    PluginRegistry& operator=(const PluginRegistry&) = delete;

    static std::string LibraryPath(const std::string& name)
    {
        return std::string(ZARVIK_LIBRARY_DIR) + "/lib" + name + ".so";
    }

    const std::string& Dir() const { return mDir; }
    std::string RegistryPath() const { return mDir + "/registry"; }

    // Writes a file into the folder and gives its path.
    std::string WriteFile(const std::string& name, const std::string& text) const
    {
        const std::string path = mDir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

private:
    std::string mDir;
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
