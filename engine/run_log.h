#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <wx/datetime.h>
#include <wx/string.h>

struct SyncItem;

// The value with "&", "<" and the double quote replaced by their entity references, tab, line
// feed and carriage return by character references and the other C0 controls by U+FFFD, ready
// to be pasted between the double quotes of an XML attribute. Any thread.
wxString EscapeXmlAttribute(const wxString& value);

// The XML record of one copy run: UTF-8 without a signature, every line ended by CR LF, written
// sequentially in the order of the calls. The caller keeps the element structure: Header, then
// for each project ProjectStart, for each folder FolderStart, ActionsStart, the items (ItemOpen,
// any ItemAttribute, ItemClose), ActionsEnd, any RemovedDir, FolderEnd; then ProjectEnd; and
// Close last. Every call on a log that is not open does nothing, so a log that failed to open
// costs the run nothing. Used by one thread at a time.
class RunLog {
public:
    RunLog() = default;
    ~RunLog();  // closes the file, completing the document when it is still open
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    // Creates or empties the file; false when it cannot be opened.
    bool Open(const wxString& path);
    bool IsOpen() const { return file_ != nullptr; }

    // The declaration, the stylesheet line and the opening of the root element.
    void Header(const wxString& station, const wxDateTime& date, bool logOnly);
    void ProjectStart(const wxString& modeName, const wxString& caption, std::int64_t maxSize,
                      std::int64_t compressBelow);
    void FolderStart(const wxString& stationPath, const wxString& mediumPath);
    void ActionsStart(std::size_t count, const wxDateTime& time);
    // The opening of an item line, with or without its source (by whether the source is empty).
    void ItemOpen(const SyncItem& item);
    // A literal attribute text such as " result=\"ok\"", written as given.
    void ItemAttribute(const char* attribute);
    void ItemClose(const wxDateTime& now);
    // Forgets the open item line, as if it had never been opened.
    void DropItem();
    // Keeps the open item line, and every line after it, in memory until ReleaseItems, so that
    // a result known only later still goes on its line; returns the line's handle for
    // HeldAttribute.
    std::size_t HoldItem();
    void HeldAttribute(std::size_t line, const char* attribute);
    // Writes the held lines.
    void ReleaseItems();
    // Closes the actions element and opens the rmdir element.
    void ActionsEnd();
    void RemovedDir(const wxString& path, bool removed);
    // Closes the rmdir and folder elements.
    void FolderEnd();
    void ProjectEnd();
    // Closes the elements still open, writes "</sync>" and closes the file; false when the file
    // could not be completed. Does nothing (true) when no file is open.
    bool Close();

private:
    // Writes UTF-8 text with every "\n" as CR LF.
    void Put(std::string_view text);
    const std::string& LocalTime(const wxDateTime& time);

    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;
    enum class Element { none, project, folder, actions, item, rmdir };
    Element open_ = Element::none;  // the innermost element open below the root
    std::string line_;        // reused buffer of Put
    std::string item_;        // the open item line
    bool holdItem_ = false;   // the open item line goes to held_ when it closes
    struct HeldLine {
        std::string text, end;
    };
    std::vector<HeldLine> held_;
    time_t cachedTicks_ = 0;
    std::string cachedTime_;
};
