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
    // Sets the spin control or check box `name` to value unless it is -1; returns what it shows.
    int Control(const char* name, int value = -1) const
    {
        if (auto* spin = dynamic_cast<wxSpinCtrl*>(wxWindow::FindWindowByName(name, window)))
            return value < 0 ? spin->GetValue() : (spin->SetValue(value), spin->GetValue());
        auto* box = In<wxCheckBox>(window, name);
        return value < 0 ? box->GetValue() : (box->SetValue(value != 0), box->GetValue());
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

// OK stores every option within its control's range, but only with a language chosen; Cancel
// drops the edits.
TEST_F(FrameOptionsTest, OkStoresEveryOptionAndCancelDropsEdits)
{
    const struct {
        const char* control;
        int value;
        int shown;  // after reading the stored rows back
    } cases[] = {
        {"ID_CHECKBOX_COMPRESS_LOG", 0, 0},    {"ID_SPINCTRL_LOG_DAYS", 250, 100},
        {"ID_SPINCTRL_BZ_QUALITY", 0, 1},      {"ID_SPINCTRL_WORK_FACTOR", 131, 130},
        {"ID_CHECKBOX_ALL_DRIVES", 1, 1},      {"ID_CHECKBOX_RM_EMPTY_DIRS", 1, 1},
        {"ID_CHECKBOX_ALWAYS_SHOW_LOG", 1, 1}, {"ID_CHECKBOX1", 0, 0},
    };
    const char* stored = "select group_concat(IOPTION || '=' || VALUE) from "
                         "(select * from OPTIONS order by IOPTION)";
    SetOption(3, "soLanguage", "56");  // chosen already: InitOptions does not ask
    InitOptions();
    Open();
    OpenOptions();
    for (const auto& c : cases)
        Control(c.control, c.value);
    EXPECT_TRUE(Press("ID_BUTTON_OK"));
    const wxString all = "1=0,2=100,3=56,4=1,5=130,6=1,7=1,8=1,9=0";
    EXPECT_EQ(all, Text(stored));
    InitOptions();  // back to the defaults, then read the rows again
    OpenOptions();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        EXPECT_EQ(c.shown, Control(c.control));
    }
    EXPECT_EQ("English", In<wxChoice>(window, "ID_CHOICE_LANGUAGE")->GetStringSelection());
    Control("ID_SPINCTRL_LOG_DAYS", 9);
    EXPECT_TRUE(Press("ID_BUTTON_CANCEL"));
    EXPECT_EQ(100u, soDeleteLogsAfterDays);
    EXPECT_EQ(all, Text(stored));

    OpenOptions();
    soLanguage = 7;  // none of the choices
    ClickIn(window, "ID_BUTTON_RESET");  // shows the values in force again
    wxTEST_DIALOG(EXPECT_FALSE(Press("ID_BUTTON_OK")),
                  ExpectMessage("Failed to get language!", wxOK, "Message"));
    EXPECT_EQ(all, Text(stored));
    In<wxChoice>(window, "ID_CHOICE_LANGUAGE")->SetStringSelection("Russian");
    wxTEST_DIALOG(EXPECT_TRUE(Press("ID_BUTTON_OK")),
                  ExpectMessage("Preferable language has been changed.\nPlease restart program "
                                "to update interface.",
                                wxOK, "Language changed"));
    EXPECT_EQ("156", Text("select VALUE from OPTIONS where IOPTION=3"));
}

} // namespace
