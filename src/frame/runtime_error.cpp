#include "frame/runtime_error.h"

#include "abi/message_box_style.h"
#include "frame/frame_texts.h"
#include "frame/runtime_state.h"
#include "frame/shutdown.h"
#include "platform/message_box.h"
#include "windows/window_engine.h"

namespace mt {
namespace {

ErrorHook g_hook = nullptr;
bool g_hookRunning = false;

} // namespace

void SetErrorHook(ErrorHook hook) { g_hook = hook; }

std::string RuntimeErrorText(int32_t code, const char* message)
{
    std::string text = gb::kErrorHeading;
    if (code != 0) {
        text += gb::kErrorCodeLabel;
        text += std::to_string(code);
        text += "\r\n\r\n";
    }
    if (message && *message) {
        text += gb::kErrorMessageLabel;
        text += message;
        text += "\r\n";
    }
    return text;
}

void RaiseRuntimeError(const char* message, int32_t code)
{
    engine::BlockEvents();
    bool skipDialog = false;
    if (g_hook && !g_hookRunning) {
        g_hookRunning = true;
        skipDialog = g_hook(code, message) != 0;
        g_hookRunning = false;
    }
    if (!skipDialog)
        platform::ShowMessageBox(RuntimeErrorText(code, message), gb::kErrorCaption, box::kError);
    RuntimeState().cleanupRoutine = nullptr;
    ExitProgram(-1);
}

std::string RuntimeErrorLine(int32_t code, const char* message)
{
    std::string line = "run-time error";
    if (code != 0) {
        line += ' ';
        line += std::to_string(code);
    }
    if (message && *message) {
        line += " (";
        line += message;
        line += ')';
    }
    return line;
}

const char* SlotErrorText(int32_t code)
{
    static const char* const texts[] = {
        gb::kSlotError1,
        gb::kSlotError2,
        gb::kSlotError3,
        gb::kSlotError4,
        gb::kSlotError5,
        gb::kSlotError6,
        gb::kSlotError7,
        gb::kSlotError8,
        gb::kSlotError9,
        gb::kSlotError10,
        gb::kSlotError11,
    };
    return code >= 1 && code <= 11 ? texts[code - 1] : nullptr;
}

void ReportSlotError(int32_t code) { RaiseRuntimeError(SlotErrorText(code), code); }

} // namespace mt
