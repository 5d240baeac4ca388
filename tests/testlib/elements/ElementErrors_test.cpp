// The source under which each test element reports the errors of its load, save and clone: the
// energy family, the battery and pacer tests by their ProgID, the pulse-repetition test by its
// own historic name, the wave family by its class name.
#include "host/documents/HostErrorRaiser.h"
#include "host/documents/HostXmlDocument.h"
#include "testlib/elements/CTestArr.h"
#include "testlib/elements/CTestBatCap.h"
#include "testlib/elements/CTestCardio.h"
#include "testlib/elements/CTestCharge.h"
#include "testlib/elements/CTestDefib.h"
#include "testlib/elements/CTestEcg.h"
#include "testlib/elements/CTestEnergy.h"
#include "testlib/elements/CTestNSW.h"
#include "testlib/elements/CTestPacerPar.h"
#include "testlib/elements/CTestPacerRef.h"
#include "testlib/elements/CTestPerf.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

struct ElementSource {
    int32_t testId;
    std::function<std::shared_ptr<host::ITestElement>()> create;
    const char* source;
};

template <typename T>
std::function<std::shared_ptr<host::ITestElement>()> Maker()
{
    return [] { return T::Create(); };
}

TEST(ElementErrors, LoadReportsARefusedRecordUnderTheElementsSource)
{
    const ElementSource elements[] = {
        {100, Maker<ztest::CTestEnergy>(), "TelvoZarvikTest.CTestEnergy"},
        {200, Maker<ztest::CTestCharge>(), "TelvoZarvikTest.CTestCharge"},
        {300, Maker<ztest::CTestCardio>(), "TelvoZarvikTest.CTestCardio"},
        {400, Maker<ztest::CTestNSW>(), "CTestNSW"},
        {500, Maker<ztest::CTestArr>(), "CTestArr"},
        {600, Maker<ztest::CTestPerf>(), "CTestPerf"},
        {700, Maker<ztest::CTestPacerPar>(), "TelvoZarvikTest.CTestPacerPar"},
        {800, Maker<ztest::CTestPacerRef>(), "TelvoZarvikTest.CTestPacerRef"},
        {900, Maker<ztest::CTestBatCap>(), "TelvoZarvikTest.CTestBatCap"},
        {1000, Maker<ztest::CTestDefib>(), "ZARVIKTests.CTestDefib"},
        {1100, Maker<ztest::CTestEcg>(), "CTestEcg"},
    };
    ztesting::TempRegistry registry;
    for (const ElementSource& entry : elements) {
        SCOPED_TRACE(entry.testId);
        auto element = entry.create();
        element->Initialize("ZARVIK", entry.testId, 1);
        // Stored for another module: the configuration record refuses it.
        auto document = host::HostXmlDocument::Create();
        document->LoadXml("<PlugInData PlugIn=\"OTHER\"/>");

        host::HostErrorRaiser::ReportCapture capture;
        EXPECT_NO_THROW(element->Load(document->DocumentElement(), nullptr));
        ASSERT_EQ(capture.Reports().size(), 1u);
        EXPECT_EQ(capture.Reports()[0].reportedBy, entry.source);
    }
}

} // namespace
