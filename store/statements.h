#pragma once

// Every statement text of the catalogue, defined once. Format strings: '%s' a quoted text
// (user text through EscapeQuotes), %u an unsigned number, bare %s a value pasted as text
// (the import's numbers and flags, as the exported file carries them). Texts marked "import"
// are run by the import thread with the file's values unquoted; the others by windows and
// start-up. Double blanks inside some texts are intentional: they are kept as written.

// Any table: the ID of the row this connection inserted last, run right after the insert.
inline constexpr const char* kSqlSelectLastInsertRowId = "select last_insert_rowid()";

// VERSION: schema version, station registered last, session times.
inline constexpr const char* kSqlSelectVersion = "select VERSION from VERSION";
inline constexpr const char* kSqlUpdateSessionStart = "update VERSION set SESSION_START='%s'";
inline constexpr const char* kSqlUpdateStationAndSessionStart =
    "update VERSION set STATIONID=%u, SESSION_START='%s'";
inline constexpr const char* kSqlUpdateSessionEnd = "update VERSION set SESSION_END='%s'";

// STATION: registration of this computer by host name, and the import's merge.
inline constexpr const char* kSqlCountStationsByName = "select count(*) from STATION where NAME = '%s'";
inline constexpr const char* kSqlSelectStationIdByName = "select ID from STATION where NAME = '%s'";
inline constexpr const char* kSqlInsertStation =
    "insert into STATION (GUID, NAME, MODIFIED, DELETED) values ('%s', '%s', '%s', 0)";
// import: (older-than MODIFIED, GUID, NAME)
inline constexpr const char* kSqlImportFindStation =
    "select ID, case when MODIFIED < '%s' then 1 else 0 end as DOOK from STATION where (GUID='%s') or (NAME = '%s')";
inline constexpr const char* kSqlImportInsertStation =
    "insert into STATION(GUID, NAME, MODIFIED, DELETED) values('%s', '%s', '%s', %s)";
inline constexpr const char* kSqlImportUpdateStation =
    "update STATION set GUID='%s', NAME='%s', MODIFIED='%s', DELETED=%s where ID=%u";

// MEDIA: the media manager, the medium choice, the marker lookup and the import.
inline constexpr const char* kSqlSelectMediumGuid = "select GUID from MEDIA where ID=%u";
inline constexpr const char* kSqlSelectLiveMedia = "select ID, NAME from MEDIA where DELETED=0 order by NAME";
inline constexpr const char* kSqlSelectMediumByGuid = "select ID, NAME from MEDIA where GUID='%s'";
inline constexpr const char* kSqlCountMediaNamedLike = "select count(*) from MEDIA where NAME like '%s'";
inline constexpr const char* kSqlCountOtherMediaNamedLike =
    "select count(*) from MEDIA where NAME like '%s' and ID <> %u";
inline constexpr const char* kSqlInsertMedium =
    "insert into MEDIA(GUID, NAME, MODIFIED, DELETED) values ('%s', '%s', '%s', 0)";
inline constexpr const char* kSqlImportInsertMedium =
    "insert into MEDIA(GUID, NAME, MODIFIED, DELETED) values('%s', '%s', '%s', %s)";
inline constexpr const char* kSqlMarkMediumDeleted = "update MEDIA set DELETED=1, MODIFIED='%s' where ID=%u";
// The live medium other than ID %u that has this GUID: a drive can stand for one medium only.
inline constexpr const char* kSqlSelectOtherLiveMediumByGuid =
    "select NAME from MEDIA where GUID='%s' and DELETED=0 and ID <> %u";
// Taking over a drive's GUID keeps MODIFIED as it was.
inline constexpr const char* kSqlUpdateMediumGuid = "update MEDIA set GUID='%s' where ID=%u";
inline constexpr const char* kSqlRenameMedium = "update MEDIA set NAME='%s', MODIFIED='%s' where ID=%u";
inline constexpr const char* kSqlImportUpdateMedium =
    "update MEDIA set NAME='%s', MODIFIED='%s', DELETED=%s where ID=%u";

