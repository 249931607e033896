#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <wx/string.h>

#include "exchange/catalog_merge.h"

class wxSQLite3Database;
class wxXmlDocument;

// Loading, checking and merging one exported catalogue file. Files on a medium are untrusted:
// reads are bounded, a document with a DOCTYPE or nested deeper than an export is refused,
// and each file is merged in one transaction, all or nothing.

// Bounds of what an import reads.
struct ImportLimits {
    std::size_t maxCompressedBytes = std::size_t{32} << 20; // a ".bz2" file
    std::uint64_t maxTextBytes = std::uint64_t{256} << 20;  // a plain file or a decompressed text
};

// The UTF-8 text of a catalogue file: a ".bz2" name (any case) is decompressed, every stream
// complete and within the text limit. Only a regular file is read (never through a symbolic
// link, never a FIFO or device). Nullopt when the file is refused or unreadable. Any thread.
std::optional<std::string> ReadCatalogFile(const wxString& path, const ImportLimits& limits);

// Parses the text into doc. False (doc then means nothing) for text that is not well-formed,
// carries a DOCTYPE or nests elements deeper than kMaxImportDepth. Logs nothing. Any thread.
inline constexpr int kMaxImportDepth = 16;
bool ParseCatalogText(const std::string& utf8, wxXmlDocument& doc);

// True when doc is an acceptable exported catalogue: its root is named exactly "dralvo", its
// "export_time" parses as a date and time strictly earlier than now, and it has at least one
// child element. Sets the sections from the children (lower-cased names; a later one replaces
// an earlier one; others ignored). False, too, when stop() says so while the children are read.
bool CheckImportRoot(const wxXmlDocument& doc, ImportSections& sections,
                     const std::function<bool()>& stop = {});

enum class ImportOutcome {
    Merged,    // the file's rows are in the catalogue
    Rejected,  // unreadable, refused or not an exported catalogue: nothing changed
    Failed,    // a statement failed: the file was rolled back
    Stopped,   // stop() ended it: the file was rolled back
};

// Merges files into the catalogue behind db (the caller's own connection). progress(steps)
// receives 8 steps per file in all for a merged, rejected or failed file (fewer when stopped).
// One thread; db must outlive the object.
class CatalogImport {
public:
    CatalogImport(wxSQLite3Database& db, const ImportLimits& limits,
                  std::function<void(int)> progress, std::function<bool()> stop);
    ~CatalogImport();

    ImportOutcome ImportFile(const wxString& path);
    // The same for a text already read (as UTF-8).
    ImportOutcome ImportText(const std::string& utf8);

private:
    void Progress(int steps) const;
    bool Stopped() const { return stop_ && stop_(); }

    wxSQLite3Database& db_;
    ImportLimits limits_;
    std::function<void(int)> progress_;
    std::function<bool()> stop_;
    int stepsDone_ = 0;  // steps reported for the file being merged
    std::unique_ptr<CatalogMerge> merge_;
};
