#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <wx/string.h>

// Relative paths found by a folder walk. They are kept as UTF-8 (half the memory of wide text
// for the hundreds of thousands of names of a large folder) with the native separator ("/");
// as lookup keys and wherever they meet folder rules they are lower-cased and use "\", the
// catalogue's separator, so rules and keys stay the same on every station. Any thread.

// The separator of relative paths on disk.
inline constexpr char kNativeSeparator = '/';

// Whether the text is valid UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Appends UTF-8 text to a wx text; an invalid sequence becomes U+FFFD.
void AppendUtf8(wxString& text, std::string_view utf8);
// The wx text of UTF-8 text.
wxString Utf8Text(std::string_view utf8);

// The text lower-cased character by character with the full Unicode mapping, whatever the
// process locale is (names must pair the same way on every station).
wxString LowerText(const wxString& text);

// The key of a relative path (UTF-8, native separators): lower-cased, every "/" written as
// "\", still UTF-8.
std::string RelativeKey(std::string_view rel);

// Lower-cases a rule mask in place and writes "\" for every "/".
void NormaliseMask(wxString& mask);

// A ".bz2" suffix as a walk found it, kept so that the file can be named again in its own case:
// 0 none; else 1, plus 2 for a capital "B", plus 4 for a capital "Z".
using CompressedSuffix = std::uint8_t;

// Cuts a ".bz2" suffix (in any case) off a relative path longer than four characters, so a
// compressed file on the medium pairs with its plain name. Returns the suffix cut (0: none).
CompressedSuffix StripCompressedSuffix(std::string& rel);
// The text of a suffix ("" for none).
const char* CompressedSuffixText(CompressedSuffix suffix);
