// Handler lookup and the raise operations: missing handlers, shared
// handlers, arguments and results, the event source and the errors.
#include <gtest/gtest.h>

#include "support/engine_runtime.h"
#include "support/template_builder.h"
#include "windows/window_engine.h"
#include "windows/windows_texts.h"

namespace mt::test {
namespace {

constexpr uint32_t kA = ComponentIdOf(1);
constexpr uint32_t kSharesSameKind = ComponentIdOf(2);
constexpr uint32_t kSharesOtherKind = ComponentIdOf(3);
constexpr uint32_t kUnbound = ComponentIdOf(4);

class EventDispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ComponentRecord a = ButtonRecord(kA, "a", 0, 0);
        Bind(a, 0, 0);
        Bind(a, 5, 3);
        ComponentRecord b = ButtonRecord(kSharesSameKind, "b", 0, 40);
        b.sharedSource = kA;
        ComponentRecord t = TimerRecord(kSharesOtherKind, 0);
        t.sharedSource = kA;
        Bind(t, 0, 1);
        ComponentRecord u = ButtonRecord(kUnbound, "u", 0, 80);
        u.events.push_back({0, -1, nullptr});
        EngineRuntime::Install({Window({WindowRecord(), a, b, t, u})});
        for (int k = 0; k < 4; ++k)
            SetHandler(k, [this, k](EventCall* call) {
                calls.push_back(k);
                last = *call;
                uint32_t w = 0, c = 0;
                sourceKnown = engine::CurrentEventSource(&w, &c);
                source = c;
            });
    }

    int32_t Raise(uint32_t component, int32_t index, EventRecord* r = nullptr)
    {
        EventRecord local;
        r = r ? r : &local;
        r->windowId = kWindowId;
        r->componentId = component;
        r->eventIndex = index;
        return engine::RaiseEvent(r);
    }

    EngineRuntime runtime;
    std::vector<int> calls;
    EventCall last;
    bool sourceKnown = false;
    uint32_t source = 0;
};

TEST_F(EventDispatch, SharedHandlersComeOnlyFromARecordOfTheSameKind)
{
    EXPECT_EQ(Raise(kSharesSameKind, 0), 1);
    EXPECT_EQ(Raise(kSharesOtherKind, 0), 1);
    EXPECT_EQ(calls, (std::vector<int>{0, 1}));
    EXPECT_EQ(source, kSharesOtherKind); // the source is the raiser, not the shared record
}

TEST_F(EventDispatch, NoHandlerReturnsZeroAndLeavesTheRecordAlone)
{
    EventRecord r;
    r.result = 77;
    EXPECT_EQ(Raise(kUnbound, 0, &r), 0); // offset -1
    EXPECT_EQ(Raise(kA, 9, &r), 0);       // no pair
    EXPECT_EQ(r.hasResult, 0);
    EXPECT_EQ(r.result, 77);
    EXPECT_TRUE(calls.empty());
    engine::BlockEvents();
    EXPECT_EQ(Raise(kA, 0), 0);
    engine::UnblockEvents();
}

TEST_F(EventDispatch, ArgumentsResultAndEventSource)
{
    SetHandler(3, [this](EventCall* call) {
        last = *call;
        call->hasResult = true;
        call->result = 0x1234;
        uint32_t w = 0, c = 0;
        sourceKnown = engine::CurrentEventSource(&w, &c);
        source = c;
    });
    EventRecord r;
    r.argCount = 3;
    r.args[0] = 10;
    r.args[1] = -20;
    r.args[2] = 3;
    EXPECT_EQ(Raise(kA, 5, &r), 1);
    EXPECT_EQ(last.argc, 3);
    EXPECT_EQ(AsInt32(last.args[1]), -20);
    EXPECT_EQ(r.hasResult, 1);
    EXPECT_EQ(r.result, 0x1234);
    EXPECT_TRUE(sourceKnown);
    EXPECT_EQ(source, kA);
    uint32_t w = 0, c = 0;
    EXPECT_FALSE(engine::CurrentEventSource(&w, &c));
}

TEST_F(EventDispatch, WindowRecordAnswersToComponentIdZero)
{
    EXPECT_EQ(Raise(0, 0), 0);
    SetHandler(0, [this](EventCall*) {
        uint32_t w = 0, c = 0;
        engine::CurrentEventSource(&w, &c);
        source = c;
    });
    auto& d = *FindWindow(engine::Descriptions(), kWindowId);
    d.records[0].events.push_back({0, HandlerOffset(0), reinterpret_cast<const char*>(HandlerCodeBase())});
    EXPECT_EQ(Raise(0, 0), 1);
    EXPECT_EQ(source, kWindowRecordId);
}

TEST_F(EventDispatch, TypedArgumentsArePassedByTheirType)
{
    TypedEventRecord r;
    r.windowId = kWindowId;
    r.componentId = kA;
    r.eventIndex = 5;
    r.argCount = 3;
    r.args[0] = {0xFFFFFFFFFFFF8001ull, kTypeShort, 0};
    r.args[1] = {0x1122334455667788ull, kTypeLong, 0};
    r.args[2] = {0x1122334455667788ull, kTypeInt, 0};
    EXPECT_EQ(engine::RaiseTypedEvent(&r), 1);
    EXPECT_EQ(AsInt32(last.args[0]), -32767);
    const uint64_t both = last.args[1].payload; // packed fields: copy before comparing
    const uint64_t one = last.args[2].payload;
    EXPECT_EQ(both, 0x1122334455667788ull);
    EXPECT_EQ(one, 0x55667788ull);
}

TEST_F(EventDispatch, EventSourceErrors)
{
    auto error = [](const std::function<void()>& f) -> std::string {
        try {
            f();
        } catch (const RuntimeErrorRaised& e) {
            return e.what();
        }
        return {};
    };
    EventRecord r;
    r.windowId = 0x52010009;
    EXPECT_EQ(error([&] { engine::RaiseEvent(&r); }), gb::kErrEventWindowMissing);
    r.windowId = kWindowId;
    r.componentId = ComponentIdOf(50);
    EXPECT_EQ(error([&] { engine::RaiseEvent(&r); }), gb::kErrEventComponentMissing);
}

} // namespace
} // namespace mt::test
