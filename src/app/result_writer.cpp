#include "result_writer.h"

#include "cli_messages.h"
#include "frame/text_value.h"
#include "json_lines.h"

namespace app {
namespace {

// UTF-8 for a runtime text; a character that does not decode becomes
// U+FFFD and sets *lossy.
std::string Utf8(std::string_view text, bool* lossy)
{
    if (text.empty())
        return {};
    bool ok = false;
    const Owned bytes = NewBytes(text);
    const Owned converted = ConvertBytes(bytes.bytes(), Lit(lit::EncodingGb18030), Lit(lit::EncodingUtf8), &ok);
    if (ok && !converted.empty())
        return std::string(mt::ByteArrayView(converted.bytes()));
    *lossy = true;
    static const ConsoleText utf8 = ConsoleText::ForEncoding("UTF-8");
    return utf8.encode(text);
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
    reported_ = false;
}

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

void ResultWriter::found(std::string_view text, int32_t start)
{
    const CliOptions& o = c_.options;
    const int64_t index = results_++;
    if (o.count)
        return;
    if (!o.json) {
        record(find_ ? std::to_string(start) : c_.console.encode(text));
        return;
    }
    JsonObject object;
    bool lossy = false;
    object.text("source", jsonSource());
    if (o.all || find_)
        object.number("index", index);
    object.text(find_ ? "text" : "middle", Utf8(text, &lossy));
    object.number("start", start).number("end", start + static_cast<int64_t>(text.size()) - 1);
    const bool early = page_ && page_->outcome == FetchedPage::Outcome::kEndedEarly;
    object.text("status", early ? "ended_early" : "found");
    if (early)
        object.text("reason", Utf8(page_->reason.view(), &lossy));
    if (page_ && page_->status != 0)
        object.number("http_status", page_->status);
    if (lossy)
        object.markLossy();
    c_.out.write(object.line());
}

void ResultWriter::notFound(uint32_t literal)
{
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
        if (page_ && page_->status != 0)
            object.number("http_status", page_->status);
        c_.out.write(object.line());
        reported_ = true;
        return;
    }
    if (!named_) {
        c_.message(literal);
        return;
    }
    c_.out.flush();
    PrintError(EchoArgument(name_) + ": " + c_.console.encode(Lit(literal)));
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
    reported_ = true;
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
        reported_ = true;
    }
    c_.out.flush();
    if (!named_) {
        c_.console.message(Lit(lit::FetchFailed));
        c_.console.message(page_->reason.text());
        return;
    }
    PrintError(EchoArgument(name_) + ": " + c_.console.encode(Lit(lit::FetchFailed)) + " " + reason);
}

void ResultWriter::end()
{
    if (c_.options.count)
        record(std::to_string(results_));
    if (!page_ || page_->outcome == FetchedPage::Outcome::kNotRead)
        return;
    c_.out.flush(); // the warnings come behind the results
    const std::string who = named_ ? EchoArgument(name_) + ": " : std::string();
    if (page_->outcome == FetchedPage::Outcome::kEndedEarly)
        PrintError("warning: " + who + "the page ended early: " + c_.console.encode(page_->reason.view()));
    if (page_->status >= 400) {
        const std::string answer = page_->statusText.empty() ? std::to_string(page_->status)
                                                             : c_.console.encode(page_->statusText.view());
        PrintError("warning: " + who + "the server answered " + EchoArgument(answer));
    }
}

} // namespace app
