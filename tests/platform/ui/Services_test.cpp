#include "platform/ui/Beep.h"
#include "platform/ui/BitmapResources.h"
#include "platform/ui/MessageBox.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualLoop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace plat;

namespace {

class RecordingBeep : public IBeepService {
public:
    void Beep(int frequencyHz, int durationMs) override { tones.emplace_back(frequencyHz, durationMs); }
    std::vector<std::pair<int, int>> tones;
};

// A bitmap file header and info header for a picture of the given size.
std::vector<uint8_t> BitmapBytes(int32_t width, int32_t height)
{
    std::vector<uint8_t> b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    auto put = [&](size_t at, int32_t v) {
        for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    };
    put(18, width);
    put(22, height);
    return b;
}

} // namespace

TEST(MessageBoxes, TheDefaultButtonOfAStyleIsItsAnswer)
{
    struct Case {
        int style;
        int answer;
    };
    const std::vector<Case> cases = {
        {vbOKOnly, vbOK},
        {vbCritical, vbOK},
        {vbYesNo + vbDefaultButton2, vbNo},
        {vbYesNoCancel + vbDefaultButton3 + vbQuestion, vbCancel},
        {vbAbortRetryIgnore + vbDefaultButton2, vbRetry},
        {vbRetryCancel + vbExclamation, vbRetry},
        {vbOKOnly + vbDefaultButton3, vbOK},
        {vbOKCancel + vbDefaultButton2, vbCancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        EXPECT_EQ(DefaultAnswer(c.style), c.answer);
    }
}

TEST(MessageBoxes, AnInstalledServiceShowsAndAnswersUntilReplaced)
{
    auto recorder = std::make_shared<ztesting::MessageBoxRecorder>(vbNo);
    auto previous = SetMessageBoxService(recorder);

    EXPECT_EQ(MsgBox("Over Range!", vbCritical, "Telvo Plug-In MTI response"), vbNo);
    ASSERT_EQ(recorder->boxes.size(), 1u);
    EXPECT_EQ(recorder->boxes[0].prompt, "Over Range!");
    EXPECT_EQ(recorder->boxes[0].style, vbCritical);
    EXPECT_EQ(recorder->boxes[0].title, "Telvo Plug-In MTI response");

    EXPECT_EQ(SetMessageBoxService(previous), recorder);
}

TEST(Beeps, AreRecordedByAnInstalledServiceAndOtherwiseTakeTheirTime)
{
    auto recorder = std::make_shared<RecordingBeep>();
    auto previous = SetBeepService(recorder);
    Beep(2500, 150);
    EXPECT_EQ(recorder->tones, (std::vector<std::pair<int, int>>{{2500, 150}}));
    SetBeepService(nullptr);

    // The default blocks for the tone's duration; on a virtual clock the clock moves instead.
    ztesting::VirtualLoop loop;
    Beep(2000, 100);
    EXPECT_EQ(loop.ElapsedMs(), 100);
    SetBeepService(previous);
}

TEST(Bitmaps, AreFoundByKeyWithoutRegardToCaseAndAMissIsNone)
{
    RegisterBitmapBytes("TI:SHOCK", BitmapBytes(32, -16));
    auto shock = LoadBitmapResource("ti:shock");
    ASSERT_NE(shock, nullptr);
    EXPECT_EQ(shock->Key(), "TI:SHOCK");
    EXPECT_EQ(shock->Width(), 32);
    EXPECT_EQ(shock->Height(), 16);
    EXPECT_EQ(LoadBitmapResource("TI:NOTHING"), nullptr);

    const ztesting::TempFolder folder("zarvik-bmp");
    const std::string dir = folder.Path();
    const std::string file = dir + "/emt.bmp";
    {
        auto bytes = BitmapBytes(16, 16);
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    RegisterBitmapFile("TE:EMT(16X16X256)", file);
    RegisterBitmapFile("TE:MISSING(16X16X256)", dir + "/missing.bmp");
    auto emt = LoadBitmapResource("TE:EMT(16X16X256)");
    ASSERT_NE(emt, nullptr);
    EXPECT_EQ(emt->Width(), 16);
    EXPECT_EQ(emt->Bytes().size(), 54u);
    EXPECT_EQ(LoadBitmapResource("TE:MISSING(16X16X256)"), nullptr) << "an unreadable file is a miss, not an error";

    EXPECT_TRUE(UnregisterBitmap("te:emt(16x16x256)"));
    EXPECT_FALSE(HasBitmap("TE:EMT(16X16X256)"));
}
