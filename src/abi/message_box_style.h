// The style word of a message box (the message-box command's second
// argument, and the runtime's own boxes): one button set, one icon, the
// default button and the modality, or-ed together. The values are part of
// the program's interface: the program passes them as numbers.
#pragma once

#include <cstdint>

namespace mt::box {

// Button sets.
inline constexpr int32_t kOk = 0x0;
inline constexpr int32_t kOkCancel = 0x1;
inline constexpr int32_t kAbortRetryIgnore = 0x2;
inline constexpr int32_t kYesNoCancel = 0x3;
inline constexpr int32_t kYesNo = 0x4;
inline constexpr int32_t kRetryCancel = 0x5;

// Icons; none when no icon bit is set.
inline constexpr int32_t kIconStop = 0x10;
inline constexpr int32_t kIconQuestion = 0x20;
inline constexpr int32_t kIconWarning = 0x30;
inline constexpr int32_t kIconInformation = 0x40;

// The button that answers Enter; the first when none is set.
inline constexpr int32_t kDefaultSecond = 0x100;
inline constexpr int32_t kDefaultThird = 0x200;

// Modality: the message-box command makes a box task-modal unless the
// style asks for system-modal.
inline constexpr int32_t kSystemModal = 0x1000;
inline constexpr int32_t kTaskModal = 0x2000;

// The styles the program and the runtime use.
inline constexpr int32_t kPlain = kOk;                     // OK, no icon
inline constexpr int32_t kError = kOk | kIconStop;         // OK, stop icon
inline constexpr int32_t kWarning = kOk | kIconWarning;    // OK, warning icon
inline constexpr int32_t kNotice = kOk | kIconInformation; // OK, information icon

} // namespace mt::box
