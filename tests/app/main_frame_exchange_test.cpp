#include <wx/gauge.h>

#include "exchange/dralvo_import.h"
#include "exchange/export.h"
#include "tests/app/main_frame_fixture.h"

namespace {

TEST_F(MainFrameTest, ExportWritesOnlyToCataloguedMediaAndReportsTheFailedOnes)
{
    AddMedium(wxString('s', 36), "Stick");
    AddMedium(wxString('b', 36), "Broken");
    const wxString stick = AddDrive("stick", std::string(36, 's')), other = AddDrive("other", "");
    AddDrive("broken", std::string(36, 'b'));
    dir.Write("media/stick/dralvo.xml.bz2", "old");
    dir.MakeDir("media/broken/dralvo.xml.bz2");  // a directory where the file goes
    OpenWith({"Photos"});
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_EXPORT),
                  ExpectDatabaseError("The catalogue could not be exported to these media:\n"
                                      "Broken: "));
    const auto text = ReadCatalogFile(stick + kExportFileBz2, ImportLimits());
    EXPECT_NE(text.value_or("").find("CAPTION=\"Photos\""), std::string::npos);
    EXPECT_FALSE(Exists(other + kExportFileBz2) || Exists(other + kExportFilePlain));
}

// One file per medium, the compressed one preferred; a medium without one is passed over.
TEST_F(MainFrameTest, ImportShowsProgressRefusesASecondOneAndCountsTheFailures)
{
    const auto catalogue = [](const char* caption) {
        return "<dralvo export_time=\"2001-01-01 01:00\"><project><item GUID=\"" +
               std::string(36, caption[0]) + "\" CAPTION=\"" + caption +
               "\" MODIFIED=\"2001-01-01 00:00:00\" DELETED=\"0\"/></project></dralvo>";
    };
    dir.Write("media/stick/dralvo.xml", catalogue("Imported"));
    dir.Write("media/a/dralvo.xml.bz2", "not bzip2");
    dir.Write("media/a/dralvo.xml", catalogue("Plain"));
    for (const char* name : {"stick", "a", "none"})
        AddDrive(name, "");
    OpenWith({"Local"});
    // Seen by a handler that runs before the window's own.
    bool gaugeShown = false, toolsOff = false;
    frame->Bind(wxEVT_MENU, [&](wxCommandEvent& e) {
        gaugeShown = Find<wxGauge>("ID_GAUGE_PROGRESS")->IsShown();
        toolsOff = !ToolOn(dralvoFrame::ID_TOOL_EXPORT) && !ToolOn(dralvoFrame::ID_TOOL_RUN);
        e.Skip();
    }, ID_IMPORT_FINISHED);
    Command(dralvoFrame::ID_TOOL_IMPORT);
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_IMPORT),
                  ExpectMessage("Dralvo import from XML is already in progress!"));
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_EXPORT),
                  ExpectMessage("Dralvo import from XML already in progress. Please wait until it "
                                "is over!"));
    wxTEST_DIALOG(PumpUntil([&] { return ToolOn(dralvoFrame::ID_TOOL_IMPORT); }),
                  ExpectMessage("1 catalogue file could not be merged."));
    EXPECT_TRUE(gaugeShown && toolsOff && !Find<wxGauge>("ID_GAUGE_PROGRESS")->IsShown());
    EXPECT_TRUE(ToolOn(dralvoFrame::ID_TOOL_EXPORT) && ToolOn(dralvoFrame::ID_TOOL_RUN));
    EXPECT_NE(Projects()->FindString("Imported"), wxNOT_FOUND);
    EXPECT_EQ(Projects()->FindString("Plain"), wxNOT_FOUND);
    // Closing during an import waits for it.
    dir.Write("media/a/dralvo.xml.bz2", "");
    Command(dralvoFrame::ID_TOOL_IMPORT);
    CloseWindow();
}

} // namespace
