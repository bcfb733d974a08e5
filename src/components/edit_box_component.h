// The edit box: a platform edit control with its own colours, input modes,
// an optional spinner, and the events 0 (content changed), 1 (spinner
// pressed, manual mode), -7 and -8 (focus). From creation on the control
// holds the text; the stored properties keep everything else. A write of a
// multi-line box's Content is a step the user can undo, except a write back
// to the text the box was made with (its prompt) and the empty text that
// replaces that.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "components/component.h"
#include "components/edit_box_properties.h"
#include "platform/edit_control.h"

namespace mt {

class EditBoxComponent : public Component, public platform::EditNotices {
public:
    // A new box made from `p`, its platform control hidden in `parent`; null
    // when the control cannot be made.
    static EditBoxComponent* Make(EditBoxProperties p, uint32_t style, platform::WindowHandle parent,
                                  const platform::Rect& rect, uint32_t windowId, uint32_t componentId,
                                  int32_t childId);

    // SetProperty: 1 when only a rebuild can show the change.
    int32_t setProperty(int32_t own, const RawPropertyValue& value);
    // GetProperty: 0 for an index the box does not serve.
    int32_t getProperty(int32_t own, RawPropertyValue* out);
    // The stored properties with the live text and selection.
    EditBoxProperties current() const;
    bool wantsKey(int32_t key) const;

    // Notices from the control.
    void textChanged() override;
    void spinnerPressed(int direction) override;
    void focusOut() override;
    // Named after its role, as a text (左边 -> 左边文本), and described by its
    // prompt.
    void named(std::string_view role) override;
    // A dropped file: decoded as a page and put in place of the text as one
    // undoable edit, or a message saying why not.
    void fileDropped(const platform::DroppedFile& file) override;

private:
    EditBoxComponent(EditBoxProperties p, uint32_t style, uint32_t windowId, uint32_t componentId, int32_t childId);

    platform::EditControl* edit() const { return platform::EditControlOf(handle()); }
    platform::EditOptions options() const;
    std::string displayFont() const;
    int32_t textLength() const;

    void setContent(std::string_view gb);
    void setSelStart(int32_t start);
    void setSelLength(int32_t length);
    void selectStored();
    void setInputMode(int32_t mode);
    void setPasswordChar(const char* text);
    int32_t setNumber(int32_t own, int32_t value);
    void setText(int32_t own, const char* text);
    int32_t setBytes(int32_t own, const RawPropertyValue& value);
    bool readText(int32_t own, RawPropertyValue* out);
    bool readNumber(int32_t own, RawPropertyValue* out) const;

    // Input modes 5 to 11 rewrite the text when the focus leaves.
    void normalise();
    // SpinButton 1: the text counts one up or down within the range.
    void count(int direction);

    EditBoxProperties p_;
    // The text the box was made with, when it is short (a prompt): a
    // multi-line box put back to it shows a placeholder, which its undo
    // record does not count as a step.
    std::string designText_;
    static constexpr size_t kDesignTextKept = 4096;
    std::string handedOut_; // the last PasswordChar or SelText a read handed out
};

} // namespace mt
