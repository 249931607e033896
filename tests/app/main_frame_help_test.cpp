#include "app/main_frame.h"

#include <stdlib.h>

#include <gtest/gtest.h>

#include <wx/html/helpfrm.h>
#include <wx/socket.h>
#include <wx/wfstream.h>
#include <wx/zipstrm.h>

#include "app/web_site.h"
#include "store/translations.h"
#include "tests/app/http_test_server.h"
#include "tests/app/main_frame_fixture.h"

namespace {

// A help book whose only page is titled title.
void WriteBook(const wxString& path, const wxString& title)
{
    wxFFileOutputStream file(path);
    wxZipOutputStream zip(file);
    const std::pair<const char*, wxString> entries[] = {
        {"book.hhp", "[OPTIONS]\nContents file=book.hhc\nDefault topic=page.html\nTitle=" + title + "\n\n[FILES]\npage.html\n"},
        {"book.hhc", "<html><body><ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"" + title +
                         "\"><param name=\"Local\" value=\"page.html\"></object></ul></body></html>"},
        {"page.html", "<html><head><title>" + title + "</title></head><body>" + title + "</body></html>"},
    };
    for (const auto& [name, text] : entries) {
        zip.PutNextEntry(name);
        const wxScopedCharBuffer bytes = text.utf8_str();
        zip.Write(bytes.data(), bytes.length());
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
        programDir = dir.MakeDir("share") + "/";
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
    const struct {
        const char* name;
        unsigned language;
        std::vector<const char*> books;
        const char* shown;  // the book's title, or null: "not installed"
    } rows[] = {
        {"Russian with both", kLanguageRussian, {"dralvo_ru", "dralvo"}, "Book dralvo_ru"},
        {"Russian, plain only", kLanguageRussian, {"dralvo_en", "dralvo"}, "Book dralvo"},
        {"English", kLanguageEnglish, {"dralvo_ru", "dralvo_en", "dralvo"}, "Book dralvo_en"},
        {"no book", kLanguageEnglish, {}, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        programDir = dir.MakeDir(row.name) + "/";
        for (const char* book : row.books)
            WriteBook(programDir + book + ".htb", wxString("Book ") + book);
        soLanguage = row.language;
        OpenWith();
        if (row.shown) {
            Command(dralvoFrame::ID_MENU_HELP_INDEX);
            EXPECT_TRUE(HelpFrameTitle().Contains(row.shown)) << HelpFrameTitle();
        } else {
            EXPECT_EQ(dralvoFrame::GetHelpFileName("dralvo"), "");
            wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_HELP_INDEX), ExpectMessage("The help file is not installed."));
        }
        CloseWindow();
        wxTheApp->ProcessIdle();
    }
}

TEST_F(MainFrameHelpTest, AboutShowsVersionAndToolkitAndHomePageOpensInTheBrowser)
{
    OpenWith();
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_ABOUT),
                  ExpectMessage(wxString::Format("Dralvo v. 1.1.146.734\nwxWidgets %d.%d.%d-wxGTK-Unicode build\n"
                                                 "Keeps your files in step between computers, carried on USB sticks.\n"
                                                 "http://127.0.0.1:%d/",
                                                 wxMAJOR_VERSION, wxMINOR_VERSION, wxRELEASE_NUMBER, server.Port()),
                                wxOK, "About Dralvo"));
    Command(dralvoFrame::ID_MENU_HOME_PAGE);
    browserWorks = false;
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_HOME_PAGE), ExpectMessage("Failed to run internet browser!"));
    const wxString home = wxString::Format("http://127.0.0.1:%d/", server.Port());
    EXPECT_EQ(opened, (std::vector<wxString>{home, home}));
}

TEST_F(MainFrameHelpTest, UpdateCheckGivesEachAnswer)
{
    const wxString latest = "You have the latest Dralvo version!", failed = "Failed to retrieve last version information!";
    const struct {
        const char* name;
        int status;
        const char* body;
        wxString message;
        int answer;
        size_t browsed;
    } rows[] = {
        {"same, with blanks", 200, " 1.1.146.734\r\n", latest, wxOK, 0},
        {"older by number", 200, "1.1.99.0", latest, wxOK, 0},
        {"newer, not now", 200, "1.1.147.0", "Dralvo v. 1.1.147.0 is available. Do you wish to visit the website?", wxNO, 0},
        {"newer, visit", 200, "1.2", "Dralvo v. 1.2 is available. Do you wish to visit the website?", wxYES, 1},
        {"not found", 404, "1.2", failed, wxOK, 0},
        {"not a version", 200, "<html>1.2</html>", failed, wxOK, 0},
    };
    OpenWith();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        opened.clear();
        server.Answer(row.status, row.body);
        wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_CHECK_UPDATES),
                      ExpectMessage(row.message, row.answer, row.answer == wxOK ? "Message" : "Update available"));
        EXPECT_EQ(opened.size(), row.browsed);
        EXPECT_NE(server.LastRequest().find("GET /version.txt"), std::string::npos);
    }
}

TEST_F(MainFrameHelpTest, MessagesAreRussianWithTheRussianCatalogue)
{
    ASSERT_TRUE(StartTranslations(wxLANGUAGE_RUSSIAN));
    OpenWith();
    server.Answer(404, "");
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_CHECK_UPDATES),
                  ExpectMessage(wxString::FromUTF8("Не удалось получить сведения о последней версии!")));
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_EXPORT),
                  ExpectMessage(wxString::FromUTF8("К компьютеру не подключено ни одного носителя!")));
    StartTranslations(wxLANGUAGE_ENGLISH);
}

TEST(CompareVersionsTest, ComparesNumberByNumber)
{
    const struct {
        const char* a;
        const char* b;
        int order;
    } rows[] = {
        {"1.1.146.734", "1.1.146.734", 0}, {"1.1.99.0", "1.1.146.734", -1}, {"1.1.147.0", "1.1.146.734", 1},
        {"1.2", "1.1.146.734", 1}, {"1.1", "1.1.0.0", 0}, {"01.001", "1.1", 0},
        {"99999999999999999999999", "1.0", 1}, {"1.0.0.1", "1.0", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.a) + " vs " + row.b);
        EXPECT_EQ(CompareVersions(row.a, row.b), row.order);
        EXPECT_EQ(CompareVersions(row.b, row.a), -row.order);
    }
}

} // namespace
