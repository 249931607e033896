#include "run/run_dialog.h"

#include <random>

#include "tests/run/run_dialog_fixture.h"

namespace {

// Files of random bytes compress slowly: a copy of many of them can be stopped half way.
void WriteSlowFiles(const TempDir& dir, const wxString& folder, int count)
{
    std::mt19937 random(7);
    std::string bytes(1 << 20, '\0');
    for (int i = 0; i < count; ++i) {
        for (char& c : bytes)
            c = static_cast<char>(random());
        dir.Write(wxString::Format("%s/f%02d.bin", folder, i), bytes);
    }
}

std::vector<wxString> Strings(const wxItemContainer* control)
{
    const wxArrayString strings = control->GetStrings();
    return {strings.begin(), strings.end()};
}

int FilesIn(const wxString& path)
{
    wxArrayString found;
    return wxDir::Exists(path) ? static_cast<int>(wxDir::GetAllFiles(path, &found)) : 0;
}

} // namespace

TEST_F(RunDialogTest, DialogOffersCataloguedMediaWithTheirProjectsAndInterlocksItsOptions)
{
    AddDrive("blank", "");  // carries no catalogued medium
    AddMedium("99999999-0000-1111-2222-333344445555", "Other");
    const unsigned otherId = LastInsertId();
    AddDrive("other", "99999999-0000-1111-2222-333344445555");
    AddRunProject("Beta", "station/beta", "B");
    AddRunProject("Alpha", "station/alpha", "");
    mediumId = otherId;
    AddRunProject("Gamma", "station/gamma", "G");
    ASSERT_NE(OpenRun(), nullptr);

    auto* media = InRun<wxChoice>("ID_CHOICE_MEDIA");
    auto* projects = InRun<wxCheckListBox>("ID_CHECKLISTBOX_PROJECTS");
    EXPECT_EQ((std::vector<wxString>{"Other", "Stick"}), Strings(media));
    EXPECT_EQ((std::vector<wxString>{"Gamma"}), Strings(projects));
    Choose(media, 1);
    EXPECT_EQ((std::vector<wxString>{"Alpha", "Beta"}), Strings(projects));
    EXPECT_FALSE(projects->IsChecked(0));

    auto* logOnly = InRun<wxCheckBox>("ID_CHECKBOX_TESTING");
    EXPECT_FALSE(logOnly->IsEnabled());
    SetBox("ID_CHECKBOX_TWO_STEPS", false);
    EXPECT_TRUE(logOnly->IsEnabled());
    SetBox("ID_CHECKBOX_TESTING", true);
    SetBox("ID_CHECKBOX_TWO_STEPS", true);
    EXPECT_FALSE(logOnly->IsEnabled());
    EXPECT_FALSE(logOnly->GetValue());

    // One run dialog at a time (the Run tool comes back when it goes: see the close test).
    EXPECT_FALSE(RunToolEnabled());
    DialogRun* first = Run();
    Command(dralvoFrame::ID_TOOL_RUN);
    EXPECT_EQ(first, Run());
}

TEST_F(RunDialogTest, OneStepRunCopiesEveryProjectCheckedAndALogOnlyRunChangesNoFile)
{
    // A quote in the caption and two projects of one caption: each is its own job; a folder
    // located outside the medium gets none.
    AddRunProject("Bob's files", "station/one", "Proj");
    AddRunProject("Bob's files", "station/two", "Proj2");
    AddRunProject("Evil", "station/evil", "..\\out");
    dir.Write("station/one/a.txt", "one");
    dir.Write("station/two/sub/b.txt", "two");
    dir.Write("station/evil/a.txt", "a");
    ASSERT_NE(OpenRun(), nullptr);
    SetBox("ID_CHECKBOX_TWO_STEPS", false);
    wxTEST_DIALOG(widgets_test::Click(Run(), "ID_BUTTON_OK"),
                  ExpectMessage("You selected projects:\nBob's files, Bob's files, Evil\nAction:\n"
                                "Copy files from this computer to \"Stick\"\nBegin synchronization?",
                                wxYES, "Checkout parameters"));
    EXPECT_EQ("Stop", InRun<wxButton>("ID_BUTTON_CANCEL")->GetLabel());
    ASSERT_TRUE(PumpUntilIdle()) << Log();
    EXPECT_EQ("one", ReadAll(root + "Proj/docs/a.txt"));
    EXPECT_EQ("two", ReadAll(root + "Proj2/docs/sub/b.txt"));
    EXPECT_FALSE(Exists(dir / "media/out"));
    for (const char* line : {"Analysis over\n", "Synchronization over\n",
                             "Folder docs of project Evil skipped"})
        EXPECT_TRUE(Log().Contains(line)) << Log();
    EXPECT_EQ("Close", InRun<wxButton>("ID_BUTTON_CANCEL")->GetLabel());
    ASSERT_EQ(1u, RunLogs().size());
    EXPECT_TRUE(RunLogs()[0].EndsWith(".xml.bz2")) << RunLogs()[0];
    EXPECT_TRUE(Exists(root + "dralvo.xml.bz2"));

    const wxString source = dir.Write("station/one/new.txt", "new");
    soCompressLog = false;
    SetBox("ID_CHECKBOX_TESTING", true);
    Synchronize();
    ASSERT_TRUE(PumpUntilIdle()) << Log();
    EXPECT_FALSE(Exists(root + "Proj/docs/new.txt"));
    EXPECT_TRUE(Log().Contains("Copy: " + source + " => " + root + "Proj/docs/new.txt")) << Log();
    const std::vector<wxString> logs = RunLogs();
    ASSERT_EQ(2u, logs.size());
    const wxString plain = logs[0].EndsWith(".xml") ? logs[0] : logs[1];
    EXPECT_NE(std::string::npos, ReadAll(userDataDir + plain).find("log_only=\"yes\""));
}

