#include "testlib/config/CConfigArr.h"

#include "platform/base/Conversions.h"
#include "platform/com/ServerEntryPoints.h"

namespace ztest {

std::span<const CConfigBase::WaveEntry> CConfigArr::WaveTable()
{
    static constexpr WaveEntry waves[] = {
        {200, "AF1", "20565::Atrial Fibrillation 1,coarse"},
        {201, "AF2", "20566::Atrial Fibrillation 2,Fine"},
        {202, "AFL", "20567::Atrial flutter"},
        {203, "SINA", "20568::Sinus arrhythmia"},
        {204, "1DB", "20569::1st degree AV block"},
        {205, "2DB1", "20570::2nd degree AV block,type 1,Wenckebach"},
        {206, "2DB2", "20571::2nd degree AV block,type 2"},
        {207, "3DB", "20572::3rd degree AV block"},
        {208, "PVC1", "20573::PVC type 1"},
        {209, "PVC2", "20574::PVC type 2"},
        {210, "MF", "20575::Multifocal PVCs"},
        {211, "PAIR", "20576::A pair or couplet of PVCs"},
        {212, "BIG", "20577::Bigeminy"},
        {213, "TRG", "20578::Trigeminy"},
        {214, "RUN5", "20579::Run of 5 PVCs"},
        {215, "RUN11", "20580::Run of 11 PVCs"},
        {216, "VNT", "20581::Ventricular rhythm 120 BPM"},
        {217, "VTC130", "20582::Ventricular tachycardia 130 BPM"},
        {218, "VTC175", "20583::Ventricular tachycardia 175 BPM"},
        {219, "VTC180", "20584::Ventricular tachycardia 180 BPM"},
        {220, "VTC185", "20585::Ventricular tachycardia 185 BPM"},
        {221, "VTC220", "20586::Ventricular tachycardia 220 BPM"},
        {222, "VFB1", "20587::Ventricular fibrillation 1,coarse"},
        {223, "VFB2", "20588::Ventricular fibrillation 2,fine"},
        {224, "ASY1", "20589::Asystole 1,some movement"},
        {225, "ASY2", "20590::Asystole 2,flat"},
        {226, "ASN", "20591::Asynchronous,continuous,transvenous paced"},
        {227, "DM1", "20592::Demand 1,mostly paced,transvenous paced"},
        {228, "DM2", "20593::Demand 2,mostly paced,transvenous paced"},
        {229, "AVS", "20594::Atrioventricular sequential,transvenous paced"},
        {230, "NCA", "20595::Noncapture,transvenous paced"},
        {231, "NFU", "20596::NOnfunctional,transvenous paced"},
        {232, "TQASYS", "20597::Asystole,transvenous paced"},
        {233, "TQBRAD", "20598::Bradycardia,transvenous paced"},
        {234, "TQDEM", "20599::Demand,transvenous paced"},
        {235, "TQNC", "20600::Noncapture,transvenous paced"},
    };
    return waves;
}

std::string CConfigArr::GetAtrialPaceCommand() const
{
    if (!PacesAtrially()) return {};
    std::string width = plat::CStr(mWidth);
    if (width.size() == 1) width += ".0";
    return "ATRPACE=" + width + "," + plat::CStr(mAmplitude) + "\n";
}

std::span<const CConfigBase::ValueChild> CConfigArr::LoadOrder()
{
    // The settings stand between the wave and the atrial pacer values, in both orders.
    static const ValueChild children[] = {
        {"Duration", &Bind<&CConfigArr::mDuration>, Stored::HostNumber, Reading::Number},
        {"Wavetype", &Bind<&CConfigArr::mWavetype>, Stored::HostNumber, Reading::Number},
        {"Wavename", &Bind<&CConfigArr::mWavename>, Stored::Text, Reading::Text},
        SettingsChild,
        {"Width", &Bind<&CConfigArr::mWidth>, Stored::HostNumber, Reading::NumberOrComma},
        {"Amplitude", &Bind<&CConfigArr::mAmplitude>, Stored::Plain, Reading::NumberOrComma},
    };
    return children;
}

std::span<const CConfigBase::ValueChild> CConfigArr::SaveOrder()
{
    static const ValueChild children[] = {
        VersionChild, LoadOrder()[0], LoadOrder()[2], LoadOrder()[1], SettingsChild, LoadOrder()[4], LoadOrder()[5],
    };
    return children;
}

const CConfigBase::RecordInfo& CConfigArr::Info() const
{
    static const RecordInfo info{"TelvoZarvikTest.CConfigArr", "TelvoZarvikTest.XArrConfig", ReportLayout::BodyWidth,
                                 LoadOrder(), SaveOrder()};
    return info;
}

std::vector<CConfigBase::ReportRow> CConfigArr::ReportRows() const
{
    std::vector<ReportRow> rows = CConfigSimWave::ReportRows();
    // Chosen by the wave ID, not by comparing translated descriptions.
    if (PacesAtrially()) {
        rows.push_back({"20086::Width", plat::CStr(mWidth), "ms"});
        rows.push_back({"20087::Amplitude", plat::CStr(mAmplitude), "mV"});
    }
    return rows;
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CConfigArr, ztest::CConfigArr::ProgId, "{C99D4F9B-4BB1-49BE-A390-1FCE8DCBDC90}")
