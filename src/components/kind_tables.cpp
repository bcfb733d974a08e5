// Every kind's property table in one place: the common eight first, then the
// kind's own properties by OwnIndex.
#include "components/kind_tables.h"

#include "components/components_texts.h"
#include "components/property_types.h"

namespace mt {
namespace {

constexpr uint32_t kCommonFlags = 0xE000u << 16;
constexpr uint32_t kOwnFlags = 0x8000u << 16;

constexpr PropertyDescriptor Common(uint16_t type) { return {nullptr, nullptr, nullptr, type | kCommonFlags, nullptr}; }
constexpr PropertyDescriptor Own(uint16_t type) { return {nullptr, nullptr, nullptr, type | kOwnFlags, nullptr}; }

#define MT_COMMON_PROPERTIES                                                                             \
    Common(kPropInteger), Common(kPropInteger), Common(kPropInteger), Common(kPropInteger),             \
        Common(kPropText), Common(kPropLogical), Common(kPropLogical), Common(kPropCursor)

constexpr PropertyDescriptor kWindowProperties[32] = {
    MT_COMMON_PROPERTIES,
    Own(kPropText),      // 8 Caption
    Own(kPropChoice),    // 9 Border
    Own(kPropBackColor), // 10 BackColor
    Own(kPropPicture),   // 11 BackPicture
    Own(kPropChoice),    // 12 BackPictureMode
    Own(kPropSound),     // 13 BackMusic
    Own(kPropChoice),    // 14 MusicPlayMode
    Own(kPropLogical),   // 15 ControlBox
    Own(kPropLogical),   // 16 MaxButton
    Own(kPropLogical),   // 17 MinButton
    Own(kPropChoice),    // 18 StartPosition
    Own(kPropLogical),   // 19 Movable
    Own(kPropIcon),      // 20 Icon
    Own(kPropLogical),   // 21 EnterMovesFocus
    Own(kPropLogical),   // 22 EscCloses
    Own(kPropLogical),   // 23 F1OpensHelp
    Own(kPropFileName),  // 24 HelpFile
    Own(kPropInteger),   // 25 HelpContext
    Own(kPropLogical),   // 26 ShowInTaskbar
    Own(kPropLogical),   // 27 FreeDrag
    Own(kPropChoice),    // 28 Shape
    Own(kPropLogical),   // 29 AlwaysOnTop
    Own(kPropLogical),   // 30 KeepTitleActive
    Own(kPropText),      // 31 WindowClassName
};

constexpr PropertyDescriptor kEditBoxProperties[29] = {
    MT_COMMON_PROPERTIES,
    Own(kPropText),        // 8 Content
    Own(kPropChoice),      // 9 Border
    Own(kPropColor),       // 10 TextColor
    Own(kPropColorB),      // 11 BackColor
    Own(kPropFont),        // 12 Font
    Own(kPropLogical),     // 13 HideSelection
    Own(kPropInteger),     // 14 MaxLength
    Own(kPropLogical),     // 15 MultiLine
    Own(kPropChoice),      // 16 ScrollBars
    Own(kPropChoice),      // 17 Alignment
    Own(kPropChoice),      // 18 InputMode
    Own(kPropText),        // 19 PasswordChar
    Own(kPropChoice),      // 20 CaseConversion
    Own(kPropChoice),      // 21 SpinButton
    Own(kPropInteger),     // 22 SpinMin
    Own(kPropInteger),     // 23 SpinMax
    Own(kPropInteger),     // 24 SelStart
    Own(kPropInteger),     // 25 SelLength
    Own(kPropText),        // 26 SelText
    Own(kPropDataSource),  // 27 DataSource
    Own(kPropDataColumn),  // 28 DataColumn
};

constexpr PropertyDescriptor kButtonProperties[14] = {
    MT_COMMON_PROPERTIES,
    Own(kPropPicture), // 8 Picture
    Own(kPropChoice),  // 9 ButtonType
    Own(kPropText),    // 10 Caption
    Own(kPropChoice),  // 11 HorzAlign
    Own(kPropChoice),  // 12 VertAlign
    Own(kPropFont),    // 13 Font
};

constexpr PropertyDescriptor kTimerProperties[9] = {
    MT_COMMON_PROPERTIES,
    Own(kPropInteger), // 8 Interval
};

constexpr PropertyDescriptor kTransLabelProperties[15] = {
    MT_COMMON_PROPERTIES,
    Own(kPropText),    // 8 Caption
    Own(kPropChoice),  // 9 TextEffect
    Own(kPropFont),    // 10 Font
    Own(kPropColor),   // 11 TextColor
    Own(kPropChoice),  // 12 HorzAlign
    Own(kPropLogical), // 13 WordWrap
    Own(kPropChoice),  // 14 VertAlign
};

#undef MT_COMMON_PROPERTIES

constexpr ComponentKind Kind(const char* name, const char* english, uint32_t flags, int32_t count,
                             const PropertyDescriptor* properties, KindInterface routines)
{
    return {name, english, nullptr, 0, nullptr, flags, 0, 0, nullptr, count, properties, routines, 0, nullptr};
}

} // namespace

// The picture box (position 5) is carried without routines, so it cannot be created.
constinit const ComponentKind kCoreKinds[kCoreKindCount] = {
    Kind(gb::kKindWindow, "window", 0x800000D0, 32, kWindowProperties, &WindowKindInterface),
    {}, {}, {},
    Kind(gb::kKindEditBox, "EditBox", 0x80000040, 29, kEditBoxProperties, &EditBoxKindInterface),
    Kind(gb::kKindPictureBox, "PicBox", 0x840100C0, 0, nullptr, nullptr),
    {}, {}, {}, {},
    Kind(gb::kKindButton, "Button", 0x80000840, 14, kButtonProperties, &ButtonKindInterface),
    {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {},
    Kind(gb::kKindTimer, "Timer", 0x80008040, 9, kTimerProperties, &TimerKindInterface),
    {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {},
};

constinit const ComponentKind kUiExtensionKinds[kUiExtensionKindCount] = {
    {}, {}, {}, {},
    Kind(gb::kKindTransLabel, "TransLabel", 0x00012040, 15, kTransLabelProperties, &TransLabelKindInterface),
};

const ComponentKind* FindComponentKind(uint32_t kindCode)
{
    const uint32_t library = kindCode >> 16;
    const uint32_t position = (kindCode & 0xFFFF) - 1;
    const ComponentKind* entry = nullptr;
    if (library == 1 && position < static_cast<uint32_t>(kCoreKindCount))
        entry = &kCoreKinds[position];
    else if (library == 2 && position < static_cast<uint32_t>(kUiExtensionKindCount))
        entry = &kUiExtensionKinds[position];
    return entry && entry->name ? entry : nullptr;
}

} // namespace mt
