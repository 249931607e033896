#include "store/statements.h"

#include <string>

#include <gtest/gtest.h>

#include "store/database.h"
#include "store/guid.h"
#include "store/text.h"
#include "tests/support/test_env.h"

namespace {

// Every statement text; a new constant belongs here too.
const char* const kAllStatements[] = {
    kSqlSelectLastInsertRowId,
    kSqlSelectVersion, kSqlUpdateSessionStart, kSqlUpdateStationAndSessionStart, kSqlUpdateSessionEnd,
    kSqlCountStationsByName, kSqlSelectStationIdByName, kSqlInsertStation, kSqlImportFindStation,
    kSqlImportInsertStation, kSqlImportUpdateStation,
    kSqlSelectMediumGuid, kSqlSelectLiveMedia, kSqlSelectMediumByGuid, kSqlCountMediaNamedLike,
    kSqlCountOtherMediaNamedLike, kSqlInsertMedium, kSqlImportInsertMedium, kSqlMarkMediumDeleted,
    kSqlUpdateMediumGuid, kSqlRenameMedium, kSqlImportUpdateMedium,
    kSqlSelectProjectProperties, kSqlSelectProjectIdByCaption, kSqlSelectLiveProjects,
    kSqlSelectLiveProjectsForPicker, kSqlSelectProjectsOnMedium, kSqlCountOtherProjectsCaptionLike,
    kSqlCountProjectsCaptionLike, kSqlInsertProject, kSqlImportInsertProject, kSqlImportUpdateProject,
    kSqlUpdateProjectProperties, kSqlMarkProjectDeleted,
    kSqlSelectFolderJobs, kSqlSelectProjectFolders, kSqlSelectProjectAndFolderName,
    kSqlCountFoldersNamedLike, kSqlInsertFolder, kSqlImportInsertFolder, kSqlMarkFolderDeleted,
    kSqlRenameFolder, kSqlImportUpdateFolder, kSqlMoveFolderToProject,
    kSqlSelectStationFolder, kSqlSelectLiveStationFolder, kSqlInsertStationFolder,
    kSqlImportInsertStationFolder, kSqlUpdateStationFolder, kSqlImportUpdateStationFolder,
    kSqlSelectMediumProjectFolder, kSqlSelectMediumLocationOfFolder, kSqlSelectProjectJob,
    kSqlCountMediumProjects, kSqlInsertMediumProject, kSqlImportInsertMediumProject,
    kSqlUpdateMediumProjectFolder, kSqlImportUpdateMediumProject,
    kSqlSelectRulesForRun, kSqlSelectNextRuleLinePerFolder, kSqlSelectLiveRules, kSqlSelectAllRules,
    kSqlSelectNextRuleLine, kSqlSelectDuplicateRuleLines, kSqlInsertRule, kSqlImportInsertRule,
    kSqlUpdateRule, kSqlImportUpdateRule, kSqlUpdateRuleLine,
    kSqlSelectLiveIncompressibleMasks, kSqlSelectAllIncompressibleMasks, kSqlInsertIncompressibleMask,
    kSqlImportInsertIncompressibleMask, kSqlImportUpdateIncompressibleMask, kSqlUpdateIncompressibleMask,
    kSqlImportFindRowByGuid,
    kSqlSelectOptions, kSqlCountOption, kSqlUpdateOption, kSqlInsertOption,
};

// The statement with dummy values: 'text' for a quoted %s, 1 for %u and for a bare %s, except
// the bare %s after "from", which names a table. Fails on any other conversion.
std::string FillPlaceholders(const std::string& format)
{
    std::string sql;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            sql += format[i];
            continue;
        }
        const char conversion = i + 1 < format.size() ? format[i + 1] : '\0';
        ++i;
        if (conversion == 'u')
            sql += "1";
        else if (conversion == 's' && !sql.empty() && sql.back() == '\'')
            sql += "text";
        else if (conversion == 's' && sql.ends_with("from "))
            sql += "PROJECT";
        else if (conversion == 's')
            sql += "1";
        else
            ADD_FAILURE() << "unexpected conversion %" << conversion << " in: " << format;
    }
    return sql;
}

