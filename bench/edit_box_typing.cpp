// One typed character in a big edit box, through the window engine: the key
// passes the window's pre-translation, the box raises its content-changed
// event, and the handler reads Content (an engine property read: a new
// GB18030 copy of the whole text), counts its bytes and writes the count as
// a transparent label's caption, as the tool's character count does. Each
// keystroke is timed with the event loop turn that paints it; the median is
// reported against the same keystroke in the bare Qt widget.
//
//   multi-line, 5 MiB of mixed Chinese/ASCII lines
//   single-line, 1 MiB of the same without line breaks
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "components/component.h"
#include "components/edit_box_properties.h"
#include "components/property_types.h"
#include "components/trans_label_record.h"
#include "platform/application.h"
#include "platform/input_simulation.h"
#include "platform/native_window.h"
#include "platform/text_codec.h"
#include "support/engine_runtime.h"
#include "common/typing_bench.h"
#include "support/template_builder.h"
#include "windows/window_engine.h"

namespace {

using namespace mt;
using namespace mt::test;
using namespace mt::bench;

constexpr uint32_t kBox = ComponentIdOf(1);
constexpr uint32_t kCount = ComponentIdOf(2);
constexpr int32_t kContentIndex = int32_t{kCommonPropertyCount} + kEbContent;
constexpr int32_t kSelStartIndex = int32_t{kCommonPropertyCount} + kEbSelStart;
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

void TypeIntoEditBox(benchmark::State& state, const std::string& name, bool multiLine, const std::string& text)
{
    EngineRuntime runtime;
    EditBoxProperties p;
    p.multiLine = multiLine;
    p.scrollBars = multiLine ? 2 : 0;
    p.content = text;
    ComponentRecord window = WindowRecord();
    window.width = 900;
    window.height = 640;
    ComponentRecord box = EditBoxRecord(kBox, p, 10, 10, 860, multiLine ? 500 : 24);
    Bind(box, 0, 0);
    EngineRuntime::Install({Window({window, box, CountLabel()})});
    if (engine::LoadWindow(*FindWindow(engine::Descriptions(), kWindowId), false, false, nullptr) != 1) {
        state.SkipWithError("the window did not load");
        return;
    }
    SetHandler(0, &CountCharacters);
    const platform::WindowHandle boxHandle =
        static_cast<Component*>(engine::FindComponent(kWindowId, kBox))->handle();
    platform::SimulateActivation(boxHandle);
    platform::SetFocusWindow(boxHandle);
    engine::WriteProperty(kWindowId, kBox, kSelStartIndex, -1, text.size() / 2);
    platform::ProcessPendingEvents();
    TimeKeystrokes(state, name, [] {
        platform::SimulateKey('X');
        platform::ProcessPendingEvents();
    });
}

void BM_EditBox_MultiLine_5MiB(benchmark::State& s) { TypeIntoEditBox(s, "box multi 5MiB", true, FiveMiB()); }
void BM_Qt_PlainTextEdit_5MiB(benchmark::State& s) { TypeIntoBareWidget<QPlainTextEdit>(s, "qt multi 5MiB", FiveMiB()); }
void BM_EditBox_SingleLine_1MiB(benchmark::State& s) { TypeIntoEditBox(s, "box single 1MiB", false, OneMiBLine()); }
void BM_Qt_LineEdit_1MiB(benchmark::State& s) { TypeIntoBareWidget<QLineEdit>(s, "qt single 1MiB", OneMiBLine()); }

BENCHMARK(BM_EditBox_MultiLine_5MiB)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Qt_PlainTextEdit_5MiB)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditBox_SingleLine_1MiB)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Qt_LineEdit_1MiB)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\nOne keystroke through the engine, content-changed handler included (%lld handler runs):\n",
                static_cast<long long>(g_counted));
    PrintRatio("multi-line, 5 MiB", "box multi 5MiB", "qt multi 5MiB");
    PrintRatio("single-line, 1 MiB", "box single 1MiB", "qt single 1MiB");
    benchmark::Shutdown();
    return 0;
}
