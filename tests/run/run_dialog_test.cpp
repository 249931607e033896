#include "run/run_dialog.h"

#include <random>
#include <utility>

#include "tests/run/run_dialog_fixture.h"

TEST_F(RunDialogTest, DialogOffersCataloguedMediaAndItsRunsCopyWhatTheyShould)
{
    AddDrive("blank", "");  // carries no catalogued medium
    AddMedium(wxString('9', 36), "Other");
    const unsigned stickId = std::exchange(mediumId, LastInsertId());
    AddDrive("other", std::string(36, '9'));
    AddRunProject("Gamma", "station/gamma", "G");
    mediumId = stickId;
    // A quote in the caption and two projects of one caption: each is its own job; a folder
    // located outside the medium gets none.
    AddRunProject("Bob's files", "station/one", "Proj");
    AddRunProject("Bob's files", "station/two", "Proj2");
    AddRunProject("Evil", "station/evil", "..\\out");
    dir.Write("station/one/a.txt", "one");
    dir.Write("station/two/sub/b.txt", "two");
    dir.Write("station/evil/a.txt", "a");
    ASSERT_NE(OpenRun(), nullptr);
    auto* media = InRun<wxChoice>("ID_CHOICE_MEDIA");
    auto* projects = InRun<wxCheckListBox>("ID_CHECKLISTBOX_PROJECTS");
    EXPECT_EQ("Other|Stick", wxJoin(media->GetStrings(), '|'));
    EXPECT_EQ("Gamma", wxJoin(projects->GetStrings(), '|'));
    Choose(media, 1);
    EXPECT_EQ("Bob's files|Bob's files|Evil", wxJoin(projects->GetStrings(), '|'));
    for (unsigned n = 0; n < projects->GetCount(); ++n)
        projects->Check(n);

    auto* logOnly = InRun<wxCheckBox>("ID_CHECKBOX_TESTING");
    EXPECT_FALSE(logOnly->IsEnabled());
    SetBox("ID_CHECKBOX_TWO_STEPS", false);
    EXPECT_TRUE(logOnly->IsEnabled());
    SetBox("ID_CHECKBOX_TESTING", true);
    SetBox("ID_CHECKBOX_TWO_STEPS", true);
    EXPECT_FALSE(logOnly->IsEnabled() || logOnly->GetValue());

    // One run dialog at a time (the Run tool comes back when it goes: see the Stop test).
    EXPECT_FALSE(RunToolEnabled());
    DialogRun* first = Run();
    Command(dralvoFrame::ID_TOOL_RUN);
    EXPECT_EQ(first, Run());
    Synchronize(wxNO);
    EXPECT_TRUE(Idle() && Log().empty()) << Log();

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
    for (const char* line : {"Analysis over\n", "Synchronization over\n", "Folder docs of project Evil skipped"})
        EXPECT_TRUE(Log().Contains(line)) << Log();
    EXPECT_EQ("Close", InRun<wxButton>("ID_BUTTON_CANCEL")->GetLabel());
    EXPECT_TRUE(Exists(root + "dralvo.xml.bz2"));  // the catalogue goes along

    const wxString source = dir.Write("station/one/new.txt", "new");
    soCompressLog = false;
    SetBox("ID_CHECKBOX_TESTING", true);
    Synchronize();
    ASSERT_TRUE(PumpUntilIdle()) << Log();
    EXPECT_FALSE(Exists(root + "Proj/docs/new.txt"));
    EXPECT_TRUE(Log().Contains("Copy: " + source + " => " + root + "Proj/docs/new.txt")) << Log();
    wxArrayString packed, plain;  // one log of each run, the log-only one plain
    wxDir::GetAllFiles(userDataDir, &packed, "dralvo_sync_*.xml.bz2", wxDIR_FILES);
    EXPECT_EQ(packed.size() * 10 + wxDir::GetAllFiles(userDataDir, &plain, "dralvo_sync_*.xml", wxDIR_FILES), 11u);

    // Two steps: only the actions left checked in the review are carried out.
    dir.Write("station/one/skip/c.txt", "c");
    SetBox("ID_CHECKBOX_TWO_STEPS", true);
    for (const int answer : {wxCANCEL, wxOK}) {
        SCOPED_TRACE(answer == wxOK ? "OK" : "Cancel");
        Synchronize();
        // The rows of the folder skip and below, all unchecked.
        wxTEST_DIALOG(ASSERT_TRUE(PumpUntilIdle()), ExpectReview(answer),
                      wxExpectModal<wxTextEntryDialog>("skip"));
        EXPECT_EQ(answer == wxOK, Exists(root + "Proj/docs/new.txt")) << Log();
        EXPECT_FALSE(Exists(root + "Proj/docs/skip"));
    }

    // Nothing starts without a medium.
    connectedMedia.clear();
    Run()->FillMedia();
    const wxString log = Log();
    wxTEST_DIALOG(widgets_test::Click(Run(), "ID_BUTTON_OK"),
                  ExpectMessage("No media currently connected to the computer found!"));
    EXPECT_TRUE(Idle() && Log() == log) << Log();
}

TEST_F(RunDialogTest, StopOrClosingDuringTheCopyEndsTheThreadAfterTheItemInHand)
{
    const auto filesIn = [](const wxString& path) {
        wxArrayString found;
        return wxDir::Exists(path) ? static_cast<int>(wxDir::GetAllFiles(path, &found)) : 0;
    };
    // Random bytes compress slowly: a copy of many such files can be stopped half way.
    std::mt19937 random(7);
    std::string bytes(1 << 20, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    for (const char* how : {"Stop", "close box of the run dialog", "the main window closes"}) {
        SCOPED_TRACE(how);
        const wxString folder = wxString("station/") + how, target = root + how + "/docs";
        AddRunProject(how, folder, how, 2);
        for (int i = 0; i < 40; ++i)
            dir.Write(wxString::Format("%s/f%02d.bin", folder, i), bytes);
        ASSERT_NE(OpenRun(), nullptr);
        SetBox("ID_CHECKBOX_TWO_STEPS", false);
        Synchronize();
        ASSERT_TRUE(PumpUntil([this] { return Run() && Log().Contains("Starting synchronization"); }));
        if (how[0] == 'S') {
            widgets_test::Click(Run(), "ID_BUTTON_CANCEL");
            EXPECT_FALSE(InRun<wxButton>("ID_BUTTON_CANCEL")->IsEnabled());
            ASSERT_TRUE(PumpUntilIdle()) << Log();
            EXPECT_TRUE(Log().Contains("Synchronization cancelled\n")) << Log();
            EXPECT_TRUE(InRun<wxButton>("ID_BUTTON_CANCEL")->IsEnabled());
            widgets_test::Click(Run(), "ID_BUTTON_CANCEL");
        } else if (how[0] == 'c') {
            Run()->Close(false);
        } else {
            frame->Close(false);
        }
        wxTheApp->ProcessIdle();
        // The copy has ended: nothing more arrives.
        const int copied = filesIn(target);
        wxMilliSleep(300);
        EXPECT_EQ(copied, filesIn(target));
        EXPECT_LT(copied, 40);
        EXPECT_EQ(0, TemporariesUnder(root));
        EXPECT_TRUE(Run() == nullptr && (!frame || RunToolEnabled()));
    }
    EXPECT_FALSE(frame);
}
