#include <memory>
#include <typeinfo>

#include <wx/listbox.h>

#include "app/startup.h"
#include "editors/masks_dialog.h"
#include "editors/project_dialog.h"
#include "editors/project_select_dialog.h"
#include "tests/editors/editors_fixture.h"

namespace {

class DialogBoxesTest : public CatalogTest {};

TEST_F(DialogBoxesTest, EscapeCancelsEveryModalEditor)
{
    std::unique_ptr<wxDialog> dialogs[] = {std::make_unique<DialogProject>(nullptr),
                                           std::make_unique<DialogProjectSelect>(nullptr),
                                           std::make_unique<DialogBzExt>(nullptr)};
    for (const auto& dialog : dialogs) {
        SCOPED_TRACE(typeid(*dialog).name());
        wxKeyEvent escape(wxEVT_CHAR_HOOK);
        escape.m_keyCode = WXK_ESCAPE;
        escape.SetEventObject(dialog.get());
        dialog->SetReturnCode(0);
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
    wxTEST_DIALOG(chooseLanguage(), ExpectScript<wxSingleChoiceDialog>([&](auto* d) {
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
