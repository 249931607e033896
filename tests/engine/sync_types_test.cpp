#include "engine/sync_types.h"

#include <gtest/gtest.h>
#include <wx/translation.h>

#include "store/translations.h"

namespace {

class SyncTypesTest : public ::testing::Test {
protected:
    void TearDown() override { wxTranslations::Set(nullptr); }

    static SyncItem Item(int action)
    {
        SyncItem item;
        item.action = action;
        return item;
    }
};

TEST_F(SyncTypesTest, ActionNamesAndTextsCoverTheFourCodes)
{
    EXPECT_EQ(ActionName(Item(FP_DELETE)), "FP_DELETE");
    EXPECT_EQ(ActionName(Item(FP_MOVE)), "FP_MOVE");
    EXPECT_EQ(ActionName(Item(FP_COPY)), "FP_COPY");
    EXPECT_EQ(ActionName(Item(FP_MKDIR)), "FP_MKDIR");
    EXPECT_EQ(ActionText(Item(FP_DELETE)), "Delete");
    EXPECT_EQ(ActionText(Item(FP_MOVE)), "Move");
    EXPECT_EQ(ActionText(Item(FP_COPY)), "Copy");
    EXPECT_EQ(ActionText(Item(FP_MKDIR)), "Make directory");
}

TEST_F(SyncTypesTest, UnknownActionCodesHaveFixedNames)
{
    for (int code : {0, 5, -1}) {
        EXPECT_EQ(ActionName(Item(code)), "FP_UNKNOWN");
        EXPECT_EQ(ActionText(Item(code)), "???");
    }
}

// Bits 64 and 128 are not examined.
TEST_F(SyncTypesTest, ExactlyTheElevenNamedModesAreValidBelow64)
{
    const std::pair<int, const char*> names[] = {
        {1, "SD_COPY"},         {3, "SD_COPY_DEL"}, {5, "SD_COPY_M"},       {7, "SD_COPY_MDEL"},
        {8, "DS_COPY"},         {9, "SD_COPY_DS"},  {11, "SD_COPY_DEL_DS"}, {24, "DS_COPY_DEL"},
        {25, "DS_COPY_DEL_SD"}, {40, "DS_COPY_M"},  {56, "DS_COPY_MDEL"},
    };
    for (const auto& [mode, name] : names)
        EXPECT_EQ(SyncModeName(mode), name);
    int valid = 0;
    for (int mode = 0; mode < 64; ++mode) {
        const bool named = SyncModeName(mode) != "Unknown action!";
        EXPECT_EQ(IsValidSyncMode(static_cast<std::uint8_t>(mode)), named) << mode;
        valid += named;
    }
    EXPECT_EQ(valid, 11);
    EXPECT_TRUE(IsValidSyncMode(65));
}

TEST_F(SyncTypesTest, ModeTextPutsTheMediumNameInEveryPlaceholder)
{
    EXPECT_EQ(SyncModeText(24, "Stick"),
              "Copy files from \"Stick\" to this computer, syncing deletion on computer.");
    EXPECT_EQ(SyncModeText(3, "Stick"),
              "Copy files from this computer to \"Stick\", syncing deletion on \"Stick\"");
    EXPECT_EQ(SyncModeText(1, "100%s"), "Copy files from this computer to \"100%s\"");
    EXPECT_EQ(SyncModeText(2, "Stick"), "Unknown action!");
}

TEST_F(SyncTypesTest, TextsAreTranslated)
{
    ASSERT_TRUE(StartTranslations(wxLANGUAGE_RUSSIAN));
    EXPECT_EQ(ActionText(Item(FP_MKDIR)), wxString::FromUTF8("Создать каталог"));
    EXPECT_EQ(SyncModeText(8, "Stick"),
              wxString::FromUTF8("Копировать файлы с \"Stick\" на этот компьютер"));
    EXPECT_EQ(SyncModeText(2, "Stick"), wxString::FromUTF8("Неизвестное действие!"));
    EXPECT_EQ(SyncModeName(8), "DS_COPY");
    EXPECT_EQ(ActionText(Item(7)), "???");
}

} // namespace
