#include <stdlib.h>

#include <chrono>

#include <wx/filesys.h>
#include <wx/fs_zip.h>
#include <wx/html/helpdata.h>
#include <wx/html/helpfrm.h>
#include <wx/log.h>
#include <wx/socket.h>
#include <wx/sstream.h>
#include <wx/translation.h>

#include "app/version.h"
#include "app/web_site.h"
#include "store/text.h"
#include "tests/app/http_test_server.h"
#include "tests/app/main_frame_fixture.h"

namespace {

// The entries a book's contents or index file lists.
size_t Entries(const wxString& book, const char* file)
{
    wxFileSystem files;
    const std::unique_ptr<wxFSFile> in(files.OpenFile(book + "#zip:" + file));
    wxStringOutputStream text;
    if (in)
        in->GetStream()->Read(text);
    return wxString(text.GetString()).Replace("type=\"text/sitemap\"", "");
}

// Keeps what is logged while it is the log target.
class LogCapture : public wxLog {
public:
    LogCapture() : previous_(wxLog::SetActiveTarget(this)) {}
    ~LogCapture() override { wxLog::SetActiveTarget(previous_); }
    wxString text;

protected:
    void DoLogRecord(wxLogLevel, const wxString& message, const wxLogRecordInfo&) override
    {
        text << message << "\n";
    }

private:
    wxLog* previous_;
};

// An environment variable set (unset for null) for its lifetime, as it was afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value)
        : name_(name), saved_(getenv(name) != nullptr)
    {
        if (saved_)
            previous_ = getenv(name);
        Set(value);
    }
    ~ScopedVariable() { Set(saved_ ? previous_.c_str() : nullptr); }
    void Set(const char* value) { value ? setenv(name_, value, 1) : unsetenv(name_); }

private:
    const char* name_;
    bool saved_;
    std::string previous_;
};

// Points the update check at a server.
void Serve(const TestHttpServer& server)
{
    setenv(kWebHostVariable, ("127.0.0.1:" + std::to_string(server.Port())).c_str(), 1);
}

// The book is that of the language the menus speak, also when the system's language has no
// locale installed; each book loads every entry of its contents (below the book's own title)
// and of its index, none of them blank.
TEST_F(MainFrameTest, HelpShowsTheBookOfTheLanguageWithAllItsEntries)
{
    const wxString savedProgramDir = programDir;
    programDir = dir.MakeDir("share") + "/";
    wxFileSystem::AddHandler(new wxZipFSHandler);
    OpenWith();
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_HELP_INDEX),
                  ExpectMessage("The help file is not installed."));
    // The system's language comes from LC_ALL alone.
    ScopedVariable systemLanguage("LC_ALL", nullptr), preferred("LANGUAGE", nullptr);
    const struct {
        unsigned language;
        const char *added, *chosen;
        const char* system = nullptr;  // the system's language (none of these locales is installed)
    } rows[] = {{kLanguageEnglishUS, "dralvo", "dralvo"}, {kLanguageRussian, "dralvo_en", "dralvo"},
                {kLanguageRussian, "dralvo_ru", "dralvo_ru"},
                {kLanguageEnglishUS, "dralvo_en", "dralvo_en"},
                {kLanguageSystemDefault, "dralvo_ru", "dralvo_ru", "ru_RU.UTF-8"},
                {kLanguageSystemDefault, "dralvo_en", "dralvo_en", "de_DE.UTF-8"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.added);
        const wxString book = programDir + row.added + ".htb";
        EXPECT_TRUE(wxCopyFile(wxString(DRALVO_HELP_DIR) + row.added + ".htb", book));
        soLanguage = row.language;
        systemLanguage.Set(row.system);
        LoadOptions();
        const bool russian = row.language == kLanguageRussian || (row.system && *row.system == 'r');
        EXPECT_EQ(russian, _("Close") != "Close");  // as the menus speak
        EXPECT_EQ(dralvoFrame::GetHelpFileName("dralvo").utf8_string(),
                  (programDir + row.chosen + ".htb").utf8_string());
        wxHtmlHelpData data;
        EXPECT_TRUE(data.AddBook(book));
        EXPECT_EQ(data.GetContentsArray().size(), Entries(book, "contents.hhc") + 1);
        EXPECT_EQ(data.GetIndexArray().size(), Entries(book, "index.hhk"));
        for (const auto* items : {&data.GetContentsArray(), &data.GetIndexArray()})
            for (size_t i = 0; i < items->size(); ++i)
                EXPECT_FALSE((*items)[i].name.empty()) << (*items)[i].page;
    }
    Command(dralvoFrame::ID_MENU_HELP_INDEX);
    EXPECT_TRUE(dynamic_cast<wxHtmlHelpFrame*>(wxTopLevelWindows.GetLast()->GetData()));
    programDir = savedProgramDir;
    appLocale.reset();
    wxTranslations::Set(nullptr);  // later tests see untranslated texts
}

