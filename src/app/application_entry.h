// The routine the process runs: start the runtime, show the start-up window
// and run the message loop.
#pragma once

namespace app {

int ApplicationEntry();

} // namespace app
