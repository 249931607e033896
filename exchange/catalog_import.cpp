#include "exchange/catalog_import.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <exception>
#include <string_view>
#include <vector>

#include <wx/datetime.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/wxsqlite3.h>
#include <wx/xml/xml.h>

#include "exchange/bound_statement.h"
#include "store/bzip2.h"
#include "store/text.h"

namespace {

constexpr int kStepsPerFile = 8;

// The whole regular file, refused beyond limit bytes.
std::optional<std::vector<char>> ReadBounded(const wxString& path, std::uint64_t limit)
{
    // O_NOFOLLOW: never through a link; O_NONBLOCK: a FIFO must not wait for a writer.
    const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::vector<char>> data;
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) <= limit) {
        data.emplace();
        data->reserve(static_cast<std::size_t>(st.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 || data->size() + static_cast<std::size_t>(n) > limit) {
                data.reset();  // unreadable, or grown past the limit while read
                break;
            }
            if (n == 0)
                break;
            data->insert(data->end(), buffer, buffer + n);
        }
    }
    ::close(fd);
    return data;
}

// The deepest element nesting of the text, counted without parsing, so that a document whose
// nodes would be freed recursively too deep is refused first. Comments, CDATA and processing
// instructions are skipped; attribute values hold no "<".
int NestingDepth(std::string_view text)
{
    int depth = 0;
    int deepest = 0;
    std::size_t i = 0;
    const auto skipPast = [&](std::string_view end) {
        const std::size_t at = text.find(end, i);
        i = at == std::string_view::npos ? text.size() : at + end.size();
    };
    while ((i = text.find('<', i)) != std::string_view::npos) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("<!--")) {
            skipPast("-->");
        } else if (rest.starts_with("<![CDATA[")) {
            skipPast("]]>");
        } else if (rest.starts_with("<?") || rest.starts_with("<!")) {
            skipPast(">");
        } else if (rest.starts_with("</")) {
            --depth;
            skipPast(">");
        } else {
            std::size_t end = i + 1;
            char quote = 0;
            for (; end < text.size(); ++end) {
                const char c = text[end];
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            if (end >= text.size() || text[end - 1] != '/')
                deepest = std::max(deepest, ++depth);
            i = end + 1;
        }
    }
    return deepest;
}

bool HasDoctype(std::string_view text)
{
    static constexpr std::string_view kDoctype = "<!doctype";
    for (std::size_t i = text.find("<!"); i != std::string_view::npos; i = text.find("<!", i + 1)) {
        const std::string_view rest = text.substr(i, kDoctype.size());
        if (rest.size() == kDoctype.size() &&
            std::equal(rest.begin(), rest.end(), kDoctype.begin(),
                       [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; }))
            return true;
    }
    return false;
}

} // namespace

std::optional<std::string> ReadCatalogFile(const wxString& path, const ImportLimits& limits)
{
    if (path.Right(4).Lower() != ".bz2") {
        auto data = ReadBounded(path, limits.maxTextBytes);
        return data ? std::optional<std::string>(std::in_place, data->begin(), data->end()) : std::nullopt;
    }
    auto data = ReadBounded(path, limits.maxCompressedBytes);
    if (!data)
        return std::nullopt;
    bool complete = false;
    const wxString text = DecompressBufferToString(data->data(), data->size(), limits.maxTextBytes, &complete);
    data.reset();
    if (!complete)
        return std::nullopt;
    return ToUtf8(text);
}

bool ParseCatalogText(const std::string& utf8, wxXmlDocument& doc)
{
    if (HasDoctype(utf8) || NestingDepth(utf8) > kMaxImportDepth)
        return false;
    // The parser's complaints about a broken file are not the user's business here.
    wxLogNull quiet;
    wxMemoryInputStream stream(utf8.data(), utf8.size());
    return doc.Load(stream, "UTF-8") && doc.GetRoot();
}

bool CheckImportRoot(const wxXmlDocument& doc, ImportSections& sections, const std::function<bool()>& stop)
{
    sections = ImportSections();
    const wxXmlNode* root = doc.GetRoot();
    if (!root || root->GetName() != "dralvo")
        return false;
    wxDateTime exported;
    if (!exported.ParseDateTime(root->GetAttribute("export_time", wxString())) ||
        !exported.IsValid() || !exported.IsEarlierThan(wxDateTime::Now()))
        return false;
    sections.exportTime = exported.Format("%Y-%m-%d %H:%M:%S");
    bool anyChild = false;
    for (const wxXmlNode* child = root->GetChildren(); child; child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE)
            continue;
        anyChild = true;
        if (const wxXmlNode** slot = sections.Slot(child->GetName().Lower()))
            *slot = child;
        if (stop && stop())
            return false;
    }
    return anyChild;
}

CatalogImport::CatalogImport(wxSQLite3Database& db, const ImportLimits& limits,
                             std::function<void(int)> progress, std::function<bool()> stop)
    : db_(db), limits_(limits), progress_(std::move(progress)), stop_(std::move(stop))
{
}

CatalogImport::~CatalogImport() = default;

void CatalogImport::Progress(int steps) const
{
    if (progress_ && steps > 0)
        progress_(steps);
}

ImportOutcome CatalogImport::ImportFile(const wxString& path)
{
    const auto text = ReadCatalogFile(path, limits_);
    if (!text) {
        Progress(kStepsPerFile);
        return ImportOutcome::Rejected;
    }
    return ImportText(*text);
}

ImportOutcome CatalogImport::ImportText(const std::string& utf8)
{
    wxXmlDocument doc;
    ImportSections sections;
    if (!ParseCatalogText(utf8, doc) || !CheckImportRoot(doc, sections, stop_)) {
        if (Stopped())
            return ImportOutcome::Stopped;
        Progress(kStepsPerFile);
        return ImportOutcome::Rejected;
    }
    stepsDone_ = 0;
    try {
        if (!merge_) {
            merge_ = std::make_unique<CatalogMerge>(
                db_, [this](int steps) { stepsDone_ += steps; Progress(steps); }, stop_);
        }
        WriteTransaction transaction(db_);
        if (!merge_->MergeAll(sections))
            return ImportOutcome::Stopped;
        transaction.Commit();
        return ImportOutcome::Merged;
    } catch (const wxSQLite3Exception&) {
        // A failing statement: reported below as a file not merged.
    } catch (const std::exception&) {
        // Out of memory in a huge file: the same as a failing statement.
    }
    // The transaction is rolled back; the gauge still gets the file's remaining steps.
    Progress(kStepsPerFile - stepsDone_);
    return ImportOutcome::Failed;
}
