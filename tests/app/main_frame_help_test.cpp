#include "app/main_frame.h"

#include <stdlib.h>

#include <gtest/gtest.h>

#include <wx/html/helpfrm.h>
#include <wx/socket.h>
#include <wx/wfstream.h>
#include <wx/zipstrm.h>

#include "app/web_site.h"
#include "tests/app/http_test_server.h"
#include "tests/app/main_frame_fixture.h"

namespace {

// A help book whose only page is titled title.
void WriteBook(const wxString& path, const wxString& title)
{
    wxFFileOutputStream file(path);
    wxZipOutputStream zip(file);
    const wxString hhp = "[OPTIONS]\nTitle=" + title + "\nDefault topic=p.html\n[FILES]\np.html\n";
    for (const auto& [name, text] : {std::pair<wxString, wxString>{"book.hhp", hhp},
                                     {"p.html", "<title>" + title + "</title>"}}) {
        zip.PutNextEntry(name);
        zip.Write(text.utf8_str().data(), text.utf8_str().length());
    }
}

// The title of the help viewer's frame, empty when none is open.
wxString HelpFrameTitle()
{
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* help = dynamic_cast<wxHtmlHelpFrame*>(window))
            return help->GetTitle();
    return wxString();
}

class MainFrameHelpTest : public MainFrameTest {
protected:
    void SetUp() override
    {
        MainFrameTest::SetUp();
        savedProgramDir_ = programDir;
        wxSocketBase::Initialize();
        setenv(kWebHostVariable, ("127.0.0.1:" + std::to_string(server.Port())).c_str(), 1);
        previousLauncher_ = SetBrowserLauncher([this](const wxString& address) {
            opened.push_back(address);
            return browserWorks;
        });
    }
    void TearDown() override
    {
        SetBrowserLauncher(previousLauncher_);
        unsetenv(kWebHostVariable);
        programDir = savedProgramDir_;
        MainFrameTest::TearDown();
    }

    TestHttpServer server;
    std::vector<wxString> opened;
    bool browserWorks = true;

private:
    wxString savedProgramDir_;
    BrowserLauncher previousLauncher_;
};

TEST_F(MainFrameHelpTest, HelpShowsTheBookOfTheLanguage)
{
    programDir = dir.MakeDir("share") + "/";
    OpenWith();
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_HELP_INDEX),
                  ExpectMessage("The help file is not installed."));
    // Books are added one by one; the language's own book wins over the plain one.
    const struct {
        unsigned language;
        const char *added, *chosen;
    } rows[] = {{kLanguageEnglish, "dralvo", "dralvo"}, {kLanguageRussian, "dralvo_en", "dralvo"},
                {kLanguageRussian, "dralvo_ru", "dralvo_ru"},
                {kLanguageEnglish, "dralvo_en", "dralvo_en"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.added);
        WriteBook(programDir + row.added + ".htb", wxString("Book ") + row.added);
        soLanguage = row.language;
        EXPECT_EQ(dralvoFrame::GetHelpFileName("dralvo"), programDir + row.chosen + ".htb");
    }
    Command(dralvoFrame::ID_MENU_HELP_INDEX);
    EXPECT_TRUE(HelpFrameTitle().Contains("Book dralvo_en")) << HelpFrameTitle();
}

TEST_F(MainFrameHelpTest, AboutHomePageAndUpdateCheckWithEachAnswer)
{
    const wxString home = wxString::Format("http://127.0.0.1:%d/", server.Port());
    const wxString about = wxString::Format("Dralvo v. 1.1.146.734\nwxWidgets %d.%d.%d-wxGTK-"
                                            "Unicode build\nKeeps your files in step between "
                                            "computers, carried on USB sticks.\n", wxMAJOR_VERSION,
                                            wxMINOR_VERSION, wxRELEASE_NUMBER) + home;
    OpenWith();
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_ABOUT), ExpectMessage(about, wxOK, "About Dralvo"));
    Command(dralvoFrame::ID_MENU_HOME_PAGE);
    browserWorks = false;
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_HOME_PAGE),
                  ExpectMessage("Failed to run internet browser!"));
    EXPECT_EQ(opened, (std::vector<wxString>{home, home}));
    browserWorks = true;
    const wxString latest = "You have the latest Dralvo version!";
    const wxString failed = "Failed to retrieve last version information!";
    const wxString newer = "Dralvo v. %s is available. Do you wish to visit the website?";
    const struct {
        int status;
        const char* body;
        wxString message;
        int answer;  // wxYES visits the site
    } rows[] = {{200, " 1.1.146.734\r\n", latest, wxOK}, {200, "01.001.146.734.0", latest, wxOK},
                {200, "1.1.99.0", latest, wxOK}, {404, "1.2", failed, wxOK},
                {200, "<html>1.2</html>", failed, wxOK},
                {200, "1.1.146.734.1", wxString::Format(newer, "1.1.146.734.1"), wxNO},
                {200, "99999999999999999999", wxString::Format(newer, "99999999999999999999"),
                 wxNO},
                {200, "1.2", wxString::Format(newer, "1.2"), wxYES}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.body);
        opened.clear();
        server.Answer(row.status, row.body);
        const char* caption = row.answer == wxOK ? "Message" : "Update available";
        wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_CHECK_UPDATES),
                      ExpectMessage(row.message, row.answer, caption));
        EXPECT_EQ(opened.size(), row.answer == wxYES ? 1u : 0u);
        EXPECT_NE(server.LastRequest().find("GET /version.txt"), std::string::npos);
    }
}

} // namespace
