// CaseSupport (core command 15, our own): what the tool's saved cases need
// of the desktop (platform/case_dialogs.h). The first argument says what:
//
//   0 AskFile:  save (logical), title, starting folder, filter (texts).
//               Result: the path chosen (a text in the file system's
//               encoding), or the empty text when cancelled.
//   1 PickList: title, prompt, rows (texts; the rows one a line, LF between).
//               Result: the 0-based row accepted, or -1.
//   2 Sha256:   a text. Result: its bytes' SHA-256, 64 hex digits.
//   3 CaseFile: the case file remembered (result: a text, empty for none);
//               with a text as the second argument, that one is remembered.
//   4 MenuShortcut: the component of a multi-line edit box (as
//               SetComponentFocus takes it), a label, a letter key's
//               virtual key code and its modifiers (1 Ctrl, 2 Shift, 4 Alt):
//               the box's context menu gets an entry that presses them.
//
// Anything else, or a missing argument, does nothing and gives no result.
#pragma once

#include <cstdint>

#include "abi/value_record.h"

namespace mt {

inline constexpr int32_t kCaseAskFile = 0;
inline constexpr int32_t kCasePickList = 1;
inline constexpr int32_t kCaseSha256 = 2;
inline constexpr int32_t kCaseFileSetting = 3;
inline constexpr int32_t kCaseMenuShortcut = 4;

void CaseSupport(ValueRecord* result, int32_t argc, ValueRecord* args);

} // namespace mt
