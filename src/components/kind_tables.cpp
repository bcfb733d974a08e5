// Every kind's property table in one place: the common eight first, then the
// kind's own properties by OwnIndex.
#include "components/kind_tables.h"

#include <array>
#include <cstddef>
#include <iterator>

#include "components/components_texts.h"
#include "components/property_types.h"

namespace mt {
namespace {

constexpr uint32_t kCommonFlags = 0xE000u << 16;
constexpr uint32_t kOwnFlags = 0x8000u << 16;

// A property of a kind's table: its index (common) or OwnIndex (own) and its type.
struct Listed {
    int32_t index;
    uint16_t type;
};

constexpr Listed kCommon[] = {
    {kPropLeft, kPropInteger},
    {kPropTop, kPropInteger},
    {kPropWidth, kPropInteger},
    {kPropHeight, kPropInteger},
    {kPropTag, kPropText},
    {kPropVisible, kPropLogical},
    {kPropDisabled, kPropLogical},
    {kPropMousePointer, kPropCursor},
};
static_assert(std::size(kCommon) == kCommonPropertyCount);

// A kind's property table: the common eight, then its own properties, each
// listed at its OwnIndex, or the table does not compile.
template <size_t Count>
constexpr std::array<PropertyDescriptor, kCommonPropertyCount + Count> Properties(const Listed (&own)[Count])
{
    std::array<PropertyDescriptor, kCommonPropertyCount + Count> table{};
    for (size_t i = 0; i < table.size(); ++i) {
        const bool common = i < kCommonPropertyCount;
        const Listed& p = common ? kCommon[i] : own[i - kCommonPropertyCount];
        if (p.index != static_cast<int32_t>(common ? i : i - kCommonPropertyCount))
            throw "a property is listed away from its index";
        table[i] = {nullptr, nullptr, nullptr, p.type | (common ? kCommonFlags : kOwnFlags), nullptr};
    }
    return table;
}

constexpr auto kWindowProperties = Properties({
    {kWinCaption, kPropText},
    {kWinBorder, kPropChoice},
    {kWinBackColor, kPropBackColor},
    {kWinBackPicture, kPropPicture},
    {kWinBackPictureMode, kPropChoice},
    {kWinBackMusic, kPropSound},
    {kWinMusicPlayMode, kPropChoice},
    {kWinControlBox, kPropLogical},
    {kWinMaxButton, kPropLogical},
    {kWinMinButton, kPropLogical},
    {kWinStartPosition, kPropChoice},
    {kWinMovable, kPropLogical},
    {kWinIcon, kPropIcon},
    {kWinEnterMovesFocus, kPropLogical},
    {kWinEscCloses, kPropLogical},
    {kWinF1OpensHelp, kPropLogical},
    {kWinHelpFile, kPropFileName},
    {kWinHelpContext, kPropInteger},
    {kWinShowInTaskbar, kPropLogical},
    {kWinFreeDrag, kPropLogical},
    {kWinShape, kPropChoice},
    {kWinAlwaysOnTop, kPropLogical},
    {kWinKeepTitleActive, kPropLogical},
    {kWinWindowClassName, kPropText},
});
static_assert(kWindowProperties.size() == PropertyIndexOf(kWinPropertyCount));

constexpr auto kEditBoxProperties = Properties({
    {kEbContent, kPropText},
    {kEbBorder, kPropChoice},
    {kEbTextColor, kPropColor},
    {kEbBackColor, kPropColorB},
    {kEbFont, kPropFont},
    {kEbHideSelection, kPropLogical},
    {kEbMaxLength, kPropInteger},
    {kEbMultiLine, kPropLogical},
    {kEbScrollBars, kPropChoice},
    {kEbAlignment, kPropChoice},
    {kEbInputMode, kPropChoice},
    {kEbPasswordChar, kPropText},
    {kEbCaseConversion, kPropChoice},
    {kEbSpinButton, kPropChoice},
    {kEbSpinMin, kPropInteger},
    {kEbSpinMax, kPropInteger},
    {kEbSelStart, kPropInteger},
    {kEbSelLength, kPropInteger},
    {kEbSelText, kPropText},
    {kEbDataSource, kPropDataSource},
    {kEbDataColumn, kPropDataColumn},
});
static_assert(kEditBoxProperties.size() == PropertyIndexOf(kEbPropertyCount));

constexpr auto kButtonProperties = Properties({
    {kBtnPicture, kPropPicture},
    {kBtnButtonType, kPropChoice},
    {kBtnCaption, kPropText},
    {kBtnHorzAlign, kPropChoice},
    {kBtnVertAlign, kPropChoice},
    {kBtnFont, kPropFont},
});
static_assert(kButtonProperties.size() == PropertyIndexOf(kBtnPropertyCount));

constexpr auto kTimerProperties = Properties({{kTimerInterval, kPropInteger}});
static_assert(kTimerProperties.size() == PropertyIndexOf(kTimerPropertyCount));

constexpr auto kTransLabelProperties = Properties({
    {kLabelCaption, kPropText},
    {kLabelTextEffect, kPropChoice},
    {kLabelFont, kPropFont},
    {kLabelTextColor, kPropColor},
    {kLabelHorzAlign, kPropChoice},
    {kLabelWordWrap, kPropLogical},
    {kLabelVertAlign, kPropChoice},
});
static_assert(kTransLabelProperties.size() == PropertyIndexOf(kLabelPropertyCount));

template <size_t N>
constexpr ComponentKind Kind(const char* name, const char* english, uint32_t flags,
                             const std::array<PropertyDescriptor, N>& properties, KindInterface routines)
{
    return {.name = name,
            .englishName = english,
            .flags = flags,
            .propertyCount = static_cast<int32_t>(N),
            .properties = properties.data(),
            .kindInterface = routines};
}

// A KindCode's position in its library's kind table.
constexpr size_t PositionOf(KindCode code) { return (code & 0xFFFFu) - 1; }

} // namespace

// The picture box (position 5) is carried without routines, so it cannot be created.
constexpr ComponentKind kCoreKinds[kCoreKindCount] = {
    Kind(gb::kKindWindow, "window", 0x800000D0, kWindowProperties, &WindowKindInterface),
    {},
    {},
    {},
    Kind(gb::kKindEditBox, "EditBox", 0x80000040, kEditBoxProperties, &EditBoxKindInterface),
    {.name = gb::kKindPictureBox, .englishName = "PicBox", .flags = 0x840100C0},
    {},
    {},
    {},
    {},
    Kind(gb::kKindButton, "Button", 0x80000840, kButtonProperties, &ButtonKindInterface),
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    Kind(gb::kKindTimer, "Timer", 0x80008040, kTimerProperties, &TimerKindInterface),
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
    {},
};

constexpr ComponentKind kUiExtensionKinds[kUiExtensionKindCount] = {
    {},
    {},
    {},
    {},
    Kind(gb::kKindTransLabel, "TransLabel", 0x00012040, kTransLabelProperties, &TransLabelKindInterface),
};

// Each kind sits at the position its KindCode names.
static_assert(kCoreKinds[PositionOf(kKindCodeWindow)].properties == kWindowProperties.data());
static_assert(kCoreKinds[PositionOf(kKindCodeEditBox)].properties == kEditBoxProperties.data());
static_assert(kCoreKinds[PositionOf(kKindCodePictureBox)].name == gb::kKindPictureBox);
static_assert(kCoreKinds[PositionOf(kKindCodeButton)].properties == kButtonProperties.data());
static_assert(kCoreKinds[PositionOf(kKindCodeTimer)].properties == kTimerProperties.data());
static_assert(kUiExtensionKinds[PositionOf(kKindCodeTransLabel)].properties == kTransLabelProperties.data());

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
