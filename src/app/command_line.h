// The command-line mode: the tool's algorithms without a window, for
// scripting and for checking extractions on many pages.
//
//   middletext extract --left L --right R [FILE]
//   middletext find --text W [FILE]
//   middletext fetch URL
//   middletext code
//   middletext --help | --version
//
// Input and output are in the locale's encoding (UTF-8) unless --gbk asks
// for raw GB18030 bytes, arguments included. The window's messages go to
// standard error with exit status 1; input that does not decode is exit 2.
#pragma once

namespace app {

int CommandLineEntry(int argc, char** argv);

} // namespace app
