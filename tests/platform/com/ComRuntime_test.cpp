#include "platform/base/ComError.h"
#include "platform/base/RegistryStore.h"
#include "platform/com/ComRuntime.h"
#include "tests/platform/com/fixture/IFixtureGreeter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using plat::ComError;

namespace {

const std::string kRoot = "HKEY_CLASSES_ROOT";

std::string RealPath(const std::string& path)
{
    char* real = ::realpath(path.c_str(), nullptr);
    std::string result = real ? real : path;
    std::free(real);
    return result;
}

// Every test registers into a registry of its own.
class ComRuntime : public ::testing::Test {
protected:
    static int32_t CreateErrorNumber(const std::string& id)
    {
        try {
            plat::CreateObject(id);
        } catch (const ComError& e) {
            EXPECT_NE(std::string(e.what()).find(id), std::string::npos) << e.what();
            return e.Number();
        }
        ADD_FAILURE() << id << " was created";
        return 0;
    }

    const std::string mFixture = RealPath(ZARVIK_COM_FIXTURE);
    ztesting::TempRegistry mRegistry;
    const std::string mDir = mRegistry.Folder();
};

} // namespace

TEST_F(ComRuntime, ARegisteredClassIsCreatedByProgIdOrClsidAndCountedWhileItLives)
{
    auto registered = plat::RegisterServerLibrary(ZARVIK_COM_FIXTURE);
    ASSERT_EQ(registered.size(), 2u);
    EXPECT_EQ(registered[0].progId, kGreeterProgId);
    EXPECT_EQ(registered[0].clsid, kGreeterClsid);
    EXPECT_EQ(registered[0].library, mFixture);
    EXPECT_EQ(registered[1].progId, kRefusingProgId);
    EXPECT_TRUE(plat::ServerLibraryCanUnloadNow(mFixture));

    // The object comes from the loaded library; its interface is known here only by its header.
    auto byProgId = plat::CreateObjectAs<IFixtureGreeter>(kGreeterProgId);
    ASSERT_TRUE(byProgId);
    EXPECT_EQ(byProgId->Greeting(), "hello from the fixture");
    EXPECT_FALSE(plat::ServerLibraryCanUnloadNow(mFixture));

    std::string lowerClsid = kGreeterClsid;
    for (char& c : lowerClsid) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    plat::ObjectPtr byClsid = plat::CreateObject(lowerClsid);
    auto asGreeter = plat::QueryInterface<IFixtureGreeter>(byClsid);
    ASSERT_TRUE(asGreeter);
    byClsid.reset();
    byProgId.reset();
    EXPECT_FALSE(plat::ServerLibraryCanUnloadNow(mFixture)) << "an interface pointer keeps the object alive";
    asGreeter.reset();
    EXPECT_TRUE(plat::ServerLibraryCanUnloadNow(mFixture));

    // A class that refuses to be created passes its own error on and leaves nothing counted.
    try {
        plat::CreateObject(kRefusingProgId);
        FAIL() << "created";
    } catch (const ComError& e) {
        EXPECT_EQ(e.Number(), kRefusingError);
    }
    EXPECT_TRUE(plat::ServerLibraryCanUnloadNow(mFixture));
}

TEST_F(ComRuntime, OnlyRegisteredClassesCanBeCreated)
{
    plat::RegisterServerLibrary(ZARVIK_COM_FIXTURE);
    const char* ids[] = {
        "Nobody.Nothing",
        "",
        "{not a class id}",
        "{00000000-0000-0000-0000-000000000000}",
        "CLSID",
        "ZarvikFixture.CGreeter\\CLSID",
        "CLSID\\{5B0E6F7A-1C2D-4E3F-8A9B-0C1D2E3F4A5B}\\InprocServer32",
    };
    for (const char* id : ids) {
        SCOPED_TRACE(id);
        EXPECT_EQ(CreateErrorNumber(id), plat::rt::ClassNotRegistered);
    }
}

