#include "exchange/catalog_merge.h"

#include <map>
#include <optional>

#include <wx/xml/xml.h>

#include "exchange/bound_statement.h"
#include "exchange/import_values.h"
#include "store/database.h"
#include "store/statements.h"

namespace {

// The key of an item: its GUID and MODIFIED, both required and checked.
struct ItemKey {
    wxString guid;
    wxString modified;
};

std::optional<ItemKey> ReadKey(const wxXmlNode* item)
{
    ItemKey key{GetAttributeOrDefault(item, "GUID", wxString()),
                GetAttributeOrDefault(item, "MODIFIED", wxString())};
    if (!IsImportGuid(key.guid) || !IsImportTime(key.modified))
        return std::nullopt;
    return key;
}

// User text as the windows store it.
wxString ReadText(const wxXmlNode* item, const char* name, const wxString& def)
{
    return EscapeQuotes(GetAttributeOrDefault(item, name, def));
}

std::optional<std::int64_t> ReadNumber(const wxXmlNode* item, const char* name, ImportRange range,
                                       const char* def = "0")
{
    return ParseImportNumber(GetAttributeOrDefault(item, name, def), range);
}

// The element children of a section, in document order.
template <class Visit>
void ForEachItem(const wxXmlNode* section, Visit visit)
{
    for (const wxXmlNode* item = section ? section->GetChildren() : nullptr; item;
         item = item->GetNext()) {
        if (item->GetType() == wxXML_ELEMENT_NODE && !visit(item))
            return;
    }
}

} // namespace

struct CatalogMerge::Statements {
    explicit Statements(wxSQLite3Database& db)
        : findStationByName(db, kSqlImportFindStation),
          insertStation(db, kSqlImportInsertStation),
          updateStation(db, kSqlImportUpdateStation),
          insertMedium(db, kSqlImportInsertMedium),
          updateMedium(db, kSqlImportUpdateMedium),
          insertProject(db, kSqlImportInsertProject),
          updateProject(db, kSqlImportUpdateProject),
          insertFolder(db, kSqlImportInsertFolder),
          updateFolder(db, kSqlImportUpdateFolder),
          insertStationFolder(db, kSqlImportInsertStationFolder),
          updateStationFolder(db, kSqlImportUpdateStationFolder),
          insertMediumProject(db, kSqlImportInsertMediumProject),
          updateMediumProject(db, kSqlImportUpdateMediumProject),
          nextRuleLines(db, kSqlSelectNextRuleLinePerFolder),
          insertRule(db, kSqlImportInsertRule),
          updateRule(db, kSqlImportUpdateRule),
          insertMask(db, kSqlImportInsertIncompressibleMask),
          updateMask(db, kSqlImportUpdateIncompressibleMask),
          lastInsertId(db, kSqlSelectLastInsertRowId)
    {
        for (const char* table : {"STATION", "MEDIA", "PROJECT", "FOLDER", "STAFOLDER", "MEPROJECT",
                                  "ACLRULES", "BZ2IGNORE"})
            findByGuid.emplace(table, std::make_unique<BoundStatement>(db, kSqlImportFindRowByGuid, table));
    }

    void ResetAll() noexcept
    {
        for (auto& [table, find] : findByGuid)
            find->Reset();
        for (BoundStatement* query : {&findStationByName, &nextRuleLines, &lastInsertId})
            query->Reset();
    }

    wxUint32 LastInsertId()
    {
        wxSQLite3ResultSet rows = lastInsertId.Query();
        return rows.NextRow() ? static_cast<wxUint32>(rows.GetInt64(0).GetValue()) : 0;
    }

    std::map<wxString, std::unique_ptr<BoundStatement>> findByGuid;
    BoundStatement findStationByName, insertStation, updateStation;
    BoundStatement insertMedium, updateMedium, insertProject, updateProject;
    BoundStatement insertFolder, updateFolder, insertStationFolder, updateStationFolder;
    BoundStatement insertMediumProject, updateMediumProject;
    BoundStatement nextRuleLines, insertRule, updateRule, insertMask, updateMask;
    BoundStatement lastInsertId;
};

namespace {

LookupResult ReadLookup(wxSQLite3ResultSet rows, wxUint32& id)
{
    if (!rows.NextRow())
        return LOOKUP_NONE;
    id = static_cast<wxUint32>(rows.GetInt64(0).GetValue());
    return rows.GetInt(1) == 1 ? LOOKUP_OLDER : LOOKUP_KEEP;
}

} // namespace

