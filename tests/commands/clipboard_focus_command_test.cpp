#include <gtest/gtest.h>

#include <map>

#include "command_call.h"
#include "commands/box_notice_command.h"
#include "commands/clipboard_command.h"
#include "commands/focus_command.h"
#include "frame/frame_texts.h"
#include "frame/runtime_error.h"
#include "frame/startup.h"
#include "platform/clipboard.h"
#include "platform/edit_test_support.h"
#include "support/dialog_capture.h"
#include "support/malloc_service.h"
#include "support/runtime_fixture.h"
#include "support/template_builder.h"
#include "windows/window_engine.h"

namespace mt {
namespace {

bool SetClipboard(std::vector<ValueRecord> args)
{
    const ValueRecord result = test::CallCommand(SetClipboardText, std::move(args));
    EXPECT_EQ(result.type, kTypeBool);
    return AsBool(result);
}

// Answers the component lookups from a table, as the window engine does,
// and hands every other code to the service installed before it.
class ComponentTable {
public:
    ComponentTable() : previous_(svc::Service())
    {
        Current() = this;
        svc::SetService(&Serve);
    }
    ~ComponentTable() { svc::SetService(previous_); }

    std::map<std::pair<uint32_t, uint32_t>, platform::WindowHandle> windows;

private:
    static ComponentTable*& Current()
    {
        static ComponentTable* table = nullptr;
        return table;
    }
    static int64_t Serve(int32_t code, intptr_t a, intptr_t b)
    {
        ComponentTable& t = *Current();
        if (code == kSvcFindComponentOrFail) {
            auto it = t.windows.find({static_cast<uint32_t>(a), static_cast<uint32_t>(b)});
            if (it == t.windows.end())
                return t.previous_(kSvcRuntimeError, reinterpret_cast<intptr_t>("no such component"), 0);
            return reinterpret_cast<intptr_t>(&it->second);
        }
        if (code == kSvcComponentHandle)
            return reinterpret_cast<intptr_t>(*reinterpret_cast<platform::WindowHandle*>(a));
        return t.previous_(code, a, b);
    }

    RuntimeService previous_;
};

TEST(SetClipboardTextCommand, PutsTextAndTheEmptyText)
{
    platform::EnsureApplication();
    EXPECT_TRUE(SetClipboard({MakePointer("\xD6\xD0\xCE\xC4", kTypeText)})); // 中文
    EXPECT_EQ(platform::ClipboardText(), "\xD6\xD0\xCE\xC4");
    EXPECT_TRUE(SetClipboard({MakePointer("", kTypeText)}));
    EXPECT_TRUE(platform::ClipboardHasText());
    EXPECT_EQ(platform::ClipboardText(), "");
    EXPECT_TRUE(SetClipboard({MakePointer("x", kTypeText)}));
    EXPECT_TRUE(SetClipboard({MakePointer(nullptr, kTypeText)}));
    EXPECT_EQ(platform::ClipboardText(), "");
}

TEST(SetComponentFocusCommand, FocusesTheComponentsWindowOrRaisesTheError)
{
    test::MallocService heap;
    ComponentTable table;
    platform::test::Recorder recorder;
    auto window = platform::test::MakeWindow();
    const auto first = platform::test::MakeEdit(window.get(), &recorder)->handle();
    const auto second = platform::test::MakeEdit(window.get(), &recorder, {}, "", {0, 40, 100, 24})->handle();
    table.windows[{0x52010001, 0x16010002}] = first;
    table.windows[{0x52010001, 0x16010003}] = second;
    platform::SetFocusWindow(first);

    test::CallCommand(SetComponentFocus, {MakeComponentRef(0x52010001, 0x16010003, 0x00010005)});
    EXPECT_EQ(platform::FocusWindow(), second);

    EXPECT_THROW(test::CallCommand(SetComponentFocus, {MakeComponentRef(0x52010001, 0x16019999, 0x00010005)}),
                 test::RuntimeError);
    EXPECT_EQ(platform::FocusWindow(), second);
}

// The notice is set on a multi-line box and cleared by an empty text, an
// omitted one or the next change of the text; the text stays as it was. A
// single-line box shows none and answers false.
TEST(BoxNoticeCommand, SetsAndClearsTheNoticeOfAMultiLineBoxOnly)
{
    test::MallocService heap;
    ComponentTable table;
    platform::test::Recorder recorder;
    auto window = platform::test::MakeWindow();
    platform::EditOptions multi;
    multi.multiLine = true;
    platform::EditControl* big = platform::test::MakeEdit(window.get(), &recorder, multi, "page", {0, 0, 200, 100});
    platform::EditControl* line = platform::test::MakeEdit(window.get(), &recorder, {}, "", {0, 120, 100, 24});
    table.windows[{0x52010001, 0x16010002}] = big->handle();
    table.windows[{0x52010001, 0x16010003}] = line->handle();
    const ValueRecord bigRef = MakeComponentRef(0x52010001, 0x16010002, 0x00010005);
    const char* const notice = "·þÎñÆ÷ 404"; // 服务器 404
    const struct {
        const char* name;
        std::vector<ValueRecord> clear; // empty: the text changes instead
    } clears[] = {
        {"empty text", {bigRef, MakePointer("", kTypeText)}},
        {"null text", {bigRef, MakePointer(nullptr, kTypeText)}},
        {"omitted", {bigRef}},
        {"next edit", {}},
    };
    for (const auto& c : clears) {
        SCOPED_TRACE(c.name);
        big->setText("page");
        const ValueRecord shown = test::CallCommand(BoxNotice, {bigRef, MakePointer(notice, kTypeText)});
        EXPECT_EQ(shown.type, kTypeBool);
        EXPECT_TRUE(AsBool(shown));
        EXPECT_EQ(big->notice(), notice);
        EXPECT_EQ(big->text(), "page");
        if (c.clear.empty())
            platform::test::Type(big, QStringLiteral("x"));
        else
            EXPECT_TRUE(AsBool(test::CallCommand(BoxNotice, c.clear)));
        EXPECT_EQ(big->notice(), "");
    }
    EXPECT_FALSE(AsBool(test::CallCommand(
        BoxNotice, {MakeComponentRef(0x52010001, 0x16010003, 0x00010005), MakePointer(notice, kTypeText)})));
    EXPECT_EQ(line->notice(), "");
    EXPECT_THROW(test::CallCommand(BoxNotice, {MakeComponentRef(0x52010001, 0x16019999, 0x00010005),
                                               MakePointer(notice, kTypeText)}),
                 test::RuntimeError);
}

// Through the runtime's own lookup: a window that is not loaded, and a
// component that is not in a live window, end the program with the message.
TEST(SetComponentFocusDeathTest, AMissingComponentIsARuntimeErrorOfTheRuntime)
{
    for (const bool windowLive : {false, true}) {
        EXPECT_EXIT(
            {
                test::EchoMessageBoxesToStderr();
                const ProgramHeader header = test::MakeHeader("", "");
                InitializeRuntime(&header);
                engine::InstallDescriptions({test::Window({test::WindowRecord()})});
                if (windowLive)
                    engine::LoadWindow(engine::Descriptions()[0], false, false, nullptr);
                test::CallCommand(SetComponentFocus,
                                  {MakeComponentRef(test::kWindowId, test::ComponentIdOf(1), 0x00010005)});
            },
            testing::ExitedWithCode(255), test::Hex(RuntimeErrorText(0, gb::kErrComponentMissingForLibrary)));
    }
}

} // namespace
} // namespace mt
