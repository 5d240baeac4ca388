#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace zsim {

// One discharge of the defibrillator under test into the analyzer's load.
struct Pulse {
    double energy = 150.0;      // J
    double peakVoltage = 1732;  // V
    double peakCurrent = 34.6;  // A
    double width = 0.005;       // s
    // Delay from the R-wave to the discharge of a synchronised cardioversion (s); without one
    // the analyzer found no synchronisation and reports "NOSYNC".
    std::optional<double> syncDelay = 0.040;

    // A damped discharge of the given energy into 50 ohms: plausible peak voltage and current.
    static Pulse Into50Ohm(double energy, double width = 0.005);
};

// An external pacemaker attached to the analyzer's pacer input.
struct Pacemaker {
    double rate = 70.0;              // pulses per minute
    double current = 0.070;          // A
    double width = 0.0010;           // s
    double pacedRefractory = 0.250;  // s
    double sensedRefractory = 0.300; // s
};

// The analyzer as a state machine of command lines and replies, without transport or timing:
// Handle takes one command (without its line end) and gives the reply line (without its line
// end, which the transport adds). The physical world (a discharge, a charge, a pacemaker)
// reaches it through the action calls.
//
// Replies: "OK"; "ERR=nn" with nn one of the Err* codes; "NODATA" / "NEWDATA" / "OLDDATA" to
// "QDATA"; comma-separated data lines; "OVERRANGE", "NOSTART", "CT>99S", "NOSYNC" (as the last
// data field), "MODULEOVERLOAD", "NO PACER".
//
// The charge-time measurement: "MAXESTART" arms it (in the charge-time mode only) and starts
// its clock; the next discharge ends it and disarms it, so every charge needs a "MAXESTART" of
// its own, and a discharge that nothing armed reads "NOSTART". Every mode command
// ("MAXEMODE" included, even when the analyzer already is in that mode) disarms it and
// forgets the data, so a program that sets the mode again must arm again before the charge.
class AnalyzerModel {
public:
    enum class Mode { None, Energy, ChargeTime, Cardio, Pacer };
    enum class Data { None, New, Old };

    struct Response {
        std::string text;
        // Measuring time the analyzer takes before it answers.
        std::chrono::milliseconds work{0};
        // A speed to change to once the reply has gone out.
        std::optional<int> switchBaud;
        // The reply ends a refractory measurement; a "PACEREFRACT" that arrives while one is
        // still being measured leaves it running and gets no answer of its own.
        bool refractory = false;
    };

    static constexpr int ErrUnknownCommand = 1;
    static constexpr int ErrBadParameter = 2;
    static constexpr int ErrWrongMode = 3;
    static constexpr int ErrNoAdapter = 6;
    static constexpr int ErrModuleOverload = 20;

    // Highest energy each range measures (J); more gives "OVERRANGE".
    static constexpr double LowRangeLimit = 100.0;
    static constexpr double HighRangeLimit = 1000.0;
    // Largest atrial pacing amplitude (mV), either sign.
    static constexpr double AtrialAmplitudeLimit = 700.0;

    // The error reply of a code: "ERR=" and at least two digits.
    static std::string ErrorLine(int code);

    Response Handle(std::string_view command);
    // A command line too long to be one of the analyzer's.
    Response HandleOverlong() const;

    // The session's clock in seconds; the charge time of a charge without an explicit duration
    // is measured on it from "MAXESTART" to the discharge.
    void SetTime(double seconds) { mNow = seconds; }

    // The device under test.
    void Discharge(const Pulse& pulse);
    // A charge that took the given time; it counts for the next discharge when the charge-time
    // measurement is armed, and is forgotten otherwise.
    void Charge(double seconds);
    // "MAXESTART" was heard since the last discharge or mode command.
    bool ChargeTimeArmed() const { return mArmed; }
    void AttachPacemaker(const Pacemaker& pacemaker);
    void DetachPacemaker();
    void SetAdapterPresent(bool present) { mAdapterPresent = present; }
    void SetModuleOverload(bool overload) { mModuleOverload = overload; }
    // How long a refractory measurement ("PACEREFRACT") takes before the answer.
    void SetRefractoryTime(std::chrono::milliseconds time) { mRefractoryTime = time; }

    int Baud() const { return mBaud; }
    void SetBaud(int baud) { mBaud = baud; }

    Mode GetMode() const { return mMode; }
    Data GetData() const { return mData; }
    const std::string& Range() const { return mRange; }
    const std::string& DefibWave() const { return mDefibWave; }
    const std::string& CardioWave() const { return mCardioWave; }
    // What the analyzer puts out on its ECG simulation output: a wave code, "RWAVE" for the
    // R-wave train of "THRESH", or "ZERO".
    const std::string& Output() const { return mOutput; }
    const std::string& Lead() const { return mLead; }
    const std::string& Threshold() const { return mThreshold; }
    const std::string& AtrialPace() const { return mAtrialPace; }
    const std::string& VentPace() const { return mVentPace; }
    const std::string& Load() const { return mLoad; }

    // The data line of the last capture (what the next data command returns), empty without.
    const std::string& CapturedText() const { return mCaptured; }

private:
    static Response Say(std::string text);
    static Response Ok() { return Say("OK"); }
    static Response Error(int code);
    Response EnterMode(Mode mode);
    Response ReadData(Mode mode);
    Response PacerData();
    Response Refractory();
    void Capture(std::string text);

    int mBaud = 9600;
    Mode mMode = Mode::None;
    Data mData = Data::None;
    std::string mCaptured;
    std::string mRange = "HIGH";
    std::string mDefibWave;
    std::string mCardioWave;
    std::string mOutput = "ZERO";
    std::string mLead;
    std::string mThreshold;
    std::string mAtrialPace;
    std::string mVentPace;
    std::string mLoad = "INT";
    bool mArmed = false;
    double mArmTime = 0;
    std::optional<double> mChargeTime;
    std::optional<Pacemaker> mPacemaker;
    bool mAdapterPresent = false;
    bool mModuleOverload = false;
    std::chrono::milliseconds mRefractoryTime{500};
    double mNow = 0;
};

} // namespace zsim
