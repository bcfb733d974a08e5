#include <gtest/gtest.h>

#include "frame/memory.h"
#include "frame/message_loop.h"
#include "frame/runtime_entry_table.h"
#include "frame/runtime_state.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "platform/message_box.h"
#include "windows/window_engine.h"

namespace mt {
namespace {

int g_startups[2];
int g_shutdowns[2];
int g_cleanups;

template <int N>
int32_t CountingNotify(int32_t code, intptr_t, intptr_t)
{
    if (code == kNotifyStartup)
        ++g_startups[N];
    if (code == kNotifyShutdown)
        ++g_shutdowns[N];
    return 0;
}

void CountingCleanup() { ++g_cleanups; }

class LifecycleTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_startups[0] = g_startups[1] = g_shutdowns[0] = g_shutdowns[1] = g_cleanups = 0;
        first_.notify = CountingNotify<0>;
        second_.notify = CountingNotify<1>;
        header_.libraryCount = 4;
        header_.libraries = table_;
        platform::ScriptMessageBoxes({});
    }
    void TearDown() override
    {
        Shutdown(0);
        ClearStaticRanges();
        platform::EndDialogScript();
    }
    LibraryRecord first_{}, second_{}, silent_{};
    // A null entry and a library without a notification entry are skipped.
    const LibraryRecord* table_[4] = {&first_, nullptr, &silent_, &second_};
    ProgramHeader header_{};
};

TEST_F(LifecycleTest, StartupNotifiesEveryLibraryOnceInTableOrder)
{
    InitializeRuntime(&header_);
    EXPECT_EQ(g_startups[0], 1);
    EXPECT_EQ(g_startups[1], 1);
    EXPECT_EQ(g_shutdowns[0], 0);
}

TEST_F(LifecycleTest, ShutdownRunTwiceReleasesNothingTwice)
{
    InitializeRuntime(&header_);
    Runtime().auxiliaryCall(3, reinterpret_cast<uintptr_t>(&CountingCleanup), 0, 0, 0);
    Shutdown(0);
    Shutdown(0); // the runtime state's destructor runs it once more
    EXPECT_EQ(g_cleanups, 1);
    EXPECT_EQ(g_shutdowns[0], 1);
    EXPECT_EQ(g_shutdowns[1], 1);
    EXPECT_TRUE(RuntimeState().libraries.empty());
}

TEST_F(LifecycleTest, HeaderWordsAreCopiedAndTheNextSerialFollowsTheHighest)
{
    header_.programMode = 3;
    header_.reserved = 9;
    header_.highestSerial = 0x100e1;
    InitializeRuntime(&header_);
    EXPECT_EQ(RuntimeState().programMode, 3);
    EXPECT_EQ(RuntimeState().reservedWord, 9);
    EXPECT_EQ(RuntimeState().nextSerial, 0x100e2u);
}

TEST_F(LifecycleTest, TemplateSizeZeroLoadsNoWindows)
{
    InitializeRuntime(&header_);
    EXPECT_TRUE(engine::Descriptions().empty());
}

TEST_F(LifecycleTest, ConstantsSizeZeroRegistersNoStaticRange)
{
    static const uint8_t constants[4] = {};
    header_.constants = constants;
    header_.constantsSize = 0;
    InitializeRuntime(&header_);
    EXPECT_EQ(StaticRangeEnd(constants), nullptr);
    Shutdown(0);
    header_.constantsSize = 4;
    InitializeRuntime(&header_);
    EXPECT_EQ(StaticRangeEnd(constants), constants + 4);
}

TEST_F(LifecycleTest, TheMessageLoopReturnsAtOnceWithoutALiveWindow)
{
    InitializeRuntime(&header_);
    RunMessageLoop(); // would block forever if it ran the loop
    SUCCEED();
}

} // namespace
} // namespace mt