TEST_F(ComRuntime, ARegistrationThatNamesNoUsableServerFailsCleanly)
{
    const std::string clsid = "{11111111-2222-3333-4444-555555555555}";
    const std::string notALibrary = mDir + "/notalibrary.so";
    std::ofstream(notALibrary) << "not a library\n";
    const struct {
        const char* what;
        std::string library;
    } cases[] = {
        {"missing file", "/nonexistent/libnothing.so"},
        {"relative path", "libc.so.6"},
        {"not a library", notALibrary},
        {"library without entry points", RealPath(std::string(ZARVIK_LIBRARY_DIR) + "/libzarvik_platform.so")},
        {"server that lacks the class", mFixture},
    };
    auto& registry = plat::Registry();
    registry.SetString(kRoot + "\\Broken.Class\\CLSID", "", clsid);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        registry.SetString(kRoot + "\\CLSID\\" + clsid + "\\InprocServer32", "", c.library);
        EXPECT_EQ(CreateErrorNumber("Broken.Class"), plat::rt::ClassNotRegistered);
    }
    // A ProgID that names a malformed class identifier is not followed.
    registry.SetString(kRoot + "\\Broken.Class\\CLSID", "", "..\\..\\elsewhere");
    EXPECT_EQ(CreateErrorNumber("Broken.Class"), plat::rt::ClassNotRegistered);
}

TEST_F(ComRuntime, UnregisterRemovesTheServersKeysButNotAProgIdTakenOver)
{
    plat::RegisterServerLibrary(ZARVIK_COM_FIXTURE);
    auto& registry = plat::Registry();
    ASSERT_TRUE(registry.KeyExists(kRoot + "\\CLSID\\" + kGreeterClsid + "\\InprocServer32"));
    EXPECT_EQ(registry.GetValue(kRoot + "\\CLSID\\" + kGreeterClsid + "\\InprocServer32", "")->text, mFixture);
    EXPECT_EQ(registry.GetValue(kRoot + "\\CLSID\\" + kGreeterClsid + "\\ProgID", "")->text, kGreeterProgId);
    // Another server has since taken the refusing class's ProgID.
    registry.SetString(kRoot + "\\" + kRefusingProgId + "\\CLSID", "", "{99999999-9999-9999-9999-999999999999}");

    plat::UnregisterServerLibrary(ZARVIK_COM_FIXTURE);
    EXPECT_FALSE(registry.KeyExists(kRoot + "\\" + kGreeterProgId));
    EXPECT_FALSE(registry.KeyExists(kRoot + "\\CLSID\\" + kGreeterClsid));
    EXPECT_FALSE(registry.KeyExists(kRoot + "\\CLSID\\" + kRefusingClsid));
    EXPECT_TRUE(registry.KeyExists(kRoot + "\\" + kRefusingProgId));
    EXPECT_TRUE(plat::RegisteredClasses().empty());
    EXPECT_EQ(CreateErrorNumber(kGreeterProgId), plat::rt::ClassNotRegistered);
}

TEST_F(ComRuntime, RegisteredClassesAreListedInProgIdOrder)
{
    auto& registry = plat::Registry();
    const struct {
        const char* progId;
        const char* clsid;
    } classes[] = {
        {"b.Second", "{00000000-0000-0000-0000-000000000002}"},
        {"A.First", "{00000000-0000-0000-0000-000000000001}"},
        {"C.Third", "{00000000-0000-0000-0000-000000000003}"},
    };
    for (const auto& c : classes) {
        registry.SetString(kRoot + "\\CLSID\\" + c.clsid + "\\ProgID", "", c.progId);
        registry.SetString(kRoot + "\\CLSID\\" + c.clsid + "\\InprocServer32", "", "/lib/x.so");
    }
    registry.SetString(kRoot + "\\CLSID\\{00000000-0000-0000-0000-000000000004}\\ProgID", "", "D.NoLibrary");
    registry.SetString(kRoot + "\\CLSID\\garbage\\ProgID", "", "E.NoClassId");
    auto listed = plat::RegisteredClasses();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].progId, "A.First");
    EXPECT_EQ(listed[1].progId, "b.Second");
    EXPECT_EQ(listed[2].progId, "C.Third");
    EXPECT_EQ(listed[2].clsid, "{00000000-0000-0000-0000-000000000003}");
    EXPECT_EQ(listed[2].library, "/lib/x.so");
}

