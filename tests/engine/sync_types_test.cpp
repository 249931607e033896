#include "engine/sync_types.h"

#include <gtest/gtest.h>
#include <wx/translation.h>

#include "store/translations.h"

namespace {

SyncItem Item(int action)
{
    SyncItem item;
    item.action = action;
    return item;
}

// Exactly the named modes pass below 64; bits 64 and 128 are not examined. Unknown values
// have fixed names. Every placeholder gets the medium's name, and a name holding "%s" is not
// expanded again.
TEST(SyncTypesTest, ExactlyTheElevenNamedModesAreValidAndNamed)
{
    int valid = 0;
    for (int mode = 0; mode < 64; ++mode) {
        const bool named = SyncModeName(mode) != "Unknown action!";
        EXPECT_EQ(IsValidSyncMode(static_cast<std::uint8_t>(mode)), named) << mode;
        valid += named;
    }
    EXPECT_EQ(valid, 11);
    EXPECT_TRUE(IsValidSyncMode(65));
    EXPECT_EQ(SyncModeText(2, "Stick"), "Unknown action!");
    for (int code : {0, 5, -1})
        EXPECT_EQ(ActionName(Item(code)) + ActionText(Item(code)), "FP_UNKNOWN???");
    EXPECT_EQ(SyncModeText(3, "100%s"),
              "Copy files from this computer to \"100%s\", syncing deletion on \"100%s\"");
    EXPECT_EQ(SyncModeText(24, "Stick").Freq('"'), 2u);
}

TEST(SyncTypesTest, TextsAreTranslatedNamesAreNot)
{
    ASSERT_TRUE(StartTranslations(wxLANGUAGE_RUSSIAN));
    EXPECT_EQ(ActionText(Item(FP_MKDIR)), wxString::FromUTF8("Создать каталог"));
    EXPECT_EQ(ActionName(Item(FP_MKDIR)), "FP_MKDIR");
    EXPECT_EQ(SyncModeText(8, "Stick"),
              wxString::FromUTF8("Копировать файлы с \"Stick\" на этот компьютер"));
    EXPECT_EQ(SyncModeText(2, "Stick"), wxString::FromUTF8("Неизвестное действие!"));
    EXPECT_EQ(SyncModeName(8), "DS_COPY");
    wxTranslations::Set(nullptr);
}

} // namespace
