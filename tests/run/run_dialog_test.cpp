#include "run/run_dialog.h"

#include <algorithm>
#include <random>
#include <utility>

#include <wx/checklst.h>
#include <wx/dir.h>

#include "run/select_sync_items_dialog.h"
#include "store/guid.h"
#include "store/run_logs.h"
#include "tests/app/main_frame_fixture.h"

namespace {

// Answers the review: the rows beginning with a typed text (two) unchecked, then answer.
struct ExpectReview : wxExpectModalBase<DialogSelectSyncItems, ExpectReview> {
    explicit ExpectReview(int answer) : answer(answer) {}
    int OnInvoked(DialogSelectSyncItems* review) const override
    {
        review->ApplyFilterEntry(RF_BEGINS);
        EXPECT_EQ(2u, review->ShownRows().size());
        widgets_test::Click(review, "ID_BITMAPBUTTON_SELECT_ALL");
        return answer;
    }
    int answer;
};

// The main window over a catalogue with one catalogued stick ("Stick"), and drivers for the
// run dialog opened from it.
class RunDialogTest : public MainFrameTest {
protected:
    void SetUp() override
    {
        MainFrameTest::SetUp();
        AddMedium(wxString('5', 36), "Stick");
        mediumId = LastInsertId();
        root = AddDrive("stick", std::string(36, '5'));
    }

    // A project of the folder "docs" (its one rule takes every file), at stationDir (below the
    // temporary directory) here and at location on the medium of mediumId.
    void AddRunProject(const wxString& caption, const wxString& stationDir,
                       const wxString& location, int compress = 0)
    {
        const auto insert = [](const char* table, const char* columns, unsigned id,
                               const wxString& values) {
            ExecUpdate(wxString::Format("insert into %s (GUID, MODIFIED, DELETED, %s) "
                                        "values ('%s', '%s', 0, %u, %s)",
                                        table, columns, NewGuid(), kOldTime, id, values));
            return LastInsertId();
        };
        const unsigned project = AddProject(caption, 0, 0, compress);
        insert("MEPROJECT", "PROJECTID, MEDIAID, FOLDER", project,
               wxString::Format("%u, %s", mediumId, SqlText(location)));
        const unsigned folder = insert("FOLDER", "PROJECTID, FOLDER", project, "'docs'");
        insert("ACLRULES", "FOLDERID, FILEMASK, NLINE, ALLOW", folder, "'*', 5, 1");
        insert("STAFOLDER", "FOLDERID, STATIONID, FOLDER", folder,
               wxString::Format("%u, %s", stationId, SqlText(dir.MakeDir(stationDir))));
    }

    // Opens the run dialog from the main window (opened first when needed), every listed
    // project checked.
    DialogRun* OpenRun()
    {
        if (!frame)
            OpenWith();
        Command(dralvoFrame::ID_MENU_RUN);
        for (unsigned n = 0; Run() && n < Projects()->GetCount(); ++n)
            Projects()->Check(n);
        return Run();
    }
    DialogRun* Run() const
    {
        for (wxWindow* child : frame ? frame->GetChildren() : wxWindowList())
            if (auto* run = dynamic_cast<DialogRun*>(child); run && !run->IsBeingDeleted())
                return run;
        return nullptr;
    }
    template <class T>
    T* InRun(const char* name) const { return widgets_test::Find<T>(Run(), name); }
    wxCheckListBox* Projects() const { return InRun<wxCheckListBox>("ID_CHECKLISTBOX_PROJECTS"); }
    wxString Log() const { return InRun<wxTextCtrl>("ID_TEXTCTRL_LOG")->GetValue(); }
    void SetBox(const char* name, bool on) const
    {
        if (InRun<wxCheckBox>(name)->GetValue() != on)
            widgets_test::Toggle(InRun<wxCheckBox>(name));
    }
    // Presses "Synchronize", expecting the box that expect answers.
    template <class Expect = wxExpectModal<wxMessageDialog>>
    void Synchronize(const Expect& expect = Expect(wxYES)) const
    {
        wxTEST_DIALOG(widgets_test::Click(Run(), "ID_BUTTON_OK"), expect);
    }
    bool Idle() const
    {
        return Run() && !Run()->IsRunning() && InRun<wxButton>("ID_BUTTON_OK")->IsEnabled();
    }
    bool PumpUntilIdle() { return PumpUntil([this] { return Idle(); }); }

