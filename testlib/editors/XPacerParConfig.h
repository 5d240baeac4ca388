#pragma once

#include "testlib/editors/XPacerConfig.h"

namespace ztest {

// The editor of the pacer-parameter record. A stored adapter and load are shown by their
// indexes, then by their texts where the lists hold them.
class XPacerParConfig : public XPacerConfig {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XPacerParConfig";
    static constexpr const char* ClassId = "{5B0E7C21-3F4A-4D8E-9A61-2C7D9E4B1F04}";

    XPacerParConfig();

protected:
    bool Accepts(const plat::ObjectPtr& object) const override;
};

// The editor of the pacer-refractory record. A stored adapter and load are shown by their
// texts, then by their indexes, so the entries at the stored indexes win.
class XPacerRefConfig : public XPacerConfig {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XPacerRefConfig";
    static constexpr const char* ClassId = "{5B0E7C21-3F4A-4D8E-9A61-2C7D9E4B1F05}";

    XPacerRefConfig();

protected:
    bool Accepts(const plat::ObjectPtr& object) const override;
};

} // namespace ztest
