#include "common/engine_box.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "components/component.h"
#include "components/edit_box_properties.h"
#include "components/property_types.h"
#include "components/trans_label_record.h"
#include "platform/application.h"
#include "platform/native_window.h"
#include "platform/testing/input_simulation.h"
#include "support/template_builder.h"
#include "windows/window_engine.h"

namespace mt::bench {
namespace {

using test::ComponentIdOf;
using test::kWindowId;

constexpr uint32_t kBox = ComponentIdOf(1);
constexpr uint32_t kCount = ComponentIdOf(2);
constexpr int32_t kContentIndex = int32_t{kCommonPropertyCount} + kEbContent;
constexpr int32_t kSelStartIndex = int32_t{kCommonPropertyCount} + kEbSelStart;
constexpr int32_t kSelLengthIndex = int32_t{kCommonPropertyCount} + kEbSelLength;
constexpr int32_t kCaptionIndex = int32_t{kCommonPropertyCount}; // the label's Caption

// The count label, red and centred as in the tool's window.
ComponentRecord CountLabel()
{
    ComponentRecord r;
    r.id = kCount;
    r.kind = 0x00020005;
    r.left = 410;
    r.top = 540;
    r.width = 111;
    r.height = 32;
    r.state = 0x11;
    r.mousePointer = std::string(4, '\0');
    TransLabelProperties p = TransLabelProperties::Defaults();
    p.textColor = 0x0000FF;
    p.horzAlign = 1;
    r.properties = WriteTransLabelRecord(p).data();
    return r;
}

int64_t g_counted = 0;

// The character count: read Content, count it, write the caption.
void CountCharacters(EventCall*)
{
    char* text = reinterpret_cast<char*>(engine::ReadProperty(kWindowId, kBox, kContentIndex, -1));
    const size_t n = text ? std::strlen(text) : 0;
    std::free(text);
    char caption[64];
    std::snprintf(caption, sizeof caption, "\xB9\xB2\xBC\xC6%zu\xB8\xF6\xD7\xD6\xB7\xFB\xA1\xA3", n); // 共计N个字符。
    engine::WriteProperty(kWindowId, kCount, kCaptionIndex, -1, reinterpret_cast<uintptr_t>(caption));
    ++g_counted;
}

} // namespace

EngineBox::EngineBox(bool multiLine, const std::string& gb)
{
    platform::EnsureApplication();
    EditBoxProperties p;
    p.multiLine = multiLine;
    p.scrollBars = multiLine ? 2 : 0;
    p.content = gb;
    ComponentRecord window = test::WindowRecord();
    window.width = 900;
    window.height = 640;
    ComponentRecord box = test::EditBoxRecord(kBox, p, 10, 10, 860, multiLine ? 500 : 24);
    test::Bind(box, 0, 0);
    test::EngineRuntime::Install({test::Window({window, box, CountLabel()})});
    loaded_ = engine::LoadWindow(*FindWindow(engine::Descriptions(), kWindowId), false, false, nullptr) == 1;
    test::SetHandler(0, &CountCharacters);
}

EngineBox::~EngineBox()
{
    engine::ReleaseDescriptions();
    platform::FlushDestroyedWindows();
    platform::ProcessPendingEvents();
}

platform::WindowHandle EngineBox::handle() const
{
    auto* box = static_cast<Component*>(engine::FindComponent(kWindowId, kBox));
    return box ? box->handle() : nullptr;
}

void EngineBox::focus()
{
    platform::SimulateActivation(handle());
    platform::SetFocusWindow(handle());
    platform::ProcessPendingEvents();
}

std::unique_ptr<char, void (*)(void*)> EngineBox::readContent() const
{
    return {reinterpret_cast<char*>(engine::ReadProperty(kWindowId, kBox, kContentIndex, -1)), &std::free};
}

void EngineBox::stopCounting()
{
    test::SetHandler(0, [](EventCall*) {});
}

void EngineBox::setContent(const std::string& gb)
{
    engine::WriteProperty(kWindowId, kBox, kContentIndex, -1, reinterpret_cast<uintptr_t>(gb.c_str()));
}

void EngineBox::select(int64_t start, int64_t length)
{
    engine::WriteProperty(kWindowId, kBox, kSelStartIndex, -1, static_cast<uint32_t>(start));
    engine::WriteProperty(kWindowId, kBox, kSelLengthIndex, -1, static_cast<uint32_t>(length));
}

void EngineBox::placeCaret(int64_t pos)
{
    select(pos, 0);
    platform::ProcessPendingEvents();
}

bool LoadedOrSkip(const EngineBox& box, benchmark::State& state)
{
    if (!box.loaded())
        state.SkipWithError("the window did not load");
    return box.loaded();
}

std::string EngineBox::countCaption() const
{
    char* text = reinterpret_cast<char*>(engine::ReadProperty(kWindowId, kCount, kCaptionIndex, -1));
    std::string s = text ? text : "";
    std::free(text);
    return s;
}

int64_t EngineBox::Counted() { return g_counted; }

void PressKeyInBox(int32_t virtualKey, int32_t keyState)
{
    platform::SimulateKey(virtualKey, keyState);
    platform::ProcessPendingEvents();
}

} // namespace mt::bench
