// The tool's big box on big pages, through the window engine with the
// character count (a content-changed handler that reads Content and writes
// the count label's caption), each against a bare QPlainTextEdit doing the
// same in the same run:
//
//   keystroke  in 5 MiB without line breaks, 64 MiB without, 5 MiB with them
//   paste      5 MiB and 64 MiB without line breaks, until the count shows
//              and the box is painted
//   find       a text at the end of 64 MiB without line breaks: Content read
//              and searched as the find handler does, selected, scrolled
//              into view and painted
//   find with marks  the same on a page whose last 64 KiB hold the sought
//              text every 256 bytes: the first is selected and the others
//              in view tinted, searched for in the rows in view
//   idle       CPU time while the caret blinks in a 5 MiB line, against the
//              same box holding 1 KiB (MT_IDLE_SECONDS a side, default 10)
//   memory     in child processes of this program (--memory=box|bare):
//              64 MiB of lines pasted through the clipboard, then 7
//              keystrokes; the peak RSS from the paste on, and the RSS once
//              settled (on one line the bare widget lays the whole paragraph
//              out: gigabytes and minutes; the box alone does it on one line
//              too, --memory=box-line)
//
// The bare widget lays out a whole paragraph per keystroke, seconds on one
// long line: it runs a few iterations at 5 MiB, and the 64 MiB cases print
// their ratio against that smaller size.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>

#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "commands/find_text.h"
#include "common/engine_box.h"
#include "common/typing_bench.h"
#include "platform/application.h"
#include "platform/clipboard.h"
#include "platform/edit_control.h"
#include "platform/native_window.h"
#include "platform/text_codec.h"
#include "platform/window_listener.h"

namespace {

using namespace mt;
using namespace mt::bench;

// The sought text of the find, once, at the very end of the page.
const std::string kSought = "<!-- page end -->";

const std::string& PageWithSoughtEnd()
{
    static const std::string text = SixtyFourMiBLine() + kSought;
    return text;
}

// The 64 MiB line whose last 64 KiB or so hold the sought text at the end
// of every 256 bytes; *first is where the first of them is.
const std::string& PageWithSoughtOften(size_t* first)
{
    static size_t firstAt = 0;
    static const std::string text = [] {
        const std::string& line = SixtyFourMiBLine();
        // Cut behind a whole item, so the characters stay whole.
        const size_t cut = line.rfind("</div>", line.size() - 65536) + 6;
        std::string t = line.substr(0, cut);
        const std::string block = std::string(256 - kSought.size(), 'x') + kSought;
        firstAt = cut + block.size() - kSought.size();
        while (t.size() < line.size())
            t += block;
        return t;
    }();
    *first = firstAt;
    return text;
}

const std::string& SmallPageWithSoughtEnd()
{
    static const std::string text = FiveMiBLine() + kSought;
    return text;
}

std::string CountCaptionFor(size_t bytes)
{
    return "\xB9\xB2\xBC\xC6" + std::to_string(bytes) + "\xB8\xF6\xD7\xD6\xB7\xFB\xA1\xA3"; // 共计N个字符。
}

// ---- the bare widget ------------------------------------------------------------------

// A QPlainTextEdit the size of the big box in a shown, active window.
struct BareBox {
    explicit BareBox(const std::string& gb)
    {
        platform::EnsureApplication();
        top.resize(900, 640);
        edit = new QPlainTextEdit(&top);
        edit->setGeometry(10, 10, 860, 500);
        edit->setPlainText(platform::FromGb(gb));
        top.show();
        QApplication::setActiveWindow(&top);
        edit->setFocus();
        QApplication::processEvents();
    }
    void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods, text);
        QApplication::sendEvent(edit, &release);
        QApplication::processEvents();
    }
    QWidget top;
    QPlainTextEdit* edit = nullptr;
};

// ---- keystrokes ----------------------------------------------------------------------------

