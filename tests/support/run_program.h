// Runs another program (an interpreter, a compiler, a shell) as a child
// process, for tests that hold the tool against it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "support/run_tool.h"

namespace mt::test {

// The program's path when one of the names is on PATH, tried in order.
std::optional<std::string> FindProgram(const std::vector<std::string>& names);

// Runs args[0] (a path) with the arguments and no input; captures what it
// writes.
ToolRun RunProgram(const std::vector<std::string>& args);

} // namespace mt::test
