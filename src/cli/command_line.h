// The command-line mode: the tool's algorithms without a window, for
// scripting and for checking extractions on many pages.
//
//   middletext extract --left L --right R [--all [-0] | --newline] [FILE]
//   middletext find --text W [FILE]
//   middletext fetch URL
//   middletext code
//   middletext -h | --help | -V | --version
//
// Input and output are in the locale's encoding (UTF-8) unless --gbk asks
// for raw GB18030 bytes, arguments included. The window's messages go to
// standard error with exit status 1; the other statuses are ExitStatus
// (cli_options.h). The options are parsed from a table there; each command
// runs in a function of its own (fetch in fetch_command.cpp).
#pragma once

namespace app {

int CommandLineEntry(int argc, char** argv);

} // namespace app