const wxXmlNode** ImportSections::Slot(const wxString& name)
{
    if (name == "station") return &station;
    if (name == "media") return &media;
    if (name == "project") return &project;
    if (name == "folder") return &folder;
    if (name == "stafolder") return &stafolder;
    if (name == "meproject") return &meproject;
    if (name == "aclrules") return &aclrules;
    if (name == "bz2ignore") return &bz2ignore;
    return nullptr;
}

CatalogMerge::CatalogMerge(wxSQLite3Database& db, std::function<void(int)> progress,
                           std::function<bool()> stop)
    : db_(db), progress_(std::move(progress)), stop_(std::move(stop)),
      sql_(std::make_unique<Statements>(db))
{
}

CatalogMerge::~CatalogMerge() = default;

void CatalogMerge::Step()
{
    if (progress_)
        progress_(1);
}

bool CatalogMerge::MergeAll(const ImportSections& s)
{
    // Queries left open would keep the file locked for the windows' connection.
    struct ResetOnExit {
        Statements& sql;
        ~ResetOnExit() { sql.ResetAll(); }
    } resetOnExit{*sql_};
    using Merge = void (CatalogMerge::*)(const wxXmlNode*);
    const std::pair<Merge, const wxXmlNode*> merges[] = {
        {&CatalogMerge::MergeStations, s.station},
        {&CatalogMerge::MergeMedia, s.media},
        {&CatalogMerge::MergeProjects, s.project},
        {&CatalogMerge::MergeFolders, s.folder},
        {&CatalogMerge::MergeStationFolders, s.stafolder},
        {&CatalogMerge::MergeMediumProjects, s.meproject},
        {&CatalogMerge::MergeRules, s.aclrules},
        {&CatalogMerge::MergeIncompressibleMasks, s.bz2ignore},
    };
    for (const auto& [merge, section] : merges) {
        (this->*merge)(section);
        if (Stopped())
            return false;
    }
    return true;
}

LookupResult CatalogMerge::LookupRowByGuid(const char* table, const wxString& modified,
                                           const wxString& guid, wxUint32& id)
{
    return ReadLookup(sql_->findByGuid.at(table)->Query(modified, guid), id);
}

LookupResult CatalogMerge::LookupStationRow(const wxString& modified, const wxString& guid,
                                            const wxString& name, wxUint32& id)
{
    // The GUID first: a same-named other station must not capture the row.
    const LookupResult byGuid = LookupRowByGuid("STATION", modified, guid, id);
    if (byGuid != LOOKUP_NONE)
        return byGuid;
    return ReadLookup(sql_->findStationByName.Query(modified, guid, name), id);
}

wxUint32 CatalogMerge::ResolveParent(const StringIdMap& map, const char* table, const wxString& guid)
{
    if (!IsImportGuid(guid))
        return 0;
    if (const auto found = map.find(guid); found != map.end())
        return found->second;
    wxUint32 id = 0;
    return LookupRowByGuid(table, wxString(), guid, id) == LOOKUP_NONE ? 0 : id;
}

template <class Update, class Insert>
wxUint32 CatalogMerge::Apply(LookupResult found, wxUint32 id, const Update& update, const Insert& insert)
{
    if (found == LOOKUP_OLDER) {
        update(id);
    } else if (found == LOOKUP_NONE) {
        insert();
        id = sql_->LastInsertId();
    }
    return id;
}

void CatalogMerge::MergeStations(const wxXmlNode* section)
{
    stationMap.clear();
    ForEachItem(section, [this](const wxXmlNode* item) {
        const auto key = ReadKey(item);
        const wxString name = ReadText(item, "NAME", "Unknown");
        const auto deleted = ReadNumber(item, "DELETED", kFlagRange);
        if (key && deleted) {
            wxUint32 id = 0;
            const LookupResult found = LookupStationRow(key->modified, key->guid, name, id);
            stationMap[key->guid] = Apply(
                found, id,
                [&](wxUint32 row) { sql_->updateStation.Update(key->guid, name, key->modified, *deleted, row); },
                [&] { sql_->insertStation.Update(key->guid, name, key->modified, *deleted); });
        }
        return !Stopped();
    });
    Step();
}

