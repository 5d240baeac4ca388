#include "simulator/AnalyzerModel.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using zsim::AnalyzerModel;

// One step of a conversation: a command with the reply it must get, or an action of the device
// under test.
struct Step {
    std::string command;
    std::string reply;
    std::function<void(AnalyzerModel&)> action = nullptr;
};

Step Do(std::function<void(AnalyzerModel&)> action)
{
    return {"", "", std::move(action)};
}

void Converse(AnalyzerModel& model, const std::vector<Step>& steps)
{
    for (size_t i = 0; i < steps.size(); ++i) {
        const auto& step = steps[i];
        if (step.action) {
            step.action(model);
            continue;
        }
        SCOPED_TRACE("step " + std::to_string(i) + ": " + step.command);
        EXPECT_EQ(model.Handle(step.command).text, step.reply);
    }
}

zsim::Pulse Shock(double energy, double voltage, double current, double width, std::optional<double> sync = 0.040)
{
    zsim::Pulse pulse;
    pulse.energy = energy;
    pulse.peakVoltage = voltage;
    pulse.peakCurrent = current;
    pulse.width = width;
    pulse.syncDelay = sync;
    return pulse;
}

TEST(AnalyzerModel, LinkCommandsAndUnknownOnes)
{
    AnalyzerModel model;
    Converse(model, {
                   {"LOC", "OK"},
                   {"loc", "OK"},
                   {"", "ERR=01"},
                   {"HELLO", "ERR=01"},
                   {"ENERGY DATA", "ERR=01"},
                   {"LOC=1", "ERR=01"},
                   {"BAUD=1234", "ERR=02"},
                   {"BAUD=fast", "ERR=02"},
               });
    auto baud = model.Handle("BAUD=9600");
    EXPECT_EQ(baud.text, "OK");
    EXPECT_EQ(baud.switchBaud, 9600);
    // The switch is the transport's to make once the answer is out.
    EXPECT_EQ(model.Baud(), 9600);
    EXPECT_EQ(model.HandleOverlong().text, "ERR=01");
}

TEST(AnalyzerModel, EnergyMeasurement)
{
    AnalyzerModel model;
    Converse(model, {
                   {"ENERGYMODE", "OK"},
                   {"DEFRANGE=HIGH", "OK"},
                   {"DEFRANGE=MEDIUM", "ERR=02"},
                   {"DEFIBWAVE=VFB1", "OK"},
                   {"DEFIBWAVE=", "ERR=02"},
                   {"DEFIBWAVE=NSB80", "ERR=02"},
                   {"QDATA", "NODATA"},
                   {"ENERGYDATA", "NODATA"},
                   Do([](AnalyzerModel& m) { m.Discharge(Shock(150.2, 2000, 50.1, 0.0045)); }),
                   {"QDATA", "NEWDATA"},
                   {"ENERGYDATA", "150.2,2000,50.1,0.0045"},
                   {"QDATA", "OLDDATA"},
                   {"ENERGYDATA", "150.2,2000,50.1,0.0045"},
                   {"CARDIODATA", "ERR=03"},
                   {"MAXEDATA", "ERR=03"},
                   // A new mode forgets the old data.
                   {"ENERGYMODE", "OK"},
                   {"QDATA", "NODATA"},
               });
    EXPECT_EQ(model.DefibWave(), "VFB1");
    EXPECT_EQ(model.Range(), "HIGH");
}

TEST(AnalyzerModel, EnergyAboveTheRangeIsOverRange)
{
    AnalyzerModel model;
    Converse(model, {
                   {"ENERGYMODE", "OK"},
                   {"DEFRANGE=LOW", "OK"},
                   Do([](AnalyzerModel& m) { m.Discharge(zsim::Pulse::Into50Ohm(150)); }),
                   {"QDATA", "NEWDATA"},
                   {"ENERGYDATA", "OVERRANGE"},
                   {"DEFRANGE=HIGH", "OK"},
                   Do([](AnalyzerModel& m) { m.Discharge(zsim::Pulse::Into50Ohm(150)); }),
                   {"ENERGYDATA", "150.0,1732,34.6,0.0050"},
               });
}

