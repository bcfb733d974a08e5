#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "abi/runtime_entry_table.h"
#include "frame/memory.h"
#include "frame/message_loop.h"
#include "frame/runtime_state.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "platform/application.h"
#include "platform/message_box.h"
#include "platform/testing/dialog_script.h"
#include "windows/window_engine.h"

namespace mt {
namespace {

int g_startups[2];
int g_shutdowns[2];
int g_cleanups;
std::vector<std::string> g_notices; // "<library> <code> <a is RuntimeService> <b>"
std::thread::id g_guiThread;

template <int N>
int32_t CountingNotify(int32_t code, intptr_t a, intptr_t b)
{
    if (code == kNotifyStartup)
        ++g_startups[N];
    if (code == kNotifyShutdown) {
        ++g_shutdowns[N];
        if (std::this_thread::get_id() == g_guiThread)
            std::fprintf(stderr, "library %d told on the GUI thread\n", N);
    }
    g_notices.push_back(std::to_string(N) + " " + std::to_string(code) + " " +
                        std::to_string(a == reinterpret_cast<intptr_t>(&RuntimeServiceEntry)) + " " +
                        std::to_string(b));
    return 0;
}

void CountingCleanup() { ++g_cleanups; }

class LifecycleTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_startups[0] = g_startups[1] = g_shutdowns[0] = g_shutdowns[1] = g_cleanups = 0;
        g_notices.clear();
        g_guiThread = std::this_thread::get_id();
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

TEST_F(LifecycleTest, StartupNotifiesEveryLibraryOnceInTableOrderWithTheServiceEntry)
{
    InitializeRuntime(&header_);
    EXPECT_EQ(g_notices, (std::vector<std::string>{"0 1 1 0", "1 1 1 0"}));
    EXPECT_EQ(g_shutdowns[0], 0);
}

using LifecycleDeathTest = LifecycleTest;

// The other thread's request runs shutdown on the GUI thread, which then
// ends the process with the requested code.
TEST_F(LifecycleDeathTest, ShutdownAskedFromAnotherThreadRunsOnTheGuiThread)
{
    EXPECT_EXIT(
        {
            platform::EnsureApplication();
            InitializeRuntime(&header_);
            std::thread other([] { Runtime().exit(5); });
            platform::RunEventLoop(nullptr);
            other.join();
        },
        testing::ExitedWithCode(5), "library 0 told on the GUI thread\nlibrary 1 told on the GUI thread");
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
