#include "components/window_component.h"

#include <algorithm>
#include <cstdint>

#include "abi/service_calls.h"
#include "components/common_events.h"
#include "components/kind_helpers.h"
#include "components/kind_tables.h"
#include "components/property_types.h"
#include "components/window_keyboard.h"
#include "platform/application.h"
#include "platform/fonts.h"
#include "platform/native_window.h"
#include "platform/top_window.h"

namespace mt {
namespace {

platform::FrameStyle FrameOf(const WindowProperties& p)
{
    platform::FrameStyle s;
    s.border = p.border;
    s.caption = p.border != 0 && (!p.caption.empty() || p.controlBox);
    s.systemMenu = p.controlBox;
    s.minimizeBox = p.minButton;
    s.maximizeBox = p.maxButton;
    s.alwaysOnTop = p.alwaysOnTop;
    return s;
}

const uint8_t* Data(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

std::string BytesOf(const RawPropertyValue& v)
{
    const char* p = v.pointer<char>();
    return p ? std::string(p, v.length) : std::string();
}

bool IsSizable(int32_t border) { return border == 1 || border == 3 || border == 5; }

// The message loop's idle walk raises the window's idle event with the
// milliseconds since idling began; a non-zero answer asks for more idle calls.
int32_t RaiseIdle(intptr_t window)
{
    const auto elapsed = static_cast<int32_t>(std::min<int64_t>(platform::IdleMilliseconds(), INT32_MAX));
    int32_t result = 0;
    bool hasResult = false;
    reinterpret_cast<WindowComponent*>(window)->raise(7, {elapsed}, &result, &hasResult);
    return hasResult && result != 0;
}

} // namespace

WindowComponent::WindowComponent(uint32_t style, uint32_t windowId, uint32_t componentId, bool childWindow)
    : Component(&kCoreKinds[0], windowId, componentId, 0, style), childWindow_(childWindow)
{
}

WindowComponent* WindowComponent::Create(const uint8_t* record, int32_t length, uint32_t style,
                                         platform::WindowHandle parent, int32_t left, int32_t top, int32_t width,
                                         int32_t height, uint32_t windowId, uint32_t componentId, bool childWindow)
{
    WindowProperties p;
    if (!p.read(record, RecordSize(length)))
        return nullptr;
    if (p.startPosition == 1) {
        left = (platform::ScreenWidth() - width) / 2;
        top = (platform::ScreenHeight() - height) / 2;
    }
    auto* w = new WindowComponent(style, windowId, componentId, childWindow);
    w->p_ = std::move(p);
    const platform::WindowHandle h =
        platform::CreateTopWindow(parent, {left, top, width, height}, FrameOf(w->p_), w->p_.caption, w);
    w->attach(h);
    platform::SetWindowIcon(h, Data(w->p_.icon), w->p_.icon.size());
    w->applyBackground();
    platform::SetWindowFont(h, nullptr, 0);
    platform::SetWindowMovable(h, w->p_.movable);
    if (style & kStyleDisabled)
        platform::EnableWindow(h, false);
    if (w->p_.startPosition == 2)
        platform::SetInitialState(h, platform::ShowState::kMinimized);
    else if (w->p_.startPosition == 3 && IsSizable(w->p_.border))
        platform::SetInitialState(h, platform::ShowState::kMaximized);
    return w;
}

void WindowComponent::applyFrame() { platform::SetFrameStyle(handle(), FrameOf(p_)); }

void WindowComponent::applyBackground()
{
    platform::SetBackground(handle(), p_.backColor, Data(p_.backPicture), p_.backPicture.size(), p_.backPictureMode);
}

void WindowComponent::applyStartPosition()
{
    const platform::WindowHandle h = handle();
    if (!platform::IsVisible(h))
        return;
    switch (p_.startPosition) {
    case 0: platform::ShowTopWindow(h, platform::ShowState::kNormal); break;
    case 1: {
        if (platform::TopWindowState(h) != platform::ShowState::kNormal)
            platform::ShowTopWindow(h, platform::ShowState::kNormal);
        platform::Rect r = platform::WindowRect(h);
        const platform::Rect centred{(platform::ScreenWidth() - r.width) / 2, (platform::ScreenHeight() - r.height) / 2,
                                     r.width, r.height};
        if (!(centred == r))
            platform::SetWindowRect(h, centred);
        break;
    }
    case 2: platform::ShowTopWindow(h, platform::ShowState::kMinimized); break;
    case 3: platform::ShowTopWindow(h, platform::ShowState::kMaximized); break;
    }
}

int32_t WindowComponent::setProperty(int32_t own, const RawPropertyValue& v)
{
    const auto word = static_cast<int32_t>(v.value);
    switch (own) {
    case kWinCaption:
        p_.caption = v.pointer<char>() ? std::string(v.pointer<char>()) : std::string();
        platform::SetWindowText(handle(), p_.caption);
        applyFrame();
        break;
    case kWinBorder:
        p_.border = ClampChoice(word, 6);
        applyFrame();
        break;
    case kWinBackColor:
        p_.backColor = static_cast<uint32_t>(v.value);
        applyBackground();
        break;
    case kWinBackPicture:
        p_.backPicture = BytesOf(v);
        applyBackground();
        break;
    case kWinBackPictureMode:
        p_.backPictureMode = ClampChoice(word, 3);
        applyBackground();
        break;
    case kWinBackMusic: p_.backMusic = BytesOf(v); break;
    case kWinMusicPlayMode: p_.musicPlayMode = ClampChoice(word, 2); break;
    case kWinControlBox:
        p_.controlBox = word != 0;
        applyFrame();
        break;
    case kWinMaxButton:
        p_.maxButton = word != 0;
        applyFrame();
        break;
    case kWinMinButton:
        p_.minButton = word != 0;
        applyFrame();
        break;
    case kWinStartPosition:
        p_.startPosition = ClampChoice(word, 3);
        applyStartPosition();
        break;
    case kWinMovable:
        p_.movable = word != 0;
        platform::SetWindowMovable(handle(), p_.movable);
        break;
    case kWinIcon:
        p_.icon = BytesOf(v);
        platform::SetWindowIcon(handle(), Data(p_.icon), p_.icon.size());
        break;
    case kWinEnterMovesFocus: p_.enterMovesFocus = word != 0; break;
    case kWinEscCloses: p_.escCloses = word != 0; break;
    case kWinF1OpensHelp: p_.f1OpensHelp = word != 0; break;
    case kWinHelpFile: p_.helpFile = v.pointer<char>() ? std::string(v.pointer<char>()) : std::string(); break;
    case kWinHelpContext: p_.helpContext = word; break;
    case kWinShowInTaskbar: p_.showInTaskbar = word != 0; break;
    case kWinFreeDrag: p_.freeDrag = word != 0; break;
    case kWinShape: p_.shape = ClampChoice(word, 29); break;
    case kWinAlwaysOnTop:
        p_.alwaysOnTop = word != 0;
        applyFrame();
        break;
    case kWinKeepTitleActive: p_.keepTitleActive = word != 0; break;
    case kWinWindowClassName:
        p_.windowClassName = v.pointer<char>() ? std::string(v.pointer<char>()) : std::string();
        break;
    }
    return 0;
}

int32_t WindowComponent::getProperty(int32_t own, RawPropertyValue* out) const
{
    auto text = [out](const std::string& s) { out->value = reinterpret_cast<uintptr_t>(s.c_str()); };
    switch (own) {
    case kWinCaption: text(p_.caption); break;
    case kWinBorder: out->value = static_cast<uint32_t>(p_.border); break;
    case kWinBackColor: out->value = p_.backColor; break;
    case kWinBackPicture: PutBytes(p_.backPicture, out); break;
    case kWinBackPictureMode: out->value = static_cast<uint32_t>(p_.backPictureMode); break;
    case kWinBackMusic: PutBytes(p_.backMusic, out); break;
    case kWinMusicPlayMode: out->value = static_cast<uint32_t>(p_.musicPlayMode); break;
    case kWinControlBox: out->value = p_.controlBox; break;
    case kWinMaxButton: out->value = p_.maxButton; break;
    case kWinMinButton: out->value = p_.minButton; break;
    case kWinStartPosition: {
        const platform::ShowState s = platform::TopWindowState(handle());
        out->value = s == platform::ShowState::kMinimized ? 2 : s == platform::ShowState::kMaximized ? 3
                                                                                                     : 0;
        break;
    }
    case kWinMovable: out->value = p_.movable; break;
    case kWinIcon: PutBytes(p_.icon, out); break;
    case kWinEnterMovesFocus: out->value = p_.enterMovesFocus; break;
    case kWinEscCloses: out->value = p_.escCloses; break;
    case kWinF1OpensHelp: out->value = p_.f1OpensHelp; break;
    case kWinHelpFile: text(p_.helpFile); break;
    case kWinHelpContext: out->value = static_cast<uint32_t>(p_.helpContext); break;
    case kWinShowInTaskbar: out->value = p_.showInTaskbar; break;
    case kWinFreeDrag: out->value = p_.freeDrag; break;
    case kWinShape: out->value = static_cast<uint32_t>(p_.shape); break;
    case kWinAlwaysOnTop: out->value = p_.alwaysOnTop; break;
    case kWinKeepTitleActive: out->value = p_.keepTitleActive; break;
    case kWinWindowClassName: text(p_.windowClassName); break;
    default: return 0;
    }
    return 1;
}

bool WindowComponent::preTranslate(platform::WindowHandle target, platform::InputEvent& event)
{
    Guard guard(this);
    if (event.kind == platform::InputKind::kKeyDown && HandleWindowKey(*this, event))
        return true;
    if (!alive())
        return true;
    Component* source = Component::FromHandle(target);
    return source && RaiseCommonEvent(*source, event);
}

// A close refused by event 1 stands, except for a child window.
bool WindowComponent::closeRequested()
{
    int32_t result = 1;
    bool hasResult = false;
    raise(1, {}, &result, &hasResult);
    return childWindow_ || !hasResult || result != 0;
}

void WindowComponent::moved() { raise(3); }
void WindowComponent::resized() { raise(4); }

void WindowComponent::activated(bool active)
{
    Guard guard(this);
    if (active && !activatedBefore_) {
        activatedBefore_ = true;
        raise(8);
    }
    if (alive())
        raise(active ? 5 : 6);
}

void WindowComponent::visibilityChanging(bool shown) { raise(shown ? 10 : 11); }

void WindowComponent::notice(uint32_t code)
{
    if (code != kNoticeShown)
        return;
    const intptr_t entry[3] = {reinterpret_cast<intptr_t>(handle()), reinterpret_cast<intptr_t>(&RaiseIdle),
                               reinterpret_cast<intptr_t>(this)};
    svc::Call(kSvcAddIdleCallback, reinterpret_cast<intptr_t>(entry));
}

void WindowComponent::destroying()
{
    svc::Call(kSvcRemoveIdleCallback, reinterpret_cast<intptr_t>(handle()));
    raise(2);
}

} // namespace mt