TEST(AnalyzerModel, ChargeTime)
{
    AnalyzerModel model;
    Converse(model, {
                   {"MAXESTART", "ERR=03"},
                   {"MAXEMODE", "OK"},
                   // A discharge that no "MAXESTART" armed for.
                   Do([](AnalyzerModel& m) { m.Discharge(Shock(200, 2100, 42, 0.005)); }),
                   {"QDATA", "NEWDATA"},
                   {"MAXEDATA", "NOSTART"},
                   {"MAXESTART", "OK"},
                   Do([](AnalyzerModel& m) { m.Charge(6.2); }),
                   Do([](AnalyzerModel& m) { m.Discharge(Shock(200, 2100, 42, 0.005)); }),
                   {"QDATA", "NEWDATA"},
                   {"MAXEDATA", "200.0,2100,42.0,6.20"},
                   // Without an explicit charge the time runs from MAXESTART to the discharge.
                   Do([](AnalyzerModel& m) { m.SetTime(10.0); }),
                   {"MAXESTART", "OK"},
                   Do([](AnalyzerModel& m) { m.SetTime(14.5); }),
                   Do([](AnalyzerModel& m) { m.Discharge(Shock(200, 2100, 42, 0.005)); }),
                   {"MAXEDATA", "200.0,2100,42.0,4.50"},
                   {"MAXESTART", "OK"},
                   Do([](AnalyzerModel& m) { m.Charge(120); }),
                   Do([](AnalyzerModel& m) { m.Discharge(Shock(200, 2100, 42, 0.005)); }),
                   {"MAXEDATA", "CT>99S"},
                   {"ENERGYDATA", "ERR=03"},
               });
}

// A program that sets the mode again (a new run of a test) disarms the charge-time measurement:
// a charge after it that no new "MAXESTART" armed reads "NOSTART".
TEST(AnalyzerModel, ModeCommandDisarmsTheChargeTime)
{
    AnalyzerModel model;
    Converse(model, {
                   {"MAXEMODE", "OK"},
                   {"MAXESTART", "OK"},
                   Do([](AnalyzerModel& m) { EXPECT_TRUE(m.ChargeTimeArmed()); }),
                   {"MAXEMODE", "OK"},
                   Do([](AnalyzerModel& m) { EXPECT_FALSE(m.ChargeTimeArmed()); }),
                   Do([](AnalyzerModel& m) { m.Charge(5.0); }),
                   Do([](AnalyzerModel& m) { m.Discharge(Shock(200, 2100, 42, 0.005)); }),
                   {"QDATA", "NEWDATA"},
                   {"MAXEDATA", "NOSTART"},
                   // Armed again, each charge is measured once; the data stays old until the next.
                   {"MAXESTART", "OK"},
                   Do([](AnalyzerModel& m) { m.Charge(5.0); }),
                   Do([](AnalyzerModel& m) { m.Discharge(Shock(200, 2100, 42, 0.005)); }),
                   Do([](AnalyzerModel& m) { EXPECT_FALSE(m.ChargeTimeArmed()); }),
                   {"MAXEDATA", "200.0,2100,42.0,5.00"},
                   {"MAXESTART", "OK"},
                   {"QDATA", "OLDDATA"},
                   // Another mode forgets the arming as well.
                   {"ENERGYMODE", "OK"},
                   {"MAXEMODE", "OK"},
                   Do([](AnalyzerModel& m) { EXPECT_FALSE(m.ChargeTimeArmed()); }),
                   {"QDATA", "NODATA"},
               });
}

TEST(AnalyzerModel, SynchronisedCardioversion)
{
    AnalyzerModel model;
    Converse(model, {
                   {"CARDIOMODE", "OK"},
                   {"CARDIOWAVE=AF1", "OK"},
                   {"CARDIOWAVE=VFB1", "ERR=02"},
                   Do([](AnalyzerModel& m) { m.Discharge(Shock(100, 1500, 30, 0.005, 0.035)); }),
                   {"QDATA", "NEWDATA"},
                   {"CARDIODATA", "100.0,1500,30.0,0.0350"},
                   Do([](AnalyzerModel& m) { m.Discharge(Shock(100, 1500, 30, 0.005, std::nullopt)); }),
                   {"QDATA", "NEWDATA"},
                   {"CARDIODATA", "100.0,1500,30.0,NOSYNC"},
               });
    EXPECT_EQ(model.CardioWave(), "AF1");
}

TEST(AnalyzerModel, PacerParametersAndLoads)
{
    AnalyzerModel model;
    zsim::Pacemaker pacemaker;
    pacemaker.rate = 70.1;
    pacemaker.current = 0.075;
    pacemaker.width = 0.0201;
    Converse(model, {
                   {"QADAPTER", "00"},
                   {"PACELOAD=ADAP1", "ERR=06"},
                   Do([](AnalyzerModel& m) { m.SetAdapterPresent(true); }),
                   {"QADAPTER", "01"},
                   {"PACELOAD=ADAP1", "OK"},
                   {"PACELOAD=ADAP5", "ERR=02"},
                   {"PACELOAD=", "ERR=02"},
                   {"PACELOAD=INT", "OK"},
                   {"PACEPDATA", "ERR=03"},
                   {"PACEPMODE", "OK"},
                   {"QDATA", "NODATA"},
                   {"PACEPDATA", "NO PACER"},
                   Do([&](AnalyzerModel& m) { m.AttachPacemaker(pacemaker); }),
                   {"QDATA", "NEWDATA"},
                   {"PACEPDATA", "0.075,0.0201,70.1"},
                   {"QDATA", "OLDDATA"},
                   Do([](AnalyzerModel& m) { m.DetachPacemaker(); }),
                   {"QDATA", "NODATA"},
                   {"PACEPDATA", "NO PACER"},
               });
    EXPECT_EQ(model.Load(), "INT");
}

