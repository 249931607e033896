#pragma once

#include <gtest/gtest.h>

#include "store/catalog.h"
#include "store/database.h"
#include "tests/support/temp_dir.h"

// Points HOME and the XDG directories at a fresh directory for this process, sends wx logs
// to stderr and turns wx asserts into test failures. Called by both test mains.
void SetUpTestEnvironment();
// Removes what SetUpTestEnvironment made.
void TearDownTestEnvironment();

// The MODIFIED time of rows a test stores itself, so that a later write shows.
inline constexpr const char* kOldTime = "2000-01-01 00:00:00";

// text as an SQL string literal, quotes doubled.
inline wxString SqlText(wxString text)
{
    text.Replace("'", "''");
    return "'" + text + "'";
}

// A name that, pasted into a statement unquoted, ends its text and runs a statement of its own
// (it renames every medium); and the form in which the windows store it (EscapeQuotes).
inline constexpr const char* kCraftedName = "x',5,1,'',0);update MEDIA set NAME='pwn';--.txt";
inline constexpr const char* kCraftedStored = "x\",5,1,\"\",0);update MEDIA set NAME=\"pwn\";--.txt";

// A fresh catalogue in a temporary directory (on memory where possible), opened as start-up opens it (station
// "test-station"), with the option defaults set, closed after the test.
class CatalogTest : public ::testing::Test {
public:
    // Runs a scalar statement on the catalogue.
    static int Scalar(const wxString& sql) { return ExecScalar(sql); }
    // The first column of the first row ("<no row>" when there is none).
    static wxString Text(const wxString& sql);
    // Every row as "a|b|c", rows joined by "; ".
    static wxString Rows(const wxString& sql);
    // The media that a crafted name renamed (none, as long as every text is quoted).
    static int Hijacked() { return ExecScalar("select count(*) from MEDIA where NAME = 'pwn'"); }
    // Stores a project row modified at kOldTime; returns its ID.
    static unsigned AddProject(const wxString& caption, int deleted = 0, int sizeLimit = 0,
                               int compressLimit = 0);

protected:
    void SetUp() override;
    void TearDown() override { CloseCatalog(); }

    TempDir dir;
    TempDir catalogueDir{MemoryTempBase()};  // holds the catalogue
};
