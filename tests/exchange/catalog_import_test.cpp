#include "exchange/catalog_import.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <random>
#include <regex>
#include <tuple>

#include "store/bzip2.h"
#include "tests/exchange/exchange_test_support.h"

namespace {

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

TEST_F(ExchangeTest, RefusedFilesChangeNothingAndAFailingOneIsRolledBack)
{
    // A caption as long as a token may be is taken.
    const std::size_t maxToken = ImportLimits().maxTokenBytes;
    AddRows(remote, kCatalogue);
    remote.ExecuteUpdate("update PROJECT set CAPTION = '" + wxString('w', maxToken) + "' where CAPTION = 'Work'");
    const std::string good = ReadAll(ExportTo(remote, "base")), tooLong(maxToken + 1, 'x');
    const std::string x(100, 'x');
    const std::string deep = std::regex_replace(x, std::regex("x"), "<x>") + std::regex_replace(x, std::regex("x"), "</x>");
    const std::string entity = "<!DOCTYPE dralvo [<!ENTITY e \"ee\">]><dralvo export_time=\"2001-01-01 00:00:00\">"
        "<project><item GUID=\"" + ToUtf8(Guid("u")) + "\" CAPTION=\"&e;\" MODIFIED=\"2000-01-01 10:00:00\"/></project></dralvo>";
    const wxCharBuffer utf16 = wxMBConvUTF16LE().cWC2MB(FromUtf8(entity).wc_str());
    // A comment of 200 MiB in 200 streams of 1 MiB.
    std::string bomb = Compressed("<dralvo><!--");
    for (const std::string mib = Compressed(std::string(1 << 20, 'x')); bomb.size() < 200 * mib.size();)
        bomb += mib;
    const wxString elsewhere = dir.Write("elsewhere.xml", good);
    const ImportLimits small{200, 4096};
    using enum ImportRefusal;
    const struct {
        const char* name;
        const char* file;
        std::string content;
        ImportRefusal refusal;
        std::function<void(const wxString& path)> prepare;  // instead of the content
        ImportLimits limits;
    } rows[] = {
        {"root name in other case", "dralvo.xml", Replaced(Replaced(good, "<dralvo ", "<Dralvo "), "</dralvo>", "</Dralvo>"), NotACatalogue, {}, {}},
        {"export time in the future", "dralvo.xml", Replaced(good, kExportTime, "2999-02-03 04:05:06"), NotACatalogue, {}, {}},
        {"export time missing", "dralvo.xml", Replaced(good, "export_time=\"" + kExportTime + "\"", ""), NotACatalogue, {}, {}},
        {"no sections", "dralvo.xml", "<dralvo export_time=\"2001-01-01 00:00:00\"/>", NotACatalogue, {}, {}},
        {"not well-formed", "dralvo.xml", Replaced(good, "</dralvo>", "</dralv>"), Malformed, {}, {}},
        {"garbage", "dralvo.xml", std::string("\x89PNG\r\n\x1a\n\0\0garbage<<>>&&", 20), NotUtf8, {}, {}},
        {"UTF-16 with an internal entity", "dralvo.xml", "\xFF\xFE" + std::string(utf16.data(), utf16.length()), NotUtf8, {}, {}},
        {"Latin-1 declared", "dralvo.xml", Replaced(good, "UTF-8", "ISO-8859-1"), NotUtf8, {}, {}},
        {"DOCTYPE", "dralvo.xml", entity, Doctype, {}, {}},
        {"DOCTYPE in a comment", "dralvo.xml", Replaced(good, "<media>", "<media><!-- <!doctype x> -->"), Doctype, {}, {}},
        {"attribute of 8 MiB", "dralvo.xml", Replaced(good, "Photos", std::string(8 << 20, 'x')), LongToken, {}, {}},
        {"long comment", "dralvo.xml.bz2", Compressed(Replaced(good, "<media>", "<media><!--" + tooLong + "-->")), LongToken, {}, {}},
        {"long text", "dralvo.xml", Replaced(good, "<media>", "<media>" + tooLong), LongToken, {}, {}},
        {"long name", "dralvo.xml", Replaced(good, "<media>", "<media " + tooLong + "=\"\">"), LongToken, {}, {}},
        {"deep nesting", "dralvo.xml", Replaced(good, "<project>", "<project>" + deep), TooDeep, {}, {}},
        {"document beyond the tree limit", "dralvo.xml", good, TooLarge, {}, {32 << 20, 64 << 20, 64 << 10, 64 << 10}},
        {"bzip2 bomb: a comment of 200 MiB", "dralvo.xml.bz2", bomb, TooLarge, {}, {}},
        {"compressed file too large", "dralvo.xml.bz2", Compressed(good), TooLarge, {}, small},
        {"plain file too large", "dralvo.xml", Replaced(good, "</dralvo>", std::string(8192, ' ') + "</dralvo>"), TooLarge, {}, small},
        {"truncated stream", "dralvo.xml.bz2", Compressed(good).substr(0, Compressed(good).size() - 8), Damaged, {}, {}},
        {"symbolic link", "dralvo.xml", "", Unreadable, [&](const wxString& p) { symlink(NativePath(elsewhere).c_str(), NativePath(p).c_str()); }, {}},
        {"FIFO", "dralvo.xml", "", Unreadable, [](const wxString& p) { mkfifo(NativePath(p).c_str(), 0600); }, {}},
    };
    const std::vector<std::string> before = Items(catalogDb);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const wxString path = dir.MakeDir(row.name) + "/" + row.file;
        row.prepare ? row.prepare(path) : (void)WriteBinaryFile(path, row.content.data(), row.content.size());
        const ImportEvents e = Import(path, row.limits);
        EXPECT_EQ(wxString::Format("%d %d %ld", e.progress, e.finished, e.failed), "8 1 1");
        EXPECT_EQ(e.report, path + ": " + ImportRefusalText(row.refusal));
    }
    EXPECT_EQ(Items(catalogDb), before);

