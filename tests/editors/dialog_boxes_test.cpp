#include <memory>

#include <gtest/gtest.h>

#include <wx/listbox.h>

#include "app/startup.h"
#include "editors/masks_dialog.h"
#include "editors/project_dialog.h"
#include "editors/project_select_dialog.h"
#include "tests/editors/editors_fixture.h"
#include "tests/support/test_env.h"

namespace {

class DialogBoxesTest : public CatalogTest {};

// Escape presses Cancel in every modal editor.
TEST_F(DialogBoxesTest, EscapeCancels)
{
    const struct {
        const char* name;
        std::function<wxDialog*()> make;
    } cases[] = {
        {"project properties", [] { return new DialogProject(nullptr); }},
        {"project picker", [] { return new DialogProjectSelect(nullptr); }},
        {"incompressible masks", [] { return new DialogBzExt(nullptr); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<wxDialog> dialog(c.make());
        dialog->SetReturnCode(0);
        wxKeyEvent escape(wxEVT_CHAR_HOOK);
        escape.m_keyCode = WXK_ESCAPE;
        escape.SetEventObject(dialog.get());
        dialog->GetEventHandler()->ProcessEvent(escape);
        EXPECT_EQ(wxCANCEL, dialog->GetReturnCode());
    }
}

// The start-up language box shows its four languages whole.
TEST_F(DialogBoxesTest, LanguageBoxShowsEveryRow)
{
    const auto previous = chooseLanguage;
    InstallQuestionBoxes();
    int rows = 0;
    wxTEST_DIALOG(chooseLanguage(), ExpectScript<wxSingleChoiceDialog>([&](wxSingleChoiceDialog* d) {
        d->Show();
        for (int n = 0; n < 20; ++n)
            wxYield();
        for (wxWindow* child : d->GetChildren())
            if (auto* list = dynamic_cast<wxListBox*>(child))
                rows = list->GetCountPerPage();
        d->Hide();
        return wxID_CANCEL;
    }));
    chooseLanguage = previous;
    EXPECT_GE(rows, 4);
}

} // namespace
