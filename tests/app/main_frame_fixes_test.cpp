#include "tests/app/main_frame_fixture.h"

namespace {

// Refilling the medium location field is the program's own change: only what the user typed
// is ever stored.
TEST_F(MainFrameTest, TypedMediumLocationIsStoredOnceAndRefillsStoreNothing)
{
    AddMedium("11111111-2222-3333-4444-555555555555", "Blue");
    AddMedium("99999999-8888-7777-6666-555555555555", "Red");
    OpenWith({"Home", "Work"});
    ChooseMedium("Blue");
    Type(MediumField(), "Sync\\Work");
    ChooseMedium("Red");
    ChooseMedium("Blue");
    EXPECT_EQ("Sync\\Work", MediumField()->GetValue());
    ChooseMedium("Red");
    ToggleConnectedOnly();
    ToggleConnectedOnly();
    Command(dralvoFrame::ID_MENU_REFRESH_MEDIA);
    ChooseProject("Home");
    ChooseProject("Work");
    NewProject("Third");
    EXPECT_EQ("Sync\\Work", Text("select group_concat(FOLDER) from MEPROJECT"));
}

// At the smallest size the window allows, the rules list, the mask field and the allow box
// still have their room.
TEST_F(MainFrameTest, MinimumSizeKeepsTheRulesControlsWhole)
{
    OpenWith({"A project with a rather long caption"}, {"Docs"});
    frame->SetSize(frame->GetMinSize());
    frame->Layout();
    wxTheApp->ProcessIdle();
    for (const char* name : {"ID_CUSTOM_BMPLBX_RULES", "ID_TEXTCTRL_RULE", "ID_CHECKBOX_RULE_ALLOW",
                             "ID_BITMAPBUTTON_RUN_TESTBED", "ID_BITMAPBUTTON_RENAME"}) {
        SCOPED_TRACE(name);
        wxWindow* control = Find<wxWindow>(name);
        const wxRect rect(frame->ScreenToClient(control->GetScreenPosition()), control->GetSize());
        EXPECT_TRUE(wxRect(frame->GetClientSize()).Contains(rect));
        EXPECT_GE(rect.height, control->GetBestSize().y);
    }
}

} // namespace
