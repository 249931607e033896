#pragma once

#include <functional>
#include <memory>

#include <wx/colour.h>
#include <wx/intl.h>
#include <wx/string.h>

// The nine process-wide options (OPTIONS.IOPTION 1..9). Written only by the GUI thread;
// worker threads read them while they run.
extern bool soCompressLog;              // 1
extern unsigned soDeleteLogsAfterDays;  // 2
extern unsigned soLanguage;             // 3: stored language id, 1 = not chosen yet
extern unsigned soBzQuality;            // 4: bzip2 block size in 100 000 bytes
extern unsigned soBzWorkFactor;         // 5
extern bool soShowAllDrives;            // 6
extern bool soRemoveEmptyFolders;       // 7
extern bool soAlwaysShowLog;            // 8
extern bool soAutoExportDatabase;       // 9

// Row colours of the rules-test result list.
extern wxColour allowedRowColour;
extern wxColour deniedRowColour;

// The process-wide locale; null until LoadOptions starts it.
extern std::unique_ptr<wxLocale> appLocale;

// Stored language identifiers (the catalogue keeps these numbers on every platform).
inline constexpr unsigned kLanguageSystemDefault = 0;
inline constexpr unsigned kLanguageNotChosen = 1;
inline constexpr unsigned kLanguageEnglish = 56;
inline constexpr unsigned kLanguageEnglishUS = 58;
inline constexpr unsigned kLanguageRussian = 156;

struct LanguageChoice {
    const char* text;  // shown untranslated
    unsigned id;       // stored in soLanguage
};
// The four languages offered, in their order of display.
inline constexpr LanguageChoice kLanguageChoices[] = {
    {"System default", kLanguageSystemDefault},
    {"Russian", kLanguageRussian},
    {"English", kLanguageEnglish},
    {"English (U.S.)", kLanguageEnglishUS},
};

// The wx language of a stored identifier (unknown ones mean the system default).
wxLanguage WxLanguageFromStored(unsigned id);

// Asks the user to pick a language; returns the index into kLanguageChoices, or -1 when
// cancelled. The application installs a dialog; the default answers -1.
extern std::function<int()> chooseLanguage;
// Asks a Yes/No question (message, caption); true for Yes. The application installs a
// message box; the default answers No.
extern std::function<bool(const wxString&, const wxString&)> askYesNo;

// Sets the defaults and the row colours, then LoadOptions. GUI thread, after OpenCatalog.
void InitOptions();
// Reads the OPTIONS rows over the current values, asks for the language when none is chosen
// (storing the answer at once) and starts the translations. Throws wxSQLite3Exception.
void LoadOptions();
// Inserts or updates the row of one option. Throws wxSQLite3Exception.
void SetOption(unsigned ioption, const wxString& name, const wxString& value);
// Writes all nine options. Throws wxSQLite3Exception.
void SaveOptions();
