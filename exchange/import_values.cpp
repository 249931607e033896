#include "exchange/import_values.h"

#include <wx/xml/xml.h>

wxString GetAttributeOrDefault(const wxXmlNode* element, const wxString& name, const wxString& def)
{
    wxString value;
    if (!element || !element->GetAttribute(name, &value) || value.empty())
        return def;
    return value;
}

bool IsImportGuid(const wxString& text)
{
    return text.length() == 36;
}

bool IsImportTime(const wxString& text)
{
    static const char shape[] = "9999-99-99 99:99:99";
    if (text.length() != sizeof shape - 1)
        return false;
    for (size_t i = 0; i < text.length(); ++i) {
        const wxUniChar c = text[i];
        const bool ok = shape[i] == '9' ? (c >= '0' && c <= '9') : c == shape[i];
        if (!ok)
            return false;
    }
    const auto field = [&text](size_t at, size_t digits) {
        int value = 0;
        for (size_t i = at; i < at + digits; ++i)
            value = value * 10 + static_cast<int>(text[i].GetValue() - '0');
        return value;
    };
    const int year = field(0, 4), month = field(5, 2), day = field(8, 2);
    if (year < 1 || month < 1 || month > 12 || day < 1)
        return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= days[month - 1] + (month == 2 && leap) && field(11, 2) < 24 &&
           field(14, 2) < 60 && field(17, 2) < 60;
}

std::optional<std::int64_t> ParseImportNumber(const wxString& text, ImportRange range)
{
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        ++i;
    // Eighteen digits cannot overflow 64 bits; every accepted range is far smaller.
    if (i == text.length() || text.length() - i > 18)
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.length(); ++i) {
        const wxUniChar c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c.GetValue() - '0');
    }
    if (negative)
        value = -value;
    if (value < range.min || value > range.max)
        return std::nullopt;
    return value;
}