    unsigned mediumId = 0;
    wxString root;
};

TEST_F(RunDialogTest, DialogOffersCataloguedMediaAndItsRunsCopyWhatTheyShould)
{
    AddDrive("blank", "");  // carries no catalogued medium
    AddMedium(wxString('9', 36), "Other");
    const unsigned stickId = std::exchange(mediumId, LastInsertId());
    AddDrive("other", std::string(36, '9'));
    AddRunProject("Gamma", "station/gamma", "G");
    mediumId = stickId;
    // A quote in the caption; two projects of one caption, each its own job, the second
    // compressing files up to 1 MB; a folder located outside the medium gets no job; a
    // location deleted (by an import, say) is not offered, one stored twice is offered once.
    AddRunProject("Bob's files", "station/one", "Proj");
    AddRunProject("Bob's files", "station/two", "Proj2", 1);
    AddRunProject("Evil", "station/evil", "..\\out");
    AddRunProject("Gone", "station/gone", "Gone");
    ExecUpdate("update MEPROJECT set DELETED = 1 where FOLDER = 'Gone'");
    ExecUpdate("insert into MEPROJECT (GUID, MODIFIED, DELETED, PROJECTID, MEDIAID, FOLDER) "
               "select 'twin', MODIFIED, 0, PROJECTID, MEDIAID, 'Twin' from MEPROJECT "
               "where FOLDER = '..\\out'");
    for (const char* file : {"station/one/a.txt", "station/two/sub/b.txt", "station/evil/a.txt"})
        dir.Write(file, "one");
    OpenWith({"Typed"});  // a location typed in the main window counts at once
    Choose(Media(), "Stick");
    Type(MediumField(), "T");
    ASSERT_NE(OpenRun(), nullptr);
    auto* media = InRun<wxChoice>("ID_CHOICE_MEDIA");
    auto* actions = InRun<wxChoice>("ID_CHOICE_ACTION");
    EXPECT_GE(actions->GetSize().x, actions->GetBestSize().x);  // the longest action shows whole
    EXPECT_EQ("", widgets_test::UnidentifiedControls(Run()));
    EXPECT_EQ("Other|Stick", wxJoin(media->GetStrings(), '|'));
    EXPECT_EQ("Gamma", wxJoin(Projects()->GetStrings(), '|'));
    Choose(media, 1);
    EXPECT_EQ("Bob's files|Bob's files|Evil|Typed", wxJoin(Projects()->GetStrings(), '|'));
    Synchronize(ExpectMessage("Select at least one project."));
    for (unsigned n = 0; n < Projects()->GetCount(); ++n)
        Projects()->Check(n);
    wxArrayString notes;  // a project taken twice still makes one job
    const std::vector<RunProject> twice(2, {static_cast<unsigned>(ProjectId("Evil")), "Evil"});
    EXPECT_EQ(1u, BuildProjectJobs(twice, {root, mediumId, "Stick", ""}, SD_COPY, notes).size());

    // "Log only" only without two steps.
    auto* logOnly = InRun<wxCheckBox>("ID_CHECKBOX_TESTING");
    EXPECT_FALSE(logOnly->IsEnabled());
    SetBox("ID_CHECKBOX_TWO_STEPS", false);
    SetBox("ID_CHECKBOX_TESTING", true);
    SetBox("ID_CHECKBOX_TWO_STEPS", true);
    EXPECT_FALSE(logOnly->IsEnabled() || logOnly->GetValue());

    // One run dialog at a time (the Run tool comes back when it goes: see the Stop test).
    EXPECT_FALSE(ToolOn(dralvoFrame::ID_TOOL_RUN));
    DialogRun* first = Run();
    Command(dralvoFrame::ID_TOOL_RUN);
    EXPECT_EQ(first, Run());
    Synchronize(wxExpectModal<wxMessageDialog>(wxNO));
    EXPECT_TRUE(Idle() && Log().empty()) << Log();

    SetBox("ID_CHECKBOX_TWO_STEPS", false);
    soAlwaysShowLog = true;
    Synchronize(ExpectMessage("You selected projects:\nBob's files, Bob's files, Evil, Typed\n"
                              "Action:\nCopy files from this computer to \"Stick\"\n"
                              "Begin synchronization?", wxYES, "Checkout parameters"));
    ASSERT_TRUE(PumpUntilIdle()) << Log();
    EXPECT_EQ("one", ReadAll(root + "Proj/docs/a.txt"));
    EXPECT_TRUE(Exists(root + "Proj2/docs/sub/b.txt.bz2"));
    EXPECT_FALSE(Exists(root + "Proj2/docs/sub/b.txt"));
    EXPECT_FALSE(Exists(dir / "media/out"));
    wxArrayString logs;  // the compressed log only, named in the log pane
    wxDir::GetAllFiles(userDataDir, &logs, "dralvo_sync_*", wxDIR_FILES);
    ASSERT_EQ(1u, logs.size());
    for (const wxString line : {"Analysis over\n", "Synchronization over\n",
                                "Folder docs of project Evil skipped", "Log saved to file:\n"})
        EXPECT_TRUE(Log().Contains(line)) << Log();
    EXPECT_TRUE(Log().EndsWith(logs[0] + "\n") && logs[0].EndsWith(".xml.bz2"));
    EXPECT_TRUE(Exists(root + "dralvo.xml.bz2"));  // the catalogue goes along

    const wxString source = dir.Write("station/one/new.txt", "new");
    soCompressLog = soAlwaysShowLog = false;
    SetBox("ID_CHECKBOX_TESTING", true);
    Synchronize();
    ASSERT_TRUE(PumpUntilIdle()) << Log();
    EXPECT_FALSE(Exists(root + "Proj/docs/new.txt"));
    EXPECT_TRUE(Log().Contains("Copy: " + source + " => " + root + "Proj/docs/new.txt")) << Log();
    // Its own log, plain.
    EXPECT_EQ(1u, wxDir::GetAllFiles(userDataDir, &logs, "dralvo_sync_*.xml", wxDIR_FILES));

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
    Synchronize(ExpectMessage("No media currently connected to the computer found!"));
    EXPECT_TRUE(Idle() && Log() == log) << Log();

    // Runs in one second get logs of their own, also beside a compressed log.
    const wxDateTime start(1, wxDateTime::Feb, 2026, 3, 4, 5);
    EXPECT_EQ(dir / "dralvo_sync_2026-02-01_030405.xml", NewRunLogPath(dir.Path(), start));
    for (const char* taken : {".xml.bz2", "_2.xml"})
        dir.Write(wxString("dralvo_sync_2026-02-01_030405") + taken, "");
    EXPECT_EQ(dir / "dralvo_sync_2026-02-01_030405_3.xml", NewRunLogPath(dir.Path(), start));
}

// What a run takes from the catalogue, each seen in a run of one step over a project (its
// caption and location on the medium alike) whose station folder holds a.txt and x.tmp: its
// rules in line order, whatever order they were stored in; only the live incompressible masks;
// only the live placement on the medium, beside a deleted one of lower ID as an import leaves.
const struct CatalogueCase {
    const char* project;
    int compress;  // MB
    void (*stored)(unsigned project);
    std::vector<const char*> present, absent;  // below the medium's root
} kCatalogueCases[] = {
    {"Rules", 0,
     [](unsigned project) {  // line 1, stored after the rule "*" of line 5
         ExecUpdate(wxString::Format(
             "insert into ACLRULES (GUID, MODIFIED, DELETED, FOLDERID, FILEMASK, NLINE, ALLOW) "
             "select '%s', MODIFIED, 0, ID, '*.tmp', 1, 0 from FOLDER where PROJECTID = %u",
             NewGuid(), project));
     },
     {"Rules/docs/a.txt"}, {"Rules/docs/x.tmp"}},
    {"Masks", 1,
     [](unsigned) {
         ExecUpdate(wxString::Format("insert into BZ2IGNORE (GUID, FILEMASK, MODIFIED, DELETED) "
                                     "values ('%s', '*.txt', '%s', 1), ('%s', '*.tmp', '%s', 0)",
                                     NewGuid(), kOldTime, NewGuid(), kOldTime));
     },
     {"Masks/docs/a.txt.bz2", "Masks/docs/x.tmp"}, {"Masks/docs/a.txt", "Masks/docs/x.tmp.bz2"}},
    {"Old", 0,
     [](unsigned project) {
         ExecUpdate(wxString::Format("update MEPROJECT set DELETED = 1 where PROJECTID = %u",
                                     project));
         ExecUpdate(wxString::Format(
             "insert into MEPROJECT (GUID, MODIFIED, DELETED, PROJECTID, MEDIAID, FOLDER) "
             "select '%s', MODIFIED, 0, PROJECTID, MEDIAID, 'Live' from MEPROJECT "
             "where PROJECTID = %u", NewGuid(), project));
     },
     {"Live/docs/a.txt"}, {"Old"}},
};

TEST_F(RunDialogTest, RunsTakeOnlyTheLiveCatalogueInItsOrder)
{
    for (const CatalogueCase& c : kCatalogueCases) {
        SCOPED_TRACE(c.project);
        ExecUpdate("update MEPROJECT set DELETED = 1");  // the earlier rounds' projects
        const wxString station = wxString("station/") + c.project;
        AddRunProject(c.project, station, c.project, c.compress);
        for (const char* file : {"/a.txt", "/x.tmp"})
            dir.Write(station + file, "x");
        c.stored(static_cast<unsigned>(ProjectId(c.project)));
        ASSERT_NE(OpenRun(), nullptr);
        SetBox("ID_CHECKBOX_TWO_STEPS", false);
        Synchronize();
        ASSERT_TRUE(PumpUntilIdle()) << Log();
        EXPECT_TRUE(Log().Contains("Synchronization over\n")) << Log();
        for (const char* path : c.present)
            EXPECT_TRUE(Exists(root + path)) << path;
        for (const char* path : c.absent)
            EXPECT_FALSE(Exists(root + path)) << path;
        widgets_test::Click(Run(), "ID_BUTTON_CANCEL");
        wxTheApp->ProcessIdle();
        ASSERT_EQ(Run(), nullptr);
    }
}

TEST_F(RunDialogTest, StopOrClosingDuringTheCopyEndsTheThreadAfterTheItemInHand)
{
    const auto filesIn = [](const wxString& path) {
        wxArrayString found;
        return wxDir::Exists(path) ? static_cast<int>(wxDir::GetAllFiles(path, &found)) : 0;
    };
    // Random bytes compress slowly: a copy of many such files can be stopped half way.
    std::string bytes(1 << 20, '\0');
    std::generate(bytes.begin(), bytes.end(), std::mt19937(7));
    for (const char* how : {"Stop", "close box of the run dialog", "the main window closes"}) {
        SCOPED_TRACE(how);
        const wxString folder = wxString("station/") + how, target = root + how + "/docs";
        // The earlier rounds' projects are not offered.
        ExecUpdate("update MEPROJECT set DELETED = 1");
        AddRunProject(how, folder, how, 2);
        for (int i = 0; i < 12; ++i)
            dir.Write(wxString::Format("%s/f%02d.bin", folder, i), bytes);
        ASSERT_NE(OpenRun(), nullptr);
        SetBox("ID_CHECKBOX_TWO_STEPS", false);
        Synchronize();
        ASSERT_TRUE(PumpUntil([&] { return filesIn(target) > 0; }));  // the copy is under way
        if (how[0] == 'S') {
            auto* stop = InRun<wxButton>("ID_BUTTON_CANCEL");
            widgets_test::Click(Run(), "ID_BUTTON_CANCEL");
            EXPECT_FALSE(stop->IsEnabled());
            ASSERT_TRUE(PumpUntilIdle()) << Log();
            EXPECT_TRUE(Log().Contains("Synchronization cancelled\n") && stop->IsEnabled());
            widgets_test::Click(Run(), "ID_BUTTON_CANCEL");
        } else {
            how[0] == 'c' ? Run()->Close(false) : frame->Close(false);
        }
        wxTheApp->ProcessIdle();
        // The thread has ended after the item in hand: the copy is short and left no temporary.
        EXPECT_TRUE(filesIn(target) < 12 && TemporariesUnder(root) == 0);
        EXPECT_TRUE(Run() == nullptr && (!frame || ToolOn(dralvoFrame::ID_TOOL_RUN)));
    }
    EXPECT_FALSE(frame);
}

} // namespace
