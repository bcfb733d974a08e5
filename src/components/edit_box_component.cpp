#include "components/edit_box_component.h"

#include <algorithm>
#include <utility>

#include "abi/message_box_style.h"
#include "commands/leading_number.h"
#include "components/components_texts.h"
#include "components/dropped_page.h"
#include "components/edit_box_input_mode.h"
#include "components/font_record.h"
#include "components/kind_helpers.h"
#include "components/kind_tables.h"
#include "components/property_types.h"
#include "platform/message_box.h"
#include "platform/native_window.h"

namespace mt {
namespace {

// Stores a value that only a rebuild shows: 1 when it differs.
template <typename T>
int32_t StoreForRebuild(T* field, T value)
{
    if (*field == value)
        return 0;
    *field = value;
    return 1;
}

int32_t ClampToInt32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// A text and its length, which saves the reader a pass over a long one.
void PutText(const std::string& s, RawPropertyValue* out)
{
    out->value = reinterpret_cast<uintptr_t>(s.c_str());
    out->length = s.size() <= UINT32_MAX ? static_cast<uint32_t>(s.size()) : 0;
}

} // namespace

EditBoxComponent::EditBoxComponent(EditBoxProperties p, uint32_t style, uint32_t windowId, uint32_t componentId,
                                   int32_t childId)
    : Component(&kCoreKinds[4], windowId, componentId, childId, style), p_(std::move(p))
{
}

EditBoxComponent* EditBoxComponent::Make(EditBoxProperties p, uint32_t style, platform::WindowHandle parent,
                                         const platform::Rect& rect, uint32_t windowId, uint32_t componentId,
                                         int32_t childId)
{
    auto* box = new EditBoxComponent(std::move(p), style, windowId, componentId, childId);
    const platform::WindowHandle h =
        platform::CreateEditControl(parent, rect, box->options(), box->p_.content, box, box);
    if (!h) {
        delete box;
        return nullptr;
    }
    box->attach(h);
    if (box->p_.content.size() <= kDesignTextKept)
        box->designText_ = box->p_.content;
    // A multi-line box starts with the text it was made with as a
    // placeholder: its undo record holds the box as empty.
    platform::EditControl* e = box->edit();
    if (e && e->isMultiLine() && !box->designText_.empty()) {
        e->setText({});
        e->writeText(box->designText_, true);
    }
    std::string().swap(box->p_.content); // the control holds the text from now on
    if (style & kStyleDisabled)
        platform::EnableWindow(h, false);
    // Only a single-line box has a spinner; one it could not get counts as none.
    if (!box->p_.multiLine && box->p_.spinButton != kSpinNone && !box->edit()->hasSpinner())
        box->p_.spinButton = kSpinNone;
    box->selectStored();
    return box;
}

platform::EditOptions EditBoxComponent::options() const
{
    platform::EditOptions o;
    o.multiLine = p_.multiLine;
    o.border = p_.border;
    o.textColor = p_.textColor;
    o.backColor = p_.backColor;
    o.font = displayFont();
    o.hideSelection = p_.hideSelection;
    o.textLimit = p_.maxLength;
    o.scrollBars = p_.scrollBars;
    o.alignment = p_.alignment;
    o.inputMode = p_.inputMode;
    o.passwordChar = p_.passwordChar;
    o.caseConversion = p_.caseConversion;
    o.spinner = !p_.multiLine && p_.spinButton != kSpinNone;
    o.spinMin = p_.spinMin;
    o.spinMax = p_.spinMax;
    return o;
}

// The stored font with the fields every kind sets before making one; empty
// (the default GUI font) unless the blob is a whole record.
std::string EditBoxComponent::displayFont() const
{
    if (p_.font.size() != platform::kLogicalFontSize)
        return {};
    const auto bytes = ForDisplay(platform::LogicalFont::FromBytes(reinterpret_cast<const uint8_t*>(p_.font.data())))
                           .toBytes();
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

int32_t EditBoxComponent::textLength() const
{
    const platform::EditControl* e = edit();
    return e ? ClampToInt32(static_cast<int64_t>(e->textSize())) : 0;
}

EditBoxProperties EditBoxComponent::current() const
{
    EditBoxProperties now = p_;
    if (const platform::EditControl* e = edit()) {
        now.content = e->text();
        now.selStart = ClampToInt32(e->selectionStart());
        now.selLength = ClampToInt32(e->selectionLength());
    }
    return now;
}

bool EditBoxComponent::wantsKey(int32_t key) const
{
    return key == platform::kVkReturn && p_.multiLine && p_.inputMode != kInputReadOnly;
}

// ---- writing properties -------------------------------------------------------------

int32_t EditBoxComponent::setProperty(int32_t own, const RawPropertyValue& value)
{
    if (!edit())
        return 0;
    const char* text = value.pointer<char>() ? value.pointer<char>() : "";
    switch (own) {
    case kEbContent:
    case kEbPasswordChar:
    case kEbSelText:
    case kEbDataSource:
    case kEbDataColumn: setText(own, text); return 0;
    case kEbFont: return setBytes(own, value);
    }
    return setNumber(own, static_cast<int32_t>(value.value));
}

void EditBoxComponent::setText(int32_t own, const char* text)
{
    switch (own) {
    case kEbContent: setContent(text); break;
    case kEbPasswordChar: setPasswordChar(text); break;
    // The control reports the change, which raises event 0.
    case kEbSelText: edit()->replaceSelection(text); break;
    // Data binding is not part of this program: the names are only kept.
    case kEbDataSource: p_.dataSource = text; break;
    case kEbDataColumn: p_.dataColumn = text; break;
    }
}

int32_t EditBoxComponent::setBytes(int32_t own, const RawPropertyValue& value)
{
    if (own != kEbFont)
        return 0;
    const char* bytes = value.pointer<char>();
    p_.font = bytes ? std::string(bytes, value.length) : std::string();
    edit()->setFont(displayFont());
    return 0;
}

int32_t EditBoxComponent::setNumber(int32_t own, int32_t v)
{
    platform::EditControl* e = edit();
    switch (own) {
    case kEbBorder:
        p_.border = ClampChoice(v, kEbBorderMax);
        e->setBorder(p_.border);
        break;
    case kEbTextColor:
        p_.textColor = static_cast<uint32_t>(v);
        e->setTextColor(p_.textColor);
        break;
    case kEbBackColor:
        p_.backColor = static_cast<uint32_t>(v);
        e->setBackColor(p_.backColor);
        break;
    case kEbHideSelection: return StoreForRebuild(&p_.hideSelection, v != 0);
    case kEbMaxLength:
        p_.maxLength = std::max(v, 0);
        e->setTextLimit(p_.maxLength);
        break;
    case kEbMultiLine: return StoreForRebuild(&p_.multiLine, v != 0);
    case kEbScrollBars: return StoreForRebuild(&p_.scrollBars, ClampChoice(v, kEbScrollBarsMax));
    case kEbAlignment: return StoreForRebuild(&p_.alignment, ClampChoice(v, kEbAlignmentMax));
    case kEbInputMode: setInputMode(ClampChoice(v, kEbInputModeMax)); break;
    case kEbCaseConversion: return StoreForRebuild(&p_.caseConversion, ClampChoice(v, kEbCaseConversionMax));
    case kEbSpinButton: return StoreForRebuild(&p_.spinButton, ClampChoice(v, kEbSpinButtonMax));
    case kEbSpinMin:
        p_.spinMin = v;
        e->setSpinnerRange(p_.spinMin, p_.spinMax);
        break;
    case kEbSpinMax:
        p_.spinMax = v;
        e->setSpinnerRange(p_.spinMin, p_.spinMax);
        break;
    case kEbSelStart: setSelStart(v); break;
    case kEbSelLength: setSelLength(v); break;
    }
    return 0;
}

// The text goes in quietly, and event 0 follows exactly once, also when the
// text is the same as before.
void EditBoxComponent::setContent(std::string_view gb)
{
    platform::EditControl* e = edit();
    if (e->isMultiLine())
        e->writeText(gb, !designText_.empty() && gb == designText_);
    else
        e->setText(gb);
    raise(0);
}

// -1 puts the caret after the last character; other negative starts are 0.
void EditBoxComponent::setSelStart(int32_t start)
{
    if (start == -1) {
        p_.selStart = textLength();
        p_.selLength = 0;
    } else {
        p_.selStart = std::max(start, 0);
    }
    edit()->select(p_.selStart, p_.selLength);
}

// -1 selects the whole text; other negative lengths are 0.
void EditBoxComponent::setSelLength(int32_t length)
{
    if (length == -1) {
        p_.selStart = 0;
        p_.selLength = textLength();
    } else {
        p_.selLength = std::max(length, 0);
    }
    edit()->select(p_.selStart, p_.selLength);
}

// The stored selection as a new box applies it: the start first, then the
// length (unless the start put the caret at the end).
void EditBoxComponent::selectStored()
{
    const int32_t start = p_.selStart;
    const int32_t length = p_.selLength;
    setSelStart(start);
    if (start != -1)
        setSelLength(length);
}

void EditBoxComponent::setInputMode(int32_t mode)
{
    p_.inputMode = mode;
    edit()->setPasswordChar(p_.passwordChar);
    edit()->setInputMode(mode);
}

// Only the first byte is kept; the empty text leaves none.
void EditBoxComponent::setPasswordChar(const char* text)
{
    p_.passwordChar = text[0];
    edit()->setPasswordChar(p_.passwordChar);
}

// ---- reading properties -------------------------------------------------------------

int32_t EditBoxComponent::getProperty(int32_t own, RawPropertyValue* out)
{
    if (readText(own, out))
        return 1;
    return readNumber(own, out) ? 1 : 0;
}

bool EditBoxComponent::readText(int32_t own, RawPropertyValue* out)
{
    const platform::EditControl* e = edit();
    switch (own) {
    case kEbContent:
        if (!e) {
            PutText(p_.content, out);
            return true;
        }
        // Copied from the control's own store, which need not be in one piece.
        out->fill = [](const void* control, char* to) {
            const auto* e = static_cast<const platform::EditControl*>(control);
            e->copyText(to);
            return e->textFreeOfZeroBytes();
        };
        out->source = e;
        out->size = e->textSize();
        return true;
    case kEbFont: PutBytes(p_.font, out); return true;
    case kEbPasswordChar: handedOut_.assign(p_.passwordChar ? 1 : 0, p_.passwordChar); break;
    case kEbSelText: handedOut_ = e ? e->selectedText() : std::string(); break;
    case kEbDataSource: PutText(p_.dataSource, out); return true;
    case kEbDataColumn: PutText(p_.dataColumn, out); return true;
    default: return false;
    }
    PutText(handedOut_, out);
    return true;
}

bool EditBoxComponent::readNumber(int32_t own, RawPropertyValue* out) const
{
    const EditBoxProperties& p = p_;
    const platform::EditControl* e = edit();
    int64_t v = 0;
    switch (own) {
    case kEbBorder: v = p.border; break;
    case kEbTextColor: v = p.textColor; break;
    case kEbBackColor: v = p.backColor; break;
    case kEbHideSelection: v = p.hideSelection; break;
    case kEbMaxLength: v = p.maxLength; break;
    case kEbMultiLine: v = p.multiLine; break;
    case kEbScrollBars: v = p.scrollBars; break;
    case kEbAlignment: v = p.alignment; break;
    case kEbInputMode: v = p.inputMode; break;
    case kEbCaseConversion: v = p.caseConversion; break;
    case kEbSpinButton: v = p.spinButton; break;
    case kEbSpinMin: v = p.spinMin; break;
    case kEbSpinMax: v = p.spinMax; break;
    case kEbSelStart: v = e ? ClampToInt32(e->selectionStart()) : p.selStart; break;
    case kEbSelLength: v = e ? ClampToInt32(e->selectionLength()) : p.selLength; break;
    default: return false;
    }
    out->value = static_cast<uint32_t>(v);
    return true;
}

void EditBoxComponent::named(std::string_view role)
{
    if (role.empty())
        return;
    const std::string_view text = gb::kAccessibleText;
    std::string name(role);
    if (!role.ends_with(text))
        name += text;
    platform::SetAccessibleTexts(handle(), name, designText_.empty() ? std::string_view(gb::kKindEditBox) : designText_);
}

// ---- notices from the control ----------------------------------------------------------

void EditBoxComponent::textChanged() { raise(0); }

void EditBoxComponent::fileDropped(const platform::DroppedFile& file)
{
    std::string message;
    switch (file.problem) {
    case platform::DroppedFile::kNone: {
        Guard guard(this);
        if (platform::EditControl* e = edit())
            e->replaceAll(DecodeDroppedPage(file.bytes));
        return;
    }
    case platform::DroppedFile::kTooBig: message = std::string(gb::kDropTooBig) + file.name; break;
    case platform::DroppedFile::kDirectory: message = std::string(gb::kDropDirectory) + file.name; break;
    case platform::DroppedFile::kUnreadable:
        message = std::string(gb::kDropUnreadable) + file.name + "\r\n" + file.reason;
        break;
    }
    platform::ShowMessageBox(message, gb::kDropCaption, box::kWarning);
}

void EditBoxComponent::spinnerPressed(int direction)
{
    if (p_.spinButton == kSpinManual)
        raise(1, {direction < 0 ? -1 : 1});
    else if (p_.spinButton == kSpinAutomatic)
        count(direction);
}

// The normalised text comes before event -8, so that a handler of -8 reads
// what the box keeps.
void EditBoxComponent::focusOut()
{
    Guard guard(this);
    normalise();
    if (alive())
        Component::focusOut();
}

void EditBoxComponent::normalise()
{
    platform::EditControl* e = edit();
    if (!e || !NormalisesText(p_.inputMode))
        return;
    std::string text = NormalisedText(p_.inputMode, e->text());
    if (text == e->text())
        return;
    const int64_t start = e->selectionStart();
    e->setText(text);
    e->select(start, 0);
    raise(0);
}

// Out of the spinner's range at one end wraps to the other end. The number
// is first brought into 32 bits, which changes no outcome (the range is
// 16-bit) and keeps the step from overflowing.
void EditBoxComponent::count(int direction)
{
    platform::EditControl* e = edit();
    if (!e)
        return;
    int64_t v = ClampToInt32(LeadingInteger(e->text())) + (direction < 0 ? -1 : 1);
    if (v > e->spinnerUpper())
        v = e->spinnerLower();
    else if (v < e->spinnerLower())
        v = e->spinnerUpper();
    const std::string text = std::to_string(v);
    e->setText(text);
    e->select(0, static_cast<int64_t>(text.size()));
    Guard guard(this);
    raise(0);
    if (alive())
        platform::SetFocusWindow(handle());
}

} // namespace mt