// PROJECT: the project list, properties and picker, the run dialog and the import.
inline constexpr const char* kSqlSelectProjectProperties =
    "select CAPTION, IGNORESIZEOVER, BZ2BELOW from PROJECT where ID=%u";
inline constexpr const char* kSqlSelectProjectIdByCaption = "select ID from PROJECT where CAPTION='%s'";
// The main window's list and the picker's list differ only in blanks.
inline constexpr const char* kSqlSelectLiveProjects =
    "select ID, CAPTION from PROJECT where DELETED = 0 order by CAPTION";
inline constexpr const char* kSqlSelectLiveProjectsForPicker =
    "select ID, CAPTION from PROJECT where DELETED=0 order by CAPTION";
// The run's projects: each project with a live location on the medium, once.
inline constexpr const char* kSqlSelectProjectsOnMedium =
    "select distinct P.ID, P.CAPTION from PROJECT P  join MEPROJECT M on M.PROJECTID = P.ID where (M.MEDIAID = %u) and (M.DELETED = 0) and (P.DELETED = 0) order by P.CAPTION";
inline constexpr const char* kSqlCountOtherProjectsCaptionLike =
    "select count(*) from PROJECT where (CAPTION like '%s') and (ID <> %u)";
inline constexpr const char* kSqlCountProjectsCaptionLike = "select count(*) from PROJECT where CAPTION like '%s'";
inline constexpr const char* kSqlInsertProject =
    "insert into PROJECT (GUID, CAPTION, MODIFIED, DELETED) values ('%s', '%s', '%s', 0)";
inline constexpr const char* kSqlImportInsertProject =
    "insert into PROJECT(GUID, CAPTION, IGNORESIZEOVER, BZ2BELOW, MODIFIED, DELETED) values('%s', '%s', %s, %s, '%s', %s)";
inline constexpr const char* kSqlImportUpdateProject =
    "update PROJECT set CAPTION='%s', IGNORESIZEOVER=%s, BZ2BELOW=%s, MODIFIED='%s', DELETED=%s where ID=%u";
inline constexpr const char* kSqlUpdateProjectProperties =
    "update PROJECT set CAPTION='%s', IGNORESIZEOVER=%u, BZ2BELOW=%u, MODIFIED='%s' where ID=%u";
inline constexpr const char* kSqlMarkProjectDeleted = "update PROJECT set DELETED=1, MODIFIED='%s' where ID=%u";

// FOLDER: virtual folders of a project.
// The run's folder jobs: (project, station).
inline constexpr const char* kSqlSelectFolderJobs =
    "select F.FOLDER as VFOLDER, SF.FOLDER, FOLDERID from FOLDER F  join STAFOLDER SF on (SF.FOLDERID = F.ID) where (F.PROJECTID=%u) and (SF.STATIONID=%u)  and (F.DELETED=0) and (SF.DELETED=0)";
// The main window's folder list: (station, project).
inline constexpr const char* kSqlSelectProjectFolders =
    "select F.ID, F.FOLDER, S.STATIONID from FOLDER F left outer join STAFOLDER S on (S.FOLDERID = F.ID) and (S.STATIONID = %u) where F.PROJECTID = %u and F.DELETED = 0 order by F.FOLDER";
inline constexpr const char* kSqlSelectProjectAndFolderName =
    "select P.CAPTION, F.FOLDER from FOLDER F join PROJECT P on P.ID = F.PROJECTID where F.ID = %u";
inline constexpr const char* kSqlCountFoldersNamedLike =
    "select count(*) from FOLDER where PROJECTID=%u and FOLDER like '%s'";
inline constexpr const char* kSqlInsertFolder =
    "insert into FOLDER (GUID, PROJECTID, FOLDER, MODIFIED, DELETED) values ('%s', %u, '%s', '%s', 0)";
