// What the window's saved cases ask of the runtime (CaseSupport, our own):
// the desktop's file dialog, a list to pick a case from, the SHA-256 of a
// text's bytes, the case file remembered in the configuration file, and an
// entry in the big box's context menu that presses a key with modifiers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shared/runtime_calls.h"

namespace app {

// The path chosen (the file system's encoding), or empty when cancelled.
std::string AskCaseFile(bool save, const char* title, std::string_view directory);
// The 0-based row accepted, or -1; the rows are GB18030 and hold no line break.
int32_t PickRow(const char* title, const char* prompt, const std::vector<std::string>& rows);
std::string Sha256Hex(const char* text); // of the text's bytes
std::string RememberedCaseFile();
void RememberCaseFile(std::string_view path);
void OfferShortcutInMenu(uint32_t component, const char* label, int32_t letter, int32_t keyState);

} // namespace app
