#include "exchange/export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <wx/datetime.h>
#include <wx/intl.h>
#include <wx/wxsqlite3.h>

#include "store/bzip2.h"
#include "store/catalog.h"
#include "store/database.h"
#include "store/file_io.h"
#include "store/text.h"

namespace {

struct SectionSelect {
    const char* section;
    const char* select;
};

// One select per synchronised table, parents first; parent IDs become the parents' GUIDs, and
// a child whose parent row is missing is left out by the inner joins.
constexpr SectionSelect kSections[] = {
    {"station", " select GUID, NAME, MODIFIED, DELETED from STATION order by ID"},
    {"media", "select GUID, NAME, MODIFIED, DELETED from MEDIA order by ID"},
    {"project", "select GUID, CAPTION, IGNORESIZEOVER, BZ2BELOW, MODIFIED, DELETED from PROJECT order by ID"},
    {"folder", "select F.GUID, F.FOLDER, F.MODIFIED, F.DELETED, P.GUID as PROJECTID from FOLDER F  join PROJECT P on P.ID = F.PROJECTID order by F.ID"},
    {"stafolder", "select SF.GUID, SF.FOLDER, SF.MODIFIED, SF.DELETED,  F.GUID as FOLDERID, S.GUID as STATIONID from STAFOLDER SF  join FOLDER F on F.ID = SF.FOLDERID  join STATION S on S.ID = SF.STATIONID order by SF.ID"},
    {"meproject", "select MP.GUID, MP.FOLDER, MP.MODIFIED, MP.DELETED,  P.GUID as PROJECTID, M.GUID as MEDIAID from MEPROJECT MP  join PROJECT P on P.ID = MP.PROJECTID  join MEDIA M on M.ID = MP.MEDIAID order by MP.ID"},
    {"aclrules", "select A.GUID, A.FILEMASK, A.NLINE, A.ALLOW, A.MODIFIED, A.DELETED, F.GUID as FOLDERID from ACLRULES A  join FOLDER F on F.ID = A.FOLDERID order by A.ID"},
    {"bz2ignore", "select GUID, FILEMASK, MODIFIED, DELETED from BZ2IGNORE order by ID"},
};

wxString TimeOrNull(const wxDateTime& t)
{
    return t.IsValid() ? t.Format("%Y-%m-%d %H:%M:%S") : wxString("NULL");
}

bool IsXmlChar(wxUint32 c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

wxString WriteFailure(const wxString& path, int error)
{
    return wxString::Format(_("The catalogue could not be written to %s: %s"), path,
                            wxString::FromUTF8(std::strerror(error != 0 ? error : EIO)));
}

// Removes the export of the other name, which an import elsewhere would otherwise still take
// (the compressed one first). Only a file or a link of exactly that name goes, a link itself
// and never its target; a directory stays, as imports pass it over. The removal is put on the
// device at once, as the new file was. False (errno set) when it stays.
bool RemoveOtherExport(const wxString& mediumRoot, const char* name)
{
    const std::string path = NativePath(mediumRoot + name);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT;
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return true;
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return false;
    const int root = ::open(NativePath(mediumRoot).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root >= 0) {
        ::fsync(root);
        ::close(root);
    }
    return true;
}

} // namespace

wxString EscapeAttribute(const wxString& text)
{
    wxString escaped;
    escaped.reserve(text.length());
    for (const wxUniChar ch : text) {
        const wxUint32 c = ch.GetValue();
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '"': escaped += "&quot;"; break;
        // A parser turns these into blanks unless they arrive as references.
        case '\t': escaped += "&#9;"; break;
        case '\n': escaped += "&#10;"; break;
        case '\r': escaped += "&#13;"; break;
        default: escaped += IsXmlChar(c) ? ch : wxUniChar(0xFFFD); break;
        }
    }
    return escaped;
}

void ExportSection(wxString& document, wxSQLite3Database& db, const char* select,
                   const char* section)
{
    document << "\n  <" << section << ">";
    wxSQLite3ResultSet rows = db.ExecuteQuery(select);
    const int columns = rows.GetColumnCount();
    while (rows.NextRow()) {
        document << "\n" << "    <item";
        for (int i = 0; i < columns; ++i)
            document << " " << rows.GetColumnName(i) << "=\"" << EscapeAttribute(rows.GetAsString(i))
                     << "\"";
        document << "/>";
    }
    document << "\n  </" << section << ">";
}

wxString BuildCatalogXml(wxSQLite3Database& db)
{
    wxString document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    document << "\n<?xml-stylesheet type=\"text/xsl\" href=\"dralvo.xsl\"?>";
    document << wxString::Format("\n<dralvo station=\"%s\" session_start=\"%s\" export_time=\"%s\">",
                                 EscapeAttribute(stationName), TimeOrNull(sessionStart),
                                 TimeOrNull(wxDateTime::Now()));
    for (const SectionSelect& s : kSections)
        ExportSection(document, db, s.select, s.section);
    document << "\n</dralvo>";
    return document;
}

std::optional<CatalogExportFile> PrepareCatalogExport(wxString* error)
{
    std::string xml;
    try {
        xml = ToUtf8(BuildCatalogXml(catalogDb));
    } catch (const wxSQLite3Exception& e) {
        if (error)
            *error = wxString::Format(_("The catalogue could not be read: %s"), e.GetMessage());
        return std::nullopt;
    }
    CatalogExportFile file;
    if (auto compressed = CompressBytesBz2(xml)) {
        file.bytes = std::move(*compressed);
    } else {
        file.name = kExportFilePlain;
        file.bytes.assign(xml.begin(), xml.end());
    }
    return file;
}

bool WriteCatalogExport(const CatalogExportFile& file, const wxString& mediumRoot, wxString* error)
{
    const wxString path = mediumRoot + file.name;
    errno = 0;
    if (!WriteBinaryFileFlushed(path, file.bytes.data(), file.bytes.size())) {
        if (error)
            *error = WriteFailure(path, errno);
        return false;
    }
    const char* other =
        std::strcmp(file.name, kExportFileBz2) == 0 ? kExportFilePlain : kExportFileBz2;
    if (!RemoveOtherExport(mediumRoot, other)) {
        const int cause = errno != 0 ? errno : EIO;
        if (error)
            *error = wxString::Format(_("The old catalogue %s could not be removed: %s"),
                                      mediumRoot + other, wxString::FromUTF8(std::strerror(cause)));
        return false;
    }
    if (error)
        *error = wxString();
    return true;
}

bool ExportCatalogXml(const wxString& mediumRoot, wxString* error)
{
    const auto file = PrepareCatalogExport(error);
    return file && WriteCatalogExport(*file, mediumRoot, error);
}