inline constexpr const char* kSqlImportInsertFolder =
    "insert into FOLDER(GUID, FOLDER, PROJECTID, MODIFIED, DELETED) values('%s', '%s', %u, '%s', %s)";
inline constexpr const char* kSqlMarkFolderDeleted = "update FOLDER set DELETED=1, MODIFIED='%s' where ID=%u";
inline constexpr const char* kSqlRenameFolder = "update FOLDER set FOLDER='%s', MODIFIED='%s' where ID=%u";
inline constexpr const char* kSqlImportUpdateFolder =
    "update FOLDER set FOLDER='%s', PROJECTID=%u, MODIFIED='%s', DELETED=%s where ID=%u";
inline constexpr const char* kSqlMoveFolderToProject = "update FOLDER set PROJECTID=%u, MODIFIED='%s' where ID=%u";

// STAFOLDER: a virtual folder's location on one station.
// The testbed reads the location whether or not it is deleted; the import asks whether this
// station has one at all.
inline constexpr const char* kSqlSelectStationFolder =
    "select FOLDER from STAFOLDER where (FOLDERID=%u) and (STATIONID=%u)";
// import: the station whose location a row is.
inline constexpr const char* kSqlImportSelectLocationStation = "select STATIONID from STAFOLDER where ID=%u";
inline constexpr const char* kSqlSelectLiveStationFolder =
    "select FOLDER from STAFOLDER where FOLDERID=%u and STATIONID=%u and DELETED = 0";
inline constexpr const char* kSqlInsertStationFolder =
    "insert into STAFOLDER (GUID, FOLDERID, STATIONID, FOLDER, MODIFIED, DELETED) values ('%s', %u, %u, '%s', '%s', 0)";
inline constexpr const char* kSqlImportInsertStationFolder =
    "insert into STAFOLDER(GUID, FOLDER, STATIONID, FOLDERID, MODIFIED, DELETED) values('%s', '%s', %u, %u, '%s', %s)";
// Setting a location again makes it live, also one that an import left deleted.
inline constexpr const char* kSqlUpdateStationFolder =
    "update STAFOLDER set FOLDER='%s', MODIFIED='%s', DELETED = 0 where FOLDERID=%u and STATIONID=%u";
inline constexpr const char* kSqlImportUpdateStationFolder =
    "update STAFOLDER set FOLDER='%s', STATIONID=%u, FOLDERID=%u, MODIFIED='%s', DELETED=%s where ID=%u";

// MEPROJECT: a project's location on one medium.
inline constexpr const char* kSqlSelectMediumProjectFolder =
    "select FOLDER from MEPROJECT where PROJECTID=%u and MEDIAID=%u";
// The testbed: (virtual folder, medium).
inline constexpr const char* kSqlSelectMediumLocationOfFolder =
    "select MP.FOLDER PFOLDER, F.FOLDER from MEPROJECT MP  join PROJECT P on P.ID = MP.PROJECTID  join FOLDER F on F.PROJECTID = MP.PROJECTID where (F.ID = %u)  and (MP.MEDIAID = %u)  and (MP.DELETED = 0)  and (F.DELETED = 0)";
// The run's project job: (project, medium).
inline constexpr const char* kSqlSelectProjectJob =
    "select MP.FOLDER, P.IGNORESIZEOVER, P.BZ2BELOW from MEPROJECT MP  join PROJECT P on P.ID = MP.PROJECTID where (MP.PROJECTID=%u) and (MP.MEDIAID=%u) and (MP.DELETED=0) and (P.DELETED=0)";
inline constexpr const char* kSqlCountMediumProjects =
    "select count(*) from MEPROJECT where PROJECTID=%u and MEDIAID=%u";
inline constexpr const char* kSqlInsertMediumProject =
    "insert into MEPROJECT (GUID, FOLDER, MODIFIED, PROJECTID, MEDIAID, DELETED) values ('%s', '%s', '%s', %u, %u, 0)";
