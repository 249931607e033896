#include "app/command_line.h"

#include <cstdio>
#include <memory>

#include <wx/cmdline.h>
#include <wx/msgout.h>

#include "app/version.h"

namespace {

const wxCmdLineEntryDesc kCommandLine[] = {
    {wxCMD_LINE_SWITCH, "h", "help", "Show this help message", wxCMD_LINE_VAL_NONE,
     wxCMD_LINE_OPTION_HELP},
    {wxCMD_LINE_SWITCH, "v", "version", "Print version information and exit",
     wxCMD_LINE_VAL_NONE, 0},
    {wxCMD_LINE_NONE, nullptr, nullptr, nullptr, wxCMD_LINE_VAL_NONE, 0},
};

// Routes the parser's usage and errors to standard error while no GUI exists.
class StderrMessageOutput {
public:
    StderrMessageOutput() : previous_(wxMessageOutput::Set(new wxMessageOutputStderr)) {}
    ~StderrMessageOutput() { delete wxMessageOutput::Set(previous_); }
    StderrMessageOutput(const StderrMessageOutput&) = delete;
    StderrMessageOutput& operator=(const StderrMessageOutput&) = delete;

private:
    wxMessageOutput* previous_;
};

} // namespace

bool HandleVersionOption(wxCmdLineParser& parser)
{
    if (!parser.Found("v"))
        return false;
    std::printf("%s\n", kDralvoVersion);
    std::fflush(stdout);
    return true;
}

std::optional<int> HandleCommandLine(int argc, char** argv)
{
    StderrMessageOutput output;
    wxCmdLineParser parser(kCommandLine, argc, argv);
    const int parsed = parser.Parse(true);
    if (parsed == -1)
        return 0;  // help shown
    if (parsed != 0)
        return 1;  // usage and reason shown
    if (HandleVersionOption(parser))
        return 0;
    return std::nullopt;
}
