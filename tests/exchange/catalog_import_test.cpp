#include "exchange/catalog_import.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <random>
#include <regex>

#include "store/bzip2.h"
#include "tests/exchange/exchange_test_support.h"

namespace {

using CatalogImportTest = ExchangeTest;

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const auto at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string Compressed(const std::string& text)
{
    const auto packed = CompressStringBz2(FromUtf8(text));
    return packed ? std::string(packed->begin(), packed->end()) : std::string();
}

TEST_F(CatalogImportTest, RefusedFilesChangeNothing)
{
    AddRows(remote, kCatalogue);
    const std::string good = ReadAll(ExportTo(remote, "base"));
    std::string deep;
    for (int i = 0; i < 100; ++i)
        deep = "<x>" + deep + "</x>";
    const wxString elsewhere = dir.Write("elsewhere.xml", good);
    ImportLimits small;
    small.maxCompressedBytes = 200;
    small.maxTextBytes = 4096;
    const struct {
        const char* name;
        const char* file;
        std::function<std::string()> content;  // null: made by prepare
        std::function<void(const wxString& path)> prepare;
        ImportLimits limits;
        bool merged;
    } rows[] = {
        {"root name in other case", "dralvo.xml", [&] { return Replaced(Replaced(good, "<dralvo ", "<Dralvo "), "</dralvo>", "</Dralvo>"); }, {}, {}, false},
        {"export time in the future", "dralvo.xml", [&] { return Replaced(good, "2001-02-03 04:05:06", "2999-02-03 04:05:06"); }, {}, {}, false},
        {"export time missing", "dralvo.xml", [&] { return Replaced(good, "export_time=\"2001-02-03 04:05:06\"", ""); }, {}, {}, false},
        {"no sections", "dralvo.xml", [] { return std::string("<dralvo export_time=\"2001-01-01 00:00:00\"/>"); }, {}, {}, false},
        {"garbage", "dralvo.xml", [] { return std::string("\x89PNG\r\n\x1a\n\0\0garbage<<>>&&", 20); }, {}, {}, false},
        {"DOCTYPE", "dralvo.xml", [&] { return Replaced(Replaced(good, "<dralvo ", "<!DOCTYPE dralvo [<!ENTITY e \"ee\">]><dralvo "), "Photos", "&e;"); }, {}, {}, false},
        {"deep nesting", "dralvo.xml", [&] { return Replaced(good, "<project>", "<project>" + deep); }, {}, {}, false},
        {"bzip2 bomb", "dralvo.xml.bz2", [&] { return Compressed(Replaced(good, "</dralvo>", std::string(8 << 20, ' ') + "</dralvo>")); }, {}, small, false},
        {"compressed file too large", "dralvo.xml.bz2", [&] { return Compressed(good); }, {}, small, false},
        {"plain file too large", "dralvo.xml", [&] { return Replaced(good, "</dralvo>", std::string(8192, ' ') + "</dralvo>"); }, {}, small, false},
        {"truncated stream", "dralvo.xml.bz2", [&] { const std::string z = Compressed(good); return z.substr(0, z.size() - 8); }, {}, {}, false},
        {"symbolic link", "dralvo.xml", {}, [&](const wxString& p) { symlink(NativePath(elsewhere).c_str(), NativePath(p).c_str()); }, {}, false},
        {"FIFO", "dralvo.xml", {}, [](const wxString& p) { mkfifo(NativePath(p).c_str(), 0600); }, {}, false},
        {"missing", "dralvo.xml", {}, [](const wxString&) {}, {}, false},
        {"the good file itself", "dralvo.xml.bz2", [&] { return Compressed(good); }, {}, {}, true},
    };
    const std::vector<std::string> before = Items(catalogDb);
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const wxString path = dir.MakeDir(wxString::Format("medium%d", ++n)) + "/" + row.file;
        if (row.content)
            dir.Write(path.Mid(dir.Path().length()), row.content());
        else
            row.prepare(path);
        const ImportEvents events = Import(path, row.limits);
        EXPECT_EQ(events.progress, 8);
        EXPECT_EQ(events.finished, 1);
        EXPECT_EQ(events.failed, row.merged ? 0 : 1);
        EXPECT_EQ(Items(catalogDb) == before, !row.merged);
    }
}

