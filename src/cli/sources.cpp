// extract and find over their sources: each source read in its turn (its
// page asked for ahead of it, and read beside the others), the rule run on
// its text, and its results written before the next source's.
#include <unistd.h>

#include <algorithm>
#include <deque>

#include "cli_context.h"
#include "result_writer.h"
#include "shared/cli_messages.h"
#include "shared/console_input.h"
#include "shared/console_progress.h"
#include "shared/find_state.h"
#include "source_list.h"
#include "url_pages.h"

namespace app {
namespace {

// The texts given with the options, as runtime texts.
struct Rule {
    Owned left, right, wanted;
    bool ignoreCase = false;
};

// The source gave nothing: the window's message, and with it why when
// the rule is at hand.
int NotFound(ResultWriter& w, uint32_t literal, const RuleHint* hint = nullptr)
{
    w.notFound(literal, hint);
    return kExitMessage;
}

// Why the rule fails on the text.
RuleHint Diagnose(const Rule& r, const char* text)
{
    return DiagnoseRule(text, r.left.text(), r.right.text(), r.ignoreCase);
}

// The middle text of a single extraction, as the window finds it: the first
// left text, then the first right text behind it. Positions are 1-based.
int ExtractOne(const Rule& r, const char* text, ResultWriter& w)
{
    if (FindText(text, r.left.text(), nullptr, r.ignoreCase) == -1) {
        const RuleHint hint = Diagnose(r, text);
        return NotFound(w, lit::LeftNotFound, &hint);
    }
    if (FindText(text, r.right.text(), nullptr, r.ignoreCase) == -1) {
        const RuleHint hint = Diagnose(r, text);
        return NotFound(w, lit::RightNotFound, &hint);
    }
    const int32_t from = FindText(text, r.left.text(), nullptr, r.ignoreCase) + TextLength(r.left.text());
    // The right text is sought in what lies behind the left text, as a text
    // of its own; none there leaves the middle text empty.
    const int32_t right = FindText(text + from - 1, r.right.text(), nullptr, r.ignoreCase);
    const size_t length = right > 1 ? static_cast<size_t>(right - 1) : 0;
    if (right == -1) // perhaps the right text occurs only in front of the left
        w.remark(Diagnose(r, text));
    w.found(std::string_view(text + from - 1, length), from);
    return kExitDone;
}

// Every middle text in order: the next left text is sought right behind the
// last right text. The searches see the text from where they start on, so
// the whole run reads the text about once.
int ExtractAll(const Rule& r, const char* text, int32_t length, const CliContext& c, ResultWriter& w)
{
    // Missing texts answer as a single extraction does.
    if (FindText(text, r.left.text(), nullptr, r.ignoreCase) == -1) {
        const RuleHint hint = Diagnose(r, text);
        return NotFound(w, lit::LeftNotFound, &hint);
    }
    if (FindText(text, r.right.text(), nullptr, r.ignoreCase) == -1) {
        const RuleHint hint = Diagnose(r, text);
        return NotFound(w, lit::RightNotFound, &hint);
    }
    const int32_t leftLength = TextLength(r.left.text());
    const int32_t rightLength = TextLength(r.right.text());
    for (int32_t at = 0; at < length && !c.out.failed() && !w.enough();) {
        const int32_t left = FindText(text + at, r.left.text(), nullptr, r.ignoreCase);
        if (left == -1)
            break;
        const int32_t from = at + left - 1 + leftLength; // 0-based, behind the left text
        if (from >= length)
            break;
        const int32_t right = FindText(text + from, r.right.text(), nullptr, r.ignoreCase);
        if (right == -1)
            break;
        w.found(std::string_view(text + from, static_cast<size_t>(right - 1)), from + 1);
        at = from + right - 1 + rightLength;
    }
    return kExitDone;
}

// Positions that successive clicks of the find button select, from its
// first-search state, until nothing more is found or a position repeats.
// The window's message that ends the clicks is for a find that found
// nothing: behind the positions it would only be noise on standard error.
int Find(const Rule& r, const char* text, int32_t length, const CliContext& c, ResultWriter& w)
{
    FindState state;
    state.ignoreCase = r.ignoreCase;
    const std::string_view wanted = r.wanted.view();
    int32_t last = 0;
    for (int32_t pos = FindFirst(state, text, r.wanted.text()); pos != -1 && !c.out.failed() && !w.enough();
         pos = FindNextWithin(state, text, length, r.wanted.text())) {
        if (w.results() > 0 && pos <= last)
            break;
        // The text as it stands there: with -i it may differ from the one sought.
        w.found(std::string_view(text + pos - 1, std::min<size_t>(wanted.size(), static_cast<size_t>(length - pos + 1))), pos);
        last = pos;
    }
    return w.results() > 0 ? kExitDone : NotFound(w, lit::NotFound);
}

int RunRule(const CliContext& c, const Rule& r, const char* text, int32_t length, ResultWriter& w)
{
    text = Arg(text); // the empty text is null
    if (c.options.command == "find")
        return Find(r, text, length, c, w);
    return c.options.all ? ExtractAll(r, text, length, c, w) : ExtractOne(r, text, w);
}

// One source in its turn: read, the rule run on it, its results written.
int RunSource(const CliContext& c, const Rule& r, const Source& s, UrlPages& pages, uint64_t ticket, ResultWriter& w,
              int64_t* bytes)
{
    if (s.kind == Source::Kind::kUrl) {
        const FetchedPage page = pages.take(ticket);
        w.begin(s.name, &page);
        *bytes = page.length;
        if (page.outcome == FetchedPage::Outcome::kNotRead) {
            w.pageNotRead();
            return kExitUnreadable;
        }
        int status = RunRule(c, r, page.text.text(), page.length, w);
        w.end();
        if (page.outcome == FetchedPage::Outcome::kEndedEarly)
            status = kExitPageEnded;
        return page.status >= 400 ? kExitServerError : status;
    }
    w.begin(s.name, nullptr);
    if (s.kind == Source::Kind::kUnreadable) {
        w.failed(EchoArgument(s.name) + ": " + s.error);
        return kExitUsage;
    }
    Owned text;
    int32_t length = 0;
    std::string error;
    const std::optional<std::string> file = s.kind == Source::Kind::kFile ? std::optional(s.name) : std::nullopt;
    if (!ReadInputText(file, c.startDirectory, c.console, &text, &length, &error)) {
        w.failed(error);
        return kExitUsage;
    }
    *bytes = length;
    const int status = RunRule(c, r, text.text(), length, w);
    w.end();
    return status;
}

// Sources read ahead of their turn: always this many, and up to the most
// while pages in their turn are still coming.
constexpr size_t kFewAhead = 64;
constexpr size_t kMostAhead = size_t{1} << 16;

// A source whose page may have been asked for.
struct Pending {
    Source source;
    uint64_t ticket = 0;
};

} // namespace

int RunOnInput(const CliContext& c)
{
    const CliOptions& o = c.options;
    Rule r;
    r.ignoreCase = o.ignoreCase;
    int status = kExitDone;
    if ((o.left && !c.decodeArgument(*o.left, "--left", &r.left, &status)) ||
        (o.right && !c.decodeArgument(*o.right, "--right", &r.right, &status)) ||
        (o.text && !c.decodeArgument(*o.text, "--text", &r.wanted, &status)))
        return status;
    if (o.all && (r.left.empty() || r.right.empty())) {
        PrintError("--all needs a left and a right text that are not empty");
        return kExitUsage;
    }
    if (o.command == "find" && SameText(r.wanted.text(), Lit(lit::PromptMiddle)))
        return c.refuse(diag::MiddleIsPrompt());
    SourceList list(o, c.startDirectory);
    ResultWriter writer(c, list.named());
    ApplyRequestOptions(o);
    const std::unique_ptr<UrlPages> pages = MakeUrlPages(o);
    // One line on the terminal counts the sources done, when the results
    // go elsewhere.
    SourcesProgress progress(list.named() && !o.silent && isatty(STDERR_FILENO) && !isatty(STDOUT_FILENO));
    if (!o.sourceList && !o.recursive)
        progress.expect(static_cast<int64_t>(o.sources.size()));
    std::deque<Pending> waiting;
    bool more = true;
    uint64_t tickets = 0;
    // The next source joins the waiting ones, its page asked for.
    const auto readAhead = [&]() {
        Pending p;
        more = list.next(&p.source);
        if (!more) {
            progress.listEnded();
            return;
        }
        progress.listed();
        if (p.source.kind == Source::Kind::kUrl) {
            Owned url;
            if (c.console.decode(p.source.name, &url)) {
                p.ticket = ++tickets;
                pages->request(p.ticket, std::string(url.view()));
            } else {
                p.source.kind = Source::Kind::kUnreadable;
                p.source.error = diag::NotValid(c.console.encoding());
            }
        }
        waiting.push_back(std::move(p));
    };
    for (;;) {
        // A few sources are always read ahead; more while a page in its turn
        // is still coming and the reader has room to start others, so that
        // a stalled page holds up only its own result.
        while (more && waiting.size() < kFewAhead)
            readAhead();
        if (waiting.empty())
            break;
        const uint64_t next = waiting.front().ticket;
        if (next != 0) {
            while (more && waiting.size() < kMostAhead && !pages->wait(next))
                readAhead();
        }
        const Pending p = std::move(waiting.front());
        waiting.pop_front();
        int64_t bytes = 0;
        const int one = RunSource(c, r, p.source, *pages, p.ticket, writer, &bytes);
        status = std::max(status, one);
        progress.done(one > kExitMessage, bytes);
        if (c.out.failed())
            return status; // the reader is gone: the caller says so
    }
    return status;
}

} // namespace app
