#pragma once

#include <functional>
#include <memory>

#include <wx/string.h>

#include "exchange/string_id_map.h"

class BoundStatement;
class wxSQLite3Database;
class wxXmlNode;

// The eight sections of a loaded catalogue document (elements owned by the document); null
// when the document has no such section.
struct ImportSections {
    const wxXmlNode* station = nullptr;
    const wxXmlNode* media = nullptr;
    const wxXmlNode* project = nullptr;
    const wxXmlNode* folder = nullptr;
    const wxXmlNode* stafolder = nullptr;
    const wxXmlNode* meproject = nullptr;
    const wxXmlNode* aclrules = nullptr;
    const wxXmlNode* bz2ignore = nullptr;
    // The file's export time as "%Y-%m-%d %H:%M:%S"; no item can be newer. Empty: unknown.
    wxString exportTime;

    // The member for a section element's lower-cased name, or null for any other name.
    const wxXmlNode** Slot(const wxString& name);
};

// Result of a row lookup.
enum LookupResult {
    LOOKUP_NONE = 0,   // no local row
    LOOKUP_OLDER = 1,  // a local row whose MODIFIED is earlier: update it
    LOOKUP_KEEP = 2,   // a local row as new or newer (or without a time): leave it
};

// Merges the sections of imported catalogues into the catalogue behind db, row by row: a row
// unknown here is inserted, a row older here is updated, any other is left alone. Rows match
// by GUID (a station by GUID, else by name); parent rows arrive as GUIDs and are translated
// through the maps that the parent merges fill, else found by GUID in the catalogue.
// Every value is validated and bound, never pasted: an element with a missing, short or long
// GUID, a MODIFIED that is no real time in the catalogue's form or lies after the export,
// a flag other than 0 or 1, a size outside 0..2^31-1, a line number beyond +-1e9 or a parent
// found nowhere is skipped. CAPTION, NAME, FOLDER and FILEMASK are stored with single quotes
// made double quotes, as the windows store them. The row of the station this program runs
// as (stationId) is never changed, nor are its locations (STAFOLDER); a location of this
// station that it lacks is added. Runs no transaction of its own (the caller wraps each file
// in one). One thread; db must outlive the object.
class CatalogMerge {
public:
    // progress(steps) is called once after each merge; stop() is asked between elements and
    // between merges.
    CatalogMerge(wxSQLite3Database& db, std::function<void(int)> progress, std::function<bool()> stop);
    ~CatalogMerge();

    // The eight merges in parent-first order. False when stop() ended it early. Throws
    // wxSQLite3Exception when a statement fails.
    bool MergeAll(const ImportSections& sections);

    // Each merge walks the item elements of its section (null: none) and posts one step.
    void MergeStations(const wxXmlNode* section);
    void MergeMedia(const wxXmlNode* section);
    void MergeProjects(const wxXmlNode* section);
    void MergeFolders(const wxXmlNode* section);
    void MergeStationFolders(const wxXmlNode* section);
    void MergeMediumProjects(const wxXmlNode* section);
    void MergeRules(const wxXmlNode* section);
    void MergeIncompressibleMasks(const wxXmlNode* section);

    // A station by GUID, else (when no row has that GUID) by a name that is not empty.
    // Reports the ID through id; this computer's own row is always LOOKUP_KEEP.
    LookupResult LookupStationRow(const wxString& modified, const wxString& guid,
                                  const wxString& name, wxUint32& id);
    // A row of table (a catalogue table name) by GUID.
    LookupResult LookupRowByGuid(const char* table, const wxString& modified, const wxString& guid,
                                 wxUint32& id);

private:
    struct Statements;
    // A parent named in an attribute by GUID, translated through map or found in table.
    struct ParentRef {
        const StringIdMap& map;
        const char* table;
        const char* attribute;
    };

    // What one valid item writes: the name a station is also matched by, and its statements.
    struct ItemWrite {
        wxString name;
        std::function<void(wxUint32)> update;  // a row older here, by ID
        std::function<void()> insert;          // no row here
    };

    // The step every merge shares: for each item with a valid key and DELETED flag that read
    // (item, key, deleted) turns into an ItemWrite, finds the row in table and inserts it or
    // updates it as its age says; a parent merge records the row's ID in map. One step posted.
    template <class Read>
    void MergeSection(const wxXmlNode* section, const char* table, StringIdMap* map,
                      const Read& read);
    // Whether a location may be written under its parents (first, second): over the local row
    // (ID), or as a new row when the ID is 0.
    using LocationCheck = std::function<bool(wxUint32 row, wxUint32 first, wxUint32 second)>;
    // The location rows under two parents (a station folder, a project on a medium); update and
    // insert take the parents in the order first, second. A row that check refuses is skipped.
    void MergeLocations(const wxXmlNode* section, const char* table, const ParentRef& first,
                        const ParentRef& second, BoundStatement& update, BoundStatement& insert,
                        const LocationCheck& check = {});
    // This station's locations are where its runs read and delete: an import may give it one
    // that it lacks (a station installed again), never change one that it has.
    bool MayWriteStationFolder(wxUint32 row, wxUint32 station, wxUint32 folder);

    bool Stopped() const { return stop_ && stop_(); }
    void Step();
    // The local ID of the parent that item names by GUID: from the map, else from the table;
    // 0 when unknown.
    wxUint32 ResolveParent(const wxXmlNode* item, const ParentRef& parent);

    wxSQLite3Database& db_;
    std::function<void(int)> progress_;
    std::function<bool()> stop_;
    std::unique_ptr<Statements> sql_;
    StringIdMap stationMap;
    StringIdMap mediumMap;
    StringIdMap projectMap;
    StringIdMap folderMap;
    wxString latest_;  // the export time of the file being merged
};

// Renumbers the rule lines that collide within a folder, all in one transaction, with the
// result of moving, pass after pass, the rule with the highest ID of each colliding group to 5
// past the folder's highest line until no group is left; in time n log n, whatever the lines.
// Throws wxSQLite3Exception (the transaction is then rolled back).
void FixRuleLineDuplicates(wxSQLite3Database& db);
