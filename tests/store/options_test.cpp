#include "store/options.h"

#include <string>
#include <utility>

#include <gtest/gtest.h>
#include <wx/translation.h>

#include "store/database.h"
#include "store/statements.h"
#include "tests/support/test_env.h"

namespace {

// A catalogue whose OPTIONS rows each test writes itself; the language box is a stub that
// counts its calls and answers with a chosen row (-1 = cancelled).
class OptionsTest : public CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        chooseLanguage = [this] {
            ++languageAsked;
            return languageAnswer;
        };
    }
    void TearDown() override
    {
        chooseLanguage = [] { return -1; };
        appLocale.reset();
        wxTranslations::Set(nullptr);  // later tests see untranslated texts
        CatalogTest::TearDown();
    }

    static void Store(unsigned ioption, const wxString& value)
    {
        ExecUpdate(wxString::Format(kSqlInsertOption, ioption, "stored", value));
    }
    // Only a language row, so that loading asks nothing.
    static void StoreEnglishOnly()
    {
        ExecUpdate("delete from OPTIONS");
        Store(3, "56");
    }
    // The nine options in memory, in the order of their IOPTION numbers.
    static wxString Current()
    {
        return wxString::Format("%d %u %u %u %u %d %d %d %d", soCompressLog, soDeleteLogsAfterDays, soLanguage,
                                soBzQuality, soBzWorkFactor, soShowAllDrives, soRemoveEmptyFolders,
                                soAlwaysShowLog, soAutoExportDatabase);
    }
    static wxString Stored() { return Rows("select IOPTION, STOPTION, VALUE from OPTIONS order by ID"); }

    int languageAsked = 0;
    int languageAnswer = -1;
};

// The language box is cancelled: zero is stored and not asked again.
TEST_F(OptionsTest, EmptyCatalogueGivesDefaultsAndStoresCancelledLanguageOnce)
{
    InitOptions();
    EXPECT_EQ("1 3 0 3 30 0 0 0 1", Current());
    EXPECT_EQ("3|soLanguage|0", Stored());
    InitOptions();
    EXPECT_EQ(languageAsked, 1);
    EXPECT_EQ(soLanguage, kLanguageSystemDefault);
}

// A chosen language is stored at once; a stored 1 is asked again and the answer updates the row.
TEST_F(OptionsTest, LanguageIsAskedUnlessStored)
{
    const struct {
        const char* stored;  // nullptr: no row
        int answer;
        unsigned language;
        const char* row;
    } cases[] = {
        {nullptr, 3, kLanguageEnglishUS, "3|soLanguage|58"},
        {"1", 2, kLanguageEnglish, "3|stored|56"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        ExecUpdate("delete from OPTIONS");
        if (c.stored)
            Store(3, c.stored);
        languageAsked = 0;
        languageAnswer = c.answer;
        InitOptions();
        EXPECT_EQ(languageAsked, 1);
        EXPECT_EQ(soLanguage, c.language);
        EXPECT_EQ(c.row, Stored());
    }
}

// Flags are true unless empty or starting with "0"; numbers must be the whole text.
TEST_F(OptionsTest, StoredValuesAreReadAsTheTableSays)
{
    const struct {
        unsigned ioption;
        const char* value;
        unsigned expected;
    } cases[] = {
        {1, "0", 0}, {1, "", 0}, {1, "00", 0}, {1, "yes", 1}, {1, "2", 1},  // soCompressLog
        {6, "0", 0}, {6, "1", 1},                                           // soShowAllDrives
        {4, "abc", 3}, {4, "5x", 3}, {4, "", 3}, {4, "7", 7}, {4, "0", 0},  // soBzQuality
        {4, "4294967295", 4294967295u}, {4, "4294967296", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ioption << " '" << c.value << "'");
        StoreEnglishOnly();
        Store(c.ioption, c.value);
        InitOptions();
        const unsigned read = c.ioption == 1 ? soCompressLog : c.ioption == 6 ? soShowAllDrives : soBzQuality;
        EXPECT_EQ(read, c.expected);
    }
}

// A bad later row keeps the earlier row's value.
TEST_F(OptionsTest, RowsOutsideOneToNineAreIgnoredAndLaterRowsOverride)
{
    StoreEnglishOnly();
    for (const unsigned outside : {0u, 10u, 4294967295u})
        Store(outside, "9");
    for (const auto& [ioption, value] : {std::pair{2u, "5"}, {2u, "8"}, {5u, "40"}, {5u, "bad"}})
        Store(ioption, value);
    InitOptions();
    EXPECT_EQ("1 8 56 3 40 0 0 0 1", Current());
    EXPECT_EQ(languageAsked, 0);
}

// All nine rows in their order, the language row updated where it exists; they come back.
TEST_F(OptionsTest, SavedValuesComeBackOnTheNextLoad)
{
    InitOptions();
    ExecUpdate("delete from OPTIONS");
    soCompressLog = false;
    soDeleteLogsAfterDays = 0;
    soLanguage = kLanguageRussian;
    soBzQuality = 9;
    soBzWorkFactor = 250;
    soShowAllDrives = soRemoveEmptyFolders = soAlwaysShowLog = true;
    soAutoExportDatabase = false;
    SaveOptions();
    EXPECT_EQ("1|soCompressLog|0; 2|soDeleteLogsAfterDays|0; 4|soBzQuality|9; 5|soBzWorkFactor|250; "
              "3|soLanguage|156; 6|soShowAllDrives|1; 7|soRemoveEmptyFolders|1; 8|soAlwaysShowLog|1; "
              "9|soAutoExportDatabase|0", Stored());
    soCompressLog = true;
    InitOptions();
    EXPECT_EQ("0 0 156 9 250 1 1 1 0", Current());

    StoreEnglishOnly();
    soLanguage = kLanguageEnglishUS;
    SaveOptions();
    EXPECT_TRUE(Stored().StartsWith("3|stored|58; 1|soCompressLog|0;")) << Stored();
}

TEST_F(OptionsTest, StoredLanguageDecidesTheTranslation)
{
    for (const auto& [language, text] : {std::pair{"156", "Удаление устаревших журналов"},
                                         std::pair{"56", "Remove expired logs"}}) {
        ExecUpdate("delete from OPTIONS");
        Store(3, language);
        InitOptions();
        EXPECT_EQ(_("Remove expired logs"), wxString::FromUTF8(text)) << language;
    }
}

} // namespace
