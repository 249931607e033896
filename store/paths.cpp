#include "store/paths.h"

#include <wx/filename.h>
#include <wx/tokenzr.h>

wxString AppendPathSeparator(const wxString& path)
{
    if (path.empty() || path.Last() == wxFileName::GetPathSeparator())
        return path;
    return path + wxFileName::GetPathSeparator();
}

wxString ShortenPath(const wxString& path, size_t n)
{
    if (path.length() <= n)
        return path;

    wxArrayString parts;
    for (const wxString& part : wxSplit(path, '\\', '\0')) {
        if (part.empty())
            break;
        parts.push_back(part);
    }
    if (parts.empty())
        return path.Left(n);
    if (parts.size() == 1) {
        const wxString& only = parts[0];
        return only.length() > n ? only.Left(n >= 3 ? n - 3 : 0) + "..." : only;
    }

    const wxString& tail = parts.back();
    wxString head = parts[0];
    if (head.length() + tail.length() > n) {
        // Neither fits whole: keep the start of the first component and the end of the last.
        const size_t room = n > 7 ? n - 7 : 0;
        const size_t keepHead = std::min(head.length(), room / 2);
        const size_t keepTail = std::min(tail.length(), room - keepHead);
        return head.Left(keepHead) + "...\\..." + tail.Right(keepTail);
    }
    for (size_t i = 1; i + 1 < parts.size(); ++i) {
        const wxString longer = head + "\\" + parts[i];
        if (longer.length() + tail.length() > n)
            break;
        head = longer;
    }
    return head + "\\..." + tail;
}