// With `counting` off the handler does nothing: what is left is the
// box's own cost.
// The caret goes to the middle of the text plus `shift` bytes (the middle
// of the 64 MiB line is a segment edge, where a keystroke also lays out the
// row that continues past it).
void TypeIntoBigBox(benchmark::State& state, const std::string& name, const std::string& text, bool counting = true,
                    size_t shift = 0)
{
    EngineBox box(true, text);
    if (!LoadedOrSkip(box, state))
        return;
    if (!counting)
        box.stopCounting();
    box.focus();
    box.placeCaret(static_cast<int64_t>(text.size() / 2 + shift));
    TimeKeystrokes(state, name, [] { PressKeyInBox('X'); });
}

void BM_Box_Keystroke_5MiBLine(benchmark::State& s) { TypeIntoBigBox(s, "box key 5MiB line", FiveMiBLine()); }
void BM_Qt_Keystroke_5MiBLine(benchmark::State& s)
{
    TypeIntoBareWidget<QPlainTextEdit>(s, "qt key 5MiB line", FiveMiBLine());
}
void BM_Box_Keystroke_64MiBLine(benchmark::State& s) { TypeIntoBigBox(s, "box key 64MiB line", SixtyFourMiBLine()); }
void BM_Box_Keystroke_5MiBLines(benchmark::State& s) { TypeIntoBigBox(s, "box key 5MiB lines", FiveMiB()); }
void BM_Box_KeystrokeUncounted_64MiBLine(benchmark::State& s)
{
    TypeIntoBigBox(s, "box key 64MiB line uncounted", SixtyFourMiBLine(), false);
}
void BM_Box_KeystrokeUncountedInSegment_64MiBLine(benchmark::State& s)
{
    TypeIntoBigBox(s, "box key 64MiB line uncounted, inside a segment", SixtyFourMiBLine(), false, 700);
}
void BM_Box_KeystrokeUncounted_5MiBLines(benchmark::State& s)
{
    TypeIntoBigBox(s, "box key 5MiB lines uncounted", FiveMiB(), false);
}
void BM_Qt_Keystroke_5MiBLines(benchmark::State& s)
{
    TypeIntoBareWidget<QPlainTextEdit>(s, "qt key 5MiB lines", FiveMiB());
}

// ---- paste --------------------------------------------------------------------------------------

void PasteIntoBigBox(benchmark::State& state, const std::string& name, const std::string& text)
{
    EngineBox box(true, "");
    if (!box.loaded() || !platform::SetClipboardText(text)) {
        state.SkipWithError("no window or no clipboard");
        return;
    }
    box.focus();
    TimeEach(
        state, name, [] { PressKeyInBox('V', platform::kKeyStateCtrl); },
        [&box] {
            box.setContent("");
            platform::ProcessPendingEvents();
        });
    if (box.countCaption() != CountCaptionFor(text.size()))
        state.SkipWithError("the count does not show the pasted bytes");
}

void PasteIntoBareWidget(benchmark::State& state, const std::string& name, const std::string& text)
{
    BareBox bare("");
    if (!platform::SetClipboardText(text)) {
        state.SkipWithError("no clipboard");
        return;
    }
    TimeEach(
        state, name, [&bare] { bare.press(Qt::Key_V, Qt::ControlModifier); },
        [&bare] {
            bare.edit->clear();
            QApplication::processEvents();
        });
}

void BM_Box_Paste_5MiBLine(benchmark::State& s) { PasteIntoBigBox(s, "box paste 5MiB line", FiveMiBLine()); }
void BM_Qt_Paste_5MiBLine(benchmark::State& s) { PasteIntoBareWidget(s, "qt paste 5MiB line", FiveMiBLine()); }
void BM_Box_Paste_64MiBLine(benchmark::State& s) { PasteIntoBigBox(s, "box paste 64MiB line", SixtyFourMiBLine()); }

// ---- find --------------------------------------------------------------------------------------------