void CatalogMerge::MergeMedia(const wxXmlNode* section)
{
    mediumMap.clear();
    ForEachItem(section, [this](const wxXmlNode* item) {
        const auto key = ReadKey(item);
        const wxString name = ReadText(item, "NAME", "Unknown");
        const auto deleted = ReadNumber(item, "DELETED", kFlagRange);
        if (key && deleted) {
            wxUint32 id = 0;
            const LookupResult found = LookupRowByGuid("MEDIA", key->modified, key->guid, id);
            // An update keeps the medium's GUID: the drives carry it in their markers.
            mediumMap[key->guid] = Apply(
                found, id, [&](wxUint32 row) { sql_->updateMedium.Update(name, key->modified, *deleted, row); },
                [&] { sql_->insertMedium.Update(key->guid, name, key->modified, *deleted); });
        }
        return !Stopped();
    });
    Step();
}

void CatalogMerge::MergeProjects(const wxXmlNode* section)
{
    projectMap.clear();
    ForEachItem(section, [this](const wxXmlNode* item) {
        const auto key = ReadKey(item);
        const auto ignoreOver = ReadNumber(item, "IGNORESIZEOVER", kSizeRange);
        const auto compressBelow = ReadNumber(item, "BZ2BELOW", kSizeRange);
        const auto deleted = ReadNumber(item, "DELETED", kFlagRange);
        if (key && ignoreOver && compressBelow && deleted) {
            const wxString caption = ReadText(item, "CAPTION", key->guid);
            wxUint32 id = 0;
            const LookupResult found = LookupRowByGuid("PROJECT", key->modified, key->guid, id);
            projectMap[key->guid] = Apply(
                found, id,
                [&](wxUint32 row) {
                    sql_->updateProject.Update(caption, *ignoreOver, *compressBelow, key->modified, *deleted, row);
                },
                [&] {
                    sql_->insertProject.Update(key->guid, caption, *ignoreOver, *compressBelow, key->modified,
                                               *deleted);
                });
        }
        return !Stopped();
    });
    Step();
}

void CatalogMerge::MergeFolders(const wxXmlNode* section)
{
    folderMap.clear();
    ForEachItem(section, [this](const wxXmlNode* item) {
        const auto key = ReadKey(item);
        const auto deleted = ReadNumber(item, "DELETED", kFlagRange);
        const wxUint32 projectId = ResolveParent(projectMap, "PROJECT", GetAttributeOrDefault(item, "PROJECTID", wxString()));
        if (key && deleted && projectId != 0) {
            const wxString name = ReadText(item, "FOLDER", key->guid);
            wxUint32 id = 0;
            const LookupResult found = LookupRowByGuid("FOLDER", key->modified, key->guid, id);
            folderMap[key->guid] = Apply(
                found, id,
                [&](wxUint32 row) { sql_->updateFolder.Update(name, projectId, key->modified, *deleted, row); },
                [&] { sql_->insertFolder.Update(key->guid, name, projectId, key->modified, *deleted); });
        }
        return !Stopped();
    });
    Step();
}

void CatalogMerge::MergeStationFolders(const wxXmlNode* section)
{
    MergeLocations(section, "STAFOLDER", {stationMap, "STATION", "STATIONID"},
                   {folderMap, "FOLDER", "FOLDERID"}, sql_->updateStationFolder,
                   sql_->insertStationFolder);
}

void CatalogMerge::MergeMediumProjects(const wxXmlNode* section)
{
    MergeLocations(section, "MEPROJECT", {projectMap, "PROJECT", "PROJECTID"},
                   {mediumMap, "MEDIA", "MEDIAID"}, sql_->updateMediumProject,
                   sql_->insertMediumProject);
}

void CatalogMerge::MergeLocations(const wxXmlNode* section, const char* table,
                                  const ParentRef& first, const ParentRef& second,
                                  BoundStatement& update, BoundStatement& insert)
{
    ForEachItem(section, [&](const wxXmlNode* item) {
        const auto key = ReadKey(item);
        const auto deleted = ReadNumber(item, "DELETED", kFlagRange);
        const auto parent = [&](const ParentRef& ref) {
            return ResolveParent(ref.map, ref.table,
                                 GetAttributeOrDefault(item, ref.attribute, wxString()));
        };
        const wxUint32 firstId = parent(first);
        const wxUint32 secondId = parent(second);
        if (key && deleted && firstId != 0 && secondId != 0) {
            const wxString location = ReadText(item, "FOLDER", key->guid);
            wxUint32 id = 0;
            const LookupResult found = LookupRowByGuid(table, key->modified, key->guid, id);
            Apply(
                found, id,
                [&](wxUint32 row) {
                    update.Update(location, firstId, secondId, key->modified, *deleted, row);
                },
                [&] {
                    insert.Update(key->guid, location, firstId, secondId, key->modified, *deleted);
                });
        }
        return !Stopped();
    });
    Step();
}

