// The process entry of middletext: the window, or with arguments the
// command-line mode.
#include "application_entry.h"
#include "cli/command_line.h"
#include "frame/console_entry.h"
#include "frame/process_entry.h"

int main(int argc, char** argv)
{
    if (argc > 1)
        return mt::RunConsoleProcess(app::CommandLineEntry, argc, argv);
    return mt::RunProcess(app::ApplicationEntry);
}