void FindInBigBox(benchmark::State& state, const std::string& name, const std::string& text)
{
    EngineBox box(true, text);
    if (!LoadedOrSkip(box, state))
        return;
    box.focus();
    int64_t found = -1;
    std::vector<double> selecting; // the part after the search
    TimeEach(
        state, name,
        [&] {
            const auto content = box.readContent();
            found = content ? FindTextOffsetInTerminated(content.get(), kSought, 0, false) : -1;
            const auto start = std::chrono::steady_clock::now();
            box.select(found, static_cast<int64_t>(kSought.size()));
            platform::ProcessPendingEvents();
            selecting.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        },
        [&box] {
            box.select(0, 0); // back to the top
            platform::ProcessPendingEvents();
        });
    Keep(name + " select", std::move(selecting));
    if (found != static_cast<int64_t>(text.size() - kSought.size()))
        state.SkipWithError("the sought text was not found at the end");
}

void FindInBareWidget(benchmark::State& state, const std::string& name, const std::string& text)
{
    BareBox bare(text);
    const QString sought = QString::fromLatin1(kSought.data(), static_cast<qsizetype>(kSought.size()));
    TimeEach(
        state, name,
        [&] {
            bare.edit->find(sought); // selects and scrolls into view
            QApplication::processEvents();
        },
        [&] {
            bare.edit->moveCursor(QTextCursor::Start);
            QApplication::processEvents();
        });
}

int64_t SearchWholeCharacters(std::string_view text, std::string_view sought)
{
    return FindTextOffset(text, sought, 0, false);
}

// As the find handler does (through its command): searched, selected, then
// the sought text handed to the view, which tints the occurrences in view as it paints.
void FindWithMarksInBigBox(benchmark::State& state, const std::string& name)
{
    size_t first = 0;
    const std::string& text = PageWithSoughtOften(&first);
    EngineBox box(true, text);
    if (!LoadedOrSkip(box, state))
        return;
    box.focus();
    platform::EditControl* edit = platform::EditControlOf(box.handle());
    int64_t found = -1;
    TimeEach(
        state, name,
        [&] {
            const auto content = box.readContent();
            found = content ? FindTextOffsetInTerminated(content.get(), kSought, 0, false) : -1;
            box.select(found, static_cast<int64_t>(kSought.size()));
            edit->setMarks({{}, kSought, SearchWholeCharacters, -1});
            platform::ProcessPendingEvents();
        },
        [&] {
            box.select(0, 0);
            edit->setMarks({});
            platform::ProcessPendingEvents();
        });
    if (found != static_cast<int64_t>(first))
        state.SkipWithError("the sought text was not found where it was put first");
}

void BM_Box_FindMarked_64MiBLine(benchmark::State& s)
{
    FindWithMarksInBigBox(s, "box find marked 64MiB line");
}

void BM_Box_Find_64MiBLine(benchmark::State& s) { FindInBigBox(s, "box find 64MiB line", PageWithSoughtEnd()); }
void BM_Qt_Find_5MiBLine(benchmark::State& s) { FindInBareWidget(s, "qt find 5MiB line", SmallPageWithSoughtEnd()); }

// ---- idle ------------------------------------------------------------------------------------------------

int IdleSeconds()
{
    const char* s = std::getenv("MT_IDLE_SECONDS");
    const int n = s ? std::atoi(s) : 0;
    return n > 0 ? n : 10;
}