inline constexpr const char* kSqlImportInsertMediumProject =
    "insert into MEPROJECT(GUID, FOLDER, PROJECTID, MEDIAID, MODIFIED, DELETED) values('%s', '%s', %u, %u, '%s', %s)";
inline constexpr const char* kSqlUpdateMediumProjectFolder =
    "update MEPROJECT set FOLDER='%s', MODIFIED='%s', DELETED = 0 where PROJECTID=%u and MEDIAID=%u";
inline constexpr const char* kSqlImportUpdateMediumProject =
    "update MEPROJECT set FOLDER='%s', PROJECTID=%u, MEDIAID=%u, MODIFIED='%s', DELETED=%s where ID=%u";

// ACLRULES: folder rules, ordered by NLINE.
inline constexpr const char* kSqlSelectRulesForRun =
    "select FILEMASK, ALLOW from ACLRULES where (FOLDERID=%u) and (DELETED=0) order by NLINE";
inline constexpr const char* kSqlSelectNextRuleLinePerFolder =
    "select FOLDERID, max(NLINE)+5 from ACLRULES group by FOLDERID order by FOLDERID";
inline constexpr const char* kSqlSelectLiveRules =
    "select ID, FILEMASK, NLINE, ALLOW, DELETED from ACLRULES where (FOLDERID=%u) and (DELETED=0) order by NLINE";
inline constexpr const char* kSqlSelectAllRules =
    "select ID, FILEMASK, NLINE, ALLOW, DELETED from ACLRULES where FOLDERID=%u order by NLINE";
// Every rule's line, for renumbering the lines that collide.
inline constexpr const char* kSqlSelectRuleLines = "select FOLDERID, NLINE, ID from ACLRULES";
inline constexpr const char* kSqlInsertRule =
    "insert into ACLRULES (GUID, FOLDERID, FILEMASK, NLINE, ALLOW, MODIFIED, DELETED) values ('%s', %u, '%s', %u, %u, '%s', %u)";
inline constexpr const char* kSqlImportInsertRule =
    "insert into ACLRULES(GUID, FILEMASK, FOLDERID, NLINE, ALLOW, MODIFIED, DELETED) values('%s', '%s', %u, %u, %s, '%s', %s)";
inline constexpr const char* kSqlUpdateRule =
    "update ACLRULES set FILEMASK='%s', ALLOW=%u, NLINE=%u, MODIFIED='%s', DELETED=%u where ID=%u";
inline constexpr const char* kSqlImportUpdateRule =
    "update ACLRULES set FILEMASK='%s', FOLDERID=%u, NLINE=%s, ALLOW=%s, MODIFIED='%s', DELETED=%s where ID=%u";
inline constexpr const char* kSqlUpdateRuleLine = "update ACLRULES set NLINE = %u where ID = %u";

// BZ2IGNORE: incompressible file masks.
inline constexpr const char* kSqlSelectLiveIncompressibleMasks =
    "select ID, FILEMASK from BZ2IGNORE where DELETED=0 order by FILEMASK";
inline constexpr const char* kSqlSelectAllIncompressibleMasks =
    "select ID, FILEMASK, DELETED from BZ2IGNORE order by FILEMASK";
inline constexpr const char* kSqlInsertIncompressibleMask =
    "insert into BZ2IGNORE(GUID, FILEMASK, MODIFIED, DELETED) values ('%s', '%s', '%s', %u)";
inline constexpr const char* kSqlImportInsertIncompressibleMask =
    "insert into BZ2IGNORE(GUID, FILEMASK, MODIFIED, DELETED) values('%s', '%s', '%s', %s)";
inline constexpr const char* kSqlImportUpdateIncompressibleMask =
    "update BZ2IGNORE set FILEMASK='%s', MODIFIED='%s', DELETED=%s where ID=%u";
inline constexpr const char* kSqlUpdateIncompressibleMask =
    "update BZ2IGNORE set FILEMASK='%s', MODIFIED='%s', DELETED=%u where ID=%u";

