#pragma once

#include <string>

#include <wx/string.h>

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory, ending with "/".
    const wxString& Path() const { return path_; }
    // Path() + relative.
    wxString operator/(const wxString& relative) const { return path_ + relative; }

    // Writes a file (making its parent directories) and returns its full path.
    wxString Write(const wxString& relative, const std::string& content) const;
    // Makes a directory with its parents and returns its full path.
    wxString MakeDir(const wxString& relative) const;

private:
    wxString path_;
};

// The whole content of a file ("" when missing).
std::string ReadAll(const wxString& path);
bool Exists(const wxString& path);
// How many entries below root (at any depth) carry the name of a write's temporary file.
int TemporariesUnder(const wxString& root);
