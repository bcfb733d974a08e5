// What the typing benchmarks share: the texts typed into, keystroke timing
// with medians, the bare Qt widgets as the reference, and the ratio lines.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <chrono>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/application.h"
#include "platform/text_codec.h"

namespace mt::bench {

// Mixed text of at least `bytes` GB18030 bytes: lines of markup and Chinese,
// or the same run together without line breaks.
std::string MixedText(size_t bytes, bool lineBreaks);
const std::string& FiveMiB();    // with line breaks
const std::string& OneMiBLine(); // one line
const std::string& FiveMiBLine();
const std::string& SixtyFourMiBLine();

// Keeps the median of the run under `name` and shows it as a counter.
void Record(benchmark::State& state, const std::string& name, std::vector<double> ms);
// Keeps the median under `name` and returns it (negative for no samples).
double Keep(const std::string& name, std::vector<double> ms);
// CPU time of the whole process so far, in milliseconds.
double ProcessCpuMilliseconds();
// "what: median ..., bare Qt widget ..., ratio ..." when both were measured,
// with the CPU times of both when they were kept (the machine may be busy:
// wall time includes waiting for a core); `against` names the reference.
void PrintRatio(const char* what, const std::string& ours, const std::string& reference, int width = 22,
                const char* against = "bare Qt widget");
// The median recorded under `name`, or a negative number.
double Median(const std::string& name);

// Presses and releases "x" at the widget and lets the event loop paint.
void SendKeystroke(QWidget* w);

// Times each iteration's action in milliseconds after an untimed
// preparation; the median is recorded, and that of the CPU time under
// `name` + " cpu".
template <typename Action, typename Prepare>
void TimeEach(benchmark::State& state, const std::string& name, Action action, Prepare prepare)
{
    std::vector<double> ms, cpu;
    for (auto _ : state) {
        prepare();
        const double cpuStart = ProcessCpuMilliseconds();
        const auto start = std::chrono::steady_clock::now();
        action();
        const double t = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        cpu.push_back(ProcessCpuMilliseconds() - cpuStart);
        ms.push_back(t);
        state.SetIterationTime(t / 1000);
    }
    if (!cpu.empty())
        state.counters["median_cpu_ms"] = Keep(name + " cpu", std::move(cpu));
    Record(state, name, std::move(ms));
}

template <typename Keystroke>
void TimeKeystrokes(benchmark::State& state, const std::string& name, Keystroke keystroke)
{
    TimeEach(state, name, keystroke, [] {});
}

// The reference: the bare widget in a plain window, the caret in the middle
// of the text, the same keystroke, no handler.
template <typename Widget>
void TypeIntoBareWidget(benchmark::State& state, const std::string& name, const std::string& text)
{
    platform::EnsureApplication();
    QWidget top;
    top.resize(900, 640);
    auto* w = new Widget(&top);
    w->setGeometry(10, 10, 860, std::is_same_v<Widget, QLineEdit> ? 24 : 500);
    if constexpr (std::is_same_v<Widget, QLineEdit>) {
        w->setMaxLength(std::numeric_limits<int>::max()); // 32767 characters by default
        w->setText(platform::FromGb(text));
        w->setCursorPosition(static_cast<int>(w->text().size() / 2));
    } else {
        w->setPlainText(platform::FromGb(text));
        QTextCursor c = w->textCursor();
        c.setPosition(w->document()->characterCount() / 2);
        w->setTextCursor(c);
    }
    top.show();
    QApplication::setActiveWindow(&top);
    w->setFocus();
    QApplication::processEvents();
    TimeKeystrokes(state, name, [w] { SendKeystroke(w); });
}

} // namespace mt::bench
