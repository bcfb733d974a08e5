// middletext fetch URL: what reading the page would put into the big box,
// in the terminal's encoding; --raw prints the bytes as received.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "cli_context.h"
#include "cli_messages.h"
#include "console_progress.h"
#include "abi/text_value.h"
#include "abi/utf8.h"
#include "page_reader.h"
#include "url_pages.h"
#include "utf8_to_gb18030.h"

namespace app {
namespace {

// A valid UTF-8 page printed as UTF-8 or, with --gbk, as GB18030. The
// window would convert the page to GB18030 and the terminal back again,
// which gives the same bytes; so the page goes out as it came, or converted
// a megabyte at a time, up to its first zero byte (where the window's text
// ends). False, with nothing written, when that does not apply.
bool WriteUtf8Page(const CliContext& c, const Owned& bytes, const TransferReport& report)
{
    if (report.charset.view() != "UTF-8" || (!c.console.raw() && c.console.encoding() != "UTF-8"))
        return false;
    const std::string_view all = mt::ByteArrayView(bytes.bytes());
    const auto skip = static_cast<size_t>(report.bomLength);
    const auto cut = static_cast<size_t>(report.cutLength);
    if (skip + cut > all.size())
        return false;
    std::string_view page = all.substr(skip, all.size() - skip - cut);
    if (mt::ValidUtf8Prefix(page) != page.size())
        return false;
    if (const void* zero = std::memchr(page.data(), 0, page.size()))
        page = page.substr(0, static_cast<size_t>(static_cast<const char*>(zero) - page.data()));
    if (!c.console.raw()) {
        c.out.write(page);
        return true;
    }
    // The encoding command's answers from a table (as for large terminal
    // input); a piece the table cannot answer for goes to the command.
    const auto command = [](std::string_view utf8, std::string* gb) {
        const Owned in = NewBytes(utf8);
        bool ok = false;
        const Owned out = ConvertBytes(in.bytes(), Lit(lit::EncodingUtf8), Lit(lit::EncodingGb18030), &ok);
        *gb = mt::ByteArrayView(out.bytes());
        return ok;
    };
    const Utf8ToGb18030 table(command);
    constexpr size_t kPiece = size_t{1} << 20;
    std::string room(2 * (kPiece + 4), '\0'); // no character grows beyond twice its UTF-8
    for (size_t p = 0; p < page.size();) {
        size_t end = std::min(page.size(), p + kPiece);
        while (end < page.size() && (static_cast<unsigned char>(page[end]) & 0xC0) == 0x80)
            ++end; // not inside a character
        bool whole = false;
        const size_t produced = table.convert(page.substr(p, end - p), room.data(), &whole);
        if (whole) {
            c.out.write(std::string_view(room.data(), produced));
        } else {
            // A character the encoding command has no code for (a few
            // private-use ones) becomes U+FFFD rather than losing the piece.
            const Owned in = NewBytes(page.substr(p, end - p));
            int64_t replaced = 0;
            const Owned out = PageText(in.bytes(), Lit(lit::EncodingUtf8), &replaced);
            c.out.write(mt::ByteArrayView(out.bytes()));
        }
        p = end;
    }
    return true;
}

} // namespace

int RunFetch(const CliContext& c)
{
    Owned url;
    int status = kExitDone;
    if (!c.decodeArgument(*c.options.file, "URL", &url, &status))
        return status;
    switch (CheckUrl(url.text())) {
    case UrlCheck::kEmpty: return c.message(lit::UrlEmpty);
    case UrlCheck::kBadScheme: return c.message(lit::UrlBadScheme);
    case UrlCheck::kOk: break;
    }
    ApplyRequestOptions(c.options);
    ProgressLine progress(!c.options.silent && isatty(STDERR_FILENO));
    Owned bytes = ReadUrl(url.text());
    progress.stop();
    const TransferReport report = LastTransfer();
    if (bytes.empty() && report.outcome != kTransferComplete && report.outcome != kTransferEndedEarly) {
        c.message(lit::FetchFailed);
        c.console.message(report.reason.text());
        return kExitUnreadable;
    }
    int64_t replaced = 0;
    if (c.options.raw) {
        c.out.write(mt::ByteArrayView(bytes.bytes()));
    } else if (!bytes.empty() && !WriteUtf8Page(c, bytes, report)) {
        const Owned page = DecodePage(std::move(bytes), report, &replaced);
        c.console.encodeEach(page.view(), [&c](std::string_view piece) { c.out.write(piece); });
    }
    c.out.flush(); // the warnings come behind the page
    if (replaced > 0)
        PrintError("warning: " + std::to_string(replaced) + (replaced == 1 ? " byte" : " bytes") +
                   " of the page did not convert and " + (replaced == 1 ? "was" : "were") + " replaced");
    int outcome = kExitDone;
    if (report.outcome == kTransferEndedEarly) {
        PrintError("warning: the page ended early: " + c.console.encode(report.reason.view()));
        outcome = kExitPageEnded;
    }
    if (report.status >= 400) {
        const std::string answer = report.statusText.empty() ? std::to_string(report.status)
                                                             : c.console.encode(report.statusText.view());
        PrintError("warning: the server answered " + EchoArgument(answer));
        outcome = kExitServerError; // what the server said outweighs how much of it arrived
    }
    return outcome;
}

} // namespace app