void CatalogMerge::MergeRules(const wxXmlNode* section)
{
    // The next free line of every folder that has rules here; new rules go after them.
    std::map<wxUint32, std::int64_t> nextLine;
    {
        wxSQLite3ResultSet rows = sql_->nextRuleLines.Query();
        while (rows.NextRow()) {
            if (!rows.IsNull(1))
                nextLine[static_cast<wxUint32>(rows.GetInt64(0).GetValue())] = rows.GetInt64(1).GetValue();
        }
    }
    ForEachItem(section, [this, &nextLine](const wxXmlNode* item) {
        const auto key = ReadKey(item);
        const auto allow = ReadNumber(item, "ALLOW", kFlagRange);
        const auto deleted = ReadNumber(item, "DELETED", kFlagRange);
        const wxString lineText = GetAttributeOrDefault(item, "NLINE", wxString());
        const auto line = ParseImportNumber(lineText, kLineRange);
        const wxUint32 folderId = ResolveParent(folderMap, "FOLDER", GetAttributeOrDefault(item, "FOLDERID", wxString()));
        if (key && allow && deleted && (line || lineText.empty()) && folderId != 0) {
            const wxString mask = ReadText(item, "FILEMASK", key->guid);
            wxUint32 id = 0;
            const LookupResult found = LookupRowByGuid("ACLRULES", key->modified, key->guid, id);
            Apply(
                found, id,
                [&](wxUint32 row) {
                    sql_->updateRule.Update(mask, folderId, line.value_or(0), *allow, key->modified, *deleted, row);
                },
                [&] {
                    std::int64_t newLine = line.value_or(5);
                    if (const auto next = nextLine.find(folderId); next != nextLine.end()) {
                        newLine = next->second;
                        next->second += 5;
                    }
                    sql_->insertRule.Update(key->guid, mask, folderId, newLine, *allow, key->modified, *deleted);
                });
        }
        return !Stopped();
    });
    Step();
}

void CatalogMerge::MergeIncompressibleMasks(const wxXmlNode* section)
{
    ForEachItem(section, [this](const wxXmlNode* item) {
        const auto key = ReadKey(item);
        const auto deleted = ReadNumber(item, "DELETED", kFlagRange);
        if (key && deleted) {
            const wxString mask = ReadText(item, "FILEMASK", key->guid);
            wxUint32 id = 0;
            const LookupResult found = LookupRowByGuid("BZ2IGNORE", key->modified, key->guid, id);
            Apply(
                found, id, [&](wxUint32 row) { sql_->updateMask.Update(mask, key->modified, *deleted, row); },
                [&] { sql_->insertMask.Update(key->guid, mask, key->modified, *deleted); });
        }
        return !Stopped();
    });
    Step();
}

bool FixRuleLineDuplicates(wxSQLite3Database& db, int maxPasses)
{
    BoundStatement duplicates(db, kSqlSelectDuplicateRuleLines);
    BoundStatement nextLine(db, kSqlSelectNextRuleLine);
    BoundStatement setLine(db, kSqlUpdateRuleLine);
    WriteTransaction transaction(db);
    bool clean = false;
    for (int pass = 0; pass < maxPasses && !clean; ++pass) {
        std::vector<std::pair<std::int64_t, std::int64_t>> moves; // rule ID, folder ID
        {
            wxSQLite3ResultSet rows = duplicates.Query();
            while (rows.NextRow())
                moves.emplace_back(rows.GetInt64(0).GetValue(), rows.GetInt64(1).GetValue());
        }
        clean = moves.empty();
        for (const auto& [ruleId, folderId] : moves) {
            wxSQLite3ResultSet rows = nextLine.Query(folderId);
            if (rows.NextRow() && !rows.IsNull(0)) {
                setLine.Update(rows.GetInt64(0).GetValue(), ruleId);
            }
        }
    }
    transaction.Commit();
    return clean;
}