TEST_F(RunDialogTest, TwoStepRunCarriesOutOnlyTheActionsLeftChecked)
{
    struct Row {
        const char* name;
        int answer;
        bool keptArrive;
    } rows[] = {{"Cancel copies nothing", wxCANCEL, false},
                {"OK after unchecking the folder skip", wxOK, true}};
    AddRunProject("Work", "station/docs", "Proj");
    dir.Write("station/docs/keep/a.txt", "a");
    dir.Write("station/docs/skip/c.txt", "c");
    ASSERT_NE(OpenRun(), nullptr);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Synchronize();
        // The rows of the folder skip and below, all unchecked.
        wxTEST_DIALOG(ASSERT_TRUE(PumpUntilIdle()),
                      ExpectReview([&row](DialogSelectSyncItems* review) {
                          review->ApplyFilterEntry(RF_BEGINS);
                          EXPECT_EQ(2u, review->ShownRows().size());
                          widgets_test::Click(review, "ID_BITMAPBUTTON_SELECT_ALL");
                          return row.answer;
                      }),
                      wxExpectModal<wxTextEntryDialog>("skip"));
        EXPECT_EQ(row.keptArrive, Exists(root + "Proj/docs/keep/a.txt")) << Log();
        EXPECT_FALSE(Exists(root + "Proj/docs/skip"));
        EXPECT_EQ(row.keptArrive, Log().Contains("Synchronization over")) << Log();
    }
}

TEST_F(RunDialogTest, NothingStartsWithoutYesOrWithoutAMedium)
{
    AddRunProject("Work", "station/docs", "Proj");
    dir.Write("station/docs/a.txt", "a");
    ASSERT_NE(OpenRun(), nullptr);
    Synchronize(wxNO);
    EXPECT_TRUE(Idle());
    EXPECT_EQ("Close", InRun<wxButton>("ID_BUTTON_CANCEL")->GetLabel());
    EXPECT_EQ("", Log());

    connectedMedia.clear();
    Run()->FillMedia();
    wxTEST_DIALOG(widgets_test::Click(Run(), "ID_BUTTON_OK"),
                  ExpectMessage("No media currently connected to the computer found!"));
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(Exists(root + "Proj"));
}

TEST_F(RunDialogTest, StopOrClosingDuringTheCopyEndsTheThreadAfterTheItemInHand)
{
    enum How { kStop, kCloseDialog, kCloseMain };
    const struct {
        const char* name;
        How how;
    } rows[] = {{"Stop", kStop},
                {"close box of the run dialog", kCloseDialog},
                {"the main window closes", kCloseMain}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const wxString folder = wxString::Format("station/%d", row.how);
        const wxString location = wxString::Format("P%d", row.how);
        const wxString target = root + location + "/docs";
        AddRunProject(row.name, folder, location, 2);
        WriteSlowFiles(dir, folder, 40);
        ASSERT_NE(OpenRun(), nullptr);
        SetBox("ID_CHECKBOX_TWO_STEPS", false);
        Synchronize();
        ASSERT_TRUE(PumpUntilLogged("Starting synchronization"));
        if (row.how == kStop) {
            widgets_test::Click(Run(), "ID_BUTTON_CANCEL");
            EXPECT_FALSE(InRun<wxButton>("ID_BUTTON_CANCEL")->IsEnabled());
            ASSERT_TRUE(PumpUntilIdle()) << Log();
            EXPECT_TRUE(Log().Contains("Synchronization cancelled\n")) << Log();
            EXPECT_TRUE(InRun<wxButton>("ID_BUTTON_CANCEL")->IsEnabled());
        } else if (row.how == kCloseDialog) {
            Run()->Close(false);
        } else {
            frame->Close(false);
        }
        wxTheApp->ProcessIdle();
        // The copy has ended: nothing more arrives.
        const int copied = FilesIn(target);
        wxMilliSleep(300);
        EXPECT_EQ(copied, FilesIn(target));
        EXPECT_LT(copied, 40);
        EXPECT_EQ(0, TemporariesUnder(root));
        if (row.how == kCloseMain) {
            EXPECT_FALSE(frame);
            continue;
        }
        if (row.how == kStop)
            widgets_test::Click(Run(), "ID_BUTTON_CANCEL");
        wxTheApp->ProcessIdle();
        EXPECT_EQ(nullptr, Run());
        EXPECT_TRUE(RunToolEnabled());
    }
}