    // A file failing half way is rolled back and the next one merged; the end comes once.
    catalogDb.ExecuteUpdate("create trigger FAIL_BOOM before insert on FOLDER when NEW.FOLDER = 'boom' "
                            "begin select raise(abort, 'boom'); end");
    const wxString files[] = {dir.Write("boom/dralvo.xml", Replaced(Replaced(good, "Docs", "boom"), "Photos", "Lost")),
                              dir.Write("good/dralvo.xml.bz2", Compressed(good))};
    const ImportEvents e = Import(wxArrayString(2, files));
    EXPECT_EQ(wxString::Format("%d %d %d %ld", e.started, e.progress, e.finished, e.failed), "16 16 1 1");
    EXPECT_TRUE(e.report.StartsWith(files[0] + ": ") && e.report.Contains("boom")) << e.report;
    EXPECT_EQ(Import(wxArrayString()).finished, 1);  // no files: it still ends
    std::vector<std::string> merged = Items(remote);
    merged.insert(merged.end(), before.begin(), before.end());
    std::sort(merged.begin(), merged.end());
    EXPECT_EQ(Items(catalogDb), merged);
    // A stop ends a file wherever it comes (decompressing, checking, parsing, merging) and
    // rolls it back; a bomb is stopped while it is decompressed.
    int calls = 0, stopAt = 1;
    CatalogImport import(catalogDb, ImportLimits(), {}, [&] { return ++calls >= stopAt; });
    const wxString newer = dir.Write("newer/dralvo.xml.bz2", Compressed(std::regex_replace(good, std::regex("2024-"), "2025-")));
    for (; calls = 0, import.ImportFile(newer) == ImportOutcome::Stopped; ++stopAt)
        ASSERT_EQ(Items(catalogDb), merged) << stopAt;
    EXPECT_GT(stopAt, 50);
    EXPECT_NE(Items(catalogDb), merged);
    calls = 0, stopAt = 2;
    EXPECT_EQ(import.ImportFile(dir / "bzip2 bomb: a comment of 200 MiB/dralvo.xml.bz2"), ImportOutcome::Stopped);
}

