#include "store/options.h"

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
        chooseLanguage = [this] { return ++languageAsked, languageAnswer; };
    }
    void TearDown() override
    {
        chooseLanguage = [] { return -1; };
        appLocale.reset();
        wxTranslations::Set(nullptr);  // later tests see untranslated texts
        CatalogTest::TearDown();
    }

    // Replaces the OPTIONS rows by these.
    static void Store(std::initializer_list<std::pair<unsigned, const char*>> rows)
    {
        ExecUpdate("delete from OPTIONS");
        for (const auto& [ioption, value] : rows)
            ExecUpdate(wxString::Format(kSqlInsertOption, ioption, "stored", value));
    }
    // The nine options in memory, in the order of their IOPTION numbers.
    static wxString Current()
    {
        return wxString::Format("%d %u %u %u %u %d %d %d %d", soCompressLog, soDeleteLogsAfterDays,
                                soLanguage, soBzQuality, soBzWorkFactor, soShowAllDrives,
                                soRemoveEmptyFolders, soAlwaysShowLog, soAutoExportDatabase);
    }
    static wxString Stored() { return Rows("select IOPTION, STOPTION, VALUE from OPTIONS order by ID"); }

    int languageAsked = 0;
    int languageAnswer = -1;
};

// Without a row or with a stored 1 the box asks and the answer is stored at once; a cancelled
// box stores zero, which is not asked again.
TEST_F(OptionsTest, DefaultsLanguageBoxAndStoredValues)
{
    const struct {
        const char* stored;  // nullptr: no row
        int answer, asked;
        const char* current;
        const char* row;
    } cases[] = {
        {nullptr, -1, 1, "1 3 0 3 30 0 0 0 1", "3|soLanguage|0"},
        {nullptr, 3, 1, "1 3 58 3 30 0 0 0 1", "3|soLanguage|58"},
        {"1", 2, 1, "1 3 56 3 30 0 0 0 1", "3|stored|56"},
        {"0", 2, 0, "1 3 0 3 30 0 0 0 1", "3|stored|0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        Store({});
        if (c.stored)
            Store({{3, c.stored}});
        languageAsked = 0;
        languageAnswer = c.answer;
        InitOptions();
        EXPECT_EQ(languageAsked, c.asked);
        EXPECT_EQ(c.current, Current());
        EXPECT_EQ(c.row, Stored());
    }

    // Flags are true unless empty or starting with "0"; numbers must be the whole text and fit;
    // rows outside 1..9 are ignored; a later row overrides, a bad one keeps the earlier value.
    Store({{3, "56"}, {0, "9"}, {10, "9"}, {4294967295u, "9"}, {1, "00"}, {6, "yes"}, {9, ""},
           {2, "5"}, {2, "8"}, {4, "4294967295"}, {4, "5x"}, {5, "4294967296"}});
    InitOptions();
    EXPECT_EQ("0 8 56 4294967295 30 1 0 0 0", Current());
    EXPECT_EQ(languageAsked, 0);
}

// All nine rows in their order, the language row updated where it exists; they come back.
TEST_F(OptionsTest, SavedValuesComeBackOnTheNextLoad)
{
    InitOptions();
    ExecUpdate("delete from OPTIONS");
    soCompressLog = soAutoExportDatabase = false;
    soDeleteLogsAfterDays = 0;
    soLanguage = kLanguageRussian;
    soBzQuality = 9;
    soBzWorkFactor = 250;
    soShowAllDrives = soRemoveEmptyFolders = soAlwaysShowLog = true;
    SaveOptions();
    EXPECT_EQ("1|soCompressLog|0; 2|soDeleteLogsAfterDays|0; 4|soBzQuality|9; 5|soBzWorkFactor|250; "
              "3|soLanguage|156; 6|soShowAllDrives|1; 7|soRemoveEmptyFolders|1; 8|soAlwaysShowLog|1; "
              "9|soAutoExportDatabase|0", Stored());
    soCompressLog = true;
    InitOptions();
    EXPECT_EQ("0 0 156 9 250 1 1 1 0", Current());
    EXPECT_EQ(_("Remove expired logs"), wxString::FromUTF8("Удаление устаревших журналов"));

    Store({{3, "56"}});
    soLanguage = kLanguageEnglishUS;
    SaveOptions();
    EXPECT_TRUE(Stored().StartsWith("3|stored|58; 1|soCompressLog|0;")) << Stored();
    InitOptions();
    EXPECT_EQ(_("Remove expired logs"), "Remove expired logs");
}

} // namespace
