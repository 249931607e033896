#pragma once

#include <wx/string.h>

class wxSQLite3Database;

// The exported catalogue: the whole catalogue as one XML document that another station merges
// (exchange/dralvo_import.h). Parent rows are named by GUID, never by local ID.

// File names at a medium's root: the compressed export, and the plain one written only when
// compression fails.
inline constexpr const char* kExportFileBz2 = "dralvo.xml.bz2";
inline constexpr const char* kExportFilePlain = "dralvo.xml";

// Exports the catalogue (catalogDb) to the medium whose root (mount point, ending with "/")
// is mediumRoot: "dralvo.xml.bz2", or "dralvo.xml" when compression fails. The file is
// written beside its place and renamed over it, so a pulled stick leaves the previous
// catalogue or the new one, never none, and a symbolic link at that name is replaced, never
// followed. The file of the other name is not touched.
// True when the new file is in place. False when a statement failed or the file could not be
// written; error (when given) then receives a translated sentence naming the cause.
// The run dialog's export after a run and the main window's export command both call it.
// GUI thread (it reads catalogDb and the station values).
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
