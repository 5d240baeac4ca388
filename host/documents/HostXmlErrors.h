#pragma once

#include "platform/base/ComError.h"

#include <cstdint>

// Codes of the errors that the host's document objects raise. Failures of the file system keep
// the language runtime's numbers (53 file not found, 76 path not found, 70 permission denied,
// 75 path/file access error, 61 disk full, 57 device I/O error) so that callers can tell a
// missing file from a damaged one.
namespace host::xmlerr {

// The text is not well-formed XML: the parser's message, an undefined entity, no root element
// or more than one.
constexpr int32_t Malformed = plat::Hr(0x80048B01u);
// The text is refused before it is used: a document type declaration, more than
// HostXmlDocument::MaxDocumentBytes, or elements nested deeper than
// HostXmlDocument::MaxNestingDepth.
constexpr int32_t Rejected = plat::Hr(0x80048B02u);
// An operation on the wrong node: an element of another document, an element appended into
// itself, a helper given an element of the wrong name, a second root element.
constexpr int32_t WrongNode = plat::Hr(0x80048B03u);
// A typed element whose content cannot be read back (a "Value" of kind Long holding "abc").
constexpr int32_t BadValue = plat::Hr(0x80048B04u);

// Numbers of the runtime's file errors that ComError.h does not name.
constexpr int32_t DiskFull = 61;
constexpr int32_t DeviceIoError = 57;
constexpr int32_t PathFileAccessError = 75;

} // namespace host::xmlerr
