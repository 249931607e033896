#pragma once

#include <wx/string.h>
#include <wx/wxsqlite3.h>

// The process-wide connection to the catalogue (opened by OpenCatalog), for the GUI thread.
// The import thread opens a connection of its own, so a file merges in one transaction.
extern wxSQLite3Database catalogDb;

// A copy of user text with every single quote replaced by a double quote, so that it can be
// pasted between quotes in a statement text. The quote never comes back.
wxString EscapeQuotes(const wxString& text);

// Runs a finished statement text and returns the number of changed rows.
// Throws wxSQLite3Exception on failure (as do all functions here).
int ExecUpdate(const wxString& sql);
// First column of the first row as an integer; throws when there is no row.
int ExecScalar(const wxString& sql);
// First column of the first row as a 64-bit integer; throws when there is no row.
wxLongLong ExecScalar64(const wxString& sql);
// A result set to read column by column.
wxSQLite3ResultSet ExecQuery(const wxString& sql);
// The ID of the row inserted last on this connection ("select last_insert_rowid()").
unsigned LastInsertId();

// A prepared statement with bound values, for code that runs many similar statements.
wxSQLite3Statement Prepare(const wxString& sql);

// Rolls back unless Commit() was called: a scope guard around a group of statements.
class Transaction {
public:
    explicit Transaction(wxSQLite3Database& db = catalogDb);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

private:
    wxSQLite3Database& db_;
    bool done_ = false;
};
