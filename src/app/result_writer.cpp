#include "result_writer.h"

#include <algorithm>

#include "cli_messages.h"
#include "abi/text_value.h"
#include "json_lines.h"

namespace app {
namespace {

constexpr size_t kBatchBytes = size_t{64} << 10;

// UTF-8 for a runtime text when every character of it decodes.
bool WholeUtf8(std::string_view text, std::string* out)
{
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        out->assign(text); // ASCII: the same bytes
        return true;
    }
    bool ok = false;
    const Owned bytes = NewBytes(text);
    const Owned converted = ConvertBytes(bytes.bytes(), Lit(lit::EncodingGb18030), Lit(lit::EncodingUtf8), &ok);
    if (!ok || converted.empty())
        return false;
    out->assign(mt::ByteArrayView(converted.bytes()));
    return true;
}

// UTF-8 for a runtime text; a character that does not decode becomes
// U+FFFD and sets *lossy.
std::string Utf8(std::string_view text, bool* lossy)
{
    std::string whole;
    if (WholeUtf8(text, &whole))
        return whole;
    *lossy = true;
    static const ConsoleText utf8 = ConsoleText::ForEncoding("UTF-8");
    return utf8.encode(text);
}

// The hint as a JSON object: its code, position (null for none), length
// and sentence.
std::string HintObject(const RuleHint& hint, bool* lossy)
{
    JsonObject object;
    object.text("code", mt::DiagnosisName(hint.code));
    if (hint.position > 0)
        object.number("position", hint.position);
    else
        object.escaped("position", "null");
    object.number("length", hint.length).text("text", Utf8(hint.text.view(), lossy));
    std::string line = object.line();
    line.pop_back(); // the line break
    return line;
}

} // namespace

ResultWriter::ResultWriter(const CliContext& context, bool named)
    : c_(context),
      named_(named || context.options.withFilename),
      prefixed_(named_ && !context.options.noFilename),
      find_(context.options.command == "find")
{
}

void ResultWriter::begin(const std::string& name, const FetchedPage* page)
{
    name_ = name;
    page_ = page;
    results_ = 0;
    remark_ = RuleHint();
}

void ResultWriter::remark(RuleHint hint) { remark_ = std::move(hint); }

std::string ResultWriter::who() const { return named_ ? EchoArgument(name_) + ": " : std::string(); }

// The source's name in UTF-8, from the terminal's bytes (or GB18030 with
// --gbk); bytes that do not decode are left to the JSON writer.
std::string ResultWriter::jsonSource() const
{
    if (!c_.console.raw() && c_.console.encoding() == "UTF-8")
        return name_;
    Owned text;
    bool lossy = false;
    return c_.console.decode(name_, &text) ? Utf8(text.view(), &lossy) : name_;
}

void ResultWriter::record(std::string_view content)
{
    const CliOptions& o = c_.options;
    std::string line = prefixed_ ? name_ + ":" : std::string();
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
    const int64_t index = results_++;
    if (o.count)
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
    const bool whole = WholeUtf8(batch_, &converted);
    std::string source; // escaped once for all its results
    const bool sourceLossy = AppendJsonString(&source, jsonSource());
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
            text = Utf8(std::string_view(batch_).substr(at, end - at), &lossy);
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
    if (early)
        object.text("reason", Utf8(page_->reason.view(), &lossy));
    if (remark_.code != mt::DiagnosisCode::kNone && result.index == 0)
        object.escaped("hint", HintObject(remark_, &lossy));
    if (page_ && page_->status != 0)
        object.number("http_status", page_->status);
    if (lossy)
        object.markLossy();
    return object.line();
}

void ResultWriter::notFound(uint32_t literal, const RuleHint* hint)
{
    const bool hinted = hint && hint->code != mt::DiagnosisCode::kNone;
    const CliOptions& o = c_.options;
    if (o.count)
        return;
    if (o.json) {
        JsonObject object;
        bool lossy = false;
        const bool early = page_ && page_->outcome == FetchedPage::Outcome::kEndedEarly;
        object.text("source", jsonSource()).text("status", early ? "ended_early" : "not_found");
        object.text("message", Utf8(Lit(literal), &lossy));
        if (early)
            object.text("reason", Utf8(page_->reason.view(), &lossy));
        if (hinted)
            object.escaped("hint", HintObject(*hint, &lossy));
        if (lossy)
            object.markLossy();
        if (page_ && page_->status != 0)
            object.number("http_status", page_->status);
        c_.out.write(object.line());
        return;
    }
    if (!c_.out.flush())
        return; // the run stops: nothing more to say but that
    if (named_)
        PrintError(EchoArgument(name_) + ": " + c_.console.encode(Lit(literal)));
    else
        c_.console.message(Lit(literal));
    if (hinted)
        PrintError(who() + "hint: " + c_.console.encode(hint->text.view()));
}

void ResultWriter::failed(const std::string& reason)
{
    if (!c_.out.flush())
        return; // the run stops: nothing more to say but that
    PrintError(reason);
    if (!c_.options.json)
        return;
    // The reason without the name in front of it: the object names the source.
    const std::string name = EchoArgument(name_) + ": ";
    std::string_view why = reason;
    if (why.substr(0, name.size()) == name)
        why.remove_prefix(name.size());
    JsonObject object;
    object.text("source", jsonSource()).text("status", "error").text("reason", why);
    c_.out.write(object.line());
}

void ResultWriter::pageNotRead()
{
    const std::string reason = c_.console.encode(page_->reason.view());
    if (c_.options.json) {
        bool lossy = false;
        JsonObject object;
        object.text("source", jsonSource()).text("status", "error");
        object.text("message", Utf8(Lit(lit::FetchFailed), &lossy)).text("reason", Utf8(page_->reason.view(), &lossy));
        c_.out.write(object.line());
    }
    if (!c_.out.flush())
        return;
    if (!named_) {
        c_.console.message(Lit(lit::FetchFailed));
        c_.console.message(page_->reason.text());
        return;
    }
    PrintError(EchoArgument(name_) + ": " + c_.console.encode(Lit(lit::FetchFailed)) + " " + reason);
}

void ResultWriter::end()
{
    writeBatch();
    if (c_.options.count)
        record(std::to_string(results_));
    if (remark_.code != mt::DiagnosisCode::kNone && c_.out.flush())
        PrintError("warning: " + who() + "hint: " + c_.console.encode(remark_.text.view()));
    if (!page_ || page_->outcome == FetchedPage::Outcome::kNotRead)
        return;
    if (!c_.out.flush()) // the warnings come behind the results
        return;
    const std::string who = this->who();
    if (page_->outcome == FetchedPage::Outcome::kEndedEarly)
        PrintError("warning: " + who + "the page ended early: " + c_.console.encode(page_->reason.view()));
    if (page_->status >= 400) {
        const std::string answer = page_->statusText.empty() ? std::to_string(page_->status)
                                                             : c_.console.encode(page_->statusText.view());
        PrintError("warning: " + who + "the server answered " + EchoArgument(answer));
    }
}

} // namespace app
