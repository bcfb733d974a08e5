// Makes what a message box shows visible to a death test: the text and
// caption of every box are written to stderr as hex, so the parent can match
// the exact bytes.
#pragma once

#include <string>
#include <string_view>

namespace mt::test {

std::string Hex(std::string_view bytes);
// Scripts dialogs and prints "BOX caption-hex text-hex" to stderr per box.
void EchoMessageBoxesToStderr();

} // namespace mt::test
