#pragma once

#include <string>
#include <string_view>

#include <wx/string.h>

// The one place where wx text and std text meet: always explicit UTF-8, never the C locale.
inline std::string ToUtf8(const wxString& s)
{
    const wxScopedCharBuffer buf = s.utf8_str();
    return std::string(buf.data(), buf.length());
}

inline wxString FromUtf8(std::string_view s)
{
    return wxString::FromUTF8(s.data(), s.size());
}

// File-system names: the native path as bytes for POSIX calls.
inline std::string NativePath(const wxString& path) { return ToUtf8(path); }
