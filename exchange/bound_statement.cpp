#include "exchange/bound_statement.h"

wxString BoundStatementText(const char* format, const char* table)
{
    wxString text(format);
    if (table)
        text.Replace("from %s", wxString("from ") + table);
    text.Replace("'%s'", "?");
    text.Replace("%s", "?");
    text.Replace("%u", "?");
    return text;
}
