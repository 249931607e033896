#pragma once

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/wxsqlite3.h>
#include <wx/xml/xml.h>

#include "exchange/catalog_import.h"
#include "exchange/dralvo_import.h"
#include "exchange/export.h"
#include "store/catalog.h"
#include "store/database.h"
#include "store/file_io.h"
#include "store/text.h"
#include "tests/support/test_env.h"

// A row GUID made from a short tag: the tag padded with dots to 36 characters, so that row
// texts can show the tag again.
inline wxString Guid(const wxString& tag)
{
    return tag + wxString('.', 36 - tag.length());
}

inline wxString TagOf(const wxString& text)
{
    return text.length() == 36 && text.EndsWith("...") ? text.BeforeFirst('.') : text;
}

// Adds one row: "TABLE|tag|COLUMN=value|...". A parent column given as "@tag" names the
// parent row by its tag; a tag "!text" is the GUID text itself (short, empty, hostile).
inline void AddRow(wxSQLite3Database& db, const wxString& row)
{
    wxArrayString parts = wxSplit(row, '|', 0);
    wxString columns = "GUID", values = "?";
    wxArrayString bound;
    bound.Add(parts[1].StartsWith("!") ? parts[1].Mid(1) : Guid(parts[1]));
    for (size_t i = 2; i < parts.size(); ++i) {
        const wxString column = parts[i].BeforeFirst('='), value = parts[i].AfterFirst('=');
        const bool parent = value.StartsWith("@");  // PROJECTID names a row of PROJECT
        columns << ", " << column;
        values << (parent ? ", (select ID from " + column.Left(column.length() - 2) + " where GUID = ?)" : ", ?");
        bound.Add(parent ? Guid(value.Mid(1)) : value);
    }
    wxSQLite3Statement insert = db.PrepareStatement(
        wxString::Format("insert into %s (%s) values (%s)", parts[0], columns, values));
    for (size_t i = 0; i < bound.size(); ++i)
        insert.Bind(static_cast<int>(i) + 1, bound[i]);
    insert.ExecuteUpdate();
}

inline void AddRows(wxSQLite3Database& db, const std::vector<wxString>& rows)
{
    for (const wxString& row : rows)
        AddRow(db, row);
}

// The items of every section of the catalogue's export, each as "section:" and its attribute
// values joined by "|" (GUIDs shown as their tags), sorted; only section when given.
inline std::vector<std::string> Items(wxSQLite3Database& db, const wxString& only = wxString())
{
    wxXmlDocument doc;
    EXPECT_TRUE(ParseCatalogText(ToUtf8(BuildCatalogXml(db)), doc));
    std::vector<std::string> items;
    for (const wxXmlNode* s = doc.GetRoot() ? doc.GetRoot()->GetChildren() : nullptr; s; s = s->GetNext()) {
        for (const wxXmlNode* item = s->GetChildren(); item && (only.empty() || s->GetName() == only);
             item = item->GetNext()) {
            wxString text = only.empty() ? s->GetName() + ":" : wxString();
            for (const wxXmlAttribute* a = item->GetAttributes(); a; a = a->GetNext())
                text << (a == item->GetAttributes() ? "" : "|") << TagOf(a->GetValue());
            items.push_back(ToUtf8(text));
        }
    }
    std::sort(items.begin(), items.end());
    return items;
}

// What an import thread posted: the steps announced, the sum of the steps done, how many
// ends came and the count of failed files the last one gave; and its report lines.
struct ImportEvents {
    int started = -1, progress = 0, finished = 0;
    long failed = -1;
    wxString report;
};

