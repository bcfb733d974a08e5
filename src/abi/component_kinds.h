// The kinds of component the program carries, by KindCode, and the numbers
// their properties are read and written by. The kind tables lay out each
// kind's property table in this order, the tool's code names properties by
// these numbers, and the image builder names kinds by these codes.
#pragma once

#include <cstdint>

namespace mt {

// A KindCode: the library's 1-based number in the high word, the kind's
// 1-based position in that library's kind table in the low word.
enum KindCode : uint32_t {
    kKindCodeWindow = 0x00010001,
    kKindCodeEditBox = 0x00010005,
    kKindCodePictureBox = 0x00010006,
    kKindCodeButton = 0x0001000B,
    kKindCodeTimer = 0x00010020,
    kKindCodeTransLabel = 0x00020005,
};

// The common properties every kind has, served by the engine.
enum CommonProperty : int32_t {
    kPropLeft = 0,
    kPropTop = 1,
    kPropWidth = 2,
    kPropHeight = 3,
    kPropTag = 4,
    kPropVisible = 5,
    kPropDisabled = 6,
    kPropMousePointer = 7,
    kCommonPropertyCount = 8,
};

// Each kind's own properties follow by OwnIndex: PropertyIndex - 8.
constexpr int32_t PropertyIndexOf(int32_t own) { return kCommonPropertyCount + own; }

enum WindowProperty : int32_t {
    kWinCaption = 0,
    kWinBorder,
    kWinBackColor,
    kWinBackPicture,
    kWinBackPictureMode,
    kWinBackMusic,
    kWinMusicPlayMode,
    kWinControlBox,
    kWinMaxButton,
    kWinMinButton,
    kWinStartPosition,
    kWinMovable,
    kWinIcon,
    kWinEnterMovesFocus,
    kWinEscCloses,
    kWinF1OpensHelp,
    kWinHelpFile,
    kWinHelpContext,
    kWinShowInTaskbar,
    kWinFreeDrag,
    kWinShape,
    kWinAlwaysOnTop,
    kWinKeepTitleActive,
    kWinWindowClassName,
    kWinPropertyCount,
};

enum EditBoxProperty : int32_t {
    kEbContent = 0,
    kEbBorder,
    kEbTextColor,
    kEbBackColor,
    kEbFont,
    kEbHideSelection,
    kEbMaxLength,
    kEbMultiLine,
    kEbScrollBars,
    kEbAlignment,
    kEbInputMode,
    kEbPasswordChar,
    kEbCaseConversion,
    kEbSpinButton,
    kEbSpinMin,
    kEbSpinMax,
    kEbSelStart,
    kEbSelLength,
    kEbSelText,
    kEbDataSource,
    kEbDataColumn,
    kEbPropertyCount,
};

enum ButtonProperty : int32_t {
    kBtnPicture = 0,
    kBtnButtonType,
    kBtnCaption,
    kBtnHorzAlign,
    kBtnVertAlign,
    kBtnFont,
    kBtnPropertyCount,
};

enum TimerProperty : int32_t {
    kTimerInterval = 0,
    kTimerPropertyCount,
};

enum TransLabelProperty : int32_t {
    kLabelCaption = 0,
    kLabelTextEffect,
    kLabelFont,
    kLabelTextColor,
    kLabelHorzAlign,
    kLabelWordWrap,
    kLabelVertAlign,
    kLabelPropertyCount,
};

} // namespace mt
