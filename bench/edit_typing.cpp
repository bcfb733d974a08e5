// One typed character in a big edit box whose change report reads the whole
// text and writes a caption, as the tool's character count does, against
// the same keystroke in the bare Qt widget. Each keystroke is timed with the
// event loop turn that paints it; the median is reported.
//
//   multi-line, 5 MiB of mixed Chinese/ASCII lines
//   single-line, 1 MiB of minified text (no line breaks; Qt lays the whole
//   line out on every change)
//   multi-line holding one 1 MiB line (Qt lays the whole line out)
//   for scale: converting the whole text on every read, as without the mirror
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

#include "platform/application.h"
#include "platform/edit_control.h"
#include "platform/label_surface.h"
#include "platform/native_window.h"
#include "platform/text_codec.h"

#include "common/typing_bench.h"

namespace {

using namespace mt::platform;
using namespace mt::bench;

struct Quiet : WindowListener {};

struct Window {
    Quiet quiet;
    std::unique_ptr<QWidget> top;
    Window()
    {
        EnsureApplication();
        top = std::make_unique<QWidget>();
        RegisterWindow(top.get(), &quiet);
        top->resize(900, 600);
        top->show();
        QApplication::setActiveWindow(top.get());
        QApplication::processEvents();
    }
    WindowHandle handle() const { return reinterpret_cast<WindowHandle>(top.get()); }
};

// The tool's count handler: read the whole text (a copy of it, as a
// property read hands out), take its length as the text length command
// does, and write the caption to a transparent label.
struct CountHandler : WindowListener, EditNotices {
    EditControl* edit = nullptr;
    LabelSurface* label = nullptr;
    void textChanged() override
    {
        const std::string& bytes = edit->text();
        char* copy = static_cast<char*>(std::malloc(bytes.size() + 1));
        std::memcpy(copy, bytes.data(), bytes.size() + 1);
        char caption[64];
        std::snprintf(caption, sizeof caption, "\xB9\xB2\xBC\xC6%zu\xB8\xF6\xD7\xD6\xB7\xFB\xA1\xA3", std::strlen(copy));
        std::free(copy);
        label->setText(caption); // 共计N个字符。
    }
};

void TypeIntoControl(benchmark::State& state, const std::string& name, bool multiLine, const std::string& text)
{
    Window window;
    CountHandler handler;
    EditOptions options;
    options.multiLine = multiLine;
    options.scrollBars = multiLine ? 2 : 0;
    const WindowHandle box = CreateEditControl(window.handle(), {10, 10, 860, multiLine ? 500 : 24}, options, text,
                                               &handler, &handler);
    const WindowHandle caption = CreateLabelSurface(window.handle(), {10, 540, 400, 24}, {}, "", &handler);
    ShowWindow(box, true);
    ShowWindow(caption, true);
    handler.edit = EditControlOf(box);
    handler.label = LabelSurfaceOf(caption);
    SetFocusWindow(box);
    handler.edit->select(static_cast<int64_t>(text.size() / 2), 0);
    QApplication::processEvents();
    QWidget* w = reinterpret_cast<QWidget*>(box);
    TimeKeystrokes(state, name, [w] { SendKeystroke(w); });
}

void BM_Control_MultiLine_5MiB(benchmark::State& s) { TypeIntoControl(s, "control multi 5MiB", true, FiveMiB()); }
void BM_Qt_PlainTextEdit_5MiB(benchmark::State& s) { TypeIntoBareWidget<QPlainTextEdit>(s, "qt multi 5MiB", FiveMiB()); }
void BM_Control_SingleLine_1MiB(benchmark::State& s) { TypeIntoControl(s, "control single 1MiB", false, OneMiBLine()); }
void BM_Qt_LineEdit_1MiB(benchmark::State& s) { TypeIntoBareWidget<QLineEdit>(s, "qt single 1MiB", OneMiBLine()); }
void BM_Control_MultiLine_OneLine_1MiB(benchmark::State& s)
{
    TypeIntoControl(s, "control multi one-line 1MiB", true, OneMiBLine());
}
void BM_Qt_PlainTextEdit_OneLine_1MiB(benchmark::State& s)
{
    TypeIntoBareWidget<QPlainTextEdit>(s, "qt multi one-line 1MiB", OneMiBLine());
}

// What every read would cost without the mirror: the whole text out of the
// widget and converted.
void BM_ConvertWholeText_5MiB(benchmark::State& state)
{
    Window window;
    QPlainTextEdit w(window.top.get());
    w.setPlainText(FromGb(FiveMiB()));
    TimeKeystrokes(state, "convert on read 5MiB", [&w] { benchmark::DoNotOptimize(ToGb(w.toPlainText())); });
}

BENCHMARK(BM_Control_MultiLine_5MiB)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Qt_PlainTextEdit_5MiB)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Control_SingleLine_1MiB)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Qt_LineEdit_1MiB)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Control_MultiLine_OneLine_1MiB)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Qt_PlainTextEdit_OneLine_1MiB)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertWholeText_5MiB)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\nOne keystroke, count handler and label included:\n");
    PrintRatio("multi-line, 5 MiB", "control multi 5MiB", "qt multi 5MiB", 36);
    PrintRatio("single-line, 1 MiB", "control single 1MiB", "qt single 1MiB", 36);
    PrintRatio("multi-line, one 1 MiB line", "control multi one-line 1MiB", "qt multi one-line 1MiB", 36);
    if (Median("convert on read 5MiB") >= 0)
        std::printf("%-36s median %8.3f ms per read\n", "without the mirror: convert, 5 MiB", Median("convert on read 5MiB"));
    benchmark::Shutdown();
    return 0;
}