// A catalogue of every kind of row, with a deleted project and rules in steps of 5; its first
// four rows are station s1, medium m1, project p1 and its folder f1.
inline const std::vector<wxString> kCatalogue = {
    "STATION|s1|NAME=alpha|MODIFIED=2024-01-01 10:00:00|DELETED=0",
    "MEDIA|m1|NAME=Stick|MODIFIED=2024-01-01 10:00:00|DELETED=0",
    "PROJECT|p1|CAPTION=Photos|IGNORESIZEOVER=5|BZ2BELOW=1|MODIFIED=2024-01-01 10:00:00|DELETED=0",
    "FOLDER|f1|PROJECTID=@p1|FOLDER=Docs|MODIFIED=2024-01-01 10:00:00|DELETED=0",
    "PROJECT|p2|CAPTION=Work|IGNORESIZEOVER=0|BZ2BELOW=0|MODIFIED=2024-01-02 10:00:00|DELETED=1",
    "FOLDER|f2|PROJECTID=@p2|FOLDER=Mail|MODIFIED=2024-01-01 10:00:00|DELETED=0",
    "STAFOLDER|sf1|FOLDERID=@f1|STATIONID=@s1|FOLDER=/home/a|MODIFIED=2024-01-01 10:00:00|DELETED=0",
    "MEPROJECT|mp1|PROJECTID=@p1|MEDIAID=@m1|FOLDER=sync|MODIFIED=2024-01-01 10:00:00|DELETED=0",
    "ACLRULES|r1|FOLDERID=@f1|FILEMASK=*.txt|NLINE=5|ALLOW=1|MODIFIED=2024-01-01 10:00:00|DELETED=0",
    "ACLRULES|r2|FOLDERID=@f2|FILEMASK=tmp\\|NLINE=10|ALLOW=0|MODIFIED=2024-01-01 10:00:00|DELETED=0",
    "BZ2IGNORE|b1|FILEMASK=*.zip|MODIFIED=2024-01-01 10:00:00|DELETED=0",
};
// The export time of ExportTo: later than every row time of the tests.
inline const std::string kExportTime = "2025-06-01 00:00:00";
inline const std::vector<wxString> kBase(kCatalogue.begin(), kCatalogue.begin() + 4);


// Two catalogues: the local one (catalogDb, station "test-station" of GUID "here") and a
// remote one of another station with the same schema, both without rows but the local station.
class ExchangeTest : public CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        catalogDb.ExecuteUpdate("update STATION set GUID = '" + Guid("here") +
                                "', MODIFIED = '2024-01-01 00:00:00'");
        catalogDb.Backup(dir / "remote.db");
        remote.Open(dir / "remote.db");
        remote.ExecuteUpdate("delete from STATION");
    }

    // Writes the export of db as the catalogue file of a medium directory; returns its path.
    wxString ExportTo(wxSQLite3Database& db, const wxString& medium)
    {
        // An export of the same second would count as not yet made.
        wxString xml = BuildCatalogXml(db);
        xml.replace(xml.Find("export_time=\"") + 13, 19, kExportTime);
        return dir.Write(medium + "/" + kExportFilePlain, ToUtf8(xml));
    }

    // Runs the import thread on the local catalogue and waits for its end (30 s at most).
    ImportEvents Import(const wxArrayString& files, const ImportLimits& limits = ImportLimits())
    {
        ImportEvents seen;
        wxEvtHandler owner;
        owner.Bind(wxEVT_MENU, [&seen](wxCommandEvent& e) {
            seen.started = e.GetId() == ID_IMPORT_STARTED ? e.GetInt() : seen.started;
            seen.progress += e.GetId() == ID_IMPORT_PROGRESS ? e.GetInt() : 0;
            seen.failed = e.GetId() == ID_IMPORT_FINISHED ? e.GetExtraLong() : seen.failed;
            seen.finished += e.GetId() == ID_IMPORT_FINISHED;
        });
        swxDralvoImport thread(&owner, files, databasePath, limits);
        EXPECT_TRUE(thread.Create() == wxTHREAD_NO_ERROR && thread.Run() == wxTHREAD_NO_ERROR);
        for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
             seen.finished == 0 && std::chrono::steady_clock::now() < end; wxMilliSleep(2))
            wxAppConsole::GetInstance()->ProcessPendingEvents();
        thread.Stop();
        thread.Wait();
        wxAppConsole::GetInstance()->ProcessPendingEvents();
        seen.report = wxJoin(thread.Report(), '\n', 0);
        return seen;
    }
    ImportEvents Import(const wxString& file, const ImportLimits& limits = ImportLimits())
    {
        return Import(wxArrayString(1, &file), limits);
    }

    wxSQLite3Database remote;
};
