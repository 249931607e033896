#include "engine/sync_types.h"

#include <gtest/gtest.h>
#include <wx/translation.h>

#include "store/translations.h"

namespace {

// Exactly the named modes pass below 64 (bits 64 and 128 are not examined); a medium name
// holding "%s" is not expanded again; texts are translated, names are not.
TEST(SyncTypesTest, ExactlyTheElevenNamedModesAreValidAndOnlyTheirTextsTranslated)
{
    int valid = 0;
    for (int mode = 0; mode < 64; ++mode) {
        const bool named = SyncModeName(mode) != "Unknown action!";
        EXPECT_EQ(IsValidSyncMode(static_cast<std::uint8_t>(mode)), named) << mode;
        valid += named;
    }
    EXPECT_TRUE(valid == 11 && IsValidSyncMode(65));
    EXPECT_EQ(SyncModeText(3, "100%s"),
              "Copy files from this computer to \"100%s\", syncing deletion on \"100%s\"");
    ASSERT_TRUE(StartTranslations(wxLANGUAGE_RUSSIAN));
    SyncItem item;
    item.action = FP_MKDIR;
    EXPECT_EQ(ActionText(item) + ActionName(item) + SyncModeText(8, "S") + SyncModeText(2, "S"),
              wxString::FromUTF8("Создать каталогFP_MKDIRКопировать файлы с \"S\" на этот "
                                 "компьютерНеизвестное действие!"));
    wxTranslations::Set(nullptr);
}

} // namespace
