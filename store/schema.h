#pragma once

// The catalogue's DDL, run exactly as written; schema version 3.

inline constexpr int kCatalogVersion = 3;

inline constexpr const char* kDdlVersion =
    "create table VERSION (VERSION BIGINT, STATIONID integer, SESSION_START datetime, SESSION_END datetime)";
inline constexpr const char* kInsertVersion1 = "insert into VERSION (VERSION) values (1)";

// Tables of version 1 -> 2, in creation order.
inline constexpr const char* kDdlVersion2Tables[] = {
    "create table PROJECT (ID INTEGER PRIMARY KEY, GUID varchar(36), CAPTION varchar(30), IGNORESIZEOVER bigint, BZ2BELOW bigint, MODIFIED datetime, DELETED integer)",
    "create table STATION (ID INTEGER PRIMARY KEY, GUID varchar(36), NAME varchar(100), MODIFIED datetime, DELETED integer)",
    "create table MEDIA (ID INTEGER PRIMARY KEY, GUID varchar(36), NAME varchar(30), MODIFIED datetime, DELETED integer)",
    "create table FOLDER (ID INTEGER PRIMARY KEY, GUID varchar(36), PROJECTID integer, FOLDER varchar(2048), MODIFIED datetime, DELETED integer)",
    "create table STAFOLDER (ID INTEGER PRIMARY KEY, GUID varchar(36), FOLDERID integer, STATIONID integer, FOLDER varchar(2048), MODIFIED datetime, DELETED integer)",
    "create table MEPROJECT (ID INTEGER PRIMARY KEY, GUID varchar(36), PROJECTID integer, MEDIAID integer, FOLDER varchar(2048), MODIFIED datetime, DELETED integer)",
    "create table ACLRULES (ID INTEGER PRIMARY KEY, GUID varchar(36), FOLDERID integer, FILEMASK varchar(2048), NLINE integer, ALLOW integer, MODIFIED datetime, DELETED integer)",
    "create table BZ2IGNORE (ID INTEGER PRIMARY KEY, GUID varchar(36), FILEMASK varchar(2048), MODIFIED datetime, DELETED integer)",
    "create index IDX_PROJECT on PROJECT (GUID asc)",
    "create index IDX_STATION on STATION (GUID asc)",
    "create index IDX_MEDIA on MEDIA (GUID asc)",
    "create index IDX_FOLDER on FOLDER (GUID asc)",
    "create index IDX_STAFOLDER on STAFOLDER (GUID asc)",
    "create index IDX_MEPROJECT on MEPROJECT (GUID asc)",
    "create index IDX_ACLRULES on ACLRULES (GUID asc)",
    "create index IDX_BZ2IGNORE on BZ2IGNORE (GUID asc)",
    "create trigger TAI_ACLRULES after insert on ACLRULES when NEW.NLINE is null begin update ACLRULES set NLINE = NEW.ID where ID = NEW.ID; end",
};

// Version 2 -> 3.
inline constexpr const char* kDdlVersion3[] = {
    "create table OPTIONS (ID INTEGER PRIMARY KEY, IOPTION int, STOPTION varchar(30), VALUE varchar(1024))",
    "create index IDX_OPTIONS on OPTIONS (IOPTION asc)",
    "update VERSION set VERSION = 3",
};
