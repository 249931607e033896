#pragma once

#include <string>

#include <wx/string.h>

// A fresh directory under base (by default the system's temporary directory), removed with
// everything in it.
class TempDir {
public:
    explicit TempDir(const std::string& base = std::string());
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

// A base for TempDir on memory (/dev/shm) when there is one, else "". For catalogues: SQLite
// flushes every commit, and on a disk that other work keeps busy one flush can stall a test for
// a minute; nothing a test checks depends on the catalogue's file system.
std::string MemoryTempBase();

// The whole content of a file ("" when missing).
std::string ReadAll(const wxString& path);
bool Exists(const wxString& path);
// How many entries below root (at any depth) carry the name of a write's temporary file.
int TemporariesUnder(const wxString& root);
