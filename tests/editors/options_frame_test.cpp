#include "editors/options_frame.h"

#include <wx/spinctrl.h>

#include "tests/editors/editors_fixture.h"

namespace {

using FrameOptionsTest = EditorsTest;

// OK stores every option within its control's range, but only with a language chosen; the
// window shows the options in force; Reset brings them back, Cancel drops the edits.
TEST_F(FrameOptionsTest, OkStoresEveryOptionAndCancelDropsEdits)
{
    FrameOptions* window = nullptr;
    // Opens the window, sets spin controls and check boxes and presses a button; true when
    // the window went.
    const auto edit = [&](std::initializer_list<std::pair<const char*, int>> values,
                          const char* button) {
        Command(dralvoFrame::ID_MENU_OPTIONS);
        window = TopWindow<FrameOptions>();
        for (const auto& [name, value] : values)
            if (auto* spin = dynamic_cast<wxSpinCtrl*>(wxWindow::FindWindowByName(name, window)))
                spin->SetValue(value);
            else
                In<wxCheckBox>(window, name)->SetValue(value != 0);
        ClickIn(window, button);
        Settle();
        return TopWindow<FrameOptions>() == nullptr;
    };
    const char* stored = "select group_concat(IOPTION || '=' || VALUE) from "
                         "(select * from OPTIONS order by IOPTION)";
    SetOption(3, "soLanguage", "56");  // chosen already: InitOptions does not ask
    InitOptions();
    OpenWith();
    EXPECT_TRUE(edit({{"ID_CHECKBOX_COMPRESS_LOG", 0}, {"ID_SPINCTRL_LOG_DAYS", 250},
                      {"ID_SPINCTRL_BZ_QUALITY", 0}, {"ID_SPINCTRL_WORK_FACTOR", 131},
                      {"ID_CHECKBOX_ALL_DRIVES", 1}, {"ID_CHECKBOX_RM_EMPTY_DIRS", 1},
                      {"ID_CHECKBOX_ALWAYS_SHOW_LOG", 1}, {"ID_CHECKBOX1", 0}}, "ID_BUTTON_OK"));
    EXPECT_EQ("1=0,2=100,3=56,4=1,5=130,6=1,7=1,8=1,9=0", Text(stored));
    InitOptions();  // back to the defaults, then read the rows again
    EXPECT_FALSE(edit({{"ID_SPINCTRL_LOG_DAYS", 9}}, "ID_BUTTON_RESET"));
    EXPECT_EQ(100, In<wxSpinCtrl>(window, "ID_SPINCTRL_LOG_DAYS")->GetValue());
    EXPECT_TRUE(edit({{"ID_SPINCTRL_LOG_DAYS", 9}}, "ID_BUTTON_CANCEL"));
    soLanguage = 7;  // none of the choices
    wxTEST_DIALOG(EXPECT_FALSE(edit({{"ID_SPINCTRL_LOG_DAYS", 0}}, "ID_BUTTON_OK")),
                  ExpectMessage("Failed to get language!", wxOK, "Message"));
    EXPECT_EQ(100u, soDeleteLogsAfterDays);  // a refused OK changes nothing
    EXPECT_EQ("", widgets_test::UnidentifiedControls(window));
    In<wxChoice>(window, "ID_CHOICE_LANGUAGE")->SetStringSelection("Russian");
    wxTEST_DIALOG(ClickIn(window, "ID_BUTTON_OK"),
                  ExpectMessage("Preferable language has been changed.\nPlease restart program "
                                "to update interface.", wxOK, "Language changed"));
    EXPECT_EQ("1=0,2=0,3=156,4=1,5=130,6=1,7=1,8=1,9=0", Text(stored));  // 0: never delete
}

} // namespace
