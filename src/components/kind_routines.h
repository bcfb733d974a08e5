// The contract between the window engine and every component kind: the
// routines a KindInterface hands out by number, with their signatures, the
// two-word RawPropertyValue and the style bits the engine passes to Create.
#pragma once

#include <cstdint>
#include <string>

#include "abi/library_interface.h"
#include "platform/window_handle.h"

namespace mt {

class Component;

enum KindRoutineNumber : int32_t {
    kRoutineCreate = 1,
    kRoutineSetProperty = 4,
    kRoutineSaveProperties = 5,
    kRoutineGetProperty = 6,
    kRoutineIconBytes = 7,
    kRoutineWantsKey = 8,
    kRoutineVisitTexts = 9,
    kRoutineIsDefaultButton = 10,
    kRoutineMessageFilter = 11,
};

// KindFlags bits the engine and the window kind test.
enum KindFlag : uint32_t {
    kKindRaisesEvents = 0x40,
    kKindRaisesEventsAlt = 0x04,
    kKindWantsMessages = 0x20,
    kKindContainer = 0x80,
    kKindHasPages = 0x100,
    kKindDefaultButton = 0x800,
    kKindNeverShown = 0x8000,
    kKindNoFocus = 0x10000,
    kKindDragsWindow = 0x4000000,
};

// Style bits the engine passes to Create.
inline constexpr uint32_t kStyleTabStop = 0x00010000;
inline constexpr uint32_t kStyleDisabled = 0x08000000;

// An own property between the engine and a kind: a value or pointer, and a
// byte length for byte data and fonts (the high word for 8-byte values). A
// kind that hands out a text may give its length too, so that a long text
// is not measured again; 0 leaves it to the reader.
struct RawPropertyValue {
    uint64_t value = 0;
    uint32_t length = 0;
    // A text that is not in one piece: `fill` copies its `size` bytes from
    // `source` straight into the text handed to the reader (value unused),
    // and says whether they are free of zero bytes (the text's length is
    // then known without counting).
    bool (*fill)(const void* source, char* out) = nullptr;
    const void* source = nullptr;
    size_t size = 0;

    template <typename T = uint8_t>
    const T* pointer() const { return reinterpret_cast<const T*>(static_cast<uintptr_t>(value)); }
};

// 1: (stored record, its length, style bits, parent window, child id, menu,
// left, top, width, height, window id, component id, child-window flag,
// reserved) -> new component or null.
using CreateRoutine = Component* (*)(const uint8_t* record, int32_t length, uint32_t style,
                                     platform::WindowHandle parent, int32_t childId, void* menu, int32_t left,
                                     int32_t top, int32_t width, int32_t height, uint32_t windowId,
                                     uint32_t componentId, int32_t childWindow, int32_t reserved);
// 4: -> 1 when the component must be rebuilt to show the change.
using SetPropertyRoutine = int32_t (*)(Component* component, int32_t ownIndex, RawPropertyValue value);
// 5: -> a new block (runtime allocation) holding the current record.
using SavePropertiesRoutine = uint8_t* (*)(Component* component, int32_t* length);
// 6: -> 1 when the index is known. Pointers stay owned by the component.
using GetPropertyRoutine = int32_t (*)(Component* component, int32_t ownIndex, RawPropertyValue* out);
// 7: -> the icon bytes of a stored window record, in a new block.
using IconBytesRoutine = uint8_t* (*)(const uint8_t* record, int32_t length, int32_t* outLength);
// 8: -> 1 when the component handles this navigation key itself.
using WantsKeyRoutine = int32_t (*)(Component* component, int32_t key);
// 9: hands each text of a stored record to the visitor, which may change it,
// and returns the record written again in a new block.
using TextVisitor = void (*)(std::string* text, void* user);
using VisitTextsRoutine = uint8_t* (*)(const uint8_t* record, int32_t length, TextVisitor visitor, void* user,
                                       int32_t* outLength);
// 10: -> 1 when the button currently has the default-push style.
using IsDefaultButtonRoutine = int32_t (*)(Component* component);

template <typename Routine>
Routine KindRoutineOf(const ComponentKind* kind, int32_t number)
{
    if (!kind || !kind->kindInterface)
        return nullptr;
    return reinterpret_cast<Routine>(kind->kindInterface(number));
}

} // namespace mt