// CPU time while the event loop runs with the focused box's caret blinking
// in the middle of the text.
void IdleInBigBox(benchmark::State& state, const std::string& name, const std::string& text)
{
    EngineBox box(true, text);
    if (!LoadedOrSkip(box, state))
        return;
    box.focus();
    box.placeCaret(static_cast<int64_t>(text.size() / 2));
    std::vector<double> ms;
    for (auto _ : state) {
        const double before = ProcessCpuMilliseconds();
        QEventLoop loop;
        QTimer::singleShot(IdleSeconds() * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        ms.push_back(ProcessCpuMilliseconds() - before);
        state.SetIterationTime(ms.back() / 1000);
    }
    Record(state, name, std::move(ms));
}

void BM_Box_Idle_5MiBLine(benchmark::State& s) { IdleInBigBox(s, "box idle 5MiB line", FiveMiBLine()); }
void BM_Box_Idle_1KiB(benchmark::State& s) { IdleInBigBox(s, "box idle 1KiB", MixedText(1024, false)); }

// ---- memory, in child processes -----------------------------------------------------------------------------

// VmHWM and VmRSS of this process, in KiB.
void ReadRss(long* peak, long* now)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            *peak = std::atol(line.c_str() + 6);
        else if (line.rfind("VmRSS:", 0) == 0)
            *now = std::atol(line.c_str() + 6);
    }
}

// The child: 64 MiB of lines on the clipboard, the peak reset, then the paste and 7
// keystrokes in the box or the bare widget; the event loop runs two and a
// half seconds more to let it settle. Prints "peak settled before" in KiB, "before"
// being the RSS with the clipboard filled, ahead of the paste.
int MeasureMemory(bool box, bool lineBreaks)
{
    platform::EnsureApplication();
    if (!platform::SetClipboardText(MixedText(64u << 20, lineBreaks)))
        return 1;
    std::unique_ptr<EngineBox> engineBox;
    std::unique_ptr<BareBox> bare;
    if (box) {
        engineBox = std::make_unique<EngineBox>(true, "");
        engineBox->focus();
    } else {
        bare = std::make_unique<BareBox>("");
    }
    platform::ProcessPendingEvents();
    malloc_trim(0); // the clipboard's making is no part of the measure
    long peak = 0, before = 0, settled = 0;
    ReadRss(&peak, &before);
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts here
    if (box) {
        PressKeyInBox('V', platform::kKeyStateCtrl);
        for (int i = 0; i < 7; ++i)
            PressKeyInBox('X');
    } else {
        bare->press(Qt::Key_V, Qt::ControlModifier);
        for (int i = 0; i < 7; ++i)
            bare->press(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    }
    // The program's own event loop, which returns free heap pages after a
    // quiet second.
    QTimer::singleShot(2500, [] { platform::PostQuit(0); });
    platform::RunEventLoop(nullptr);
    ReadRss(&peak, &settled);
    std::printf("%ld %ld %ld\n", peak, settled, before);
    return 0;
}

std::map<std::string, std::pair<double, double>>& MemoryResults()
{
    static std::map<std::string, std::pair<double, double>> results;
    return results;
}

std::string g_self;

void MemoryOf(benchmark::State& state, const char* which)
{
    for (auto _ : state) {
        const std::string command = "'" + g_self + "' --memory=" + which;
        FILE* child = popen(command.c_str(), "r");
        long peak = 0, settled = 0, before = 0;
        const bool read = child && std::fscanf(child, "%ld %ld %ld", &peak, &settled, &before) == 3;
        if (child)
            pclose(child);
        if (!read) {
            state.SkipWithError("the child measured nothing");
            return;
        }
        state.counters["peak_MB"] = peak / 1024.0;
        state.counters["settled_MB"] = settled / 1024.0;
        state.counters["before_paste_MB"] = before / 1024.0;
        MemoryResults()[which] = {peak / 1024.0, settled / 1024.0};
    }
}

void BM_Box_Memory_Paste64MiB(benchmark::State& s) { MemoryOf(s, "box"); }
void BM_Box_Memory_Paste64MiBLine(benchmark::State& s) { MemoryOf(s, "box-line"); }
void BM_Qt_Memory_Paste64MiB(benchmark::State& s) { MemoryOf(s, "bare"); }

BENCHMARK(BM_Box_Keystroke_5MiBLine)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Qt_Keystroke_5MiBLine)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Box_Keystroke_64MiBLine)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Box_Keystroke_5MiBLines)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Qt_Keystroke_5MiBLines)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Box_KeystrokeUncounted_64MiBLine)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Box_KeystrokeUncountedInSegment_64MiBLine)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Box_KeystrokeUncounted_5MiBLines)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Box_Paste_5MiBLine)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Qt_Paste_5MiBLine)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Box_Paste_64MiBLine)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Box_Find_64MiBLine)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Box_FindMarked_64MiBLine)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Qt_Find_5MiBLine)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Box_Idle_5MiBLine)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Box_Idle_1KiB)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Box_Memory_Paste64MiB)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Qt_Memory_Paste64MiB)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Box_Memory_Paste64MiBLine)->Iterations(1)->Unit(benchmark::kMillisecond);