// Values are bound, checked or skipped; this computer's own station row and rows that are not
// older stay; a parent that only this catalogue knows is found here.
TEST_F(ExchangeTest, HostileValuesAreBoundCheckedOrSkipped)
{
    const wxString t = "|MODIFIED=2024-01-01 10:00:00", later = "|MODIFIED=2025-01-01 00:00:00|DELETED=1";
    AddRows(catalogDb, {"PROJECT|lp|CAPTION=Local|IGNORESIZEOVER=0|BZ2BELOW=0|DELETED=0" + t,
                        "STATION|se|NAME=same|DELETED=0" + t});
    AddRows(remote, {
        "STATION|st|NAME=o'brien" + t, "MEDIA|m1" + t + "|DELETED=0", "BZ2IGNORE|bq|FILEMASK=*.'z" + t,
        "PROJECT|h1|CAPTION=x'); drop table FOLDER; --|IGNORESIZEOVER=0|BZ2BELOW=0|DELETED=0" + t,
        "PROJECT|h2|IGNORESIZEOVER=1 or 1=1" + t, "PROJECT|h3|IGNORESIZEOVER=2147483648" + t,
        "PROJECT|h4|DELETED=2" + t, "PROJECT|!short" + t, "PROJECT|h5|MODIFIED=2024-1-1 10:00:00",
        "PROJECT|h7" + t, "PROJECT|!x'); delete from STATION; --xxxxxxxx|CAPTION=q" + t,
        "FOLDER|fo|PROJECTID=@h4|FOLDER=orphan" + t, "FOLDER|fk|PROJECTID=@h1|FOLDER=it's" + t,
        "ACLRULES|ra|FOLDERID=@fk|NLINE=abc" + t, "ACLRULES|rb|FOLDERID=@fk|NLINE=1000000001" + t,
        "ACLRULES|rc|FOLDERID=@fk|NLINE=-5|FILEMASK=a'b" + t, "ACLRULES|rd|FOLDERID=@fk|ALLOW=2" + t,
        "STATION|here|NAME=evil" + later, "STATION|s9|NAME=test-station" + later, "STATION|se|NAME=same2|DELETED=1" + t,
        "STATION|s8|NAME=same|DELETED=1" + t, "PROJECT|t1|MODIFIED=2024/01/01 10:00:00",
        "PROJECT|t2|MODIFIED=9999-99-99 99:99:99", "PROJECT|t3|MODIFIED=2023-02-29 10:00:00",
        "PROJECT|t4|MODIFIED=2024-04-31 10:00:00", "PROJECT|t5|MODIFIED=2024-01-01 24:00:00",
        "PROJECT|t6|MODIFIED=2025-06-01 00:00:01", "PROJECT|t7|MODIFIED=2024-02-29 23:59:59",
        "PROJECT|t8|MODIFIED=" + kExportTime, "PROJECT|lp|CAPTION=Local" + t, "FOLDER|fl|PROJECTID=@lp|FOLDER=under local" + t,
    });
    // The file lacks the project lp, which only this catalogue knows.
    const std::string text = std::regex_replace(ReadAll(ExportTo(remote, "m")), std::regex("\n *<item GUID=\"lp[^\n]*"), "");
    EXPECT_EQ(Import(dir.Write(wxString("m/") + kExportFilePlain, text)).failed, 0);
    const std::string at = "|2024-01-01 10:00:00|0";
    EXPECT_EQ(Items(catalogDb), (std::vector<std::string>{
        "aclrules:rc|a\"b|-5|0" + at + "|fk", "bz2ignore:bq|*.\"z" + at, "folder:fk|it\"s" + at + "|h1",
        "folder:fl|under local" + at + "|lp", "media:m1|Unknown" + at,
        "project:h1|x\"); drop table FOLDER; --|0|0" + at, "project:h7|h7|0|0" + at,
        "project:lp|Local|0|0" + at, "project:t7|t7|0|0|2024-02-29 23:59:59|0",
        "project:t8|t8|0|0|" + kExportTime + "|0", "project:x'); delete from STATION; --xxxxxxxx|q|0|0" + at,
        "station:here|test-station|2024-01-01 00:00:00|0", "station:se|same" + at, "station:st|o\"brien" + at}));
}

