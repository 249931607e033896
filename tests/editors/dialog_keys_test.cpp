#include <memory>

#include <gtest/gtest.h>

#include "editors/masks_dialog.h"
#include "editors/project_dialog.h"
#include "editors/project_select_dialog.h"
#include "tests/support/test_env.h"

namespace {

class DialogKeysTest : public CatalogTest {};

// Escape presses Cancel in every modal editor.
TEST_F(DialogKeysTest, EscapeCancels)
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

} // namespace
