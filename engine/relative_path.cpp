#include "engine/relative_path.h"

#include <locale.h>
#include <wctype.h>

#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The C.UTF-8 locale knows every letter's case; the process may run in plain "C".
locale_t UnicodeCaseLocale()
{
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return locale;
}

char32_t LowerChar(char32_t c)
{
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c + (U'a' - U'A') : c;
    const locale_t locale = UnicodeCaseLocale();
    return static_cast<char32_t>(locale ? towlower_l(static_cast<wint_t>(c), locale)
                                        : towlower(static_cast<wint_t>(c)));
}

// Decodes one character at p (p < end, *p >= 0x80) and moves p past it; false, with p moved
// past the first byte, for an invalid sequence.
bool DecodeMultiByte(const unsigned char*& p, const unsigned char* end, char32_t& c)
{
    const unsigned lead = *p++;
    int extra;
    char32_t least;
    if (lead >= 0xC2 && lead <= 0xDF)
        extra = 1, c = lead & 0x1F, least = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        extra = 2, c = lead & 0x0F, least = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4)
        extra = 3, c = lead & 0x07, least = 0x10000;
    else
        return false;
    const unsigned char* q = p;
    for (; extra > 0; --extra, ++q) {
        if (q == end || (*q & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (*q & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    p = q;
    return true;
}

void AppendEncoded(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

const unsigned char* Bytes(std::string_view text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

} // namespace

bool IsValidUtf8(std::string_view text)
{
    const unsigned char* end = Bytes(text) + text.size();
    for (const unsigned char* p = Bytes(text); p < end;) {
        char32_t c;
        if (*p < 0x80)
            ++p;
        else if (!DecodeMultiByte(p, end, c))
            return false;
    }
    return true;
}

void AppendUtf8(wxString& text, std::string_view utf8)
{
    // No more characters than bytes: one reservation, then plain appends.
    text.reserve(text.length() + utf8.size());
    const unsigned char* end = Bytes(utf8) + utf8.size();
    for (const unsigned char* p = Bytes(utf8); p < end;) {
        char32_t c = *p;
        if (c < 0x80)
            ++p;
        else if (!DecodeMultiByte(p, end, c))
            c = kReplacement;
        text.append(1, static_cast<wchar_t>(c));
    }
}

wxString Utf8Text(std::string_view utf8)
{
    wxString text;
    AppendUtf8(text, utf8);
    return text;
}

wxString LowerText(const wxString& text)
{
    const size_t n = text.length();
    const wchar_t* in = text.wc_str();
    wxString out;
    {
        wxStringBufferLength buffer(out, n);
        wchar_t* p = buffer;
        for (size_t i = 0; i < n; ++i)
            p[i] = static_cast<wchar_t>(LowerChar(static_cast<char32_t>(in[i])));
        buffer.SetLength(n);
    }
    return out;
}

std::string RelativeKey(std::string_view rel)
{
    std::string key;
    key.reserve(rel.size());
    const unsigned char* end = Bytes(rel) + rel.size();
    for (const unsigned char* p = Bytes(rel); p < end;) {
        const unsigned char b = *p;
        if (b < 0x80) {
            key.push_back(b == '/' ? '\\' : (b >= 'A' && b <= 'Z') ? static_cast<char>(b + 32)
                                                                     : static_cast<char>(b));
            ++p;
            continue;
        }
        char32_t c;
        AppendEncoded(key, DecodeMultiByte(p, end, c) ? LowerChar(c) : kReplacement);
    }
    return key;
}

void NormaliseMask(wxString& mask)
{
    mask = LowerText(mask);
    mask.Replace("/", "\\");
}

CompressedSuffix StripCompressedSuffix(std::string& rel)
{
    const size_t n = rel.size();
    if (n <= 4)
        return 0;
    const char* p = rel.data() + n - 4;
    if (p[0] != '.' || (p[1] | 0x20) != 'b' || (p[2] | 0x20) != 'z' || p[3] != '2')
        return 0;
    const auto suffix =
        static_cast<CompressedSuffix>(1 | (p[1] == 'B' ? 2 : 0) | (p[2] == 'Z' ? 4 : 0));
    rel.resize(n - 4);
    return suffix;
}

const char* CompressedSuffixText(CompressedSuffix suffix)
{
    static const char* const texts[] = {".bz2", ".Bz2", ".bZ2", ".BZ2"};
    return (suffix & 1) ? texts[(suffix >> 1) & 3] : "";
}
