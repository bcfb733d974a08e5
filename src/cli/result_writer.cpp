#include "result_writer.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "abi/text_value.h"
#include "shared/cli_messages.h"
#include "shared/json_lines.h"
#include "shared/runtime_utf8.h"
#include "source_names.h"

namespace app {
namespace {

constexpr size_t kBatchBytes = size_t{64} << 10;

// The colours of --color, as grep paints: names magenta, the colon cyan,
// what was found bold red.
constexpr std::string_view kNameColor = "\x1b[35m\x1b[K";
constexpr std::string_view kColonColor = "\x1b[36m\x1b[K";
constexpr std::string_view kMatchColor = "\x1b[01;31m\x1b[K";
constexpr std::string_view kColorEnd = "\x1b[m\x1b[K";

bool UseColor(const CliOptions& o)
{
    if (!o.color || *o.color == "never")
        return false;
    if (*o.color == "always")
        return true;
    const char* term = std::getenv("TERM");
    const char* none = std::getenv("NO_COLOR");
    return isatty(STDOUT_FILENO) && !(term && std::strcmp(term, "dumb") == 0) && !(none && *none);
}

int64_t MaxCount(const CliOptions& o) { return o.maxCount ? BoundedNumber(*o.maxCount, 1, kMaxCount) : 0; }

} // namespace

ResultWriter::ResultWriter(const CliContext& context, bool named)
    : c_(context),
      named_(named || context.options.withFilename),
      prefixed_(named_ && !context.options.noFilename),
      find_(context.options.command == "find"),
      quiet_(context.options.quiet),
      names_(context.options.filesWithMatches),
      color_(UseColor(context.options)),
      maxCount_(MaxCount(context.options))
{
}

std::string ResultWriter::who() const { return named_ || name_ != "-" ? name_ : std::string(); }

void ResultWriter::begin(const std::string& name, const FetchedPage* page)
{
    name_ = name;
    page_ = page;
    results_ = 0;
    remark_ = RuleHint();
}

void ResultWriter::remark(RuleHint hint) { remark_ = std::move(hint); }

// The source's name in UTF-8, from the terminal's bytes (or GB18030 with
// --gbk); bytes that do not decode are left to the JSON writer.
std::string ResultWriter::jsonSource(bool* lossy) const
{
    return SourceNameUtf8(c_.console, name_, lossy);
}

void ResultWriter::record(std::string_view content)
{
    const CliOptions& o = c_.options;
    if (quiet_)
        return;
    std::string line;
    if (prefixed_ && color_)
        line.append(kNameColor).append(name_).append(kColorEnd).append(kColonColor).append(":").append(kColorEnd);
    else if (prefixed_)
        line = name_ + ":";
    // The middle text in colour; positions and counts are not what was found.
    if (color_ && !content.empty() && !find_ && !o.count)
        line.append(kMatchColor).append(content).append(kColorEnd);
    else
        line += content;
    if (o.zero)
        line += '\0';
    else if (named_ || o.all || o.newline || find_ || o.count)
        line += '\n';
    c_.out.write(line);
}

// The batched middle texts, converted in one go when they all convert (the
// zero bytes then come through as they went in), one by one otherwise.
void ResultWriter::writeBatch()
{
    if (batch_.empty())
        return;
    if (c_.options.json)
        return writeJsonBatch();
    std::string converted;
    const bool whole = c_.console.encodeWhole(batch_, &converted);
    const std::string_view all = whole ? std::string_view(converted) : std::string_view(batch_);
    for (size_t at = 0; at < all.size();) {
        const size_t end = all.find('\0', at);
        const std::string_view piece = all.substr(at, end - at);
        record(whole ? piece : std::string_view(c_.console.encode(piece)));
        at = end + 1;
    }
    batch_.clear();
}

void ResultWriter::found(std::string_view text, int32_t start)
{
    const CliOptions& o = c_.options;
    if (enough())
        return;
    const int64_t index = results_++;
    if (o.count || quiet_ || names_)
        return;
    if (find_ && !o.json) {
        record(std::to_string(start));
        return;
    }
    if (!o.json && text.size() >= kBatchBytes) {
        writeBatch();
        record(c_.console.encode(text));
        return;
    }
    if (o.json)
        jsonBatch_.push_back({index, start, static_cast<int64_t>(text.size())});
    batch_.append(text).push_back('\0');
    if (batch_.size() >= kBatchBytes)
        writeBatch();
}

// The batched results as JSON Lines: their texts converted to UTF-8 in one
// go when they all convert, one by one otherwise (a text with bytes that do
// not decode is then marked lossy alone).
void ResultWriter::writeJsonBatch()
{
    std::string converted;
    const bool whole = RuntimeToUtf8(batch_, &converted);
    std::string source; // escaped once for all its results
    bool sourceLossy = false;
    const std::string name = jsonSource(&sourceLossy);
    sourceLossy = AppendJsonString(&source, name) || sourceLossy;
    std::string lines;
    size_t at = 0, from = 0;
    for (const JsonResult& result : jsonBatch_) {
        const size_t end = batch_.find('\0', at);
        bool lossy = false;
        std::string text;
        if (whole) {
            const size_t stop = converted.find('\0', from);
            text = converted.substr(from, stop - from);
            from = stop + 1;
        } else {
            text = RuntimeUtf8(std::string_view(batch_).substr(at, end - at), &lossy);
        }
        at = end + 1;
        lines += jsonLine(source, result, text, lossy || sourceLossy);
    }
    c_.out.write(lines);
    batch_.clear();
    jsonBatch_.clear();
}

std::string ResultWriter::jsonLine(const std::string& source, const JsonResult& result, std::string_view text,
                                   bool lossy) const
{
    const CliOptions& o = c_.options;
    JsonObject object;
    object.escaped("source", source);
    if (o.all || find_)
        object.number("index", result.index);
    object.text(find_ ? "text" : "middle", text);
    object.number("start", result.start).number("end", result.start + result.length - 1);
    const bool early = page_ && page_->outcome == FetchedPage::Outcome::kEndedEarly;
    object.text("status", early ? "ended_early" : "found");
    pageFields(object, &lossy);
    if (remark_.code != mt::DiagnosisCode::kNone && result.index == 0)
        object.escaped("hint", HintJson(remark_, &lossy));
    if (lossy)
        object.markLossy();
    return object.line();
}

// A page's error code and reason (an early end's, else an error status'),
// and its status.
void ResultWriter::pageFields(JsonObject& object, bool* lossy) const
{
    if (!page_)
        return;
    const std::string_view error = page_->error.view();
    if (page_->outcome == FetchedPage::Outcome::kEndedEarly) {
        object.text("error", error.empty() ? "ended_early" : error);
        object.text("reason", RuntimeUtf8(page_->reason.view(), lossy));
    } else if (page_->status >= 400) {
        object.text("error", "http_status").text("reason", RuntimeUtf8(page_->statusText.view(), lossy));
    }
    if (page_->status != 0)
        object.number("http_status", page_->status);
}

void ResultWriter::notFound(uint32_t literal, const RuleHint* hint)
{
    const bool hinted = hint && hint->code != mt::DiagnosisCode::kNone;
    const CliOptions& o = c_.options;
    if (o.count || quiet_ || names_)
        return; // the count, the list of names or the status tells
    if (o.json) {
        JsonObject object;
        bool lossy = false;
        const bool early = page_ && page_->outcome == FetchedPage::Outcome::kEndedEarly;
        object.text("source", jsonSource(&lossy)).text("status", early ? "ended_early" : "not_found");
        object.text("message", RuntimeUtf8(Lit(literal), &lossy));
        pageFields(object, &lossy);
        if (hinted)
            object.escaped("hint", HintJson(*hint, &lossy));
        if (lossy)
            object.markLossy();
        c_.out.write(object.line());
        return;
    }
    if (!c_.out.flush())
        return; // the run stops: nothing more to say but that
    PrintSourceError(who(), c_.console.encode(Lit(literal)));
    if (hinted)
        PrintSourceError(who(), "hint: " + c_.console.encode(hint->text.view()));
}

void ResultWriter::failed(const std::string& reason)
{
    if (!c_.out.flush())
        return; // the run stops: nothing more to say but that
    PrintError(reason);
    if (!c_.options.json || quiet_)
        return;
    // The reason without the name in front of it: the object names the source.
    std::string_view why = reason;
    for (const std::string& name : {EchoArgument(name_) + ": ", name_ + ": ", std::string("standard input: ")}) {
        if (why.substr(0, name.size()) == name) {
            why.remove_prefix(name.size());
            break;
        }
    }
    JsonObject object;
    bool lossy = false;
    object.text("source", jsonSource(&lossy)).text("status", "error");
    object.text("error", diag::LocalErrorCode(reason)).text("reason", why);
    if (lossy)
        object.markLossy();
    c_.out.write(object.line());
}

void ResultWriter::pageNotRead()
{
    const std::string reason = c_.console.encode(page_->reason.view());
    if (c_.options.json && !quiet_) {
        bool lossy = false;
        JsonObject object;
        object.text("source", jsonSource(&lossy)).text("status", "error");
        object.text("message", RuntimeUtf8(Lit(lit::FetchFailed), &lossy));
        object.text("error", page_->error.empty() ? "read" : page_->error.view());
        object.text("reason", RuntimeUtf8(page_->reason.view(), &lossy));
        if (lossy)
            object.markLossy();
        c_.out.write(object.line());
    }
    if (!c_.out.flush())
        return;
    PrintSourceError(name_, diag::PageNotRead(reason));
}

void ResultWriter::end()
{
    writeBatch();
    if (c_.options.count)
        record(std::to_string(results_));
    if (names_ && results_ > 0 && !quiet_) {
        std::string line = color_ ? std::string(kNameColor) + name_ + std::string(kColorEnd) : name_;
        line += c_.options.zero ? '\0' : '\n';
        c_.out.write(line);
    }
    if (remark_.code != mt::DiagnosisCode::kNone && c_.out.flush())
        PrintSourceError(who(), "warning: hint: " + c_.console.encode(remark_.text.view()));
    if (!page_ || page_->outcome == FetchedPage::Outcome::kNotRead)
        return;
    if (!c_.out.flush()) // the warnings come behind the results
        return;
    if (page_->outcome == FetchedPage::Outcome::kEndedEarly)
        PrintSourceError(name_, diag::EndedEarly(c_.console.encode(page_->reason.view())));
    if (page_->status >= 400) {
        const std::string answer = page_->statusText.empty() ? std::to_string(page_->status)
                                                             : c_.console.encode(page_->statusText.view());
        PrintSourceError(name_, diag::ServerAnswered(answer, true));
    }
}

} // namespace app