class StatementsTest : public CatalogTest {
protected:
    static unsigned InsertProject(const wxString& caption)
    {
        ExecUpdate(wxString::Format(kSqlInsertProject, NewGuid(), EscapeQuotes(caption), NowText()));
        return LastInsertId();
    }

    static wxString CaptionOf(unsigned id)
    {
        wxSQLite3ResultSet rows = ExecQuery(wxString::Format(kSqlSelectProjectProperties, id));
        return rows.NextRow() ? rows.GetAsString(0) : wxString("<no row>");
    }
};

TEST_F(StatementsTest, EveryStatementIsValidOnTheCurrentSchemaAndRunsWithDummyValues)
{
    Transaction transaction;  // rolled back: the run only has to succeed
    for (const char* format : kAllStatements) {
        const std::string sql = FillPlaceholders(format);
        SCOPED_TRACE(sql);
        EXPECT_EQ(sql.find('%'), std::string::npos);
        EXPECT_NO_THROW(Prepare(FromUtf8(sql)).Finalize());
        EXPECT_NO_THROW({
            wxSQLite3ResultSet rows = ExecQuery(FromUtf8(sql));
            while (rows.NextRow()) {
            }
        });
    }
}

TEST_F(StatementsTest, EscapeQuotesTurnsSingleIntoDoubleQuotes)
{
    const struct {
        const char* typed;
        const char* stored;
    } cases[] = {
        {"Kitchen's photos", "Kitchen\"s photos"},
        {"", ""},
        {"no quote", "no quote"},
        {"''", "\"\""},
        {"a\"b", "a\"b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeQuotes(c.typed), c.stored) << c.typed;
}

// LastInsertId names the row just inserted.
TEST_F(StatementsTest, QuotedCaptionIsStoredWithDoubleQuote)
{
    const unsigned quoted = InsertProject("Kitchen's photos");
    const unsigned empty = InsertProject("");
    EXPECT_NE(quoted, empty);
    EXPECT_EQ(CaptionOf(quoted), "Kitchen\"s photos");
    EXPECT_EQ(CaptionOf(empty), "");
}

TEST_F(StatementsTest, LikeCheckFindsCaptionDifferingOnlyInCase)
{
    const unsigned id = InsertProject("Kitchen photos");

    EXPECT_EQ(ExecScalar(wxString::Format(kSqlCountProjectsCaptionLike, EscapeQuotes("KITCHEN Photos"))), 1);
    EXPECT_EQ(ExecScalar(wxString::Format(kSqlCountProjectsCaptionLike, EscapeQuotes("Garden"))), 0);
    EXPECT_EQ(ExecScalar(wxString::Format(kSqlCountOtherProjectsCaptionLike, "kitchen photos", id)), 0);
    ExecUpdate(wxString::Format(kSqlMarkProjectDeleted, NowText(), id));
    EXPECT_EQ(ExecScalar(wxString::Format(kSqlCountProjectsCaptionLike, "kitchen photos")), 1);
}

class TransactionTest : public CatalogTest {
protected:
    static int Projects() { return ExecScalar("select count(*) from PROJECT"); }
    static void Insert() { ExecUpdate(wxString::Format(kSqlInsertProject, NewGuid(), "p", NowText())); }
};

TEST_F(TransactionTest, RollsBackUnlessCommitted)
{
    {
        Transaction transaction;
        Insert();
        EXPECT_EQ(Projects(), 1);
    }
    EXPECT_EQ(Projects(), 0);
    {
        Transaction transaction;
        Insert();
        transaction.Commit();
    }
    EXPECT_EQ(Projects(), 1);
}

TEST_F(TransactionTest, RollsBackWhenAStatementThrows)
{
    try {
        Transaction transaction;
        Insert();
        ExecUpdate("insert into NO_SUCH_TABLE values (1)");
        transaction.Commit();
    } catch (const wxSQLite3Exception&) {
        // expected: the guard has undone the first insert while unwinding
    }
    EXPECT_EQ(Projects(), 0);
    EXPECT_TRUE(catalogDb.GetAutoCommit());  // no transaction left open
}

} // namespace