TEST_F(ComRuntime, AModuleWithAFaultyClassRefusesToRegister)
{
    auto make = [] { return plat::ObjectPtr(std::make_shared<plat::IUnknown>()); };
    const struct {
        const char* what;
        plat::ClassEntry entry;
    } faults[] = {
        {"malformed class identifier", {"Good.Name", "{1234}", make}},
        {"ProgID with a backslash", {"Bad\\Name", "{00000000-0000-0000-0000-00000000000A}", make}},
        {"ProgID taken for a class identifier", {"{Name}", "{00000000-0000-0000-0000-00000000000A}", make}},
        {"duplicate ProgID", {"first.class", "{00000000-0000-0000-0000-00000000000B}", make}},
        {"duplicate class identifier", {"Other.Class", "{00000000-0000-0000-0000-00000000000a}", make}},
        {"no creator", {"Third.Class", "{00000000-0000-0000-0000-00000000000C}", nullptr}},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.what);
        plat::ServerModule module("faulty", {{"First.Class", "{00000000-0000-0000-0000-00000000000A}", make}});
        EXPECT_FALSE(module.AddClass(fault.entry));
        EXPECT_EQ(module.Classes().size(), 1u);
        plat::TakeErrorInfo();
        EXPECT_EQ(module.RegisterServer("/lib/faulty.so"), plat::E_FAIL_CODE);
        auto info = plat::TakeErrorInfo();
        ASSERT_TRUE(info.has_value());
        EXPECT_NE(info->Description().find("faulty classes"), std::string::npos) << info->Description();
        EXPECT_FALSE(plat::Registry().KeyExists(kRoot + "\\First.Class"));
    }
}

TEST_F(ComRuntime, AModuleCountsTheObjectsItsFactoriesMake)
{
    plat::ServerModule module("counting", {{"Count.Me", "{00000000-0000-0000-0000-0000000000C1}", [] {
                                                return plat::ObjectPtr(std::make_shared<plat::IUnknown>());
                                            }}});
    std::shared_ptr<plat::IClassFactory> factory;
    EXPECT_EQ(module.GetClassObject("{00000000-0000-0000-0000-0000000000C2}", &factory), plat::CLASS_E_CLASSNOTAVAILABLE_CODE);
    EXPECT_FALSE(factory);
    ASSERT_EQ(module.GetClassObject("{00000000-0000-0000-0000-0000000000c1}", &factory), plat::S_OK);
    auto first = factory->CreateInstance();
    auto second = factory->CreateInstance();
    factory.reset();
    EXPECT_EQ(module.LiveObjects(), 2);
    std::weak_ptr<plat::IUnknown> watch = first;
    first.reset();
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(module.LiveObjects(), 1);
    EXPECT_FALSE(module.CanUnloadNow());
    second.reset();
    EXPECT_TRUE(module.CanUnloadNow());
    // A registration without a real library path is refused.
    EXPECT_EQ(module.RegisterServer("relative/lib.so"), plat::E_FAIL_CODE);
}

TEST_F(ComRuntime, EachDeliverableExportsTheFourEntryPointsAndKeepsItsModulePrivate)
{
    for (const char* name : {"telvoZarvikTest", "telvoZarvikVti", "telvoZarvik"}) {
        SCOPED_TRACE(name);
        const std::string path = std::string(ZARVIK_LIBRARY_DIR) + "/lib" + name + ".so";
        void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << ::dlerror();
        for (const char* entry : {"DllRegisterServer", "DllUnregisterServer", "DllGetClassObject", "DllCanUnloadNow"})
            EXPECT_NE(::dlsym(library, entry), nullptr) << entry;
        // The module accessor is not exported, so one library can never reach another's module.
        EXPECT_EQ(::dlsym(library, "_ZN4plat13server_detail10ThisModuleEv"), nullptr);

        auto registered = plat::RegisterServerLibrary(path);
        for (const auto& c : registered) EXPECT_EQ(c.library, RealPath(path)) << c.progId;
        EXPECT_TRUE(plat::ServerLibraryCanUnloadNow(path));
        ::dlclose(library);
    }
}
