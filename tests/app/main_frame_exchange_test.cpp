#include <utility>

#include <wx/gauge.h>

#include "exchange/dralvo_import.h"
#include "exchange/export.h"
#include "tests/app/main_frame_fixture.h"

namespace {

TEST_F(MainFrameTest, ExportWritesOneDocumentToTheCataloguedMediaAndReportsTheFailedOnes)
{
    for (const char* name : {"stick", "twin", "broken"})
        AddMedium(wxString(name[0], 36), wxString(name).Capitalize());
    const wxString stick = AddDrive("stick", std::string(36, 's')), other = AddDrive("other", "");
    const wxString twin = AddDrive("twin", std::string(36, 't'));
    const wxString broken = AddDrive("broken", std::string(36, 'b'));
    dir.Write("media/stick/dralvo.xml.bz2", "old");
    dir.MakeDir("media/broken/dralvo.xml.bz2");  // a directory where the file goes
    OpenWith({"Photos"});
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_EXPORT),
                  ExpectDatabaseError("The catalogue could not be exported to these media:\n"
                                      "Broken: "));
    const auto text = ReadCatalogFile(stick + kExportFileBz2, ImportLimits());
    EXPECT_NE(text.value_or("").find("CAPTION=\"Photos\""), std::string::npos);
    EXPECT_EQ(ReadAll(twin + kExportFileBz2), ReadAll(stick + kExportFileBz2));
    EXPECT_FALSE(Exists(other + kExportFileBz2) || Exists(other + kExportFilePlain));
    // When compression fails, every catalogued medium gets the plain document.
    const long quality = std::exchange(soBzQuality, 0);
    Command(dralvoFrame::ID_MENU_EXPORT);
    soBzQuality = quality;
    EXPECT_NE(ReadAll(broken + kExportFilePlain).find("CAPTION=\"Photos\""), std::string::npos);
    EXPECT_EQ(ReadAll(broken + kExportFilePlain), ReadAll(stick + kExportFilePlain));
}

TEST_F(MainFrameTest, ImportShowsProgressRefusesASecondOneAndTellsWhyAFileFailed)
{
    // Another station's catalogue with a project and the medium of the first drive.
    const std::string modified = " MODIFIED=\"2001-01-01 00:00:00\"/>";
    dir.Write("media/stick/dralvo.xml",
              "<dralvo export_time=\"2001-01-01 01:00\"><project><item GUID=\"" +
                  std::string(36, 'i') + "\" CAPTION=\"Imported\"" + modified + "</project>" +
                  "<media><item GUID=\"" + std::string(36, 'c') + "\" NAME=\"Carried\"" + modified +
                  "</media></dralvo>");
    // One file per medium, the compressed one preferred (the report names it); a medium
    // without one is passed over.
    const wxString damaged = dir.Write("media/a/dralvo.xml.bz2", "not bzip2");
    dir.Write("media/a/dralvo.xml", "");
    AddDrive("stick", std::string(36, 'c'));  // engaged on the other station
    AddDrive("a", ""), AddDrive("none", "");
    OpenWith({"Local"});
    ToggleConnectedOnly();
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
                  ExpectMessage("1 catalogue file could not be merged.\n" + damaged +
                                ": the compressed file is damaged."));
    EXPECT_TRUE(gaugeShown && toolsOff && !Find<wxGauge>("ID_GAUGE_PROGRESS")->IsShown());
    EXPECT_TRUE(ToolOn(dralvoFrame::ID_TOOL_EXPORT) && ToolOn(dralvoFrame::ID_TOOL_RUN));
    EXPECT_NE(Projects()->FindString("Imported"), wxNOT_FOUND);
    EXPECT_EQ(Media()->GetStrings(), wxArrayString(1, "Carried"));
    // Closing during an import waits for it.
    dir.Write("media/a/dralvo.xml.bz2", "");
    Command(dralvoFrame::ID_TOOL_IMPORT);
    CloseWindow();
}

} // namespace
