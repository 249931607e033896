#include "engine/run_log.h"

#include <string>

#include "engine/sync_types.h"
#include "store/file_time.h"
#include "store/text.h"

namespace {

// Every escaped character is ASCII, so escaping the UTF-8 bytes equals escaping the text. Tab,
// line feed and carriage return survive as references (a parser would normalise them to
// blanks); the other C0 controls are not allowed in XML 1.0 at all and become U+FFFD.
void AppendEscaped(std::string& out, const wxString& value)
{
    for (const char c : ToUtf8(value)) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '"')
            out += "&quot;";
        else if (c == '\t')
            out += "&#9;";
        else if (c == '\n')
            out += "&#10;";
        else if (c == '\r')
            out += "&#13;";
        else if (static_cast<unsigned char>(c) < 0x20)
            out += "\xEF\xBF\xBD";
        else
            out += c;
    }
}

} // namespace

wxString EscapeXmlAttribute(const wxString& value)
{
    std::string escaped;
    AppendEscaped(escaped, value);
    return FromUtf8(escaped);
}

RunLog::~RunLog()
{
    Close();
}

bool RunLog::Open(const wxString& path)
{
    file_.reset(std::fopen(NativePath(path).c_str(), "w+b"));
    return IsOpen();
}

const std::string& RunLog::LocalTime(const wxDateTime& time)
{
    // One text a second: a run logs thousands of items within the same second.
    const time_t ticks = time.GetTicks();
    if (ticks != cachedTicks_ || cachedTime_.empty()) {
        cachedTicks_ = ticks;
        cachedTime_ = ToUtf8(time.Format("%Y-%m-%d %H:%M:%S"));
    }
    return cachedTime_;
}

void RunLog::Put(std::string_view text)
{
    if (!file_)
        return;
    line_.clear();
    for (const char c : text) {
        if (c == '\n')
            line_ += '\r';
        line_ += c;
    }
    std::fwrite(line_.data(), 1, line_.size(), file_.get());
}

void RunLog::Header(const wxString& station, const wxDateTime& date, bool logOnly)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<?xml-stylesheet type=\"text/xsl\" href=\"log.xsl\"?>\n"
                       "<sync station=\"";
    AppendEscaped(text, station);
    text += "\" date=\"" + LocalTime(date);
    text += logOnly ? "\" log_only=\"yes\">\n" : "\" log_only=\"no\">\n";
    Put(text);
}

void RunLog::ProjectStart(const wxString& modeName, const wxString& caption, std::int64_t maxSize,
                          std::int64_t compressBelow)
{
    open_ = Element::project;
    std::string text = "  <project action=\"";
    AppendEscaped(text, modeName);
    text += "\" caption=\"";
    AppendEscaped(text, caption);
    text += "\" maxsize=\"" + std::to_string(maxSize) + "\" compressbelow=\""
            + std::to_string(compressBelow) + "\">\n";
    Put(text);
}

void RunLog::FolderStart(const wxString& stationPath, const wxString& mediumPath)
{
    open_ = Element::folder;
    std::string text = "    <folder source=\"";
    AppendEscaped(text, stationPath);
    text += "\" dest=\"";
    AppendEscaped(text, mediumPath);
    text += "\" result=\"success\">\n";
    Put(text);
}

void RunLog::ActionsStart(std::size_t count, const wxDateTime& time)
{
    open_ = Element::actions;
    Put("      <actions count=\"" + std::to_string(count) + "\" time=\"" + LocalTime(time)
        + "\">\n");
}

void RunLog::ItemOpen(const SyncItem& item)
{
    if (!file_)
        return;
    open_ = Element::item;
    std::string& text = item_;
    text = "        <item ";
    if (!item.source.empty()) {
        text += "source=\"";
        AppendEscaped(text, item.source);
        text += "\" ";
    }
    text += "dest=\"";
    AppendEscaped(text, item.target);
    text += "\" action=\"" + ToUtf8(ActionName(item)) + "\"";
    if (!item.source.empty())
        text += " ftime=\"" + ToUtf8(FormatFileTimeUtc(item.sourceTime)) + "\"";
}

void RunLog::ItemAttribute(const char* attribute)
{
    item_ += attribute;
}

void RunLog::ItemClose(const wxDateTime& now)
{
    if (open_ != Element::item)
        return;
    open_ = Element::actions;
    std::string end = " now=\"" + LocalTime(now) + "\"/>\n";
    if (holdItem_ || !held_.empty()) {
        held_.push_back({std::move(item_), std::move(end)});
        holdItem_ = false;
    } else {
        Put(item_ + end);
    }
    item_.clear();
}

void RunLog::DropItem()
{
    if (open_ == Element::item)
        open_ = Element::actions;
    item_.clear();
    holdItem_ = false;
}

std::size_t RunLog::HoldItem()
{
    holdItem_ = open_ == Element::item;
    return held_.size();
}

void RunLog::HeldAttribute(std::size_t line, const char* attribute)
{
    if (line < held_.size())
        held_[line].text += attribute;
}

void RunLog::ReleaseItems()
{
    for (const HeldLine& line : held_)
        Put(line.text + line.end);
    held_.clear();
}

void RunLog::ActionsEnd()
{
    ReleaseItems();
    open_ = Element::rmdir;
    Put("      </actions>\n      <rmdir>\n");
}

void RunLog::RemovedDir(const wxString& path, bool removed)
{
    std::string text = "        <item dir=\"";
    AppendEscaped(text, path);
    text += removed ? "\" result=\"ok\"/>\n" : "\" result=\"fail\"/>\n";
    Put(text);
}

void RunLog::FolderEnd()
{
    open_ = Element::project;
    Put("      </rmdir>\n    </folder>\n");
}

void RunLog::ProjectEnd()
{
    open_ = Element::none;
    Put("  </project>\n");
}

bool RunLog::Close()
{
    if (!file_)
        return true;
    // A run that stopped half way still leaves a well-formed document.
    ReleaseItems();
    switch (open_) {
    case Element::item:
        Put(item_ + "/>\n");
        [[fallthrough]];
    case Element::actions:
        Put("      </actions>\n    </folder>\n  </project>\n");
        break;
    case Element::rmdir:
        Put("      </rmdir>\n");
        [[fallthrough]];
    case Element::folder:
        Put("    </folder>\n");
        [[fallthrough]];
    case Element::project:
        Put("  </project>\n");
        break;
    case Element::none:
        break;
    }
    open_ = Element::none;
    Put("</sync>");
    std::FILE* f = file_.release();
    const bool written = std::ferror(f) == 0;
    return std::fclose(f) == 0 && written;
}
