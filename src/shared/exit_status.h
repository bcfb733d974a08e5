// The exit statuses of the command-line mode, which a case's page carries
// too.
#pragma once

namespace app {

// Exit statuses of the command-line mode; --help and the README list them.
enum ExitStatus : int {
    kExitDone = 0,
    kExitMessage = 1,     // the window would have shown a message
    kExitUsage = 2,       // command line, unreadable or undecodable input, input too large
    kExitOutput = 3,      // writing the output failed
    kExitPageEnded = 4,   // the page ended early (fetch)
    kExitServerError = 5, // the server answered with an error status
    kExitUnreadable = 6,  // the page could not be read at all
};

} // namespace app
