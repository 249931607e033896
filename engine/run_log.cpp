#include "engine/run_log.h"

#include <string>

#include "engine/sync_types.h"
#include "store/file_time.h"
#include "store/text.h"

namespace {

// "&", "<" and the double quote are ASCII, so escaping the UTF-8 bytes equals escaping the text.
void AppendEscaped(std::string& out, const wxString& value)
{
    for (const char c : ToUtf8(value)) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '"')
            out += "&quot;";
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
    std::string text = "    <folder source=\"";
    AppendEscaped(text, stationPath);
    text += "\" dest=\"";
    AppendEscaped(text, mediumPath);
    text += "\" result=\"success\">\n";
    Put(text);
}

void RunLog::ActionsStart(std::size_t count, const wxDateTime& time)
{
    Put("      <actions count=\"" + std::to_string(count) + "\" time=\"" + LocalTime(time)
        + "\">\n");
}

void RunLog::ItemOpen(const SyncItem& item)
{
    std::string text = "        <item ";
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
    Put(text);
}

void RunLog::ItemAttribute(const char* attribute)
{
    Put(attribute);
}

void RunLog::ItemClose(const wxDateTime& now)
{
    Put(" now=\"" + LocalTime(now) + "\"/>\n");
}

void RunLog::ActionsEnd()
{
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
    Put("      </rmdir>\n    </folder>\n");
}

void RunLog::ProjectEnd()
{
    Put("  </project>\n");
}

bool RunLog::Close()
{
    if (!file_)
        return true;
    Put("</sync>");
    std::FILE* f = file_.release();
    const bool written = std::ferror(f) == 0;
    return std::fclose(f) == 0 && written;
}
