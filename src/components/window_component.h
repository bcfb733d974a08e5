// The window kind: the first component of every window. It owns the
// top-level platform window, its own properties, the window events and the
// window's keyboard and mouse pre-translation.
#pragma once

#include "components/component.h"
#include "components/window_properties.h"

namespace mt {

class WindowComponent : public Component {
public:
    // Null when the record is refused or the platform window cannot be made.
    static WindowComponent* Create(const uint8_t* record, int32_t length, uint32_t style,
                                   platform::WindowHandle parent, int32_t left, int32_t top, int32_t width,
                                   int32_t height, uint32_t windowId, uint32_t componentId, bool childWindow);

    const WindowProperties& properties() const { return p_; }
    int32_t setProperty(int32_t own, const RawPropertyValue& value);
    int32_t getProperty(int32_t own, RawPropertyValue* out) const;

    void notice(uint32_t code) override;
    bool preTranslate(platform::WindowHandle target, platform::InputEvent& event) override;
    bool closeRequested() override;
    void moved() override;
    void resized() override;
    void activated(bool active) override;
    void visibilityChanging(bool shown) override;

protected:
    void destroying() override;

private:
    WindowComponent(uint32_t style, uint32_t windowId, uint32_t componentId, bool childWindow);
    void applyFrame();
    void applyBackground();
    void applyStartPosition();

    WindowProperties p_;
    bool childWindow_;
    bool activatedBefore_ = false;
};

} // namespace mt
