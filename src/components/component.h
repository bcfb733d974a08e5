// What every component object is: its ids, its kind, its platform window,
// and the way it raises events. A component lives from its kind's Create
// until its platform window is deleted; it reports its destruction to the
// runtime and then deletes itself, but never while one of its own event
// calls is still running.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "components/event_record.h"
#include "components/kind_routines.h"
#include "platform/window_listener.h"

namespace mt {

// Private notices the engine sends while loading a window.
enum ComponentNotice : uint32_t {
    kNoticeLoaded = 0x806f,       // every component, last record first
    kNoticeWindowLoaded = 0x8004, // the window, after the components
    kNoticeShown = 0x8076,        // every component, after the window is shown
};

class Component : public platform::WindowListener {
public:
    Component(const ComponentKind* kind, uint32_t windowId, uint32_t componentId, int32_t childId, uint32_t style);
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    uint32_t windowId() const { return windowId_; }
    uint32_t componentId() const { return componentId_; }
    const ComponentKind* kind() const { return kind_; }
    uint32_t kindFlags() const { return kind_ ? kind_->flags : 0; }
    platform::WindowHandle handle() const { return handle_; }
    int32_t childId() const { return childId_; }
    bool tabStop() const { return (style_ & kStyleTabStop) != 0; }
    // Whether the platform window still exists.
    bool alive() const;

    // Raises an event of this component. True when a handler ran; then
    // *result holds its value when it returned one (hasResult).
    bool raise(int32_t index, std::initializer_list<int32_t> args = {}, int32_t* result = nullptr,
               bool* hasResult = nullptr);

    // Notices from the engine while loading.
    virtual void notice(uint32_t /*code*/) {}
    // The component's name in the template without its kind's name in front
    // (编辑框左边 -> 左边), GB18030, once it is made. A kind that shows no
    // caption of its own names its window after it for assistive tools.
    virtual void named(std::string_view /*role*/) {}
    // The text that carries this component's mnemonic ("&x"), if it takes
    // mnemonics; and what the mnemonic does.
    virtual std::string mnemonicText() const { return {}; }
    virtual void activateMnemonic() {}

    // The window was shown while this component held the focus: raises -7
    // unless the platform's own focus notice already got a handler to run.
    void focusShown();

    void windowDestroyed() override;
    void windowDeleted() override;
    void focusIn() override;
    void focusOut() override;

    // The component behind a platform window (or the nearest one above it).
    static Component* FromHandle(platform::WindowHandle handle);

    // Keeps a component object alive while an event call runs.
    class Guard {
    public:
        explicit Guard(Component* c) : c_(c) { ++c_->busy_; }
        ~Guard();
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        Component* c_;
    };

protected:
    virtual ~Component() = default;
    // Called by the kind once its platform window exists.
    void attach(platform::WindowHandle handle);
    // The window is going: stop what runs (timers); no events from now on.
    virtual void destroying() {}

private:
    const ComponentKind* kind_;
    uint32_t windowId_;
    uint32_t componentId_;
    int32_t childId_;
    uint32_t style_;
    platform::WindowHandle handle_ = nullptr;
    int32_t busy_ = 0;
    bool deleted_ = false;
    bool destroyed_ = false;
    bool focusDelivered_ = false;
};

} // namespace mt
