#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plat {

// The line settings of a serial port in the serial control's text form "9600,N,8,1": speed,
// parity (N none, E even, O odd, M mark, S space), data bits (5 to 8) and stop bits (1, 1.5
// or 2). Parity letters are read in either case; the canonical text uses upper case.
struct LineSettings {
    int baud = 9600;
    char parity = 'N';
    int dataBits = 8;
    // Stop bits times two, so that 1.5 stays exact: 2, 3 or 4.
    int stopBitsTwice = 2;

    // Reads the text; nullopt when it is malformed or names a speed the line cannot run at.
    static std::optional<LineSettings> TryParse(std::string_view text);
    // As TryParse, but a malformed text raises "Invalid property value" (380).
    static LineSettings Parse(std::string_view text);

    std::string ToString() const;

    // The speeds that a port accepts, in ascending order.
    static bool IsSupportedBaud(int baud);

    bool operator==(const LineSettings&) const = default;
};

} // namespace plat
