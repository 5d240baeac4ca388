#pragma once

#include "testlib/elements/CTestElement.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ztest {

class CConfigPacer;

// What the pacer parameter and pacer refractory tests share: the window prepared with its
// instruction lines before the result status, the run shown by its status text alone, the
// load step (the adapter check when an adapter is configured, then "PACELOAD") and the gate
// through which their replies pass: only data reaches the result record, and any reply that is
// neither what the step expects nor a reply the analyzer explains shows the analyzer's error box
// and ends the run.
class CPacerTest : public CTestElement {
public:
    static constexpr const char* NoAdapterText = "20472::No Adapter detected. Please try again";
    static constexpr const char* NoPacerText = "20463::NO Pacer detected, Please try again.";
    static constexpr const char* OverloadText = "20466::MODULE OVERLOAD! Switch OFF Zarvik,";
    static constexpr const char* OverloadText2 = "20467:: disconnect leads, wait for 5 seconds and turn ON the unit.";

protected:
    using CTestElement::CTestElement;

    void PrepareGuide(bool hasPrevious) override;
    void ShowRunInProgress() override;

    // The configuration record of either pacer test; none when the element holds another.
    std::shared_ptr<CConfigPacer> PacerSettings() const;
    // The link can be talked to: no time-out and no stop.
    bool Usable();

    // The adapter check and the load command. Returns the load command's reply, or nothing
    // when the run ended before it (no adapter, Stop, the link lost). adapterLoad tells
    // whether an external adapter is in use.
    std::optional<std::string> SendLoad(bool& adapterLoad);
    // The load command's reply: true for "OK"; anything else shows its box and stops the run.
    bool AcceptLoadReply(std::string_view reply);
    // Shows the box that a refused reply calls for and stops the run: the overload box, the
    // missing-pacer box, or the analyzer's error box for every other reply.
    void RefuseReply(std::string_view reply);
    static void ShowOverloadBox();

    // The shortest text of a configured number ("60", "12.5").
    static std::string NumberText(float value);
};

} // namespace ztest
