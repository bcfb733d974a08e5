#include "components/window_keyboard.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "abi/service_calls.h"
#include "components/component.h"
#include "components/components_texts.h"
#include "components/window_component.h"
#include "platform/desktop_services.h"
#include "platform/key_shortcuts.h"
#include "platform/native_window.h"
#include "platform/top_window.h"

namespace mt {
namespace {

using platform::InputEvent;

void Collect(platform::WindowHandle parent, uint32_t windowId, std::vector<Component*>* out)
{
    for (platform::WindowHandle child : platform::ChildWindows(parent)) {
        Component* c = Component::FromHandle(child);
        if (c && c->windowId() == windowId && c->alive())
            out->push_back(c);
        Collect(child, windowId, out);
    }
}

// The window's live components in component-list (template) order: the
// engine hands out child ids backwards through that list.
std::vector<Component*> ComponentsOf(const WindowComponent& window)
{
    std::vector<Component*> all;
    Collect(window.handle(), window.windowId(), &all);
    std::stable_sort(all.begin(), all.end(), [](Component* a, Component* b) { return a->childId() > b->childId(); });
    return all;
}

Component* FocusedComponent(const WindowComponent& window)
{
    const platform::WindowHandle f = platform::FocusWindow();
    if (!f || !(f == window.handle() || platform::IsDescendant(f, window.handle())))
        return nullptr;
    return Component::FromHandle(f);
}

bool Wanted(Component* focused, int32_t key)
{
    if (!focused)
        return false;
    auto wants = KindRoutineOf<WantsKeyRoutine>(focused->kind(), kRoutineWantsKey);
    return wants && wants(focused, key) == 1;
}

bool IsActiveDefaultButton(Component* c)
{
    if (!c || !(c->kindFlags() & kKindDefaultButton) || !platform::IsEnabled(c->handle()))
        return false;
    auto isDefault = KindRoutineOf<IsDefaultButtonRoutine>(c->kind(), kRoutineIsDefaultButton);
    return isDefault && isDefault(c) == 1;
}

bool Enter(WindowComponent& window, Component* focused)
{
    if (focused != &window && IsActiveDefaultButton(focused)) {
        focused->raise(0);
        return true;
    }
    if (window.properties().enterMovesFocus) {
        MoveFocus(window, true);
        return true;
    }
    for (Component* c : ComponentsOf(window)) {
        if (IsActiveDefaultButton(c)) {
            c->raise(0);
            return true;
        }
    }
    return false;
}

std::string HelpFileName(const WindowComponent& window)
{
    if (!window.properties().helpFile.empty())
        return window.properties().helpFile;
    char* name = reinterpret_cast<char*>(svc::Call(kSvcProgramFileName));
    std::string file = name ? name : "";
    svc::Free(name);
    file = file.substr(0, file.rfind('.'));
    return file + "." + gb::kHelpExtension;
}

bool F1(const WindowComponent& window)
{
    if (!window.properties().f1OpensHelp)
        return false;
    const std::string file = HelpFileName(window);
    // The desktop opens a help file as a whole document: no viewer here reads
    // topic numbers, so HelpContext does not reach it.
    if (platform::FileExists(file))
        platform::OpenDocument(file);
    return true;
}

bool HasMnemonic(const std::string& text, int32_t key)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return std::toupper(static_cast<unsigned char>(text[i + 1])) == key;
    }
    return false;
}

bool Mnemonic(const WindowComponent& window, int32_t key)
{
    for (Component* c : ComponentsOf(window)) {
        if (platform::IsVisible(c->handle()) && platform::IsEnabled(c->handle()) && HasMnemonic(c->mnemonicText(), key)) {
            c->activateMnemonic();
            return true;
        }
    }
    return false;
}

bool IsMnemonicKey(const InputEvent& e)
{
    return e.keyState == platform::kKeyStateAlt && ((e.key >= 'A' && e.key <= 'Z') || (e.key >= '0' && e.key <= '9'));
}

} // namespace

std::vector<Component*> TabOrder(const WindowComponent& window)
{
    std::vector<Component*> order;
    for (Component* c : ComponentsOf(window)) {
        const bool excluded = c->kindFlags() & (kKindNeverShown | kKindNoFocus);
        if (!excluded && c->tabStop() && platform::IsVisible(c->handle()) && platform::IsEnabled(c->handle()))
            order.push_back(c);
    }
    return order;
}

void MoveFocus(const WindowComponent& window, bool forward)
{
    const std::vector<Component*> order = TabOrder(window);
    if (order.empty())
        return;
    Component* focused = FocusedComponent(window);
    const auto at = std::find(order.begin(), order.end(), focused);
    size_t next;
    if (at == order.end())
        next = forward ? 0 : order.size() - 1;
    else if (forward)
        next = (static_cast<size_t>(at - order.begin()) + 1) % order.size();
    else
        next = (static_cast<size_t>(at - order.begin()) + order.size() - 1) % order.size();
    platform::SetFocusWindow(order[next]->handle(),
                             forward ? platform::FocusCause::kTab : platform::FocusCause::kBacktab);
}

bool HandleWindowKey(WindowComponent& window, const InputEvent& e)
{
    // Keys the program bound to a component click it, wherever the focus is.
    int32_t event = 0;
    if (const platform::WindowHandle bound = platform::BoundKeyTarget(window.handle(), e.key, e.keyState, &event)) {
        if (Component* c = Component::FromHandle(bound)) {
            if (event == 0)
                c->raise(0);
            else
                c->raise(event, {e.key, e.keyState});
            return true;
        }
    }
    Component* focused = FocusedComponent(window);
    if (Wanted(focused, e.key))
        return false;
    const int32_t mods = e.keyState & (platform::kKeyStateCtrl | platform::kKeyStateAlt);
    switch (e.key) {
    case platform::kVkTab:
        if (mods)
            return false;
        MoveFocus(window, !(e.keyState & platform::kKeyStateShift));
        return true;
    case platform::kVkReturn: return e.keyState == 0 && Enter(window, focused);
    case platform::kVkEscape:
        if (!window.properties().escCloses)
            return false;
        platform::RequestClose(window.handle());
        return true;
    case platform::kVkF1: return F1(window);
    }
    return IsMnemonicKey(e) && Mnemonic(window, e.key);
}

} // namespace mt
