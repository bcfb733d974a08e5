#include "support/engine_runtime.h"

#include <array>
#include <cstdlib>
#include <utility>

#include "abi/service_calls.h"
#include "components/kind_tables.h"
#include "frame/idle_callbacks.h"
#include "platform/application.h"
#include "platform/native_window.h"
#include "windows/template_reader.h"
#include "windows/template_writer.h"
#include "windows/window_engine.h"

namespace mt::test {
namespace {

std::array<std::function<void(EventCall*)>, kHandlerSlots>& Handlers()
{
    static std::array<std::function<void(EventCall*)>, kHandlerSlots> h;
    return h;
}

template <int K>
void Slot(EventCall* call)
{
    if (Handlers()[K])
        Handlers()[K](call);
}

template <int... K>
constexpr std::array<EventHandler, sizeof...(K)> MakeTable(std::integer_sequence<int, K...>)
{
    return {&Slot<K>...};
}

constexpr auto kTable = MakeTable(std::make_integer_sequence<int, kHandlerSlots>());

std::function<const ComponentKind*(uint32_t)> g_extraKinds;
int32_t g_programMode = 0;

const ComponentKind* Kind(uint32_t code)
{
    if (g_extraKinds) {
        if (const ComponentKind* k = g_extraKinds(code))
            return k;
    }
    return FindComponentKind(code);
}

int64_t Pointer(const void* p) { return reinterpret_cast<intptr_t>(p); }

int64_t Service(int32_t code, intptr_t a, intptr_t b)
{
    const auto wid = static_cast<uint32_t>(a);
    const auto cid = static_cast<uint32_t>(b);
    switch (code) {
    case kSvcKindByCode: return Pointer(Kind(static_cast<uint32_t>(a)));
    case kSvcComponentDestroyed: engine::ComponentDestroyed(wid, cid); return 0;
    case kSvcProgramDirectory:
    case kSvcProgramFileName: return Pointer("");
    case kSvcFindComponent: return Pointer(engine::FindComponent(wid, cid));
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
    case kSvcCurrentEventSource: {
        auto* words = reinterpret_cast<uint32_t*>(a);
        return engine::CurrentEventSource(&words[0], &words[1]);
    }
    case kSvcAllocate: return Pointer(std::malloc(a > 0 ? static_cast<size_t>(a) : 1));
    case kSvcFree: std::free(reinterpret_cast<void*>(a)); return 0;
    case kSvcReallocate: return Pointer(std::realloc(reinterpret_cast<void*>(a), static_cast<size_t>(b)));
    case kSvcRuntimeError: throw RuntimeErrorRaised(reinterpret_cast<const char*>(a));
    case kSvcProgramMode: return g_programMode;
    case kSvcWindowIsLive: return engine::IsWindowLive(wid);
    case kSvcAddIdleCallback: {
        const auto* words = reinterpret_cast<const intptr_t*>(a);
        AddIdleCallback({reinterpret_cast<platform::WindowHandle>(words[0]), reinterpret_cast<IdleCallback>(words[1]),
                         words[2]});
        return 0;
    }
    case kSvcRemoveIdleCallback: RemoveIdleCallback(reinterpret_cast<platform::WindowHandle>(a)); return 0;
    }
    return 0;
}

} // namespace

const void* HandlerCodeBase() { return kTable.data(); }
int32_t HandlerOffset(int k) { return static_cast<int32_t>(k * sizeof(EventHandler)); }
void SetHandler(int k, std::function<void(EventCall*)> handler) { Handlers()[static_cast<size_t>(k)] = std::move(handler); }

EngineRuntime::EngineRuntime() : previous_(svc::Service())
{
    platform::EnsureApplication();
    svc::SetService(&Service);
}

EngineRuntime::~EngineRuntime()
{
    engine::ReleaseDescriptions();
    ClearIdleCallbacks();
    platform::FlushDestroyedWindows();
    engine::SetMessageLoopEntered(false);
    for (auto& h : Handlers())
        h = nullptr;
    g_extraKinds = nullptr;
    g_programMode = 0;
    svc::SetService(previous_);
}

void EngineRuntime::Install(const std::vector<WindowDescription>& windows)
{
    const std::string block = WriteTemplateBlock(windows);
    auto read = ReadTemplateBlock(reinterpret_cast<const uint8_t*>(block.data()), block.size(), HandlerCodeBase());
    if (!read)
        throw std::runtime_error("template block did not read back");
    engine::InstallDescriptions(std::move(*read));
}

void EngineRuntime::SetExtraKinds(std::function<const ComponentKind*(uint32_t)> lookup) { g_extraKinds = std::move(lookup); }
void EngineRuntime::SetProgramMode(int32_t mode) { g_programMode = mode; }

} // namespace mt::test