void PrintMemory()
{
    const auto& r = MemoryResults();
    if (r.count("box") == 0 || r.count("bare") == 0)
        return;
    const auto [boxPeak, boxSettled] = r.at("box");
    const auto [barePeak, bareSettled] = r.at("bare");
    std::printf("%-30s box %8.1f MB, bare Qt widget %8.1f MB, ratio %.2f\n", "memory, peak from the paste on",
                boxPeak, barePeak, boxPeak / barePeak);
    std::printf("%-30s box %8.1f MB, bare Qt widget %8.1f MB, ratio %.2f\n", "memory, settled", boxSettled,
                bareSettled, boxSettled / bareSettled);
    if (r.count("box-line"))
        std::printf("%-30s box %8.1f MB peak, %8.1f MB settled\n", "memory, 64 MiB on one line", r.at("box-line").first,
                    r.at("box-line").second);
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc == 2 && std::strncmp(argv[1], "--memory=", 9) == 0)
        return MeasureMemory(std::strncmp(argv[1] + 9, "box", 3) == 0, std::strcmp(argv[1] + 9, "box-line") != 0);
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    g_self.assign(self, n > 0 ? static_cast<size_t>(n) : 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\nThe big box through the engine, count handler included (%lld handler runs):\n",
                static_cast<long long>(EngineBox::Counted()));
    const int w = 30;
    PrintRatio("keystroke, 5 MiB one line", "box key 5MiB line", "qt key 5MiB line", w);
    PrintRatio("keystroke, 64 MiB one line", "box key 64MiB line", "qt key 5MiB line", w, "bare Qt widget at 5 MiB");
    PrintRatio("keystroke, 5 MiB in lines", "box key 5MiB lines", "qt key 5MiB lines", w);
    PrintRatio("  the same without the count", "box key 5MiB lines uncounted", "qt key 5MiB lines", w);
    PrintRatio("keystroke, 64 MiB, no count", "box key 64MiB line uncounted", "qt key 5MiB line", w,
               "bare Qt widget at 5 MiB");
    PrintRatio("paste, 5 MiB one line", "box paste 5MiB line", "qt paste 5MiB line", w);
    PrintRatio("paste, 64 MiB one line", "box paste 64MiB line", "qt paste 5MiB line", w, "bare Qt widget at 5 MiB");
    PrintRatio("find at the end, 64 MiB line", "box find 64MiB line", "qt find 5MiB line", w, "bare Qt widget at 5 MiB");
    if (Median("box find 64MiB line select") >= 0)
        std::printf("%-*s median %9.3f ms\n", w, "  of it select, scroll, paint", Median("box find 64MiB line select"));
    PrintRatio("find with marks, 64 MiB line", "box find marked 64MiB line", "qt find 5MiB line", w,
               "bare Qt widget at 5 MiB");
    if (Median("box find marked 64MiB line") >= 0)
        std::printf("%-*s median %9.3f ms (goal < 30 ms)\n", w, "  find with marks", Median("box find marked 64MiB line"));
    char idle[64];
    std::snprintf(idle, sizeof idle, "idle CPU over %d s, 5 MiB line", IdleSeconds());
    PrintRatio(idle, "box idle 5MiB line", "box idle 1KiB", w, "holding 1 KiB");
    PrintMemory();
    benchmark::Shutdown();
    return 0;
}
