#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <wx/string.h>

#include "exchange/catalog_merge.h"

class wxSQLite3Database;
class wxXmlDocument;

// Loading, checking and merging one exported catalogue file. Files on a medium are untrusted:
// reads are bounded, the text is checked in one linear pass before the parser sees it, the
// parser reads the UTF-8 bytes as they are, and each file is merged in one transaction, all
// or nothing. A stop request is seen while decompressing, checking and parsing.

// Bounds of what an import reads. A catalogue of 1,500 projects is about 3.6 MB of text.
struct ImportLimits {
    std::size_t maxCompressedBytes = std::size_t{32} << 20; // a ".bz2" file
    std::uint64_t maxTextBytes = std::uint64_t{64} << 20;   // a plain file or a decompressed text
    std::size_t maxTokenBytes = std::size_t{64} << 10;      // a name, value, text or comment
    // The parsed document, estimated from its nodes and characters: 100,000 rules take about
    // 180 MiB, so that a text at the limit cannot take more memory than the import may.
    std::uint64_t maxTreeBytes = std::uint64_t{192} << 20;
};

// Why a file was not merged.
enum class ImportRefusal {
    None,
    Unreadable,     // missing, not a regular file, a link, unreadable
    TooLarge,       // beyond maxCompressedBytes, maxTextBytes or maxTreeBytes
    Damaged,        // a ".bz2" file that does not decompress cleanly
    NotUtf8,        // another byte-order mark, a NUL byte or another declared encoding
    Doctype,        // a document type declaration anywhere
    LongToken,      // a name, value, text or comment beyond maxTokenBytes
    TooDeep,        // elements nested deeper than kMaxImportDepth
    Malformed,      // not well-formed XML
    NotACatalogue,  // the root check failed
    Stopped,        // a stop request ended the reading
};

// The translated sentence that tells the user why a file was refused (None, Stopped: empty).
wxString ImportRefusalText(ImportRefusal refusal);

// The bytes of a catalogue file: a ".bz2" name (any case) is decompressed, every stream
// complete and within the text limit. Only a regular file is read (never through a symbolic
// link, never a FIFO or device). Nullopt when the file is refused or unreadable, with the
// reason in refusal (when given). Any thread.
std::optional<std::string> ReadCatalogFile(const wxString& path, const ImportLimits& limits,
                                           ImportRefusal* refusal = nullptr,
                                           const std::function<bool()>& stop = {});

// The linear check of a text before parsing: UTF-8 only (a UTF-8 byte-order mark at most, no
// NUL byte, no other declared encoding), no DOCTYPE anywhere, no token beyond the limit, no
// nesting deeper than kMaxImportDepth, no document larger than the tree limit. None when the
// text may be parsed.
inline constexpr int kMaxImportDepth = 16;
ImportRefusal CheckCatalogText(std::string_view utf8, const ImportLimits& limits,
                               const std::function<bool()>& stop = {});

// Checks the text and parses its bytes into doc. False (doc then means nothing, refusal gets
// the reason) for a text that CheckCatalogText refuses or that is not well-formed. Logs
// nothing. Any thread.
bool ParseCatalogText(std::string_view utf8, wxXmlDocument& doc, ImportRefusal* refusal = nullptr,
                      const ImportLimits& limits = ImportLimits(),
                      const std::function<bool()>& stop = {});

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
    ImportOutcome ImportText(std::string_view utf8);
    // Why the last file was not merged, translated; empty after a merge or a stop.
    const wxString& Reason() const { return reason_; }

private:
    ImportOutcome Refuse(ImportRefusal refusal);
    ImportOutcome Merge(const wxXmlDocument& doc);
    void Progress(int steps) const;
    bool Stopped() const { return stop_ && stop_(); }

    wxSQLite3Database& db_;
    ImportLimits limits_;
    std::function<void(int)> progress_;
    std::function<bool()> stop_;
    int stepsDone_ = 0;  // steps reported for the file being merged
    wxString reason_;
    std::unique_ptr<CatalogMerge> merge_;
};
