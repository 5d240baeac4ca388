#include "simulator/AnalyzerModel.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <utility>

namespace zsim {

namespace {

constexpr double kLoadOhms = 50.0;

constexpr std::array<std::string_view, 7> kDefibWaves = {"VFB1", "VFB2", "VTC130", "VTC175", "VTC180", "VTC185", "VTC220"};
constexpr std::array<std::string_view, 5> kCardioWaves = {"NSB60", "NSB80", "NSB120", "AF1", "AF2"};

// Every wave the ECG simulation output can play: arrhythmias, normal sinus rhythms and the
// performance waves ("ZERO", the zero output, is one of them).
constexpr std::array<std::string_view, 61> kSimulationWaves = {
    "AF1",    "AF2",    "AFL",     "SINA",   "1DB",    "2DB1",   "2DB2",   "3DB",    "PVC1",   "PVC2",
    "MF",     "PAIR",   "BIG",     "TRG",    "RUN5",   "RUN11",  "VNT",    "VTC130", "VTC175", "VTC180",
    "VTC185", "VTC220", "VFB1",    "VFB2",   "ASY1",   "ASY2",   "ASN",    "DM1",    "DM2",    "AVS",
    "NCA",    "NFU",    "TQASYS",  "TQBRAD", "TQDEM",  "TQNC",   "NSB30",  "NSB60",  "NSB80",  "NSB120",
    "NSB160", "NSB200", "NSB240",  "NSB300", "ZERO",   "SQU",    "PUL",    "SIN0.05", "SIN0.5", "SIN1",
    "SIN10",  "SIN25",  "SIN30",   "SIN40",  "SIN50",  "SIN60",  "SIN100", "SIN125", "SIN150", "SQ1K",
    "TRI"};

constexpr std::array<int, 5> kBauds = {1200, 2400, 4800, 9600, 19200};

template <size_t N>
bool Contains(const std::array<std::string_view, N>& table, std::string_view code)
{
    return std::find(table.begin(), table.end(), code) != table.end();
}

std::string Upper(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](unsigned char c) { return std::toupper(c); });
    return result;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// A number written in full ("40", "2.00", "0.1"); nothing else around it.
std::optional<double> Number(std::string_view text)
{
    if (text.empty()) return std::nullopt;
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

// Two numbers "a,b", each written in full; nothing when the text is not such a pair.
std::optional<std::pair<double, double>> Pair(std::string_view text)
{
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    auto first = Number(text.substr(0, comma));
    auto second = Number(text.substr(comma + 1));
    if (!first || !second) return std::nullopt;
    return std::pair{*first, *second};
}

// Two positive numbers "a,b" within their limits.
bool NumberPair(std::string_view text, double maxFirst, double maxSecond)
{
    auto pair = Pair(text);
    return pair && pair->first > 0 && pair->first <= maxFirst && pair->second > 0 && pair->second <= maxSecond;
}

std::string Fixed(double value, int decimals)
{
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return "0";
    return std::string(buffer, end);
}

std::string DefibFields(const Pulse& pulse)
{
    return Fixed(pulse.energy, 1) + "," + Fixed(pulse.peakVoltage, 0) + "," + Fixed(pulse.peakCurrent, 1);
}

} // namespace

Pulse Pulse::Into50Ohm(double energy, double width)
{
    Pulse pulse;
    pulse.energy = energy;
    pulse.width = width;
    pulse.peakVoltage = width > 0 && energy > 0 ? std::sqrt(2.0 * energy * kLoadOhms / width) : 0.0;
    pulse.peakCurrent = pulse.peakVoltage / kLoadOhms;
    return pulse;
}

AnalyzerModel::Response AnalyzerModel::Say(std::string text)
{
    Response response;
    response.text = std::move(text);
    return response;
}

std::string AnalyzerModel::ErrorLine(int code)
{
    return (code >= 0 && code < 10 ? "ERR=0" : "ERR=") + std::to_string(code);
}

AnalyzerModel::Response AnalyzerModel::Error(int code)
{
    return Say(ErrorLine(code));
}

AnalyzerModel::Response AnalyzerModel::HandleOverlong() const
{
    return Error(ErrUnknownCommand);
}

AnalyzerModel::Response AnalyzerModel::Handle(std::string_view commandLine)
{
    const std::string line = Upper(Trimmed(commandLine));
    const size_t equals = line.find('=');
    const std::string name = line.substr(0, equals);
    const std::string_view argument =
        equals == std::string::npos ? std::string_view() : std::string_view(line).substr(equals + 1);
    const bool hasArgument = equals != std::string::npos;

    if (line.empty()) return Error(ErrUnknownCommand);
    if (!hasArgument) {
        if (name == "LOC") return Ok();
        if (name == "ENERGYMODE") return EnterMode(Mode::Energy);
        if (name == "MAXEMODE") return EnterMode(Mode::ChargeTime);
        if (name == "CARDIOMODE") return EnterMode(Mode::Cardio);
        if (name == "PACEPMODE") {
            if (mModuleOverload) return Error(ErrModuleOverload);
            return EnterMode(Mode::Pacer);
        }
        if (name == "QDATA") {
            switch (mData) {
            case Data::New: return Say("NEWDATA");
            case Data::Old: return Say("OLDDATA");
            case Data::None: break;
            }
            return Say("NODATA");
        }
        if (name == "ENERGYDATA") return ReadData(Mode::Energy);
        if (name == "MAXEDATA") return ReadData(Mode::ChargeTime);
        if (name == "CARDIODATA") return ReadData(Mode::Cardio);
        if (name == "MAXESTART") {
            if (mMode != Mode::ChargeTime) return Error(ErrWrongMode);
            mArmed = true;
            mArmTime = mNow;
            mChargeTime.reset();
            return Ok();
        }
        if (name == "PACEPDATA") return PacerData();
        if (name == "PACEREFRACT") return Refractory();
        if (name == "QADAPTER") return Say(mAdapterPresent ? "01" : "00");
        if (Contains(kSimulationWaves, name)) {
            mOutput = name;
            return Ok();
        }
        return Error(ErrUnknownCommand);
    }

    if (name == "BAUD") {
        auto baud = Number(argument);
        if (!baud || std::find(kBauds.begin(), kBauds.end(), static_cast<int>(*baud)) == kBauds.end() ||
            *baud != std::floor(*baud)) {
            return Error(ErrBadParameter);
        }
        Response response = Ok();
        response.switchBaud = static_cast<int>(*baud);
        return response;
    }
    if (name == "DEFRANGE") {
        if (argument != "HIGH" && argument != "LOW") return Error(ErrBadParameter);
        mRange = std::string(argument);
        return Ok();
    }
    if (name == "DEFIBWAVE") {
        if (!Contains(kDefibWaves, argument)) return Error(ErrBadParameter);
        mDefibWave = std::string(argument);
        return Ok();
    }
    if (name == "CARDIOWAVE") {
        if (!Contains(kCardioWaves, argument)) return Error(ErrBadParameter);
        mCardioWave = std::string(argument);
        return Ok();
    }
    if (name == "THRESH") {
        // R-wave width in ms and amplitude in mV.
        if (!NumberPair(argument, 1000.0, 10.0)) return Error(ErrBadParameter);
        mThreshold = std::string(argument);
        mOutput = "RWAVE";
        return Ok();
    }
    if (name == "VENTPACE") {
        // Pacing pulse width in ms and amplitude.
        if (!NumberPair(argument, 100.0, 1000.0)) return Error(ErrBadParameter);
        mVentPace = std::string(argument);
        return Ok();
    }
    if (name == "ATRPACE") {
        // Pulse width in ms and amplitude in mV; the amplitude has a sign (the pulse's
        // polarity) and may be 0, which simulates atrial pacing that puts out no pulse.
        auto pair = Pair(argument);
        if (!pair || pair->first <= 0 || pair->first > 100.0 || std::fabs(pair->second) > AtrialAmplitudeLimit) {
            return Error(ErrBadParameter);
        }
        mAtrialPace = std::string(argument);
        return Ok();
    }
    if (name == "PERFLEAD") {
        if (argument != "I" && argument != "II") return Error(ErrBadParameter);
        mLead = std::string(argument);
        return Ok();
    }
    if (name == "PACELOAD") {
        if (argument == "INT") {
            mLoad = "INT";
            return Ok();
        }
        if (argument.size() == 5 && argument.substr(0, 4) == "ADAP" && argument[4] >= '0' && argument[4] <= '4') {
            if (!mAdapterPresent) return Error(ErrNoAdapter);
            mLoad = std::string(argument);
            return Ok();
        }
        return Error(ErrBadParameter);
    }
    return Error(ErrUnknownCommand);
}

// A mode command starts the mode afresh: no data, and the charge-time measurement disarmed.
AnalyzerModel::Response AnalyzerModel::EnterMode(Mode mode)
{
    mMode = mode;
    mData = Data::None;
    mCaptured.clear();
    mArmed = false;
    mChargeTime.reset();
    if (mode == Mode::Pacer && mPacemaker) mData = Data::New;
    return Ok();
}

AnalyzerModel::Response AnalyzerModel::ReadData(Mode mode)
{
    if (mMode != mode) return Error(ErrWrongMode);
    if (mData == Data::None) return Say("NODATA");
    mData = Data::Old;
    return Say(mCaptured);
}

AnalyzerModel::Response AnalyzerModel::PacerData()
{
    if (mMode != Mode::Pacer) return Error(ErrWrongMode);
    if (mModuleOverload) return Say("MODULEOVERLOAD");
    if (!mPacemaker) return Say("NO PACER");
    mData = Data::Old;
    return Say(Fixed(mPacemaker->current, 3) + "," + Fixed(mPacemaker->width, 4) + "," + Fixed(mPacemaker->rate, 1));
}

AnalyzerModel::Response AnalyzerModel::Refractory()
{
    if (mModuleOverload) return Say("MODULEOVERLOAD");
    if (!mPacemaker) return Say("NO PACER");
    Response response = Say("0," + Fixed(mPacemaker->pacedRefractory, 3) + "," + Fixed(mPacemaker->sensedRefractory, 3));
    response.work = mRefractoryTime;
    response.refractory = true;
    return response;
}

void AnalyzerModel::Capture(std::string text)
{
    mCaptured = std::move(text);
    mData = Data::New;
}

void AnalyzerModel::Discharge(const Pulse& pulse)
{
    const double limit = mRange == "LOW" ? LowRangeLimit : HighRangeLimit;
    switch (mMode) {
    case Mode::Energy:
        if (pulse.energy > limit) return Capture("OVERRANGE");
        return Capture(DefibFields(pulse) + "," + Fixed(pulse.width, 4));
    case Mode::ChargeTime: {
        if (!mArmed) return Capture("NOSTART");
        const double chargeTime = mChargeTime ? *mChargeTime : std::max(0.0, mNow - mArmTime);
        mArmed = false;
        mChargeTime.reset();
        if (pulse.energy > limit) return Capture("OVERRANGE");
        if (chargeTime > 99.0) return Capture("CT>99S");
        return Capture(DefibFields(pulse) + "," + Fixed(chargeTime, 2));
    }
    case Mode::Cardio:
        if (pulse.energy > limit) return Capture("OVERRANGE");
        return Capture(DefibFields(pulse) + "," + (pulse.syncDelay ? Fixed(*pulse.syncDelay, 4) : "NOSYNC"));
    case Mode::Pacer:
    case Mode::None:
        // Not measuring defibrillator output: the discharge goes into the load unrecorded.
        return;
    }
}

void AnalyzerModel::Charge(double seconds)
{
    if (mArmed) mChargeTime = seconds;
}

void AnalyzerModel::AttachPacemaker(const Pacemaker& pacemaker)
{
    mPacemaker = pacemaker;
    if (mMode == Mode::Pacer) mData = Data::New;
}

void AnalyzerModel::DetachPacemaker()
{
    mPacemaker.reset();
    if (mMode == Mode::Pacer) mData = Data::None;
}

} // namespace zsim
