// What a copy of a record says about its wave: the description that follows from the wave it
// holds, never a text that the source merely carried.
#include "tests/testlib/config/ConfigTestSupport.h"

#include "testlib/config/CConfigArr.h"
#include "testlib/config/CConfigCardio.h"
#include "testlib/config/CConfigEnergy.h"
#include "testlib/config/CConfigNSW.h"
#include "testlib/config/CConfigPerf.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

using ztesting::PlugInData;

namespace {

struct Described {
    std::string copy;
    std::string source;
};

// Loads a fresh record with the wave and a description of its own, copies it and reads the
// description of the copy and of the source.
template <class Record>
std::function<Described(const std::string&)> SimulationWave()
{
    return [](const std::string& wave) {
        auto record = std::make_shared<Record>();
        record->Load(PlugInData({{"Wavetype", wave}, {"Wavename", "as stored"}}), nullptr);
        auto copy = std::dynamic_pointer_cast<Record>(record->Clone());
        return copy ? Described{copy->GetWavename(), record->GetWavename()} : Described{"<no copy>", ""};
    };
}

template <class Record>
std::function<Described(const std::string&)> WaveIndex()
{
    return [](const std::string& index) {
        auto record = std::make_shared<Record>();
        record->Load(PlugInData({{"WaveFormIndex", index}, {"Wavetype", "as stored"}}), nullptr);
        auto copy = std::dynamic_pointer_cast<Record>(record->Clone());
        return copy ? Described{copy->GetWavetype(), record->GetWavetype()} : Described{"<no copy>", ""};
    };
}

} // namespace

TEST(ConfigCopyDescription, TheCopyDescribesItsOwnWave)
{
    ztesting::TranslatorFixture translator;
    struct Case {
        const char* what;
        std::function<Described(const std::string&)> copyOf;
        std::string wave;
        std::string copy;
    };
    const Case cases[] = {
        // A simulation wave's description is derived from the wave ID and never copied as
        // text: outside the table there is nothing to derive.
        {"arrhythmia wave in the table", SimulationWave<ztest::CConfigArr>(), "230", "Keine Erfassung, transven\xC3\xB6s"},
        {"arrhythmia wave outside the table", SimulationWave<ztest::CConfigArr>(), "300", ""},
        {"normal sinus wave outside the table", SimulationWave<ztest::CConfigNSW>(), "108", ""},
        {"performance wave outside the table", SimulationWave<ztest::CConfigPerf>(), "317", ""},
        // The shock rhythm's description is a stored field of its own and is copied with the
        // others; it is derived again where the index names a wave.
        {"shock rhythm in the table", WaveIndex<ztest::CConfigEnergy>(), "4", "Kammertachykardie 180/min"},
        {"shock rhythm outside the table", WaveIndex<ztest::CConfigEnergy>(), "7", "as stored"},
        {"sync rhythm outside the table", WaveIndex<ztest::CConfigCardio>(), "-1", "as stored"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Described described = c.copyOf(c.wave);
        EXPECT_EQ(described.copy, c.copy);
        // The source is never written to.
        EXPECT_EQ(described.source, "as stored");
    }
}
