// Window descriptions for tests, built as plain records: the window's own
// record, buttons, edit boxes, timers, with their property records and event
// bindings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "components/edit_box_properties.h"
#include "components/window_properties.h"
#include "windows/template_types.h"

namespace mt::test {

inline constexpr uint32_t kWindowId = 0x52010001;
inline constexpr uint32_t kWindowRecordId = 0x06010000;
// Component ids 0x16010000 + serial.
constexpr uint32_t ComponentIdOf(uint32_t serial) { return 0x16010000u + serial; }

// Visible + tab stop + bit 4, as the tool's buttons.
inline constexpr uint32_t kStateShownTab = 0x15;
inline constexpr uint32_t kStateShown = 0x11;

// A window that stays where it is stored (StartPosition 0) unless told.
WindowProperties PlainWindow();
ComponentRecord WindowRecord(const WindowProperties& p = PlainWindow(), uint32_t state = 0x01);
ComponentRecord ButtonRecord(uint32_t id, const std::string& gbCaption, int32_t left, int32_t top,
                             int32_t buttonType = 0, uint32_t state = kStateShownTab);
ComponentRecord EditBoxRecord(uint32_t id, const EditBoxProperties& p, int32_t left, int32_t top,
                              int32_t width = 200, int32_t height = 24, uint32_t state = kStateShownTab);
ComponentRecord TimerRecord(uint32_t id, int32_t interval, uint32_t state = kStateShown);
// Binds an event of the record to handler slot k.
void Bind(ComponentRecord& record, int32_t eventIndex, int slot);
WindowDescription Window(std::vector<ComponentRecord> records, uint32_t id = kWindowId);

// GB18030 bytes of a UTF-8 literal.
std::string Gb(const char* utf8);

} // namespace mt::test
