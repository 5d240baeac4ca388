#include "simulator/CommandFramer.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Frame(const std::vector<std::string>& pieces)
{
    zsim::CommandFramer framer;
    std::vector<std::string> lines;
    for (const auto& piece : pieces) {
        for (const auto& line : framer.Feed(piece)) lines.push_back(line.overlong ? "<overlong>" : line.text);
    }
    return lines;
}

TEST(CommandFramer, SplitsCommandsAtEveryKindOfLineEnd)
{
    struct Case {
        const char* name;
        std::vector<std::string> pieces;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"CR", {"LOC\r"}, {"LOC"}},
        {"LF", {"BAUD=9600\n"}, {"BAUD=9600"}},
        {"LF CR is one line end", {"DEFIBWAVE=VFB1\n\r"}, {"DEFIBWAVE=VFB1"}},
        {"CR LF is one line end", {"LOC\r\n"}, {"LOC"}},
        {"pair split over pieces", {"LOC\n", "\rQDATA\r"}, {"LOC", "QDATA"}},
        {"two line ends are two lines", {"LOC\r\r"}, {"LOC", ""}},
        {"LF CR LF CR", {"\n\r\n\r"}, {"", ""}},
        {"no line end yet", {"ENERGY", "DATA"}, {}},
        {"pieces joined", {"ENE", "RGYDA", "TA\r"}, {"ENERGYDATA"}},
        {"several in one piece", {"ZERO\rLOC\rQDATA\r"}, {"ZERO", "LOC", "QDATA"}},
        {"noise clears what came before", {"LO\x91\x9c" "C\r"}, {"C"}},
        {"noise then a command", {"\xe3\xa1\x85LOC\n"}, {"LOC"}},
        {"noise right before the line end ends nothing", {"LOC\x85\r", "QDATA\r"}, {"QDATA"}},
        {"tab is noise", {"LO\tC\r"}, {"C"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Frame(c.pieces), c.lines);
    }
}

TEST(CommandFramer, OverlongLineIsMarkedAndBounded)
{
    zsim::CommandFramer framer;
    const std::string longLine(10000, 'A');
    auto lines = framer.Feed(longLine + "\rLOC\r");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].overlong);
    EXPECT_EQ(lines[0].text.size(), zsim::CommandFramer::MaxLine);
    EXPECT_FALSE(lines[1].overlong);
    EXPECT_EQ(lines[1].text, "LOC");
}

} // namespace
