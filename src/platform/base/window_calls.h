// The window's calls: every free function of the platform's interface whose
// code needs Qt, listed once. The program reaches them through a table that
// the window module fills (loader/window_module.cpp opens the module on the
// first call), so that the command line, which makes none of them, loads no
// Qt library.
//
// WINDOW_CALL(result, name, parameters, arguments) opens the module when
// called. WINDOW_QUERY(result, name, parameters, arguments, absent) asks
// about or clears away what the window made, or hands work to it: while the
// module is not open nothing of the window exists, and `absent` answers
// instead, without opening it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/application.h"
#include "platform/case_dialogs.h"
#include "platform/clipboard.h"
#include "platform/cursors.h"
#include "platform/desktop_services.h"
#include "platform/dialog_hook.h"
#include "platform/edit_control.h"
#include "platform/fonts.h"
#include "platform/input_dialog.h"
#include "platform/key_shortcuts.h"
#include "platform/label_surface.h"
#include "platform/live_results.h"
#include "platform/message_box.h"
#include "platform/native_window.h"
#include "platform/push_button.h"
#include "platform/recent_addresses.h"
#include "platform/runtime_objects.h"
#include "platform/screen_metrics.h"
#include "platform/timer_window.h"
#include "platform/top_window.h"
#include "platform/transfer_window.h"
#include "platform/window_registry.h"