TEST_F(ExchangeTest, MutatedExportsKeepTheCatalogueSound)
{
    AddRows(remote, kCatalogue);
    AddRows(catalogDb, kBase);
    // Each mutation replaces values on one line (row) by hostile ones, ones borrowed from
    // elsewhere or a later time (so that the row wins); now and then bytes are dropped, doubled
    // or flipped.
    static const char* const hostile[] = {"", "'", "x'); drop table PROJECT; --", "1 or 1=1", "-1", "2",
        "2147483648", "99999999999999999999", "2099-01-01 00:00:00", "2000-01-01 00:00:00", "&quot;'", "&#0;",
        "<", "\xC3\xA9'", "0x10", " 1", "1000000000", "-1000000001", "it's", "2024-02-30 10:00:00"};
    const std::string base = ReadAll(ExportTo(remote, "m"));
    std::vector<std::tuple<std::size_t, std::string, long>> values;  // offset, text, line
    const std::regex value("=\"([^\"]*)\"");
    for (std::sregex_iterator i(base.begin(), base.end(), value), end; i != end; ++i)
        values.push_back({static_cast<std::size_t>(i->position(1)), i->str(1),
                          std::count(base.begin(), base.begin() + i->position(1), '\n')});
    std::mt19937 random(20261207);
    const auto pick = [&random](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    wxDateTime later(1, wxDateTime::Jan, 2025);
    catalogDb.ExecuteUpdate("pragma synchronous = off");  // speed only
    const int objects = Scalar("select count(*) from sqlite_master");
    CatalogImport import(catalogDb, ImportLimits(), {}, {});
    int merged = 0;
    for (int i = 0; i < 10000; ++i) {
        std::string text = base;
        const long row = std::get<2>(values[pick(values.size())]);
        for (auto v = values.rbegin(); v != values.rend(); ++v) {
            const auto& [at, old, line] = *v;
            if (line != row || pick(2) == 0)
                continue;
            const std::size_t kind = pick(3);
            later += wxTimeSpan::Second();
            text.replace(at, old.size(), kind == 0   ? std::string(hostile[pick(std::size(hostile))])
                                         : kind == 1 ? std::get<1>(values[pick(values.size())])
                                                     : ToUtf8(later.Format("%Y-%m-%d %H:%M:%S")));
        }
        if (const std::size_t at = pick(text.size()), length = pick(40), kind = pick(12); kind == 0)
            text.erase(at, length);
        else if (kind == 1)
            text.insert(at, text.substr(at, length));
        else if (kind == 2)
            text[at] = static_cast<char>(text[at] ^ (1 << pick(8)));
        merged += import.ImportText(text) == ImportOutcome::Merged;
    }
    EXPECT_GT(merged, 2000);
    FixRuleLineDuplicates(catalogDb);
    EXPECT_EQ(Text("pragma integrity_check"), "ok");
    EXPECT_EQ(Scalar("select count(*) from sqlite_master"), objects);
    EXPECT_EQ(Rows("select GUID, NAME, MODIFIED, DELETED from STATION where ID = 1"),
              Guid("here") + "|test-station|2024-01-01 00:00:00|0");
    // Per table: what no row may show besides a quoted text, a bad or doubled GUID, time or flag.
    for (const wxString table : {"STATION where instr(NAME, '''')", "MEDIA where instr(NAME, '''')",
             "BZ2IGNORE where instr(FILEMASK, '''')", "PROJECT where instr(CAPTION, '''') or IGNORESIZEOVER "
             "not between 0 and 2147483647 or BZ2BELOW not between 0 and 2147483647",
             "FOLDER where instr(FOLDER, '''') or PROJECTID not in (select ID from PROJECT)",
             "STAFOLDER where instr(FOLDER, '''') or FOLDERID not in (select ID from FOLDER) or STATIONID not in "
             "(select ID from STATION)", "MEPROJECT where instr(FOLDER, '''') or PROJECTID not in (select ID from "
             "PROJECT) or MEDIAID not in (select ID from MEDIA)", "ACLRULES where instr(FILEMASK, '''') or ALLOW not "
             "in (0, 1) or FOLDERID not in (select ID from FOLDER) or typeof(NLINE) <> 'integer' or ID in (select "
             "max(ID) from ACLRULES group by FOLDERID, NLINE having count(*) > 1)"}) {
        EXPECT_EQ(Scalar(wxString::Format(
                      "select count(*) from %s or length(GUID) <> 36 or MODIFIED not glob '%s' or MODIFIED > '%s' "
                      "or DELETED not in (0, 1) or GUID in (select GUID from %s group by GUID having count(*) > 1)",
                      table, "[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]", kExportTime, table.BeforeFirst(' '))), 0) << table;
    }
}

// Pass after pass, the highest ID of every colliding group moves 5 past its folder's highest
// line (from 0 in a folder without lines); groups that need thousands of passes end too.
TEST_F(ExchangeTest, CollidingRuleLinesAreRenumberedAsPassAfterPass)
{
    Transaction rows;
    for (const char* row : {"1, 5", "1, 5", "1, 5", "1, 10", "1, 10", "1, 10", "2, 0", "2, 0"})
        ExecUpdate(wxString("insert into ACLRULES (FOLDERID, NLINE) values (") + row + ")");
    ExecUpdate("update ACLRULES set NLINE = null where FOLDERID = 2");
    for (int i = 0; i < 1500; ++i)
        ExecUpdate("insert into ACLRULES (FOLDERID, NLINE) values (3, 7)");
    rows.Commit();
    FixRuleLineDuplicates(catalogDb);
    EXPECT_EQ(Text("select group_concat(ifnull(NLINE, '-'), ' ') from (select NLINE from ACLRULES "
                   "where FOLDERID < 3 order by ID)"), "5 25 15 10 30 20 - 0");
    EXPECT_EQ(Scalar("select max(NLINE) from ACLRULES"), 7 + 5 * 1499);
    EXPECT_EQ(Scalar("select count(*) from ACLRULES group by FOLDERID, NLINE order by count(*) desc limit 1"), 1);
}

} // namespace
