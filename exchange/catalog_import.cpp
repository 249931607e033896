#include "exchange/catalog_import.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <exception>
#include <string_view>

#include <wx/datetime.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/wxsqlite3.h>
#include <wx/xml/xml.h>

#include "exchange/bound_statement.h"
#include "store/bzip2.h"
#include "store/text.h"

namespace {

constexpr int kStepsPerFile = 8;
// What the parser spends on a node (element, attribute, text, comment) besides its characters,
// measured: about 160 bytes.
constexpr std::uint64_t kNodeCost = 160;

// The whole regular file, refused beyond limit bytes.
std::optional<std::string> ReadBounded(const wxString& path, std::uint64_t limit,
                                       ImportRefusal& refusal)
{
    refusal = ImportRefusal::Unreadable;
    // O_NOFOLLOW: never through a link; O_NONBLOCK: a FIFO must not wait for a writer.
    const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> data;
    struct stat st;
    const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (regular && static_cast<std::uint64_t>(st.st_size) > limit)
        refusal = ImportRefusal::TooLarge;
    if (regular && static_cast<std::uint64_t>(st.st_size) <= limit) {
        data.emplace();
        data->reserve(static_cast<std::size_t>(st.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 || data->size() + static_cast<std::size_t>(n) > limit) {
                data.reset();  // unreadable, or grown past the limit while read
                refusal = n < 0 ? ImportRefusal::Unreadable : ImportRefusal::TooLarge;
                break;
            }
            if (n == 0)
                break;
            data->append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    if (data)
        refusal = ImportRefusal::None;
    return data;
}

bool StartsWithNoCase(std::string_view text, std::string_view lower)
{
    return text.size() >= lower.size() &&
           std::equal(lower.begin(), lower.end(), text.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The encoding that the XML declaration at the start of the text names, lower-cased; empty
// when there is no declaration or it names none.
std::string DeclaredEncoding(std::string_view text)
{
    if (!text.starts_with("<?xml") || text.size() < 6 || !IsSpace(text[5]))
        return std::string();
    const std::string_view declaration = text.substr(0, text.find("?>"));
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos)
        return std::string();
    at += 8;
    while (at < declaration.size() && (IsSpace(declaration[at]) || declaration[at] == '='))
        ++at;
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\''))
        return "?";
    const std::size_t end = declaration.find(declaration[at], at + 1);
    std::string name(declaration.substr(at + 1, end == std::string_view::npos ? 0 : end - at - 1));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name.empty() ? "?" : name;
}

// One pass over the text that bounds what the parser will be given: its work grows with the
// square of the longest token, and what it builds with the text.
class TextCheck {
public:
    TextCheck(std::string_view text, const ImportLimits& limits, const std::function<bool()>& stop)
        : text_(text), maxToken_(limits.maxTokenBytes), stop_(stop),
          maxTree_(limits.maxTreeBytes)
    {
    }

    ImportRefusal Run()
    {
        if (text_.starts_with("\xEF\xBB\xBF"))
            text_.remove_prefix(3);
        // Byte-order marks of UTF-16 and UTF-32 (either order), UTF-7 and GB 18030.
        for (std::string_view mark : {std::string_view("\xFE\xFF"), std::string_view("\xFF\xFE"),
                                      std::string_view("\0\0\xFE\xFF", 4), std::string_view("+/v"),
                                      std::string_view("\x84\x31\x95\x33")})
            if (text_.starts_with(mark))
                return ImportRefusal::NotUtf8;
        if (text_.find('\0') != std::string_view::npos)
            return ImportRefusal::NotUtf8;
        const std::string encoding = DeclaredEncoding(text_);
        if (!encoding.empty() && encoding != "utf-8")
            return ImportRefusal::NotUtf8;
        // Anywhere, in a comment too: nothing in an export needs one.
        for (std::size_t i = text_.find("<!"); i != std::string_view::npos;
             i = text_.find("<!", i + 2)) {
            if (StartsWithNoCase(text_.substr(i), "<!doctype"))
                return ImportRefusal::Doctype;
        }
        while (at_ < text_.size()) {
            if (at_ >= nextStopCheck_) {
                if (stop_ && stop_())
                    return ImportRefusal::Stopped;
                nextStopCheck_ = at_ + (1 << 20);
            }
            const ImportRefusal refusal = text_[at_] == '<' ? Markup() : Text();
            if (refusal != ImportRefusal::None)
                return refusal;
        }
        return ImportRefusal::None;
    }

private:
    // Moves past a token that ends before the first of the bytes in ends; skip bytes are
    // not counted. LongToken when it is longer than the limit, Malformed when the text ends
    // first (a run of text may end with the text).
    ImportRefusal Run(std::string_view ends, std::size_t skip, bool mayEnd = true)
    {
        const std::string_view window = text_.substr(at_ + skip, maxToken_ + 1);
        const std::size_t length = window.find_first_of(ends);
        if (length == std::string_view::npos) {
            if (window.size() > maxToken_)
                return ImportRefusal::LongToken;
            at_ = text_.size();
            return mayEnd ? ImportRefusal::None : ImportRefusal::Malformed;
        }
        token_ = text_.substr(at_ + skip, length);
        at_ += skip + length;
        return ImportRefusal::None;
    }
    ImportRefusal Run(char end, std::size_t skip, bool mayEnd = true)
    {
        return Run(std::string_view(&end, 1), skip, mayEnd);
    }

    // Moves past a token that ends with the text end: a comment, CDATA, an instruction.
    ImportRefusal Until(std::string_view end, std::size_t skip)
    {
        const std::string_view window = text_.substr(at_ + skip, maxToken_ + end.size());
        const std::size_t length = window.find(end);
        if (length == std::string_view::npos)
            return window.size() >= maxToken_ + end.size() ? ImportRefusal::LongToken
                                                           : ImportRefusal::Malformed;
        token_ = text_.substr(at_ + skip, length);
        at_ += skip + length + end.size();
        return Keep(token_.size());
    }

    // Counts what the parser will build for a token: a node, when asked, and its characters
    // (at 4 bytes each). TooLarge past the limit.
    ImportRefusal Keep(std::size_t characters, bool node = true)
    {
        tree_ += 4 * characters + (node ? kNodeCost : 0);
        return tree_ > maxTree_ ? ImportRefusal::TooLarge : ImportRefusal::None;
    }

    // Character data up to the next markup; blanks between elements are dropped by the parser.
    ImportRefusal Text()
    {
        ImportRefusal refusal = Run('<', 0);
        const bool blank = token_.find_first_not_of(" \t\r\n") == std::string_view::npos;
        if (refusal == ImportRefusal::None && !blank)
            refusal = Keep(token_.size());
        return refusal;
    }

    ImportRefusal Markup()
    {
        const std::string_view rest = text_.substr(at_);
        if (rest.starts_with("<!--"))
            return Until("-->", 4);
        if (rest.starts_with("<![CDATA["))
            return Until("]]>", 9);
        if (rest.starts_with("<?"))
            return Until("?>", 2);
        if (rest.starts_with("<!"))
            return Until(">", 2);
        if (rest.starts_with("</")) {
            --depth_;
            return Until(">", 2);
        }
        return StartTag();
    }

    // "<name", then attributes name = "value" until ">" or "/>".
    ImportRefusal StartTag()
    {
        static constexpr std::string_view kNameEnd(" \t\r\n=/>\"'<");
        ImportRefusal refusal = Run(kNameEnd, 1, false);
        if (refusal == ImportRefusal::None)
            refusal = Keep(token_.size());
        for (;;) {
            while (refusal == ImportRefusal::None && at_ < text_.size() && IsSpace(text_[at_]))
                ++at_;
            if (refusal != ImportRefusal::None || at_ >= text_.size())
                return refusal != ImportRefusal::None ? refusal : ImportRefusal::Malformed;
            const char c = text_[at_];
            if (c == '>' || text_.substr(at_).starts_with("/>")) {
                at_ += c == '>' ? 1 : 2;
                if (c == '>' && ++depth_ > kMaxImportDepth)
                    return ImportRefusal::TooDeep;
                return ImportRefusal::None;
            }
            if (c == '"' || c == '\'') {
                refusal = Run(c, 1, false);
                if (refusal == ImportRefusal::None) {
                    refusal = Keep(token_.size(), false);
                    ++at_;  // the closing quote
                }
            } else if (c == '=') {
                ++at_;
            } else if (c == '/' || c == '<') {
                return ImportRefusal::Malformed;
            } else {
                refusal = Run(kNameEnd, 0, false);
                if (refusal == ImportRefusal::None)
                    refusal = Keep(token_.size());
            }
        }
    }

    std::string_view text_;
    std::size_t maxToken_;
    const std::function<bool()>& stop_;
    std::size_t at_ = 0;
    std::size_t nextStopCheck_ = 0;
    int depth_ = 0;
    std::string_view token_;  // the last token passed
    std::uint64_t maxTree_;
    std::uint64_t tree_ = 0;  // the estimated size of the parsed document
};

// The bytes as a stream for the parser, which reads them a little at a time: a stop request
// ends the stream, and with it the parse.
class StoppableInput : public wxMemoryInputStream {
public:
    StoppableInput(std::string_view bytes, const std::function<bool()>& stop)
        : wxMemoryInputStream(bytes.data(), bytes.size()), stop_(stop)
    {
    }
    bool Stopped() const { return stopped_; }

protected:
    size_t OnSysRead(void* buffer, size_t size) override
    {
        if (stop_ && stop_()) {
            stopped_ = true;
            m_lasterror = wxSTREAM_READ_ERROR;
            return 0;
        }
        return wxMemoryInputStream::OnSysRead(buffer, size);
    }

private:
    const std::function<bool()>& stop_;
    bool stopped_ = false;
};

} // namespace

wxString ImportRefusalText(ImportRefusal refusal)
{
    switch (refusal) {
    case ImportRefusal::Unreadable: return _("the file cannot be read.");
    case ImportRefusal::TooLarge: return _("the file or its text is too large.");
    case ImportRefusal::Damaged: return _("the compressed file is damaged.");
    case ImportRefusal::NotUtf8: return _("the catalogue is not UTF-8 text.");
    case ImportRefusal::Doctype: return _("the catalogue holds a document type declaration.");
    case ImportRefusal::LongToken:
        return _("the catalogue holds a name, value, text or comment that is too long.");
    case ImportRefusal::TooDeep: return _("the catalogue nests its elements too deeply.");
    case ImportRefusal::Malformed: return _("the catalogue is not well-formed XML.");
    case ImportRefusal::NotACatalogue: return _("the file is not an exported catalogue.");
    case ImportRefusal::None:
    case ImportRefusal::Stopped: break;
    }
    return wxString();
}

std::optional<std::string> ReadCatalogFile(const wxString& path, const ImportLimits& limits,
                                           ImportRefusal* refusal,
                                           const std::function<bool()>& stop)
{
    ImportRefusal why = ImportRefusal::None;
    std::optional<std::string> text;
    if (path.Right(4).Lower() != ".bz2") {
        text = ReadBounded(path, limits.maxTextBytes, why);
    } else if (auto data = ReadBounded(path, limits.maxCompressedBytes, why)) {
        text.emplace();
        const Bz2Status status =
            DecompressBufferToBytes(data->data(), data->size(), limits.maxTextBytes, *text, stop);
        if (status != Bz2Status::Complete) {
            text.reset();
            why = status == Bz2Status::TooLarge  ? ImportRefusal::TooLarge
                  : status == Bz2Status::Stopped ? ImportRefusal::Stopped
                                                 : ImportRefusal::Damaged;
        }
    }
    if (refusal)
        *refusal = why;
    return text;
}

ImportRefusal CheckCatalogText(std::string_view utf8, const ImportLimits& limits,
                               const std::function<bool()>& stop)
{
    return TextCheck(utf8, limits, stop).Run();
}

bool ParseCatalogText(std::string_view utf8, wxXmlDocument& doc, ImportRefusal* refusal,
                      const ImportLimits& limits, const std::function<bool()>& stop)
{
    ImportRefusal why = CheckCatalogText(utf8, limits, stop);
    if (why == ImportRefusal::None) {
        // The parser's complaints about a broken file are not the user's business here.
        wxLogNull quiet;
        StoppableInput stream(utf8, stop);
        if (!doc.Load(stream, "UTF-8") || !doc.GetRoot())
            why = stream.Stopped() ? ImportRefusal::Stopped : ImportRefusal::Malformed;
    }
    if (refusal)
        *refusal = why;
    return why == ImportRefusal::None;
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

ImportOutcome CatalogImport::Refuse(ImportRefusal refusal)
{
    if (refusal == ImportRefusal::Stopped || Stopped())
        return ImportOutcome::Stopped;
    reason_ = ImportRefusalText(refusal);
    Progress(kStepsPerFile);
    return ImportOutcome::Rejected;
}

ImportOutcome CatalogImport::ImportFile(const wxString& path)
{
    reason_.clear();
    ImportRefusal refusal = ImportRefusal::None;
    wxXmlDocument doc;
    {
        // The text goes before the merge: only the document is needed then.
        const auto text = ReadCatalogFile(path, limits_, &refusal, stop_);
        if (!text || !ParseCatalogText(*text, doc, &refusal, limits_, stop_))
            return Refuse(refusal);
    }
    return Merge(doc);
}

ImportOutcome CatalogImport::ImportText(std::string_view utf8)
{
    reason_.clear();
    ImportRefusal refusal = ImportRefusal::None;
    wxXmlDocument doc;
    if (!ParseCatalogText(utf8, doc, &refusal, limits_, stop_))
        return Refuse(refusal);
    return Merge(doc);
}

ImportOutcome CatalogImport::Merge(const wxXmlDocument& doc)
{
    ImportSections sections;
    if (!CheckImportRoot(doc, sections, stop_))
        return Refuse(ImportRefusal::NotACatalogue);
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
    } catch (const wxSQLite3Exception& e) {
        reason_ = wxString::Format(_("it could not be stored: %s"), e.GetMessage());
    } catch (const std::exception& e) {
        // Out of memory in a huge file: the same as a failing statement.
        reason_ = wxString::Format(_("it could not be stored: %s"), wxString::FromUTF8(e.what()));
    }
    // The transaction is rolled back; the gauge still gets the file's remaining steps.
    Progress(kStepsPerFile - stepsDone_);
    return ImportOutcome::Failed;
}