// Each answer of the version file gives its message; a connection that fails or is dropped
// unanswered is tried again after the pause, and a slow server is given up at the bound.
TEST_F(MainFrameTest, AboutHomePageAndUpdateCheckWithEachAnswer)
{
    TestHttpServer server, refusing(false);
    std::vector<wxString> opened;
    bool browserWorks = true;
    const BrowserLauncher previous = SetBrowserLauncher([&](const wxString& address) {
        opened.push_back(address);
        return browserWorks;
    });
    wxSocketBase::Initialize();
    Serve(server);
    const wxString home = wxString::Format("http://127.0.0.1:%d/", server.Port());
    OpenWith();
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_ABOUT),
                  ExpectMessage(wxString("Dralvo v. ") + kDralvoVersion + "\nwxWidgets ", wxOK,
                                "About Dralvo", true));
    Command(dralvoFrame::ID_MENU_HOME_PAGE);
    browserWorks = false;
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_HOME_PAGE),
                  ExpectMessage("Failed to run internet browser!"));
    EXPECT_EQ(opened, (std::vector<wxString>{home, home}));
    browserWorks = true;
    {  // the system's launcher finds no browser: only the program says so
        const BrowserLauncher fake = SetBrowserLauncher(nullptr);
        const ScopedVariable path("PATH", dir.MakeDir("no-browser").utf8_str());
        LogCapture log;
        wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_HOME_PAGE),
                      ExpectMessage("Failed to run internet browser!"));
        EXPECT_EQ("", log.text.utf8_string());
        SetBrowserLauncher(fake);
    }
    // %v stands for the program's version; 'L': the latest, 'F': failed, 'N' and 'Y': a newer
    // one, answered No and Yes (a visit).
    const struct {
        int status;
        const char* body;
        char outcome;
    } rows[] = {{200, " %v\r\n", 'L'}, {200, "0%v.0", 'L'}, {200, "1.1.99.0", 'L'},
                {404, "1.2", 'F'}, {200, "<html>1.2</html>", 'F'}, {200, "%v.1", 'N'},
                {200, "99999999999999999999", 'N'}, {200, "1.2", 'Y'}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.body);
        opened.clear();
        wxString body = row.body, message = "You have the latest Dralvo version!";
        body.Replace("%v", kDralvoVersion);
        server.Answer(row.status, ToUtf8(body));
        if (row.outcome == 'F')
            message = "Failed to retrieve last version information!";
        if (row.outcome >= 'N')
            message = "Dralvo v. " + body + " is available. Do you wish to visit the website?";
        const int answer = row.outcome == 'Y' ? wxYES : row.outcome == 'N' ? wxNO : wxOK;
        const char* caption = answer == wxOK ? "Message" : "Update available";
        wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_CHECK_UPDATES),
                      ExpectMessage(message, answer, caption));
        EXPECT_EQ(opened.size(), answer == wxYES ? 1u : 0u);
        EXPECT_FALSE(wxIsBusy());
    }

    const struct {
        const char* name;
        int dropped, dripMs;  // dropped -1: refused
        UpdateCheckLimits limits;
        bool fetched;
        int minMs, maxMs, connections;
    } waits[] = {{"refused", -1, 0, {3, 150, 5000}, false, 300, 4000, 0},
                 {"no time for a pause", -1, 0, {3, 5000, 1000}, false, 0, 900, 0},
                 {"dropped once", 1, 0, {2, 150, 5000}, true, 150, 4000, 2},
                 {"dropped twice", 2, 0, {2, 150, 5000}, false, 150, 4000, 2},
                 {"one byte a while", 0, 100, {3, 150, 1000}, false, 950, 4000, 1}};
    for (const auto& row : waits) {
        SCOPED_TRACE(row.name);
        const int before = server.Connections();
        server.Answer(200, "1.2", row.dropped, row.dripMs);
        Serve(row.dropped < 0 ? refusing : server);
        wxString version;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(FetchLatestVersion(version, row.limits), row.fetched);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(version, row.fetched ? "1.2" : "");
        EXPECT_TRUE(ms >= row.minMs && ms < row.maxMs) << ms;
        EXPECT_EQ(server.Connections() - before, row.connections);
    }
    SetBrowserLauncher(previous);
    unsetenv(kWebHostVariable);
}

} // namespace
