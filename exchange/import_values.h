#pragma once

#include <cstdint>
#include <optional>

#include <wx/string.h>

class wxXmlNode;

// Reading and checking the attribute values of an imported catalogue. Any thread.

// The attribute's text, or def when the attribute is missing or empty.
wxString GetAttributeOrDefault(const wxXmlNode* element, const wxString& name, const wxString& def);

// A row GUID as the catalogue keeps it: exactly 36 characters.
bool IsImportGuid(const wxString& text);
// A MODIFIED time in the catalogue's fixed form "dddd-dd-dd dd:dd:dd" (digits), which keeps
// the text comparison of times right, naming a real moment (a day of its month, hours below
// 24, minutes and seconds below 60).
bool IsImportTime(const wxString& text);

// The value ranges that an imported number must keep.
struct ImportRange {
    std::int64_t min;
    std::int64_t max;
};
inline constexpr ImportRange kFlagRange{0, 1};                  // DELETED, ALLOW
inline constexpr ImportRange kSizeRange{0, 2147483647};         // IGNORESIZEOVER, BZ2BELOW
inline constexpr ImportRange kLineRange{-1000000000, 1000000000}; // NLINE

// The decimal number (an optional "-" and digits, nothing else) when it lies in range.
std::optional<std::int64_t> ParseImportNumber(const wxString& text, ImportRange range);