// clang-format off
#define MT_WINDOW_CALLS(WINDOW_CALL, WINDOW_QUERY)                                                              \
    /* application.h */                                                                                         \
    WINDOW_CALL(void, EnsureApplication, (), ())                                                                \
    WINDOW_QUERY(bool, HasApplication, (), (), false)                                                           \
    WINDOW_CALL(int, RunEventLoop, (const std::function<bool(int)>& idle), (idle))                              \
    WINDOW_QUERY(int64_t, IdleMilliseconds, (), (), 0)                                                          \
    WINDOW_QUERY(void, PostQuit, (int code), (code), void())                                                    \
    WINDOW_QUERY(void, ProcessPendingEvents, (), (), void())                                                    \
    WINDOW_QUERY(bool, IsGuiThread, (), (), true)                                                               \
    WINDOW_QUERY(void, RunOnGuiThreadBlocking, (const std::function<void()>& fn), (fn), fn())                   \
    /* case_dialogs.h */                                                                                        \
    WINDOW_CALL(FileDialogAnswer, AskForFile, (const FileDialogRequest& request), (request))                    \
    WINDOW_CALL(int, PickFromList, (const PickListRequest& request), (request))                                 \
    WINDOW_CALL(std::string, Sha256Hex, (std::string_view bytes), (bytes))                                      \
    WINDOW_CALL(std::string, RememberedCaseFile, (), ())                                                        \
    WINDOW_CALL(void, RememberCaseFile, (std::string_view path), (path))                                        \
    /* clipboard.h */                                                                                           \
    WINDOW_CALL(bool, SetClipboardText, (std::string_view gb), (gb))                                            \
    WINDOW_CALL(std::string, ClipboardText, (), ())                                                             \
    WINDOW_CALL(bool, ClipboardHasText, (), ())                                                                 \
    /* cursors.h */                                                                                             \
    WINDOW_CALL(int32_t, CursorIdentifier, (int32_t number), (number))                                          \
    WINDOW_CALL(int32_t, CursorNumber, (int32_t identifier), (identifier))                                      \
    WINDOW_CALL(CursorHandle, MakeCursor, (const uint8_t* data, size_t size), (data, size))                     \
    WINDOW_QUERY(void, DestroyCursor, (CursorHandle cursor), (cursor), void())                                  \
    WINDOW_CALL(void, SetWindowCursor, (WindowHandle handle, CursorHandle cursor), (handle, cursor))            \
    WINDOW_CALL(void, RefreshMouseCursor, (), ())                                                               \
    WINDOW_CALL(int32_t, WindowCursorNumber, (WindowHandle handle), (handle))                                   \
    /* desktop_services.h */                                                                                    \
    WINDOW_CALL(bool, FileExists, (std::string_view gbPath), (gbPath))                                          \
    WINDOW_CALL(bool, OpenDocument, (std::string_view gbPath), (gbPath))                                        \
    WINDOW_CALL(void, SetDocumentOpener, (std::function<bool(std::string_view)> opener), (std::move(opener)))   \
    /* dialog_hook.h */                                                                                         \
    WINDOW_CALL(void, SetDialogHook, (DialogHook* hook), (hook))                                                \
    WINDOW_QUERY(DialogHook*, CurrentDialogHook, (), (), nullptr)                                               \
    /* edit_control.h */                                                                                        \
    WINDOW_CALL(WindowHandle, CreateEditControl,                                                                \
                (WindowHandle parent, const Rect& rect, const EditOptions& options, std::string_view text,      \
                 WindowListener* listener, EditNotices* notices),                                               \
                (parent, rect, options, text, listener, notices))                                               \
    WINDOW_QUERY(EditControl*, EditControlOf, (WindowHandle handle), (handle), nullptr)                         \
    /* fonts.h */                                                                                               \
    WINDOW_CALL(LogicalFont, DefaultGuiFont, (), ())                                                            \
    WINDOW_CALL(int32_t, DefaultGuiFontPixels, (), ())                                                          \
    WINDOW_CALL(void, SetWindowFont, (WindowHandle handle, const uint8_t* bytes, size_t size),                  \
                (handle, bytes, size))                                                                          \
    /* input_dialog.h */                                                                                        \
    WINDOW_CALL(InputDialogAnswer, ShowInputDialog, (const InputDialogRequest& request), (request))             \
    WINDOW_CALL(void, OfferCompletionsOnce, (std::vector<std::string> completions), (std::move(completions)))   \
    /* key_shortcuts.h */                                                                                       \
    WINDOW_CALL(void, BindKey, (WindowHandle target, int32_t key, int32_t keyState, int32_t event),             \
                (target, key, keyState, event))                                                                 \
    WINDOW_CALL(WindowHandle, BoundKeyTarget, (WindowHandle window, int32_t key, int32_t keyState,              \
                int32_t* event), (window, key, keyState, event))                                                \
    /* label_surface.h */                                                                                       \
    WINDOW_CALL(WindowHandle, CreateLabelSurface,                                                               \
                (WindowHandle parent, const Rect& rect, const LabelOptions& options, std::string_view text,     \
                 WindowListener* listener),                                                                     \
                (parent, rect, options, text, listener))                                                        \
    WINDOW_QUERY(LabelSurface*, LabelSurfaceOf, (WindowHandle handle), (handle), nullptr)                       \
    /* live_results.h */                                                                                        \
    WINDOW_CALL(bool, LiveResultsOn, (), ())                                                                    \
    WINDOW_CALL(void, SetLiveResultsOn, (bool on), (on))                                                        \
    WINDOW_CALL(void, ForgetLiveResultsSetting, (), ())                                                         \
    /* message_box.h */                                                                                         \
    WINDOW_CALL(int, ShowMessageBox, (std::string_view text, std::string_view caption, uint32_t style),         \
                (text, caption, style))                                                                         \
    WINDOW_CALL(std::vector<int>, MessageBoxButtons, (uint32_t style), (style))                                 \
    WINDOW_CALL(int, DefaultMessageBoxAnswer, (uint32_t style), (style))                                        \
    /* native_window.h */                                                                                       \
    WINDOW_QUERY(bool, IsWindow, (WindowHandle handle), (handle), false)                                        \
    WINDOW_QUERY(WindowListener*, ListenerOf, (WindowHandle handle), (handle), nullptr)                         \
    WINDOW_CALL(Rect, WindowRect, (WindowHandle handle), (handle))                                              \
    WINDOW_CALL(void, SetWindowRect, (WindowHandle handle, const Rect& rect), (handle, rect))                   \
    WINDOW_CALL(bool, IsVisible, (WindowHandle handle), (handle))                                               \
    WINDOW_CALL(bool, IsShown, (WindowHandle handle), (handle))                                                 \
    WINDOW_CALL(void, ShowWindow, (WindowHandle handle, bool show), (handle, show))                             \
    WINDOW_CALL(bool, IsEnabled, (WindowHandle handle), (handle))                                               \
    WINDOW_CALL(void, EnableWindow, (WindowHandle handle, bool enable), (handle, enable))                       \
    WINDOW_CALL(WindowHandle, ParentOf, (WindowHandle handle), (handle))                                        \
    WINDOW_CALL(void, SetParentWindow, (WindowHandle child, WindowHandle parent), (child, parent))              \
    WINDOW_CALL(std::vector<WindowHandle>, ChildWindows, (WindowHandle handle), (handle))                       \
    WINDOW_CALL(bool, IsDescendant, (WindowHandle handle, WindowHandle ancestor), (handle, ancestor))           \
    WINDOW_CALL(void, RaiseToTop, (WindowHandle handle), (handle))                                              \
    WINDOW_CALL(void, PlaceBelow, (WindowHandle handle, WindowHandle sibling), (handle, sibling))               \
    WINDOW_QUERY(WindowHandle, FocusWindow, (), (), nullptr)                                                    \
    WINDOW_CALL(void, SetFocusWindow, (WindowHandle handle, FocusCause cause), (handle, cause))                 \
    WINDOW_CALL(std::string, WindowText, (WindowHandle handle), (handle))                                       \
    WINDOW_CALL(void, SetWindowText, (WindowHandle handle, std::string_view gb), (handle, gb))                  \
    WINDOW_CALL(void, SetAccessibleTexts, (WindowHandle handle, std::string_view nameGb,                        \
                std::string_view descriptionGb), (handle, nameGb, descriptionGb))                               \
    WINDOW_CALL(void, Repaint, (WindowHandle handle), (handle))                                                 \
    WINDOW_CALL(void, DestroyWindow, (WindowHandle handle), (handle))                                           \
    WINDOW_QUERY(void, FlushDestroyedWindows, (), (), void())                                                   \
    /* push_button.h */                                                                                         \
    WINDOW_CALL(WindowHandle, CreatePushButton, (WindowHandle parent, const Rect& rect,                         \
                std::string_view caption, WindowListener* listener), (parent, rect, caption, listener))         \
    WINDOW_CALL(void, SetDefaultPush, (WindowHandle button, bool isDefault), (button, isDefault))               \
    WINDOW_CALL(bool, IsDefaultPush, (WindowHandle button), (button))                                           \
    WINDOW_CALL(void, SetButtonAlignment, (WindowHandle button, HorizontalAlign horizontal,                     \
                VerticalAlign vertical), (button, horizontal, vertical))                                        \
    WINDOW_CALL(bool, SetButtonPicture, (WindowHandle button, const uint8_t* bytes, size_t size),               \
                (button, bytes, size))                                                                          \
    WINDOW_CALL(bool, HasButtonPicture, (WindowHandle button), (button))                                        \
    WINDOW_CALL(bool, IsPushButton, (WindowHandle handle), (handle))                                            \
    WINDOW_CALL(void, ClickButton, (WindowHandle button), (button))                                             \
    /* recent_addresses.h */                                                                                    \
    WINDOW_CALL(bool, AddressHistoryOn, (), ())                                                                 \
    WINDOW_CALL(std::vector<std::string>, RecentAddresses, (), ())                                              \
    WINDOW_CALL(void, RememberAddress, (std::string_view gb), (gb))                                             \
    /* runtime_objects.h */                                                                                     \
    WINDOW_CALL(ObjectHandle, MakeIcon, (const uint8_t* bytes, size_t size, int edge), (bytes, size, edge))     \
    WINDOW_QUERY(bool, DestroyObject, (ObjectHandle object), (object), false)                                   \
    WINDOW_QUERY(bool, IsObject, (ObjectHandle object), (object), false)                                        \
    WINDOW_QUERY(int, IconWidth, (ObjectHandle object), (object), 0)                                            \
    /* screen_metrics.h */                                                                                      \
    WINDOW_CALL(int32_t, ScreenWidth, (), ())                                                                   \
    WINDOW_CALL(int32_t, ScreenHeight, (), ())                                                                  \
    WINDOW_CALL(int32_t, ScreenDpiY, (), ())                                                                    \
    WINDOW_CALL(uint32_t, ButtonFaceColor, (), ())                                                              \
    WINDOW_CALL(uint32_t, ResolveColor, (uint32_t color), (color))                                              \
    WINDOW_CALL(FrameMetrics, NominalFrame, (FrameBorder border, bool caption, bool toolWindow,                 \
                bool clientEdge), (border, caption, toolWindow, clientEdge))                                    \
    /* timer_window.h */                                                                                        \
    WINDOW_CALL(WindowHandle, CreateTimerWindow, (WindowHandle parent, const Rect& rect,                        \
                WindowListener* listener), (parent, rect, listener))                                            \
    WINDOW_CALL(void, StartTimer, (WindowHandle handle, int32_t milliseconds), (handle, milliseconds))          \
    WINDOW_CALL(void, StopTimer, (WindowHandle handle), (handle))                                               \
    WINDOW_CALL(bool, IsTimerRunning, (WindowHandle handle), (handle))                                          \
    WINDOW_CALL(int32_t, TimerStarts, (WindowHandle handle), (handle))                                          \
    /* top_window.h */                                                                                          \
    WINDOW_CALL(WindowHandle, CreateTopWindow, (WindowHandle owner, const Rect& outer,                          \
                const FrameStyle& style, std::string_view title, WindowListener* listener),                     \
                (owner, outer, style, title, listener))                                                         \
    WINDOW_QUERY(bool, IsTopWindow, (WindowHandle handle), (handle), false)                                     \
    WINDOW_QUERY(std::vector<WindowHandle>, TopWindows, (), (), std::vector<WindowHandle>())                    \
    WINDOW_CALL(void, SetFrameStyle, (WindowHandle handle, const FrameStyle& style), (handle, style))           \
    WINDOW_CALL(FrameStyle, GetFrameStyle, (WindowHandle handle), (handle))                                     \
    WINDOW_CALL(void, SetWindowMovable, (WindowHandle handle, bool movable), (handle, movable))                 \
    WINDOW_CALL(bool, WindowHintsAllowMove, (WindowHandle handle), (handle))                                    \
    WINDOW_CALL(void, SetBackground, (WindowHandle handle, uint32_t color, const uint8_t* picture,              \
                size_t size, int32_t mode), (handle, color, picture, size, mode))                               \
    WINDOW_CALL(bool, SetWindowIcon, (WindowHandle handle, const uint8_t* bytes, size_t size),                  \
                (handle, bytes, size))                                                                          \
    WINDOW_CALL(bool, HasWindowIcon, (WindowHandle handle), (handle))                                           \
    WINDOW_CALL(void, SetInitialState, (WindowHandle handle, ShowState state), (handle, state))                 \
    WINDOW_CALL(void, ShowTopWindow, (WindowHandle handle, ShowState state), (handle, state))                   \
    WINDOW_CALL(ShowState, TopWindowState, (WindowHandle handle), (handle))                                     \
    WINDOW_CALL(void, ActivateWindow, (WindowHandle handle), (handle))                                          \
    WINDOW_QUERY(WindowHandle, ActiveWindow, (), (), nullptr)                                                   \
    WINDOW_CALL(void, RequestClose, (WindowHandle handle), (handle))                                            \
    /* transfer_window.h: without the window a transfer simply runs */                                         \
    WINDOW_QUERY(void, RunTransfer, (const std::function<void()>& work, const TransferWatch& watch),            \
                 (work, watch), work())                                                                         \
    WINDOW_CALL(void, ScriptTransfer, (std::function<void()> atStart, std::function<void()> whenShown),         \
                (std::move(atStart), std::move(whenShown)))                                                     \
    WINDOW_QUERY(int, TransferWindowsShown, (), (), 0)                                                          \
    /* window_registry.h */                                                                                     \
    WINDOW_QUERY(bool, WindowExists, (WindowHandle window), (window), false)
