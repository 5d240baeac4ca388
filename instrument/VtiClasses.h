#pragma once

// The classes the instrument link library serves, as its users name them: the virtual test
// instrument (created by the test library by its class identifier) and the instrument query
// (created by the host).

namespace vti {

inline constexpr const char* CLSID_CZarvikVTi = "{4B9459E0-08BD-482A-A6D8-37F26FB52CF2}";
inline constexpr const char* ProgID_CZarvikVTi = "TelvoZarvikVTI.CZarvikVTi";
inline constexpr const char* IID_IZarvikVTi = "{8ECCF2F8-B026-4EB7-A906-C609D371728E}";

inline constexpr const char* CLSID_CZarvikQuery = "{1F55E6C4-CDA5-4BBC-892C-5DF7181C4CFE}";
inline constexpr const char* ProgID_CZarvikQuery = "TelvoZarvikVTI.CZarvikQuery";

} // namespace vti