TEST_F(CatalogImportTest, HostileValuesAreBoundCheckedOrSkipped)
{
    AddRow(catalogDb, "PROJECT|lp|CAPTION=Local|IGNORESIZEOVER=0|BZ2BELOW=0|MODIFIED=2024-01-01 10:00:00|DELETED=0");
    const wxString t = "|MODIFIED=2024-01-01 10:00:00";
    AddRows(remote, {
        "STATION|st|NAME=o'brien" + t, "MEDIA|m1" + t + "|DELETED=0",
        "PROJECT|h1|CAPTION=x'); drop table FOLDER; --|IGNORESIZEOVER=0|BZ2BELOW=0|DELETED=0" + t,
        "PROJECT|h2|IGNORESIZEOVER=1 or 1=1" + t, "PROJECT|h3|IGNORESIZEOVER=2147483648" + t,
        "PROJECT|h4|DELETED=2" + t, "PROJECT|!short" + t, "PROJECT|!" + t,
        "PROJECT|h5|MODIFIED=2024-1-1 10:00:00", "PROJECT|h6|MODIFIED=2024-01-01 10:00:00'", "PROJECT|h7" + t,
        "PROJECT|!x'); delete from STATION; --xxxxxxxx|CAPTION=q" + t,
        "FOLDER|fo|PROJECTID=@h4|FOLDER=orphan" + t, "FOLDER|fk|PROJECTID=@h1|FOLDER=it's" + t,
        "ACLRULES|ra|FOLDERID=@fk|NLINE=abc" + t, "ACLRULES|rb|FOLDERID=@fk|NLINE=1000000001" + t,
        "ACLRULES|rc|FOLDERID=@fk|NLINE=-5|FILEMASK=a'b" + t, "ACLRULES|rd|FOLDERID=@fk|ALLOW=2" + t,
        "BZ2IGNORE|bq|FILEMASK=*.'z" + t,
    });
    const int objects = catalogDb.ExecuteScalar("select count(*) from sqlite_master");
    EXPECT_EQ(Import(ExportTo(remote, "m")).failed, 0);
    EXPECT_EQ(catalogDb.ExecuteScalar("select count(*) from sqlite_master"), objects);
    const std::string at = "|2024-01-01 10:00:00|0";
    EXPECT_EQ(Items(catalogDb, "project"),
              (std::vector<std::string>{"h1|x\"); drop table FOLDER; --|0|0" + at, "h7|h7|0|0" + at,
                                        "lp|Local|0|0" + at, "x'); delete from STATION; --xxxxxxxx|q|0|0" + at}));
    EXPECT_EQ(Items(catalogDb, "folder"), std::vector<std::string>{"fk|it\"s" + at + "|h1"});
    EXPECT_EQ(Items(catalogDb, "aclrules"), std::vector<std::string>{"rc|a\"b|-5|0" + at + "|fk"});
    EXPECT_EQ(Items(catalogDb, "bz2ignore"), std::vector<std::string>{"bq|*.\"z" + at});
    EXPECT_EQ(Items(catalogDb, "media"), std::vector<std::string>{"m1|Unknown" + at});
    EXPECT_EQ(Items(catalogDb, "station"),
              (std::vector<std::string>{"here|test-station|2024-01-01 00:00:00|0",
                                        "st|o\"brien" + at}));
}

// Random changes of an export: values on one or two lines (rows) replaced by hostile ones,
// ones borrowed from elsewhere or a later time (so that the row wins), and now and then bytes
// dropped, doubled or flipped.
class Mutator {
public:
    Mutator(const std::string& base, unsigned seed) : base_(base), random_(seed)
    {
        const std::regex value("=\"([^\"]*)\"");
        for (std::sregex_iterator i(base.begin(), base.end(), value), end; i != end; ++i)
            values_.push_back({static_cast<std::size_t>(i->position(1)), i->str(1),
                               std::count(base.begin(), base.begin() + i->position(1), '\n')});
    }

