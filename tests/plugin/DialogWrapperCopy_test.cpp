// The plug-in and the test library each carry a dialog wrapper; each keeps its own.
#include "host/interfaces/IDialog.h"
#include "plugin/CZARVIKSetup.h"
#include "tests/plugin/PluginTestSupport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <memory>
#include <string>

namespace {

constexpr const char* kWrapperVtable = "_ZTVN5ztest14FDialogWrapperE";

// The file name of the library that holds an address.
std::string LibraryHolding(const void* address)
{
    Dl_info info{};
    if (!address || dladdr(address, &info) == 0 || !info.dli_fname) return {};
    const std::string path = info.dli_fname;
    return path.substr(path.rfind('/') + 1);
}

TEST(DialogWrapperCopy, ThePlugInExportsNoneOfItsSymbols)
{
    // A lookup through the plug-in's library searches it first, then what it links: the
    // plug-in itself must never answer.
    void* plugin = dlopen(ztesting::PluginRegistry::LibraryPath("telvoZarvik").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(plugin, nullptr) << dlerror();
    for (const char* symbol : {kWrapperVtable, "_ZN5ztest14FDialogWrapperC1Ev", "_ZN5ztest14FDialogWrapper6UnloadEv"}) {
        EXPECT_NE(LibraryHolding(dlsym(plugin, symbol)), "libtelvoZarvik.so") << symbol;
    }
    // The test library exports its own copy as before.
    EXPECT_EQ(LibraryHolding(dlsym(RTLD_DEFAULT, kWrapperVtable)), "libtelvoZarvikTest.so");
    dlclose(plugin);
}

TEST(DialogWrapperCopy, ThePlugInsDialogIsMadeOfItsOwnCopy)
{
    ztesting::PluginRegistry registry;
    auto setup = std::make_shared<zplugin::CZARVIKSetup>();
    auto dialog = setup->CreateDialog();
    ASSERT_NE(dialog, nullptr);
    // The first word of the whole object is its vtable pointer.
    const void* object = dynamic_cast<const void*>(dialog.get());
    EXPECT_EQ(LibraryHolding(*static_cast<const void* const*>(object)), "libtelvoZarvik.so");
    dialog->Unload();
}

} // namespace
