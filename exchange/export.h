#pragma once

#include <optional>
#include <vector>

#include <wx/string.h>

class wxSQLite3Database;

// The exported catalogue: the whole catalogue as one XML document that another station merges
// (exchange/dralvo_import.h). Parent rows are named by GUID, never by local ID.

// File names at a medium's root: the compressed export, and the plain one written only when
// compression fails.
inline constexpr const char* kExportFileBz2 = "dralvo.xml.bz2";
inline constexpr const char* kExportFilePlain = "dralvo.xml";

// The exported catalogue ready to be written, built and compressed once for every medium.
struct CatalogExportFile {
    const char* name = kExportFileBz2;  // kExportFilePlain when compression failed
    std::vector<char> bytes;             // the compressed document, or its plain UTF-8
};

// Builds the document from catalogDb and compresses it. Nullopt when a statement failed;
// error (when given) then receives a translated sentence naming the cause. GUI thread (it
// reads catalogDb and the station values).
std::optional<CatalogExportFile> PrepareCatalogExport(wxString* error);

// Writes the file to the medium whose root (mount point, ending with "/") is mediumRoot. It
// is written beside its place, put on the device and renamed over it, so a pulled stick
// leaves the previous catalogue or the new one, never none, and a symbolic link at that name
// is replaced, never followed. Then a file or link of the other name is removed, so that no
// older catalogue stays beside the new one. True when the new file is in place and the other
// gone; otherwise error (when given) receives a translated sentence. Any thread.
bool WriteCatalogExport(const CatalogExportFile& file, const wxString& mediumRoot, wxString* error);

// Both steps for one medium (the run dialog's export after a run).
bool ExportCatalogXml(const wxString& mediumRoot, wxString* error);

// The document: the XML declaration, the stylesheet reference to "dralvo.xsl", the root
// "dralvo" with this station's name (stationName), the session start (sessionStart) and the
// current time, and the eight sections station, media, project, folder, stafolder,
// meproject, aclrules, bz2ignore, each row an "item" element whose attributes are the
// select's columns. Throws wxSQLite3Exception when a select fails. Any thread that owns db.
wxString BuildCatalogXml(wxSQLite3Database& db);

// Appends one section: the start tag, one item per row of select, the end tag.
void ExportSection(wxString& document, wxSQLite3Database& db, const char* select,
                   const char* section);

// The text made fit for an XML attribute: "&", "<" and the double quote as entity references,
// tab, line feed and carriage return as character references (so they survive attribute
// normalisation), and every other character that XML 1.0 forbids as U+FFFD.
wxString EscapeAttribute(const wxString& text);
