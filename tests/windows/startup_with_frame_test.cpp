// The start-up window through the real frame: loaded from the program
// header's template block, run by the message loop, which ends when the
// window closes.
#include <gtest/gtest.h>

#include "abi/runtime_entry_table.h"
#include "platform/top_window.h"
#include "support/engine_runtime.h"
#include "support/runtime_fixture.h"
#include "support/template_builder.h"
#include "windows/template_writer.h"
#include "windows/window_engine.h"

namespace mt::test {
namespace {

TEST(StartupWithFrame, LoadsRunsTheLoopAndEndsWhenTheWindowCloses)
{
    ComponentRecord w = WindowRecord();
    Bind(w, 0, 0);
    Bind(w, 7, 1);
    Bind(w, 1, 2);
    const std::string block = WriteTemplateBlock({Window({w, ButtonRecord(ComponentIdOf(1), "ok", 7, 301)})});
    const ProgramHeader header = MakeHeader(block, "", HandlerCodeBase());
    StartRuntime(&header);
    int created = 0, idle = 0, asked = 0;
    SetHandler(0, [&](EventCall*) { ++created; });
    SetHandler(1, [&](EventCall*) {
        if (++idle == 1) // closing the window as its close box would
            platform::RequestClose(engine::ComponentWindow(engine::FindComponent(kWindowId, 0)));
    });
    SetHandler(2, [&](EventCall*) { ++asked; });

    Runtime().loadStartupWindow(kWindowId);
    EXPECT_TRUE(engine::IsWindowLive(kWindowId));
    Runtime().messageLoop();

    EXPECT_EQ(created, 1);
    EXPECT_GE(idle, 1);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(engine::AnyWindowLive());
    StopRuntime();
    for (int k = 0; k < 3; ++k)
        SetHandler(k, nullptr);
    // Shutdown blocks events for good; later tests in this process start afresh.
    while (engine::EventBlockCount() > 0)
        engine::UnblockEvents();
    engine::SetMessageLoopEntered(false);
}

} // namespace
} // namespace mt::test
