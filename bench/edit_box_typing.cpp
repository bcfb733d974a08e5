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
#include <string>

#include "common/engine_box.h"
#include "common/typing_bench.h"
#include "platform/native_window.h"

namespace {

using namespace mt;
using namespace mt::bench;

void TypeIntoEditBox(benchmark::State& state, const std::string& name, bool multiLine, const std::string& text)
{
    EngineBox box(multiLine, text);
    if (!LoadedOrSkip(box, state))
        return;
    box.focus();
    box.placeCaret(static_cast<int64_t>(text.size() / 2));
    TimeKeystrokes(state, name, [] { PressKeyInBox('X'); });
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
                static_cast<long long>(EngineBox::Counted()));
    PrintRatio("multi-line, 5 MiB", "box multi 5MiB", "qt multi 5MiB");
    PrintRatio("single-line, 1 MiB", "box single 1MiB", "qt single 1MiB");
    benchmark::Shutdown();
    return 0;
}
