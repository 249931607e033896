#include "store/options.h"

#include <climits>

#include <wx/log.h>

#include "store/database.h"
#include "store/statements.h"
#include "store/translations.h"

bool soCompressLog = true;
unsigned soDeleteLogsAfterDays = 3;
unsigned soLanguage = kLanguageNotChosen;
unsigned soBzQuality = 3;
unsigned soBzWorkFactor = 30;
bool soShowAllDrives = false;
bool soRemoveEmptyFolders = false;
bool soAlwaysShowLog = false;
bool soAutoExportDatabase = true;

wxColour allowedRowColour;
wxColour deniedRowColour;

std::unique_ptr<wxLocale> appLocale;

std::function<int()> chooseLanguage = [] { return -1; };
std::function<bool(const wxString&, const wxString&)> askYesNo =
    [](const wxString&, const wxString&) { return false; };

namespace {

enum OptionKind { Flag, Number };

struct OptionSlot {
    unsigned ioption;
    const char* name;
    OptionKind kind;
    bool* flag;
    unsigned* number;
};

const OptionSlot kSlots[] = {
    {1, "soCompressLog", Flag, &soCompressLog, nullptr},
    {2, "soDeleteLogsAfterDays", Number, nullptr, &soDeleteLogsAfterDays},
    {3, "soLanguage", Number, nullptr, &soLanguage},
    {4, "soBzQuality", Number, nullptr, &soBzQuality},
    {5, "soBzWorkFactor", Number, nullptr, &soBzWorkFactor},
    {6, "soShowAllDrives", Flag, &soShowAllDrives, nullptr},
    {7, "soRemoveEmptyFolders", Flag, &soRemoveEmptyFolders, nullptr},
    {8, "soAlwaysShowLog", Flag, &soAlwaysShowLog, nullptr},
    {9, "soAutoExportDatabase", Flag, &soAutoExportDatabase, nullptr},
};

const OptionSlot* FindSlot(unsigned ioption)
{
    for (const OptionSlot& slot : kSlots)
        if (slot.ioption == ioption)
            return &slot;
    return nullptr;
}

void ApplyStoredValue(const OptionSlot& slot, const wxString& value)
{
    if (slot.kind == Flag) {
        *slot.flag = !value.empty() && value[0] != '0';
        return;
    }
    // The whole text must be the number: no blank, no sign, nothing after it.
    if (value.empty())
        return;
    unsigned long long parsed = 0;
    for (const wxUniChar ch : value) {
        if (ch < '0' || ch > '9')
            return;
        parsed = parsed * 10 + (ch.GetValue() - '0');
        if (parsed > UINT_MAX)
            return;
    }
    *slot.number = static_cast<unsigned>(parsed);
}

wxString StoredValue(const OptionSlot& slot)
{
    if (slot.kind == Flag)
        return *slot.flag ? "1" : "0";
    return wxString::Format("%u", *slot.number);
}

void AskLanguage()
{
    const int index = chooseLanguage ? chooseLanguage() : -1;
    const int count = static_cast<int>(std::size(kLanguageChoices));
    soLanguage = (index >= 0 && index < count) ? kLanguageChoices[index].id : kLanguageSystemDefault;
    SetOption(3, "soLanguage", wxString::Format("%u", soLanguage));
}

void StartLocale()
{
    const wxLanguage language = WxLanguageFromStored(soLanguage);
    appLocale = std::make_unique<wxLocale>();
    {
        // Only C locales may exist: a failure here just leaves formatting as it is.
        wxLogNull quiet;
        appLocale->Init(language, wxLOCALE_DONT_LOAD_DEFAULT);
    }
    StartTranslations(language);
}

} // namespace

wxLanguage WxLanguageFromStored(unsigned id)
{
    switch (id) {
    case kLanguageRussian:
        return wxLANGUAGE_RUSSIAN;
    case kLanguageEnglish:
        return wxLANGUAGE_ENGLISH;
    case kLanguageEnglishUS:
        return wxLANGUAGE_ENGLISH_US;
    default:
        return wxLANGUAGE_DEFAULT;
    }
}

void InitOptions()
{
    soCompressLog = true;
    soDeleteLogsAfterDays = 3;
    soLanguage = kLanguageNotChosen;
    soBzQuality = 3;
    soBzWorkFactor = 30;
    soShowAllDrives = false;
    soRemoveEmptyFolders = false;
    soAlwaysShowLog = false;
    soAutoExportDatabase = true;
    allowedRowColour = wxColour(240, 255, 240);
    deniedRowColour = wxColour(255, 224, 224);
    LoadOptions();
}

void LoadOptions()
{
    wxSQLite3ResultSet rows = ExecQuery(kSqlSelectOptions);
    while (rows.NextRow()) {
        const long ioption = rows.GetInt(0);
        if (ioption < 1 || ioption > 9)
            continue;
        if (const OptionSlot* slot = FindSlot(static_cast<unsigned>(ioption)))
            ApplyStoredValue(*slot, rows.GetAsString(1));
    }
    rows.Finalize();
    if (soLanguage == kLanguageNotChosen)
        AskLanguage();
    StartLocale();
}

void SetOption(unsigned ioption, const wxString& name, const wxString& value)
{
    if (ExecScalar(wxString::Format(kSqlCountOption, ioption)) != 0)
        ExecUpdate(wxString::Format(kSqlUpdateOption, value, ioption));
    else
        ExecUpdate(wxString::Format(kSqlInsertOption, ioption, name, value));
}

void SaveOptions()
{
    for (unsigned ioption : {1u, 2u, 4u, 5u, 3u, 6u, 7u, 8u, 9u}) {
        const OptionSlot& slot = *FindSlot(ioption);
        SetOption(ioption, slot.name, StoredValue(slot));
    }
}
