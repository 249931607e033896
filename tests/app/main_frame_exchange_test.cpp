#include "app/main_frame.h"

#include <chrono>

#include <gtest/gtest.h>

#include <wx/gauge.h>
#include <wx/toolbar.h>

#include "exchange/dralvo_import.h"
#include "exchange/export.h"
#include "store/bzip2.h"
#include "store/file_io.h"
#include "tests/app/main_frame_fixture.h"

namespace {

const char kStickGuid[] = "1a2b3c4d-0000-1111-2222-333344445555";

class MainFrameExchangeTest : public MainFrameTest {
protected:
    bool ToolEnabled(wxWindowID id) const
    {
        return frame->GetToolBar()->GetToolEnabled(id);
    }
    // Pumps events until pred holds or 20 s have passed.
    template <class Pred>
    bool PumpUntil(Pred pred)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!pred() && std::chrono::steady_clock::now() < deadline) {
            wxTheApp->ProcessPendingEvents();
            wxYield();
            wxMilliSleep(5);
        }
        return pred();
    }
    // A catalogue of another station with one project, exported to root as a file of
    // yesterday.
    static void PutForeignCatalogue(const wxString& root, const wxString& caption)
    {
        const wxString xml = wxString::Format(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dralvo station=\"other\" session_start=\"2001-01-01 00:00:00\" "
            "export_time=\"2001-01-01 00:00:01\">\n  <project>\n    <item GUID=\"%s\" CAPTION=\"%s\" "
            "IGNORESIZEOVER=\"0\" BZ2BELOW=\"0\" MODIFIED=\"2001-01-01 00:00:00\" DELETED=\"0\"/>\n  </project>\n</dralvo>",
            wxString('p', 36), caption);
        const auto packed = CompressStringBz2(xml);
        ASSERT_TRUE(packed && WriteBinaryFile(root + kExportFileBz2, packed->data(), packed->size()));
    }
};

TEST_F(MainFrameExchangeTest, ExportWritesOnlyToCataloguedMediaAndReportsTheFailedOnes)
{
    AddMedium(kStickGuid, "Stick");
    AddMedium(wxString('b', 36), "Broken");
    const wxString stick = AddDrive("stick", kStickGuid);
    const wxString other = AddDrive("other", "");
    AddDrive("broken", std::string(36, 'b'));
    dir.Write("media/stick/dralvo.xml.bz2", "old");
    dir.MakeDir("media/broken/dralvo.xml.bz2");  // a directory where the file goes
    OpenWith({"Photos"});
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_EXPORT),
                  ExpectDatabaseError(
                      "The catalogue could not be exported to these media:\nBroken: "));
    const auto text = ReadCatalogFile(stick + kExportFileBz2, ImportLimits());
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("CAPTION=\"Photos\""), std::string::npos);
    EXPECT_FALSE(Exists(other + kExportFileBz2));
    EXPECT_FALSE(Exists(other + kExportFilePlain));
    EXPECT_EQ(TemporariesUnder(dir.Path()), 0);
}

TEST_F(MainFrameExchangeTest, ImportShowsProgressAndRefreshesTheLists)
{
    PutForeignCatalogue(AddDrive("stick", ""), "Imported");
    OpenWith({"Local"});
    // Seen by a handler that runs before the window's own.
    bool gaugeShown = false, toolsOff = false;
    frame->Bind(wxEVT_MENU, [&](wxCommandEvent& e) {
        gaugeShown = Find<wxGauge>("ID_GAUGE_PROGRESS")->IsShown();
        toolsOff = !ToolEnabled(dralvoFrame::ID_TOOL_EXPORT) && !ToolEnabled(dralvoFrame::ID_TOOL_IMPORT) &&
                   !ToolEnabled(dralvoFrame::ID_TOOL_RUN);
        e.Skip();
    }, ID_IMPORT_FINISHED);
    Command(dralvoFrame::ID_TOOL_IMPORT);
    EXPECT_FALSE(ToolEnabled(dralvoFrame::ID_TOOL_IMPORT));
    // A second import and an export are refused while the first runs.
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_IMPORT), ExpectMessage("Dralvo import from XML is already in progress!"));
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_EXPORT),
                  ExpectMessage("Dralvo import from XML already in progress. Please wait until it is over!"));
    ASSERT_TRUE(PumpUntil([&] { return ToolEnabled(dralvoFrame::ID_TOOL_IMPORT); }));
    EXPECT_TRUE(gaugeShown);
    EXPECT_TRUE(toolsOff);
    EXPECT_FALSE(Find<wxGauge>("ID_GAUGE_PROGRESS")->IsShown());
    EXPECT_TRUE(ToolEnabled(dralvoFrame::ID_TOOL_EXPORT));
    EXPECT_TRUE(ToolEnabled(dralvoFrame::ID_TOOL_RUN));
    EXPECT_NE(Projects()->FindString("Imported"), wxNOT_FOUND);
}

TEST_F(MainFrameExchangeTest, ImportTellsHowManyFilesCouldNotBeMerged)
{
    dir.Write("media/a/dralvo.xml", "not a catalogue");
    dir.Write("media/b/dralvo.xml.bz2", "not bzip2 either");
    AddDrive("a", "");
    AddDrive("b", "");
    OpenWith();
    Command(dralvoFrame::ID_TOOL_IMPORT);
    wxTEST_DIALOG(PumpUntil([&] { return ToolEnabled(dralvoFrame::ID_TOOL_IMPORT); }),
                  ExpectMessage("2 catalogue files could not be merged."));
}

TEST_F(MainFrameExchangeTest, ClosingDuringAnImportWaitsForIt)
{
    PutForeignCatalogue(AddDrive("stick", ""), "Imported");
    OpenWith();
    Command(dralvoFrame::ID_TOOL_IMPORT);
    CloseWindow();
    EXPECT_LE(Scalar("select count(*) from PROJECT where CAPTION = 'Imported'"), 1);
}

} // namespace
