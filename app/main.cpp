#include <wx/app.h>

#include "app/application.h"
#include "app/command_line.h"

wxIMPLEMENT_APP_NO_MAIN(dralvoApp);

int main(int argc, char** argv)
{
    if (const auto status = HandleCommandLine(argc, argv))
        return *status;
    return wxEntry(argc, argv);
}
