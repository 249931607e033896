#include "store/options.h"

#include <ctime>
#include <functional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <wx/translation.h>

#include "store/database.h"
#include "store/file_time.h"
#include "store/run_logs.h"
#include "store/statements.h"
#include "tests/support/test_env.h"

namespace {

// The language box is a stub that counts its calls and answers with a chosen row (-1 =
// cancelled); each case writes the OPTIONS rows itself. The Yes/No box of the run logs is
// restored afterwards.
class OptionsTest : public CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        chooseLanguage = [this] { return ++languageAsked, languageAnswer; };
    }
    void TearDown() override
    {
        chooseLanguage = [] { return -1; };
        askYesNo = [](const wxString&, const wxString&) { return false; };
        appLocale.reset();
        wxTranslations::Set(nullptr);  // later tests see untranslated texts
        CatalogTest::TearDown();
    }
    // Replaces the OPTIONS rows by these.
    static void Store(const std::vector<std::pair<unsigned, const char*>>& rows)
    {
        ExecUpdate("delete from OPTIONS");
        for (const auto& [ioption, value] : rows)
            ExecUpdate(wxString::Format(kSqlInsertOption, ioption, "stored", value));
    }
    // Loads the options: the nine in memory (in IOPTION order), then the rows.
    wxString Loaded()
    {
        languageAsked = 0;
        InitOptions();
        return wxString::Format("%d %u %u %u %u %d %d %d %d|", soCompressLog,
                                soDeleteLogsAfterDays, soLanguage, soBzQuality, soBzWorkFactor,
                                soShowAllDrives, soRemoveEmptyFolders, soAlwaysShowLog,
                                soAutoExportDatabase) +
               Rows("select IOPTION, STOPTION, VALUE from OPTIONS order by ID");
    }

    int languageAsked = 0;
    int languageAnswer = -1;
};

