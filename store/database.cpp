#include "store/database.h"

#include "store/statements.h"

wxSQLite3Database catalogDb;

wxString EscapeQuotes(const wxString& text)
{
    wxString quoted(text);
    quoted.Replace("'", "\"");
    return quoted;
}

int ExecUpdate(const wxString& sql)
{
    return catalogDb.ExecuteUpdate(sql);
}

int ExecScalar(const wxString& sql)
{
    return catalogDb.ExecuteScalar(sql);
}

wxLongLong ExecScalar64(const wxString& sql)
{
    wxSQLite3ResultSet rs = catalogDb.ExecuteQuery(sql);
    if (!rs.NextRow())
        throw wxSQLite3Exception(WXSQLITE_ERROR, "Scalar statement returned no row");
    return rs.GetInt64(0);
}

wxSQLite3ResultSet ExecQuery(const wxString& sql)
{
    return catalogDb.ExecuteQuery(sql);
}

unsigned LastInsertId()
{
    return static_cast<unsigned>(catalogDb.ExecuteScalar(kSqlSelectLastInsertRowId));
}

wxSQLite3Statement Prepare(const wxString& sql)
{
    return catalogDb.PrepareStatement(sql);
}

Transaction::Transaction(wxSQLite3Database& db) : db_(db)
{
    db_.Begin();
}

Transaction::~Transaction()
{
    if (done_)
        return;
    try {
        db_.Rollback();
    } catch (const wxSQLite3Exception&) {
        // Nothing more can be done while unwinding; the engine has already undone the work
        // when the rollback itself fails.
    }
}

void Transaction::Commit()
{
    db_.Commit();
    done_ = true;
}
