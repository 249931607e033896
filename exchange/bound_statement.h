#pragma once

#include <concepts>
#include <cstdint>

#include <wx/string.h>
#include <wx/wxsqlite3.h>

// A catalogue statement text run with bound values: each placeholder of the shared format
// string ('%s', %s, %u) becomes a parameter, in the same order, so a value can never change
// what the statement does. One connection, one thread.

// The text with every placeholder made "?"; the table name after "from %s", which cannot be a
// parameter, is pasted from table (a constant of the program, never file content).
wxString BoundStatementText(const char* format, const char* table = nullptr);

class BoundStatement {
public:
    // Prepares the statement on db, which must outlive this object. Throws wxSQLite3Exception.
    BoundStatement(wxSQLite3Database& db, const char* format, const char* table = nullptr)
        : statement_(db.PrepareStatement(BoundStatementText(format, table)))
    {
    }

    // Binds the values in placeholder order and runs the statement; the number of changed
    // rows. Throws wxSQLite3Exception.
    template <class... Values>
    int Update(const Values&... values)
    {
        BindAll(values...);
        return statement_.ExecuteUpdate();
    }

    // Binds and opens the rows; read them before the next call on this statement.
    template <class... Values>
    wxSQLite3ResultSet Query(const Values&... values)
    {
        BindAll(values...);
        return statement_.ExecuteQuery();
    }

    // Ends a query whose rows are no longer read, so the connection keeps no read lock for
    // it. Never throws.
    void Reset() noexcept
    {
        try {
            statement_.Reset();
        } catch (const wxSQLite3Exception&) {
            // The error belongs to the last run, which has reported it already.
        }
    }

private:
    template <class... Values>
    void BindAll(const Values&... values)
    {
        statement_.Reset();
        statement_.ClearBindings();
        int index = 1;
        (Bind(index++, values), ...);
    }
    void Bind(int index, const wxString& value) { statement_.Bind(index, value); }
    template <std::integral Number>
    void Bind(int index, Number value)
    {
        statement_.Bind(index, wxLongLong(static_cast<wxLongLong_t>(value)));
    }

    wxSQLite3Statement statement_;
};

// A write transaction begun at once (so a second connection's writer waits on the busy
// timeout instead of deadlocking on a lock upgrade), rolled back unless committed.
class WriteTransaction {
public:
    explicit WriteTransaction(wxSQLite3Database& db) : db_(db)
    {
        db_.Begin(WXSQLITE_TRANSACTION_IMMEDIATE);
    }
    ~WriteTransaction()
    {
        if (done_)
            return;
        try {
            db_.Rollback();
        } catch (const wxSQLite3Exception&) {
            // The engine has undone the work when the rollback itself fails.
        }
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    void Commit()
    {
        db_.Commit();
        done_ = true;
    }

private:
    wxSQLite3Database& db_;
    bool done_ = false;
};
