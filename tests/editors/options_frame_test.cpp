#include "editors/options_frame.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/spinctrl.h>

#include "tests/editors/editors_fixture.h"

namespace {

class FrameOptionsTest : public EditorsTest {
protected:
    void SetUp() override
    {
        EditorsTest::SetUp();
        SetOption(3, "soLanguage", "56");  // chosen already: InitOptions does not ask
        InitOptions();
    }
    void TearDown() override
    {
        if (window != nullptr)
            window->Close();
        Settle();
        EditorsTest::TearDown();
    }

    void OpenOptions()
    {
        if (!frame)
            Open();
        Command(dralvoFrame::ID_MENU_OPTIONS);
        window = TopWindow<FrameOptions>();
        ASSERT_NE(window, nullptr);
    }
    wxCheckBox* Box(const char* name) const { return In<wxCheckBox>(window, name); }
    wxSpinCtrl* Spin(const char* name) const { return In<wxSpinCtrl>(window, name); }
    wxChoice* Language() const { return In<wxChoice>(window, "ID_CHOICE_LANGUAGE"); }
    // Presses a button; true when the window went.
    bool Press(const char* button)
    {
        ClickIn(window, button);
        Settle();
        if (TopWindow<FrameOptions>() != nullptr)
            return false;
        window = nullptr;
        return true;
    }
    static wxString Stored(int ioption)
    {
        return Text(wxString::Format("select VALUE from OPTIONS where IOPTION=%d", ioption));
    }

    wxWeakRef<FrameOptions> window;
};

TEST_F(FrameOptionsTest, OkStoresEveryOptionWithinItsRange)
{
    const struct {
        const char* control;
        int value;       // for a spin control: set, then clamped by its range
        int ioption;
        const char* stored;
    } cases[] = {
        {"ID_CHECKBOX_COMPRESS_LOG", 0, 1, "0"},
        {"ID_SPINCTRL_LOG_DAYS", 250, 2, "100"},
        {"ID_SPINCTRL_BZ_QUALITY", 0, 4, "1"},
        {"ID_SPINCTRL_WORK_FACTOR", 131, 5, "130"},
        {"ID_CHECKBOX_ALL_DRIVES", 1, 6, "1"},
        {"ID_CHECKBOX_RM_EMPTY_DIRS", 1, 7, "1"},
        {"ID_CHECKBOX_ALWAYS_SHOW_LOG", 1, 8, "1"},
        {"ID_CHECKBOX1", 0, 9, "0"},
    };
    OpenOptions();
    EXPECT_EQ("English", Language()->GetStringSelection());
    for (const auto& c : cases) {
        if (wxString(c.control).StartsWith("ID_SPIN"))
            Spin(c.control)->SetValue(c.value);
        else
            Box(c.control)->SetValue(c.value != 0);
    }
    EXPECT_TRUE(Press("ID_BUTTON_OK"));
    EXPECT_EQ(9, Scalar("select count(*) from OPTIONS"));
    EXPECT_EQ("56", Stored(3));
    InitOptions();  // back to the defaults, then read the rows again
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        EXPECT_EQ(c.stored, Stored(c.ioption));
    }
    EXPECT_EQ(100u, soDeleteLogsAfterDays);
    EXPECT_EQ(1u, soBzQuality);
    EXPECT_EQ(130u, soBzWorkFactor);
    EXPECT_TRUE(soShowAllDrives && soRemoveEmptyFolders && soAlwaysShowLog);
    EXPECT_FALSE(soCompressLog || soAutoExportDatabase);

    // The window shows the stored values when it opens again.
    OpenOptions();
    EXPECT_EQ(130, Spin("ID_SPINCTRL_WORK_FACTOR")->GetValue());
    EXPECT_FALSE(Box("ID_CHECKBOX1")->GetValue());
}

TEST_F(FrameOptionsTest, ChangedLanguageIsStoredWithANotice)
{
    OpenOptions();
    EXPECT_EQ(4u, Language()->GetCount());
    Language()->SetStringSelection("Russian");
    wxTEST_DIALOG(EXPECT_TRUE(Press("ID_BUTTON_OK")),
                  ExpectMessage("Preferable language has been changed.\nPlease restart program "
                                "to update interface.",
                                wxOK, "Language changed"));
    EXPECT_EQ(kLanguageRussian, soLanguage);
    EXPECT_EQ("156", Stored(3));
    EXPECT_EQ(wxLANGUAGE_RUSSIAN, WxLanguageFromStored(soLanguage));
}

TEST_F(FrameOptionsTest, ResetAndCancelDropEdits)
{
    OpenOptions();
    Spin("ID_SPINCTRL_LOG_DAYS")->SetValue(9);
    ClickIn(window, "ID_BUTTON_RESET");
    EXPECT_EQ(3, Spin("ID_SPINCTRL_LOG_DAYS")->GetValue());
    Spin("ID_SPINCTRL_LOG_DAYS")->SetValue(9);
    EXPECT_TRUE(Press("ID_BUTTON_CANCEL"));
    EXPECT_EQ(3u, soDeleteLogsAfterDays);
    EXPECT_EQ(0, Scalar("select count(*) from OPTIONS where IOPTION <> 3"));  // 3: stored by SetUp
}

TEST_F(FrameOptionsTest, UnknownLanguageMustBeChosenFirst)
{
    soLanguage = 7;
    OpenOptions();
    EXPECT_EQ(wxNOT_FOUND, Language()->GetSelection());
    wxTEST_DIALOG(EXPECT_FALSE(Press("ID_BUTTON_OK")),
                  ExpectMessage("Failed to get language!", wxOK, "Message"));
    EXPECT_EQ(0, Scalar("select count(*) from OPTIONS where IOPTION <> 3"));  // 3: stored by SetUp
    Language()->SetSelection(0);
    wxTEST_DIALOG(EXPECT_TRUE(Press("ID_BUTTON_OK")), ExpectMessage("Preferable language has been "
                                                                    "changed.\nPlease restart "
                                                                    "program to update interface."));
    EXPECT_EQ("0", Stored(3));
}

} // namespace
