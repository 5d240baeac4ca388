#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vti {

// The analyzer's line protocol as text, without transport or timing: how commands are framed,
// which answers count for the link check and the detection probe, and what is left of a reply
// when its time is up.
namespace LinkProtocol {

constexpr char CR = '\r';
constexpr char LF = '\n';

// The link command: the connect check, the release before closing and the detection probe.
inline constexpr const char* LinkCommand = "LOC";
// The line settings of every channel, and those of the detection's first probe.
inline constexpr const char* LinkSettings = "9600,N,8,1";
inline constexpr const char* ProbeSettings = "2400,N,8,1";
// Asks an analyzer at the probe speed to change to the link speed.
inline constexpr const char* BaudCommand = "BAUD=9600";
// The refractory measurement, whose reply time ending is no failure.
inline constexpr const char* RefractoryCommand = "PACEREFRACT";

// A command as it goes out: CR appended unless it already ends with one, so a command ending
// in LF goes out LF CR.
std::string FrameCommand(std::string_view command);
// The connect check: the link command, LF, CR.
std::string LinkCheckText();
// The release before closing: the link command, CR.
std::string ReleaseText();
// The detection probes: the baud command and the link command, each followed by LF.
std::string BaudProbeText();
std::string LinkProbeText();

bool EndsWithLf(std::string_view text);
bool EndsWithCrLf(std::string_view text);

// An answer to the connect check: a line beginning "OK" or "ERR".
bool IsConnectAnswer(std::string_view reply);
// The analyzer took the speed change.
bool AcceptsBaudChange(std::string_view reply);
// An answer that tells the detection an analyzer of this kind is there: "OK", or "?" first.
bool IsProbeAnswer(std::string_view reply);
// The framed command is the refractory measurement.
bool IsRefractoryCommand(std::string_view framedCommand);

// How many lines end in the text (its LF characters).
int CountLines(std::string_view text);
// The text up to and including its first LF; the whole text when it holds none.
std::string FirstLine(std::string_view text);

// The complete lines of a text: everything up to and including its last LF; the empty text
// when it holds no LF. A fragment after the last line end is dropped.
std::string CompleteLines(std::string_view text);

} // namespace LinkProtocol

} // namespace vti
