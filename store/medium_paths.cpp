#include "store/medium_paths.h"

#include <wx/tokenzr.h>

namespace {

wxString WithStoredSeparators(wxString text)
{
    text.Replace("/", "\\");
    return text;
}

bool IsRootItself(const wxString& path, const wxString& root)
{
    return !root.empty() && root.Last() == '/' && path == root.Left(root.length() - 1);
}

// The rest of text after root, when text begins with root or is the bare root.
std::optional<wxString> RestAfterRoot(const wxString& text, const wxString& root)
{
    if (root.empty())
        return std::nullopt;
    if (IsRootItself(text, root))
        return wxString();
    wxString rest;
    if (!text.StartsWith(root, &rest))
        return std::nullopt;
    return rest;
}

} // namespace

bool IsSafeRelativeLocation(const wxString& location)
{
    if (location.empty())
        return true;
    if (location[0] == '/' || location[0] == '\\')
        return false;
    if (location.length() >= 2 && location[1] == ':')
        return false;
    for (const wxString& part : wxSplit(WithStoredSeparators(location), '\\', '\0'))
        if (part == "..")
            return false;
    return true;
}

std::optional<wxString> MediumPathFromLocation(const wxString& root, const wxString& location)
{
    if (!IsSafeRelativeLocation(location))
        return std::nullopt;
    wxString path = location;
    path.Replace("\\", "/");
    if (root.empty() || root.Last() == '/')
        return root + path;
    return root + "/" + path;
}

std::optional<wxString> LocationBelowRoot(const wxString& path, const wxString& root)
{
    const std::optional<wxString> rest = RestAfterRoot(path, root);
    if (!rest || !IsSafeRelativeLocation(*rest))
        return std::nullopt;
    return WithStoredSeparators(*rest);
}

wxString LocationFromTyped(const wxString& text, const wxString& root)
{
    return WithStoredSeparators(RestAfterRoot(text, root).value_or(text));
}