TEST(AnalyzerModel, PacerRefractoryAndModuleOverload)
{
    AnalyzerModel model;
    Converse(model, {
                   {"PACEREFRACT", "NO PACER"},
                   Do([](AnalyzerModel& m) { m.AttachPacemaker({}); }),
                   Do([](AnalyzerModel& m) { m.SetRefractoryTime(std::chrono::milliseconds(4000)); }),
               });
    auto refractory = model.Handle("PACEREFRACT");
    EXPECT_EQ(refractory.text, "0,0.250,0.300");
    EXPECT_EQ(refractory.work, std::chrono::milliseconds(4000));

    Converse(model, {
                   Do([](AnalyzerModel& m) { m.SetModuleOverload(true); }),
                   {"PACEPMODE", "ERR=20"},
                   {"PACEREFRACT", "MODULEOVERLOAD"},
                   Do([](AnalyzerModel& m) { m.SetModuleOverload(false); }),
                   {"PACEPMODE", "OK"},
                   Do([](AnalyzerModel& m) { m.SetModuleOverload(true); }),
                   {"PACEPDATA", "MODULEOVERLOAD"},
               });
}

TEST(AnalyzerModel, SimulationOutputCommands)
{
    AnalyzerModel model;
    Converse(model, {
                   {"THRESH=160,0.50", "OK"},
                   {"THRESH=40,2.00", "OK"},
                   {"THRESH=40", "ERR=02"},
                   {"THRESH=,0.5", "ERR=02"},
                   {"THRESH=abc,1", "ERR=02"},
                   {"THRESH=0,1", "ERR=02"},
                   {"PERFLEAD=I", "OK"},
                   {"PERFLEAD=II", "OK"},
                   {"PERFLEAD=", "ERR=02"},
                   {"PERFLEAD=III", "ERR=02"},
                   {"ATRPACE=0.1,100", "OK"},
                   // The atrial amplitude carries its polarity and may be 0.
                   {"ATRPACE=2.0,-700", "OK"},
                   {"ATRPACE=2.0,700", "OK"},
                   {"ATRPACE=0.5,-0.5", "OK"},
                   {"ATRPACE=0.5,-700.5", "ERR=02"},
                   {"ATRPACE=0.5,701", "ERR=02"},
                   {"ATRPACE=0,100", "ERR=02"},
                   {"ATRPACE=-1,100", "ERR=02"},
                   {"ATRPACE=0.5,", "ERR=02"},
                   {"ATRPACE=0.5,0", "OK"},
                   {"VENTPACE=1.0,-100", "ERR=02"},
                   {"VENTPACE=1.0,100", "OK"},
                   {"VENTPACE=1.0", "ERR=02"},
                   {"VFB3", "ERR=01"},
               });
    EXPECT_EQ(model.Threshold(), "40,2.00");
    EXPECT_EQ(model.Output(), "RWAVE");
    EXPECT_EQ(model.Lead(), "II");
    EXPECT_EQ(model.AtrialPace(), "0.5,0");
    EXPECT_EQ(model.VentPace(), "1.0,100");

    // Every wave of the arrhythmia, normal sinus and performance lists is a command of its own.
    const char* waves[] = {
        "AF1",   "AF2",    "AFL",    "SINA",   "1DB",    "2DB1",    "2DB2",   "3DB",    "PVC1",   "PVC2",
        "MF",    "PAIR",   "BIG",    "TRG",    "RUN5",   "RUN11",   "VNT",    "VTC130", "VTC175", "VTC180",
        "VTC185", "VTC220", "VFB1",  "VFB2",   "ASY1",   "ASY2",    "ASN",    "DM1",    "DM2",    "AVS",
        "NCA",   "NFU",    "TQASYS", "TQBRAD", "TQDEM",  "TQNC",    "NSB30",  "NSB60",  "NSB80",  "NSB120",
        "NSB160", "NSB200", "NSB240", "NSB300", "SQU",   "PUL",     "SIN0.05", "SIN0.5", "SIN1",  "SIN10",
        "SIN25", "SIN30",  "SIN40",  "SIN50",  "SIN60",  "SIN100",  "SIN125", "SIN150", "SQ1K",   "TRI",
        "ZERO"};
    for (const char* wave : waves) {
        SCOPED_TRACE(wave);
        EXPECT_EQ(model.Handle(wave).text, "OK");
        EXPECT_EQ(model.Output(), wave);
    }
}

} // namespace
