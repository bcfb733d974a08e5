// The run-time error report: one fixed dialog, then the process ends with
// exit code -1. There is no recovery path.
#pragma once

#include <cstdint>
#include <string>

namespace mt {

// Blocks events for good, runs the error hook (when one is installed and not
// already running; a non-zero answer skips the dialog), shows the dialog,
// forgets the application's clean-up routine and exits with -1.
[[noreturn]] void RaiseRuntimeError(const char* message, int32_t code);

// The report-error slot: code 1-11 with its fixed text.
[[noreturn]] void ReportSlotError(int32_t code);
// The fixed text of a report-error code, or null outside 1-11.
const char* SlotErrorText(int32_t code);

// The dialog's text: heading, then the code line when code != 0, then the
// message line when the message is not empty.
std::string RuntimeErrorText(int32_t code, const char* message);

// The same as one line for standard error: "run-time error", the code when
// it is not 0, and the message in brackets when it is not empty (GB18030,
// as the dialog's). No line break.
std::string RuntimeErrorLine(int32_t code, const char* message);

using ErrorHook = int32_t (*)(int32_t code, const char* message);
void SetErrorHook(ErrorHook hook);

} // namespace mt
