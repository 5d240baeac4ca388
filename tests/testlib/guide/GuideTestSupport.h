#pragma once

// What the guide window and view tests share: a temporary registry with the host's control
// libraries and the test library registered, a translator with a few texts, message boxes
// answered by the test, and a small result record with real measurements.

#include "host/documents/HostTranslator.h"
#include "host/interfaces/IResultData.h"
#include "platform/base/Variant.h"
#include "platform/com/ComRuntime.h"
#include "testlib/core/CMeasurement.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UiDriver.h"
#include "tests/support/VirtualLoop.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ztesting {

// A result record of measurements in order, found by position (from 1) or by key.
class GuideResult : public host::IResultData {
public:
    std::shared_ptr<ztest::CMeasurement> Add(const std::string& key, const std::string& description, const std::string& unit,
                                             const plat::Variant& value = {}, int32_t status = 0,
                                             int32_t valueType = ztest::CMeasurement::ValueTypeNumber)
    {
        auto measurement = std::make_shared<ztest::CMeasurement>();
        measurement->Initialize(key, description, unit, valueType);
        measurement->SetValue(value);
        measurement->SetStatus(status);
        items.push_back(measurement);
        return measurement;
    }

    std::string Comment() override { return comment; }
    void SetComment(const std::string& text) override { comment = text; }
    bool HasDialog() override { return false; }
    int32_t Status() override { return status; }
    std::shared_ptr<host::IMeasurement> Measurement(const plat::Variant& indexOrKey) override
    {
        if (indexOrKey.IsString()) {
            for (const auto& item : items)
                if (item->GetKey() == indexOrKey.AsString()) return item;
            return nullptr;
        }
        const int32_t index = indexOrKey.AsLong();
        if (index < 1 || static_cast<size_t>(index) > items.size()) return nullptr;
        return items[static_cast<size_t>(index - 1)];
    }
    int32_t MeasurementCount() override { return static_cast<int32_t>(items.size()); }
    std::shared_ptr<host::HostServiceRecord> ServiceRecord() override { return nullptr; }
    int32_t MTIID() override { return mtiid; }
    std::shared_ptr<host::IDialog> CreateDialog() override { return nullptr; }
    void Load(const std::shared_ptr<host::HostXmlElement>&, const std::shared_ptr<host::HostLoadLog>&) override {}
    std::shared_ptr<host::HostXmlElement> Save(const std::shared_ptr<host::HostXmlDocument>&) override { return nullptr; }
    void PrintReport(const std::shared_ptr<host::HostReport>&, const plat::ObjectPtr&) override {}

    std::vector<std::shared_ptr<ztest::CMeasurement>> items;
    std::string comment;
    int32_t status = 0;
    int32_t mtiid = 0;
};

// Fixture base: virtual time, a registry of its own with the libraries registered, a translator
// that knows "20531" and "462", and message boxes answered with the fixture's answer (Yes unless
// a test sets another).
class GuideFixture : public VirtualLoopTest {
protected:
    GuideFixture()
    {
        for (const char* name : {"telvoView", "telvoTGCL2", "telvoZarvikTest"})
            plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/lib" + name + ".so");
        auto translator = std::make_shared<host::HostTranslator>();
        translator->SetText("ZARVIK", "20531", "Messung laeuft");
        translator->SetText("ZARVIK", "462", "Analysator");
        translator->SetText("ZARVIK", "T9", "Defibrillieren");
        mPreviousTranslator = host::HostTranslator::SetProcess(translator);
    }
    ~GuideFixture() override { host::HostTranslator::SetProcess(mPreviousTranslator); }

    TempRegistry mRegistry;
    MessageBoxCapture mBoxes{plat::vbYes};
    UiDriver mDriver;
    std::shared_ptr<host::HostTranslator> mPreviousTranslator;
};

} // namespace ztesting