// Without a language row or with a stored 1 the box asks and the answer is stored at once; a
// cancelled box stores zero, which is not asked again. Flags are true unless empty or starting
// with "0"; numbers must be the whole text and fit; rows outside 1..9 are ignored; a later row
// overrides, a bad one keeps the earlier value.
TEST_F(OptionsTest, DefaultsLanguageBoxAndStoredValues)
{
    const struct {
        std::vector<std::pair<unsigned, const char*>> rows;
        int answer, asked;
        const char* loaded;
    } cases[] = {
        {{}, -1, 1, "1 3 0 3 30 0 0 0 1|3|soLanguage|0"},
        {{}, 3, 1, "1 3 58 3 30 0 0 0 1|3|soLanguage|58"},
        {{{3, "1"}}, 2, 1, "1 3 56 3 30 0 0 0 1|3|stored|56"},
        {{{3, "0"}}, 2, 0, "1 3 0 3 30 0 0 0 1|3|stored|0"},
        {{{3, "56"}, {0, "9"}, {10, "9"}, {4294967295u, "9"}, {1, "00"}, {6, "yes"}, {9, ""},
          {2, "5"}, {2, "8"}, {4, "4294967295"}, {4, "5x"}, {5, "4294967296"}},
         -1, 0, "0 8 56 4294967295 30 1 0 0 0|"},
        {{{3, "0"}, {2, " 5"}, {2, "+5"}, {2, "5 "}, {4, "\t5"}, {4, "-5"}, {5, "0x10"}, {5, "5.0"},
          {4, "00000000009"}},
         -1, 0, "1 3 0 9 30 0 0 0 1|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.loaded);
        Store(c.rows);
        languageAnswer = c.answer;
        EXPECT_TRUE(Loaded().StartsWith(c.loaded));
        EXPECT_EQ(languageAsked, c.asked);
    }
}

// All nine rows in their order, the language row updated where it exists; they come back.
TEST_F(OptionsTest, SavedValuesComeBackOnTheNextLoad)
{
    Store({});
    soCompressLog = soAutoExportDatabase = false;
    soDeleteLogsAfterDays = 0;
    soLanguage = kLanguageRussian;
    soBzQuality = 9;
    soBzWorkFactor = 250;
    soShowAllDrives = soRemoveEmptyFolders = soAlwaysShowLog = true;
    SaveOptions();
    soCompressLog = true;
    EXPECT_EQ("0 0 156 9 250 1 1 1 0|1|soCompressLog|0; 2|soDeleteLogsAfterDays|0; "
              "4|soBzQuality|9; 5|soBzWorkFactor|250; 3|soLanguage|156; 6|soShowAllDrives|1; "
              "7|soRemoveEmptyFolders|1; 8|soAlwaysShowLog|1; 9|soAutoExportDatabase|0",
              Loaded());
    EXPECT_EQ(_("Remove expired logs"), wxString::FromUTF8("Удаление устаревших журналов"));
    Store({{3, "56"}});
    soLanguage = kLanguageEnglishUS;
    SaveOptions();
    EXPECT_TRUE(Loaded().Contains("|3|stored|58; 1|soCompressLog|0;"));
    EXPECT_EQ(_("Remove expired logs"), "Remove expired logs");
}

// Run logs of chosen ages in userDataDir; the Yes/No box is a stub that records the count it
// was offered. Counts of days that reach past the year 9999 mean never.
TEST_F(OptionsTest, RunLogsOlderThanTheDaysAreOfferedOnceAndRemovedOnYes)
{
    const struct {
        unsigned days;
        bool answer;
        const char* offered;  // the count the question names, "" when not asked
        const char* kept;     // per log below
    } cases[] = {{3, true, "1", "01111"}, {3, false, "1", "11111"}, {1, true, "2", "00111"},
                 {0, true, "", "11111"}, {4294967295u, true, "", "11111"}};
    const std::pair<const char*, int> logs[] = {
        {"dralvo_sync_old.xml.bz2", 4}, {"dralvo_sync_recent.xml", 2}, {"dralvo_sync_x.txt", 9},
        {"notes_dralvo_sync_x.xml", 9}, {"dralvo_sync_today.xml", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.days);
        wxString offered, kept;
        askYesNo = [&](const wxString& message, const wxString&) {
            offered = message.BeforeFirst(' ');
            EXPECT_TRUE(message.Contains(wxString::Format(" %u ", c.days))) << message;
            return c.answer;
        };
        soDeleteLogsAfterDays = c.days;
        for (const auto& [name, daysOld] : logs)
            SetFileModTime(dir.Write(name, "<sync/>"),
                           FileTimeFromUnix(std::time(nullptr) - daysOld * 86400LL));
        dir.MakeDir("dralvo_sync_dir.xml");
        RemoveExpiredLogs();
        for (const auto& log : logs)
            kept << (Exists(dir / log.first) ? "1" : "0");
        EXPECT_EQ(offered + "/" + kept, c.offered + wxString("/") + c.kept);
    }
    EXPECT_TRUE(FindExpiredLogs(dir / "missing/", wxDateTime::Now()).empty());
}

// A statement text runs only when it holds one statement: whatever follows the first may be
// blanks, semicolons and comments only, through every way a statement reaches the catalogue.
TEST_F(OptionsTest, ATextRunsOneStatementOnly)
{
    AddProject("p");
    const std::pair<const char*, bool> tails[] = {
        {"", true}, {"; ;\n-- end\n/* c */", true}, {" and CAPTION <> 'a;b'", true},
        {"; update PROJECT set CAPTION='pwn'", false},
        {";--\nupdate PROJECT set CAPTION='pwn'", false},
        {"/* ; */; delete from PROJECT;--", false}};
    for (const auto& [tail, one] : tails) {
        SCOPED_TRACE(tail);
        const wxString query = wxString("select count(*) from PROJECT where DELETED=0") + tail;
        const std::function<void()> runs[] = {
            [&] { ExecScalar(query); }, [&] { ExecScalar64(query); }, [&] { ExecQuery(query); },
            [&] { Prepare(query); },
            [&] { ExecUpdate(wxString("update PROJECT set DELETED=0 where ID=1") + tail); }};
        for (const auto& run : runs)
            if (one)
                EXPECT_NO_THROW(run());
            else
                EXPECT_THROW(run(), wxSQLite3Exception);
    }
    EXPECT_EQ(Rows("select CAPTION from PROJECT"), "p");
}

} // namespace
