#include "store/statements.h"

#include <functional>
#include <utility>

#include <gtest/gtest.h>

#include "store/catalog.h"
#include "store/database.h"
#include "store/text.h"
#include "tests/support/test_env.h"

namespace {

using StatementsTest = CatalogTest;

TEST_F(StatementsTest, TransactionsEscapeQuotesAndOneStatementPerText)
{
    for (const bool commit : {false, true}) {
        Transaction transaction;
        AddProject("p");
        commit ? transaction.Commit() : void();
    }
    EXPECT_THROW({
        Transaction transaction;
        AddProject("p");
        ExecUpdate("insert into NO_SUCH_TABLE values (1)");
        transaction.Commit();
    }, wxSQLite3Exception);
    EXPECT_EQ(Scalar("select count(*) from PROJECT"), 1);
    EXPECT_TRUE(catalogDb.GetAutoCommit());  // no transaction left open
    for (const auto& [typed, stored] : {std::pair{"Kitchen's photos", "Kitchen\"s photos"}, {"", ""},
                                        {"''", "\"\""}, {"a\"b", "a\"b"}})
        EXPECT_EQ(EscapeQuotes(typed), stored) << typed;

    // Whatever follows the first statement may be blanks, semicolons and comments only.
    const std::pair<const char*, bool> tails[] = {
        {"", true}, {"; ;\n-- end\n/* c */", true}, {" and CAPTION <> 'a;b'", true},
        {"; update PROJECT set CAPTION='pwn'", false}, {";--\nupdate PROJECT set CAPTION='pwn'", false},
        {"/* ; */; delete from PROJECT;--", false}};
    for (const auto& [tail, one] : tails) {
        const wxString query = wxString("select count(*) from PROJECT where DELETED=0") + tail;
        const std::function<void()> runs[] = {
            [&] { ExecScalar(query); }, [&] { ExecScalar64(query); }, [&] { ExecQuery(query); },
            [&] { Prepare(query); }, [&] { ExecUpdate(wxString("update PROJECT set DELETED=0 where ID=1") + tail); }};
        for (const auto& run : runs)
            EXPECT_EQ(one, [&] { try { run(); return true; } catch (const wxSQLite3Exception&) { return false; } }()) << tail;
    }
    EXPECT_EQ(Rows("select CAPTION from PROJECT"), "p");
}

} // namespace
