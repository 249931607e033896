#pragma once

// Every statement text of the catalogue, defined once. Format strings: '%s' a quoted text
// (user text through EscapeQuotes), %u an unsigned number, bare %s a value pasted as text.

// VERSION
inline constexpr const char* kSqlUpdateSessionEnd = "update VERSION set SESSION_END='%s'";

// OPTIONS
inline constexpr const char* kSqlSelectOptions = "select IOPTION, VALUE from OPTIONS";
inline constexpr const char* kSqlCountOption = "select count(*) from OPTIONS where IOPTION=%u";
inline constexpr const char* kSqlUpdateOption = "update OPTIONS set VALUE = '%s' where IOPTION=%u";
inline constexpr const char* kSqlInsertOption =
    "insert into OPTIONS(IOPTION, STOPTION, VALUE) values (%u, '%s', '%s')";
