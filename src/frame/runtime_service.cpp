// The runtime's single service entry for libraries.
#include <cmath>
#include <cstring>

#include "abi/text_value.h"
#include "abi/value_record.h"
#include "components/event_record.h"
#include "frame/array_block.h"
#include "frame/frame_texts.h"
#include "frame/idle_callbacks.h"
#include "frame/kind_lookup.h"
#include "frame/memory.h"
#include "frame/program_icons.h"
#include "frame/runtime_error.h"
#include "frame/runtime_state.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "platform/application.h"
#include "windows/window_engine.h"

namespace mt {
namespace {

int32_t NumericToInt32(const ValueRecord& v)
{
    switch (v.type) {
    case kTypeByte: return static_cast<uint8_t>(v.payload);
    case kTypeShort: return static_cast<int16_t>(v.payload);
    case kTypeInt:
    case kTypeLong: return static_cast<int32_t>(Low32(v));
    case kTypeFloat: return SaturatingTruncate(AsFloat(v));
    case kTypeDouble: return SaturatingTruncate(AsDouble(v));
    }
    RaiseRuntimeError(gb::kErrNotNumeric, 0);
}

// Frees an array block; text and byte-array elements are freed first.
void FreeArray(uint32_t elementType, void* block)
{
    if (!block)
        return;
    elementType &= ~kArrayBit;
    if (elementType == kTypeText || elementType == kTypeBytes) {
        const ArrayShape shape = ShapeOfArray(block);
        const char* elements = static_cast<const char*>(block) + shape.headerBytes();
        for (size_t i = 0; i < shape.elements; ++i) {
            void* e;
            std::memcpy(&e, elements + i * sizeof e, sizeof e);
            Free(e);
        }
    }
    Free(block);
}

int64_t ToInt64(const void* p) { return static_cast<int64_t>(reinterpret_cast<intptr_t>(p)); }

int64_t ProgramText(const std::string& s) { return ToInt64(NewText(s)); }

int64_t WindowService(int32_t code, intptr_t a, intptr_t b)
{
    const auto wa = static_cast<uint32_t>(a);
    const auto wb = static_cast<uint32_t>(b);
    switch (code) {
    case kSvcLoadedWindowList: return ToInt64(&engine::Descriptions());
    case kSvcComponentHandle: return ToInt64(engine::ComponentWindow(reinterpret_cast<void*>(a)));
    case kSvcComponentDestroyed: engine::ComponentDestroyed(wa, wb); return 0;
    case kSvcFindComponent: return ToInt64(engine::FindComponent(wa, wb));
    case kSvcRaiseEvent: return engine::RaiseEvent(reinterpret_cast<EventRecord*>(a));
    case kSvcRaiseTypedEvent: return engine::RaiseTypedEvent(reinterpret_cast<TypedEventRecord*>(a));
    case kSvcBlockEvents:
        platform::ProcessPendingEvents();
        engine::BlockEvents();
        return 0;
    case kSvcUnblockEvents:
        platform::ProcessPendingEvents();
        engine::UnblockEvents();
        return 0;
    case kSvcLoadedWindowCount: return static_cast<int64_t>(engine::Descriptions().size());
    case kSvcWindowIsLive: return engine::IsWindowLive(wa) ? 1 : 0;
    case kSvcCurrentEventSource: {
        uint32_t window = 0, component = 0;
        if (!engine::CurrentEventSource(&window, &component))
            return 0;
        auto* out = reinterpret_cast<uint32_t*>(a);
        out[0] = window;
        out[1] = component;
        return 1;
    }
    case kSvcFindComponentOrFail: {
        void* object = engine::FindComponent(wa, wb);
        if (!object)
            RaiseRuntimeError(gb::kErrComponentMissingForLibrary, 0);
        return ToInt64(object);
    }
    }
    return 0;
}

} // namespace

int32_t SaturatingTruncate(double d)
{
    if (std::isnan(d))
        return 0;
    if (d >= 2147483647.0)
        return INT32_MAX;
    if (d <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(d);
}

int64_t RuntimeServiceEntry(int32_t code, intptr_t a, intptr_t b)
{
    RuntimeData& rt = RuntimeState();
    switch (code) {
    case kSvcDefaultIcons: WriteProgramIcons(reinterpret_cast<intptr_t*>(a)); return 0;
    case kSvcKindByCode: return ToInt64(FindKind(static_cast<uint32_t>(a)));
    case kSvcReturnsOne: return 1;
    case kSvcReturnsFive: return 5;
    // The objects the platform layer hands the program are icons; fonts and
    // brushes stay inside the layer, so anything else is left alone.
    case kSvcDestroyObject: DestroyRuntimeObject(a); return 0;
    case kSvcAddIdleCallback: {
        if (auto* words = reinterpret_cast<const intptr_t*>(a)) {
            AddIdleCallback({reinterpret_cast<platform::WindowHandle>(words[0]),
                             reinterpret_cast<IdleCallback>(words[1]), words[2]});
        }
        return 0;
    }
    case kSvcRemoveIdleCallback: RemoveIdleCallback(reinterpret_cast<platform::WindowHandle>(a)); return 0;
    case kSvcValueToInt32: return NumericToInt32(*reinterpret_cast<const ValueRecord*>(a));
    case kSvcProgramDirectory: return ProgramText(rt.programDirectory);
    case kSvcProgramFileName: return ProgramText(rt.programFileName);
    case kSvcFreeArray: FreeArray(static_cast<uint32_t>(a), reinterpret_cast<void*>(b)); return 0;
    case kSvcAllocate: return ToInt64(b == 0 ? Allocate(static_cast<size_t>(a)) : TryAllocate(static_cast<size_t>(a)));
    case kSvcFree: Free(reinterpret_cast<void*>(a)); return 0;
    case kSvcReallocate: return ToInt64(Reallocate(reinterpret_cast<void*>(a), static_cast<size_t>(b)));
    case kSvcRuntimeError: RaiseRuntimeError(reinterpret_cast<const char*>(a), 0);
    case kSvcExit: ExitProgram(static_cast<int32_t>(a));
    case kSvcProgramMode: return rt.programMode;
    }
    return WindowService(code, a, b);
}

} // namespace mt
