#include "store/database.h"

#include <sqlite3.h>

#include <cctype>
#include <string>
#include <string_view>

#include "store/statements.h"
#include "store/text.h"

wxSQLite3Database catalogDb;

namespace {

// Blanks, semicolons and comments only.
bool HoldsNoStatement(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, 2) == "--") {
            i = text.find('\n', i);
        } else if (text.substr(i, 2) == "/*") {
            const std::size_t end = text.find("*/", i + 2);
            i = end == std::string_view::npos ? end : end + 2;
        } else if (text[i] == ';' || std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

// A text pasted together from values must not smuggle in a statement of its own: whatever
// follows the first complete statement may only be blanks, semicolons and comments.
const wxString& OneStatement(const wxString& sql)
{
    const std::string text = ToUtf8(sql);
    for (std::size_t end = text.find(';'); end != std::string::npos;
         end = text.find(';', end + 1)) {
        if (sqlite3_complete(text.substr(0, end + 1).c_str())) {
            if (!HoldsNoStatement(std::string_view(text).substr(end + 1)))
                throw wxSQLite3Exception(WXSQLITE_ERROR,
                                         "The statement text holds more than one statement");
            break;
        }
    }
    return sql;
}

} // namespace

wxString EscapeQuotes(const wxString& text)
{
    wxString quoted(text);
    quoted.Replace("'", "\"");
    return quoted;
}

int ExecUpdate(const wxString& sql)
{
    return catalogDb.ExecuteUpdate(OneStatement(sql));
}

int ExecScalar(const wxString& sql)
{
    return catalogDb.ExecuteScalar(OneStatement(sql));
}

wxLongLong ExecScalar64(const wxString& sql)
{
    wxSQLite3ResultSet rs = catalogDb.ExecuteQuery(OneStatement(sql));
    if (!rs.NextRow())
        throw wxSQLite3Exception(WXSQLITE_ERROR, "Scalar statement returned no row");
    return rs.GetInt64(0);
}

wxSQLite3ResultSet ExecQuery(const wxString& sql)
{
    return catalogDb.ExecuteQuery(OneStatement(sql));
}

unsigned LastInsertId()
{
    return static_cast<unsigned>(catalogDb.ExecuteScalar(kSqlSelectLastInsertRowId));
}

wxSQLite3Statement Prepare(const wxString& sql)
{
    return catalogDb.PrepareStatement(OneStatement(sql));
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
