#pragma once

#include <wx/intl.h>

// Starts the translation catalogue "dralvo" for a wx language, from the catalogues compiled
// into the program, and makes it the process's translations. Works without a system locale
// for that language. False when no catalogue for the language exists (English needs none).
// GUI thread.
bool StartTranslations(wxLanguage language);