// clang-format on

namespace mt::platform {

// The list's own text, hashed (FNV-1a): a module built from another list is
// refused.
#define MT_WINDOW_TEXT(...) #__VA_ARGS__ "\n"
inline constexpr uint64_t kWindowCallsSignature = [] {
    uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : MT_WINDOW_CALLS(MT_WINDOW_TEXT, MT_WINDOW_TEXT))
        hash = (hash ^ static_cast<uint8_t>(c)) * 0x100000001b3u;
    return hash;
}();
#undef MT_WINDOW_TEXT

// The table the window module fills: one pointer per call above, in order.
struct WindowCalls {
    uint64_t signature; // kWindowCallsSignature as the module was built
#define MT_WINDOW_POINTER(result, name, parameters, arguments, ...) result(*name) parameters;
    MT_WINDOW_CALLS(MT_WINDOW_POINTER, MT_WINDOW_POINTER)
#undef MT_WINDOW_POINTER
};

} // namespace mt::platform

// The module's one exported entry: the filled table.
extern "C" const mt::platform::WindowCalls* mt_window_calls(); // NOLINT(readability-identifier-naming): a C symbol
inline constexpr const char kWindowCallsEntry[] = "mt_window_calls";
// The module's file name: beside the program in the build tree, in
// MT_WINDOW_MODULE_DIR (relative to the program's folder) once installed.
inline constexpr const char kWindowModuleFile[] = "middletext-window.so";
