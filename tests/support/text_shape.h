#pragma once

#include <string>

// True when text has the shape: '9' stands for a decimal digit, '7' for 0-7, 'x' for a
// lower-case hexadecimal digit; any other character stands for itself.
inline bool HasShape(const std::string& text, const std::string& shape)
{
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool ok = shape[i] == '9'   ? (c >= '0' && c <= '9')
                        : shape[i] == '7' ? (c >= '0' && c <= '7')
                        : shape[i] == 'x' ? ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))
                                          : c == shape[i];
        if (!ok)
            return false;
    }
    return true;
}
