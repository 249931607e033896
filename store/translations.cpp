#include "store/translations.h"

#include <wx/arrstr.h>
#include <wx/translation.h>

#include "resources/embedded.h"

namespace {

// Serves the catalogues embedded at build time ("dralvo_<lang>.mo").
class EmbeddedTranslationsLoader : public wxTranslationsLoader {
public:
    wxMsgCatalog* LoadCatalog(const wxString& domain, const wxString& lang) override
    {
        for (const wxString& candidate : {lang, lang.BeforeFirst('_')}) {
            const auto data = FindEmbeddedFile((domain + "_" + candidate + ".mo").utf8_string());
            if (!data.empty()) {
                wxScopedCharTypeBuffer<char> buf = wxScopedCharTypeBuffer<char>::CreateNonOwned(
                    reinterpret_cast<const char*>(data.data()), data.size());
                return wxMsgCatalog::CreateFromData(buf, domain);
            }
        }
        return nullptr;
    }

    wxArrayString GetAvailableTranslations(const wxString& domain) const override
    {
        wxArrayString langs;
        for (const char* lang : {"ru", "en"})
            if (!FindEmbeddedFile((domain + "_" + lang + ".mo").utf8_string()).empty())
                langs.push_back(lang);
        return langs;
    }
};

} // namespace

bool StartTranslations(wxLanguage language)
{
    auto translations = new wxTranslations;  // owned by wx once Set
    translations->SetLoader(new EmbeddedTranslationsLoader);
    if (language != wxLANGUAGE_DEFAULT)
        translations->SetLanguage(language);
    const bool loaded = translations->AddCatalog("dralvo");
    wxTranslations::Set(translations);
    return loaded;
}
