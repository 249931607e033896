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
    // Stores a project row modified at kOldTime; returns its ID.
    static unsigned AddProject(const wxString& caption, int deleted = 0, int sizeLimit = 0,
                               int compressLimit = 0);

protected:
    void SetUp() override;
    void TearDown() override { CloseCatalog(); }

    TempDir dir;
    TempDir catalogueDir{MemoryTempBase()};  // holds the catalogue
};