    std::string Next()
    {
        static const char* const hostile[] = {"", "'", "x'); drop table PROJECT; --", "1 or 1=1",
            "-1", "2", "2147483648", "99999999999999999999", "2099-01-01 00:00:00",
            "2000-01-01 00:00:00", "&quot;'", "&#0;", "<", "\xC3\xA9'", "0x10", " 1", "1000000000",
            "-1000000001", "it's"};
        std::string text = base_;
        const long lines[] = {values_[Pick(values_.size())].line, values_[Pick(values_.size())].line};
        const bool two = Pick(2) == 0;
        for (auto v = values_.rbegin(); v != values_.rend(); ++v) {
            if ((v->line != lines[0] && !(two && v->line == lines[1])) || Pick(2) == 0)
                continue;
            const std::size_t kind = Pick(3);
            const wxDateTime later = wxDateTime(1, wxDateTime::Jan, 2030) + wxTimeSpan::Seconds(++clock_);
            text.replace(v->at, v->text.size(), kind == 0   ? std::string(hostile[Pick(std::size(hostile))])
                                                : kind == 1 ? values_[Pick(values_.size())].text
                                                            : ToUtf8(later.Format("%Y-%m-%d %H:%M:%S")));
        }
        if (Pick(4) == 0) {
            const std::size_t at = Pick(text.size()), length = Pick(40), kind = Pick(3);
            if (kind == 0)
                text.erase(at, length);
            else if (kind == 1)
                text.insert(at, text.substr(at, length));
            else
                text[at] = static_cast<char>(text[at] ^ (1 << Pick(8)));
        }
        return text;
    }

private:
    std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }

    struct Value {
        std::size_t at;
        std::string text;
        long line;
    };
    std::string base_;
    std::mt19937 random_;
    std::vector<Value> values_;
    long clock_ = 0;
};

TEST_F(CatalogImportTest, MutatedExportsKeepTheCatalogueSound)
{
    AddRows(remote, kCatalogue);
    AddRows(catalogDb, {kCatalogue[0], kCatalogue[3], kCatalogue[5]});
    Mutator mutator(ReadAll(ExportTo(remote, "m")), 20261207);
    wxSQLite3Database db;
    db.Open(databasePath);
    // Speed only: the test does not survive a power cut anyway.
    db.ExecuteUpdate("pragma synchronous = off");
    const int objects = db.ExecuteScalar("select count(*) from sqlite_master");
    {
        CatalogImport import(db, ImportLimits(), {}, {});
        int merged = 0;
        for (int i = 0; i < 10000; ++i)
            merged += import.ImportText(mutator.Next()) == ImportOutcome::Merged;
        EXPECT_GT(merged, 2000);
    }
    EXPECT_TRUE(FixRuleLineDuplicates(db));
    EXPECT_EQ(db.ExecuteQuery("pragma integrity_check").GetAsString(0), "ok");
    EXPECT_EQ(db.ExecuteScalar("select count(*) from sqlite_master"), objects);
    // Per table: what no row may show besides a bad GUID, time or flag.
    const std::pair<const char*, const char*> tables[] = {
        {"STATION", "NAME like '%''%'"},
        {"MEDIA", "NAME like '%''%'"},
        {"PROJECT", "CAPTION like '%''%' or IGNORESIZEOVER not between 0 and 2147483647 "
                    "or BZ2BELOW not between 0 and 2147483647"},
        {"FOLDER", "FOLDER like '%''%' or PROJECTID not in (select ID from PROJECT)"},
        {"STAFOLDER", "FOLDER like '%''%' or FOLDERID not in (select ID from FOLDER) "
                      "or STATIONID not in (select ID from STATION)"},
        {"MEPROJECT", "FOLDER like '%''%' or PROJECTID not in (select ID from PROJECT) "
                      "or MEDIAID not in (select ID from MEDIA)"},
        {"ACLRULES", "FILEMASK like '%''%' or ALLOW not in (0, 1) "
                     "or FOLDERID not in (select ID from FOLDER) or typeof(NLINE) <> 'integer'"},
        {"BZ2IGNORE", "FILEMASK like '%''%'"},
    };
    for (const auto& [table, unsound] : tables) {
        SCOPED_TRACE(table);
        EXPECT_EQ(db.ExecuteScalar(wxString::Format(
                      "select count(*) from %s where length(GUID) <> 36 or MODIFIED not glob '[0-9]"
                      "[0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]' "
                      "or DELETED not in (0, 1) or %s", table, unsound)), 0);
        EXPECT_EQ(db.ExecuteScalar(wxString::Format(
                      "select count(*) - count(distinct GUID) from %s", table)), 0);
    }
}

} // namespace
