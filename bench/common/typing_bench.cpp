#include "common/typing_bench.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>

namespace mt::bench {
namespace {

std::map<std::string, double>& Medians()
{
    static std::map<std::string, double> medians;
    return medians;
}

} // namespace

std::string MixedText(size_t bytes, bool lineBreaks)
{
    const QString line = QString::fromUtf8("<div class=\"item\"><a href=\"/p/%1\">网页源码第%1行，中间文本</a> "
                                           "left-text middle right-text 寻找文本</div>");
    std::string out;
    for (int i = 0; out.size() < bytes; ++i)
        out += platform::ToGb(line.arg(i)) + (lineBreaks ? "\r\n" : "");
    return out;
}

const std::string& FiveMiB()
{
    static const std::string text = MixedText(5u << 20, true);
    return text;
}

const std::string& OneMiBLine()
{
    static const std::string text = MixedText(1u << 20, false);
    return text;
}

const std::string& FiveMiBLine()
{
    static const std::string text = MixedText(5u << 20, false);
    return text;
}

const std::string& SixtyFourMiBLine()
{
    static const std::string text = MixedText(64u << 20, false);
    return text;
}

double Keep(const std::string& name, std::vector<double> ms)
{
    if (ms.empty())
        return -1;
    std::sort(ms.begin(), ms.end());
    return Medians()[name] = ms[ms.size() / 2];
}

void Record(benchmark::State& state, const std::string& name, std::vector<double> ms)
{
    const double median = Keep(name, std::move(ms));
    if (median >= 0)
        state.counters["median_ms"] = median;
}

double ProcessCpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double Median(const std::string& name)
{
    auto it = Medians().find(name);
    return it == Medians().end() ? -1 : it->second;
}

void PrintRatio(const char* what, const std::string& ours, const std::string& reference, int width,
                const char* against)
{
    const double a = Median(ours), b = Median(reference);
    if (a < 0 || b <= 0)
        return;
    std::printf("%-*s median %9.3f ms, %s %9.3f ms, ratio %.3f", width, what, a, against, b, a / b);
    const double ca = Median(ours + " cpu"), cb = Median(reference + " cpu");
    if (ca >= 0 && cb > 0)
        std::printf("; CPU %.3f ms vs %.3f ms, ratio %.3f", ca, cb, ca / cb);
    std::printf("\n");
}

void SendKeystroke(QWidget* w)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(w, &release);
    QApplication::processEvents();
}

} // namespace mt::bench
