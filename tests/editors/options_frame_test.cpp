#include "editors/options_frame.h"

#include <wx/checkbox.h>
#include <wx/spinctrl.h>

#include "tests/editors/editors_fixture.h"

namespace {

class FrameOptionsTest : public EditorsTest {
protected:
    void OpenOptions()
    {
        Command(dralvoFrame::ID_MENU_OPTIONS);
        window = TopWindow<FrameOptions>();
        ASSERT_NE(window, nullptr);
    }
    // Sets the spin control or check box `name` to value.
    void Control(const char* name, int value) const
    {
        if (auto* spin = dynamic_cast<wxSpinCtrl*>(wxWindow::FindWindowByName(name, window)))
            spin->SetValue(value);
        else
            In<wxCheckBox>(window, name)->SetValue(value != 0);
    }
    // Presses a button; true when the window went.
    bool Press(const char* button)
    {
        ClickIn(window, button);
        Settle();
        return TopWindow<FrameOptions>() == nullptr;
    }

    FrameOptions* window = nullptr;
};

// OK stores every option within its control's range, but only with a language chosen; the
// window shows the options in force; Cancel drops the edits.
TEST_F(FrameOptionsTest, OkStoresEveryOptionAndCancelDropsEdits)
{
    const struct {
        const char* control;
        int value;
    } cases[] = {
        {"ID_CHECKBOX_COMPRESS_LOG", 0},    {"ID_SPINCTRL_LOG_DAYS", 250},
        {"ID_SPINCTRL_BZ_QUALITY", 0},      {"ID_SPINCTRL_WORK_FACTOR", 131},
        {"ID_CHECKBOX_ALL_DRIVES", 1},      {"ID_CHECKBOX_RM_EMPTY_DIRS", 1},
        {"ID_CHECKBOX_ALWAYS_SHOW_LOG", 1}, {"ID_CHECKBOX1", 0},
    };
    const char* stored = "select group_concat(IOPTION || '=' || VALUE) from "
                         "(select * from OPTIONS order by IOPTION)";
    SetOption(3, "soLanguage", "56");  // chosen already: InitOptions does not ask
    InitOptions();
    OpenWith();
    OpenOptions();
    for (const auto& c : cases)
        Control(c.control, c.value);
    EXPECT_TRUE(Press("ID_BUTTON_OK"));
    EXPECT_EQ("1=0,2=100,3=56,4=1,5=130,6=1,7=1,8=1,9=0", Text(stored));
    InitOptions();  // back to the defaults, then read the rows again
    OpenOptions();
    Control("ID_SPINCTRL_LOG_DAYS", 9);
    EXPECT_TRUE(Press("ID_BUTTON_CANCEL"));

    OpenOptions();  // what it shows is stored again below
    soLanguage = 7;  // none of the choices
    ClickIn(window, "ID_BUTTON_RESET");  // shows the values in force again
    Control("ID_SPINCTRL_LOG_DAYS", 9);
    wxTEST_DIALOG(EXPECT_FALSE(Press("ID_BUTTON_OK")),
                  ExpectMessage("Failed to get language!", wxOK, "Message"));
    EXPECT_EQ(100u, soDeleteLogsAfterDays);  // a refused OK changes nothing
    In<wxChoice>(window, "ID_CHOICE_LANGUAGE")->SetStringSelection("Russian");
    wxTEST_DIALOG(EXPECT_TRUE(Press("ID_BUTTON_OK")),
                  ExpectMessage("Preferable language has been changed.\nPlease restart program "
                                "to update interface.",
                                wxOK, "Language changed"));
    EXPECT_EQ("1=0,2=9,3=156,4=1,5=130,6=1,7=1,8=1,9=0", Text(stored));
}

} // namespace
