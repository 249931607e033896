#pragma once

#include <wx/string.h>

// The path with the native separator ("/") appended unless it already ends with one;
// an empty path stays empty.
wxString AppendPathSeparator(const wxString& path);

// A display form of a "\"-separated path no longer than about n characters, keeping the
// leading components and the last one ("D:\Work\...report.txt"). Display only.
wxString ShortenPath(const wxString& path, size_t n);
