#include "platform/serial/LineSettings.h"

#include "platform/base/ComError.h"
#include "platform/serial/SerialErrors.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <vector>

namespace plat {

namespace {

constexpr std::array<int, 20> kBauds = {50,    75,    110,   134,    150,    200,    300,
                                        600,   1200,  1800,  2400,   4800,   9600,   19200,
                                        38400, 57600, 115200, 230400, 460800, 921600};

std::vector<std::string_view> SplitFields(std::string_view text)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        fields.push_back(text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return fields;
}

// A whole decimal number made of digits only (no sign, no blanks).
std::optional<int> Digits(std::string_view field)
{
    if (field.empty() || field.size() > 9) return std::nullopt;
    int value = 0;
    auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || end != field.data() + field.size() || field[0] == '-' || field[0] == '+') {
        return std::nullopt;
    }
    return value;
}

} // namespace

bool LineSettings::IsSupportedBaud(int baud)
{
    return std::find(kBauds.begin(), kBauds.end(), baud) != kBauds.end();
}

std::optional<LineSettings> LineSettings::TryParse(std::string_view text)
{
    const auto fields = SplitFields(text);
    if (fields.size() != 4) return std::nullopt;

    LineSettings settings;
    auto baud = Digits(fields[0]);
    if (!baud || !IsSupportedBaud(*baud)) return std::nullopt;
    settings.baud = *baud;

    if (fields[1].size() != 1) return std::nullopt;
    const char parity = static_cast<char>(std::toupper(static_cast<unsigned char>(fields[1][0])));
    if (std::string_view("NEOMS").find(parity) == std::string_view::npos) return std::nullopt;
    settings.parity = parity;

    auto dataBits = Digits(fields[2]);
    if (!dataBits || *dataBits < 5 || *dataBits > 8) return std::nullopt;
    settings.dataBits = *dataBits;

    if (fields[3] == "1") {
        settings.stopBitsTwice = 2;
    } else if (fields[3] == "1.5") {
        settings.stopBitsTwice = 3;
    } else if (fields[3] == "2") {
        settings.stopBitsTwice = 4;
    } else {
        return std::nullopt;
    }
    return settings;
}

LineSettings LineSettings::Parse(std::string_view text)
{
    auto settings = TryParse(text);
    if (!settings) {
        throw ComError(serr::InvalidPropertyValue, serr::Source,
                       "Invalid property value: line settings \"" + std::string(text) + "\"");
    }
    return *settings;
}

std::string LineSettings::ToString() const
{
    std::string stop = stopBitsTwice == 3 ? "1.5" : std::to_string(stopBitsTwice / 2);
    return std::to_string(baud) + "," + std::string(1, parity) + "," + std::to_string(dataBits) + "," + stop;
}

} // namespace plat