// Any synchronised table, its name pasted as the second value: (older-than MODIFIED, table, GUID).
inline constexpr const char* kSqlImportFindRowByGuid =
    "select ID, case when MODIFIED < '%s' then 1 else 0 end as DOOK from %s where GUID='%s'";

// OPTIONS: one row per option, keyed by IOPTION.
inline constexpr const char* kSqlSelectOptions = "select IOPTION, VALUE from OPTIONS";
inline constexpr const char* kSqlCountOption = "select count(*) from OPTIONS where IOPTION=%u";
inline constexpr const char* kSqlUpdateOption = "update OPTIONS set VALUE = '%s' where IOPTION=%u";
inline constexpr const char* kSqlInsertOption =
    "insert into OPTIONS(IOPTION, STOPTION, VALUE) values (%u, '%s', '%s')";

// Every statement text above, so that each can be checked against the schema; a new one
// belongs here too.
inline constexpr const char* kCatalogStatements[] = {
    kSqlSelectLastInsertRowId, kSqlSelectVersion, kSqlUpdateSessionStart,
    kSqlUpdateStationAndSessionStart, kSqlUpdateSessionEnd, kSqlCountStationsByName,
    kSqlSelectStationIdByName, kSqlInsertStation, kSqlImportFindStation,
    kSqlImportInsertStation, kSqlImportUpdateStation, kSqlSelectMediumGuid, kSqlSelectLiveMedia,
    kSqlSelectMediumByGuid, kSqlCountMediaNamedLike, kSqlCountOtherMediaNamedLike,
    kSqlInsertMedium, kSqlImportInsertMedium, kSqlMarkMediumDeleted,
    kSqlSelectOtherLiveMediumByGuid, kSqlUpdateMediumGuid, kSqlRenameMedium,
    kSqlImportUpdateMedium, kSqlSelectProjectProperties, kSqlSelectProjectIdByCaption,
    kSqlSelectLiveProjects, kSqlSelectLiveProjectsForPicker, kSqlSelectProjectsOnMedium,
    kSqlCountOtherProjectsCaptionLike, kSqlCountProjectsCaptionLike, kSqlInsertProject,
    kSqlImportInsertProject, kSqlImportUpdateProject, kSqlUpdateProjectProperties,
    kSqlMarkProjectDeleted, kSqlSelectFolderJobs, kSqlSelectProjectFolders,
    kSqlSelectProjectAndFolderName, kSqlCountFoldersNamedLike, kSqlInsertFolder,
    kSqlImportInsertFolder, kSqlMarkFolderDeleted, kSqlRenameFolder, kSqlImportUpdateFolder,
    kSqlMoveFolderToProject, kSqlSelectStationFolder, kSqlImportSelectLocationStation,
    kSqlSelectLiveStationFolder, kSqlInsertStationFolder, kSqlImportInsertStationFolder,
    kSqlUpdateStationFolder, kSqlImportUpdateStationFolder, kSqlSelectMediumProjectFolder,
    kSqlSelectMediumLocationOfFolder, kSqlSelectProjectJob, kSqlCountMediumProjects,
    kSqlInsertMediumProject, kSqlImportInsertMediumProject, kSqlUpdateMediumProjectFolder,
    kSqlImportUpdateMediumProject, kSqlSelectRulesForRun, kSqlSelectNextRuleLinePerFolder,
    kSqlSelectLiveRules, kSqlSelectAllRules, kSqlSelectRuleLines, kSqlInsertRule,
    kSqlImportInsertRule, kSqlUpdateRule, kSqlImportUpdateRule, kSqlUpdateRuleLine,
    kSqlSelectLiveIncompressibleMasks, kSqlSelectAllIncompressibleMasks,
    kSqlInsertIncompressibleMask, kSqlImportInsertIncompressibleMask,
    kSqlImportUpdateIncompressibleMask, kSqlUpdateIncompressibleMask, kSqlImportFindRowByGuid,
    kSqlSelectOptions, kSqlCountOption, kSqlUpdateOption, kSqlInsertOption,
};
