#include "exchange/catalog_merge.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>
#include <optional>

#include <wx/xml/xml.h>

#include "exchange/bound_statement.h"
#include "exchange/import_values.h"
#include "store/catalog.h"
#include "store/database.h"
#include "store/statements.h"

namespace {

// The key of an item: its GUID and MODIFIED, both required and checked.
struct ItemKey {
    wxString guid;
    wxString modified;
};

// A time later than the file's export (latest, when known) cannot be true.
std::optional<ItemKey> ReadKey(const wxXmlNode* item, const wxString& latest)
{
    ItemKey key{GetAttributeOrDefault(item, "GUID", wxString()),
                GetAttributeOrDefault(item, "MODIFIED", wxString())};
    if (!IsImportGuid(key.guid) || !IsImportTime(key.modified) ||
        (!latest.empty() && key.modified > latest))
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
          stationOfLocation(db, kSqlImportSelectLocationStation),
          stationFolder(db, kSqlSelectStationFolder),
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
        for (BoundStatement* query : {&findStationByName, &stationOfLocation, &stationFolder,
                                      &nextRuleLines, &lastInsertId})
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
    BoundStatement stationOfLocation, stationFolder;
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
    latest_ = s.exportTime;
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
    // The GUID first: a same-named other station must not capture the row. A name never
    // matches when empty, and this computer's own row is never taken over.
    LookupResult found = LookupRowByGuid("STATION", modified, guid, id);
    if (found == LOOKUP_NONE && !name.empty())
        found = ReadLookup(sql_->findStationByName.Query(modified, guid, name), id);
    return found != LOOKUP_NONE && id == stationId ? LOOKUP_KEEP : found;
}

wxUint32 CatalogMerge::ResolveParent(const wxXmlNode* item, const ParentRef& parent)
{
    const wxString guid = GetAttributeOrDefault(item, parent.attribute, wxString());
    if (!IsImportGuid(guid))
        return 0;
    if (const auto found = parent.map.find(guid); found != parent.map.end())
        return found->second;
    // A parent that this file does not carry may be known here already.
    wxUint32 id = 0;
    return LookupRowByGuid(parent.table, wxString(), guid, id) == LOOKUP_NONE ? 0 : id;
}

template <class Read>
void CatalogMerge::MergeSection(const wxXmlNode* section, const char* table, StringIdMap* map,
                                const Read& read)
{
    if (map)
        map->clear();
    ForEachItem(section, [&](const wxXmlNode* item) {
        const auto key = ReadKey(item, latest_);
        const auto deleted = ReadNumber(item, "DELETED", kFlagRange);
        const std::optional<ItemWrite> write =
            key && deleted ? read(item, *key, *deleted) : std::nullopt;
        if (write) {
            wxUint32 id = 0;
            const LookupResult found =
                map == &stationMap ? LookupStationRow(key->modified, key->guid, write->name, id)
                                   : LookupRowByGuid(table, key->modified, key->guid, id);
            if (found == LOOKUP_OLDER) {
                write->update(id);
            } else if (found == LOOKUP_NONE) {
                write->insert();
                id = sql_->LastInsertId();
            }
            if (map)
                (*map)[key->guid] = id;
        }
        return !Stopped();
    });
    Step();
}

void CatalogMerge::MergeStations(const wxXmlNode* section)
{
    MergeSection(section, "STATION", &stationMap, [this](const wxXmlNode* item, const ItemKey& key,
                                                         std::int64_t deleted) {
        const wxString name = ReadText(item, "NAME", "Unknown");
        return std::optional<ItemWrite>(ItemWrite{
            name,
            [=, this](wxUint32 row) {
                sql_->updateStation.Update(key.guid, name, key.modified, deleted, row);
            },
            [=, this] { sql_->insertStation.Update(key.guid, name, key.modified, deleted); }});
    });
}

void CatalogMerge::MergeMedia(const wxXmlNode* section)
{
    MergeSection(section, "MEDIA", &mediumMap, [this](const wxXmlNode* item, const ItemKey& key,
                                                      std::int64_t deleted) {
        const wxString name = ReadText(item, "NAME", "Unknown");
        // An update keeps the medium's GUID: the drives carry it in their markers.
        return std::optional<ItemWrite>(ItemWrite{
            {},
            [=, this](wxUint32 row) {
                sql_->updateMedium.Update(name, key.modified, deleted, row);
            },
            [=, this] { sql_->insertMedium.Update(key.guid, name, key.modified, deleted); }});
    });
}

void CatalogMerge::MergeProjects(const wxXmlNode* section)
{
    MergeSection(section, "PROJECT", &projectMap, [this](const wxXmlNode* item, const ItemKey& key,
                                                         std::int64_t deleted) {
        const auto over = ReadNumber(item, "IGNORESIZEOVER", kSizeRange);
        const auto below = ReadNumber(item, "BZ2BELOW", kSizeRange);
        if (!over || !below)
            return std::optional<ItemWrite>();
        const wxString caption = ReadText(item, "CAPTION", key.guid);
        return std::optional<ItemWrite>(ItemWrite{
            {},
            [=, this](wxUint32 row) {
                sql_->updateProject.Update(caption, *over, *below, key.modified, deleted, row);
            },
            [=, this] {
                sql_->insertProject.Update(key.guid, caption, *over, *below, key.modified, deleted);
            }});
    });
}

void CatalogMerge::MergeFolders(const wxXmlNode* section)
{
    MergeSection(section, "FOLDER", &folderMap, [this](const wxXmlNode* item, const ItemKey& key,
                                                       std::int64_t deleted) {
        const wxUint32 project = ResolveParent(item, {projectMap, "PROJECT", "PROJECTID"});
        if (project == 0)
            return std::optional<ItemWrite>();
        const wxString name = ReadText(item, "FOLDER", key.guid);
        return std::optional<ItemWrite>(ItemWrite{
            {},
            [=, this](wxUint32 row) {
                sql_->updateFolder.Update(name, project, key.modified, deleted, row);
            },
            [=, this] {
                sql_->insertFolder.Update(key.guid, name, project, key.modified, deleted);
            }});
    });
}

void CatalogMerge::MergeStationFolders(const wxXmlNode* section)
{
    MergeLocations(section, "STAFOLDER", {stationMap, "STATION", "STATIONID"},
                   {folderMap, "FOLDER", "FOLDERID"}, sql_->updateStationFolder,
                   sql_->insertStationFolder,
                   [this](wxUint32 row, wxUint32 station, wxUint32 folder) {
                       return MayWriteStationFolder(row, station, folder);
                   });
}

bool CatalogMerge::MayWriteStationFolder(wxUint32 row, wxUint32 station, wxUint32 folder)
{
    if (row != 0) {
        // Neither this station's row nor another's row given to this station.
        if (station == stationId)
            return false;
        wxSQLite3ResultSet rows = sql_->stationOfLocation.Query(row);
        return !rows.NextRow() || static_cast<wxUint32>(rows.GetInt64(0).GetValue()) != stationId;
    }
    // Any row of this station for the folder, even a deleted one, is this station's own.
    return station != stationId || !sql_->stationFolder.Query(folder, station).NextRow();
}

void CatalogMerge::MergeMediumProjects(const wxXmlNode* section)
{
    MergeLocations(section, "MEPROJECT", {projectMap, "PROJECT", "PROJECTID"},
                   {mediumMap, "MEDIA", "MEDIAID"}, sql_->updateMediumProject,
                   sql_->insertMediumProject);
}

void CatalogMerge::MergeLocations(const wxXmlNode* section, const char* table,
                                  const ParentRef& first, const ParentRef& second,
                                  BoundStatement& update, BoundStatement& insert,
                                  const LocationCheck& check)
{
    MergeSection(section, table, nullptr, [&](const wxXmlNode* item, const ItemKey& key,
                                              std::int64_t deleted) {
        const wxUint32 firstId = ResolveParent(item, first);
        const wxUint32 secondId = ResolveParent(item, second);
        if (firstId == 0 || secondId == 0)
            return std::optional<ItemWrite>();
        const wxString location = ReadText(item, "FOLDER", key.guid);
        return std::optional<ItemWrite>(ItemWrite{
            {},
            [=, &update, &check](wxUint32 row) {
                if (!check || check(row, firstId, secondId))
                    update.Update(location, firstId, secondId, key.modified, deleted, row);
            },
            [=, &insert, &check] {
                if (!check || check(0, firstId, secondId))
                    insert.Update(key.guid, location, firstId, secondId, key.modified, deleted);
            }});
    });
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
    MergeSection(section, "ACLRULES", nullptr, [this, &nextLine](const wxXmlNode* item,
                                                                 const ItemKey& key,
                                                                 std::int64_t deleted) {
        const auto allow = ReadNumber(item, "ALLOW", kFlagRange);
        const wxString lineText = GetAttributeOrDefault(item, "NLINE", wxString());
        const auto line = ParseImportNumber(lineText, kLineRange);
        const wxUint32 folder = ResolveParent(item, {folderMap, "FOLDER", "FOLDERID"});
        if (!allow || (!line && !lineText.empty()) || folder == 0)
            return std::optional<ItemWrite>();
        const wxString mask = ReadText(item, "FILEMASK", key.guid);
        return std::optional<ItemWrite>(ItemWrite{
            {},
            [=, this](wxUint32 row) {
                sql_->updateRule.Update(mask, folder, line.value_or(0), *allow, key.modified,
                                        deleted, row);
            },
            [=, this, &nextLine] {
                std::int64_t newLine = line.value_or(5);
                if (const auto next = nextLine.find(folder); next != nextLine.end()) {
                    newLine = next->second;
                    next->second += 5;
                }
                sql_->insertRule.Update(key.guid, mask, folder, newLine, *allow, key.modified,
                                        deleted);
            }});
    });
}

void CatalogMerge::MergeIncompressibleMasks(const wxXmlNode* section)
{
    MergeSection(section, "BZ2IGNORE", nullptr, [this](const wxXmlNode* item, const ItemKey& key,
                                                       std::int64_t deleted) {
        const wxString mask = ReadText(item, "FILEMASK", key.guid);
        return std::optional<ItemWrite>(ItemWrite{
            {},
            [=, this](wxUint32 row) { sql_->updateMask.Update(mask, key.modified, deleted, row); },
            [=, this] { sql_->insertMask.Update(key.guid, mask, key.modified, deleted); }});
    });
}

void FixRuleLineDuplicates(wxSQLite3Database& db)
{
    struct Rule {
        std::int64_t folder;
        std::optional<std::int64_t> line;  // null lines collide with each other
        std::int64_t id;
    };
    BoundStatement select(db, kSqlSelectRuleLines);
    BoundStatement setLine(db, kSqlUpdateRuleLine);
    WriteTransaction transaction(db);
    std::vector<Rule> rules;
    {
        wxSQLite3ResultSet rows = select.Query();
        while (rows.NextRow()) {
            std::optional<std::int64_t> line;
            if (!rows.IsNull(1))
                line = rows.GetInt64(1).GetValue();
            rules.push_back({rows.GetInt64(0).GetValue(), line, rows.GetInt64(2).GetValue()});
        }
    }
    // Each pass of the plain algorithm moves, group by group in line order, the highest ID of
    // every group that still collides to 5 past the folder's highest line. A moved rule never
    // collides again, so the k-th highest ID of a group moves in pass k and the lowest stays:
    // sorting the moves by pass and line gives the passes' result in one go.
    std::sort(rules.begin(), rules.end(), [](const Rule& a, const Rule& b) {
        return std::tie(a.folder, a.line, b.id) < std::tie(b.folder, b.line, a.id);
    });
    struct Move {
        std::size_t pass, group;
        std::int64_t id;
    };
    for (std::size_t begin = 0, end = 0; begin < rules.size(); begin = end) {
        std::vector<Move> moves;
        std::optional<std::int64_t> highest;
        std::size_t group = 0;
        for (end = begin; end < rules.size() && rules[end].folder == rules[begin].folder; ++group) {
            const std::size_t first = end;
            for (; end < rules.size() && rules[end].folder == rules[first].folder &&
                   rules[end].line == rules[first].line;
                 ++end) {
                if (end + 1 < rules.size() && rules[end + 1].folder == rules[first].folder &&
                    rules[end + 1].line == rules[first].line)
                    moves.push_back({end - first, group, rules[end].id});
            }
            if (rules[first].line)
                highest = rules[first].line;
        }
        std::sort(moves.begin(), moves.end(), [](const Move& a, const Move& b) {
            return std::tie(a.pass, a.group) < std::tie(b.pass, b.group);
        });
        // A folder without any line number starts at 0, as the plain algorithm's empty
        // maximum reads.
        std::int64_t next = highest ? *highest + 5 : 0;
        for (const Move& move : moves) {
            setLine.Update(next, move.id);
            next += 5;
        }
    }
    transaction.Commit();
}
