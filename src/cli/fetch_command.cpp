// middletext fetch URL...: what reading each page would put into the big
// box, in the terminal's encoding, one page after another; --raw prints the
// bytes as received. Each page goes to its -o file or to standard output.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cstring>
#include <string>

#include "abi/text_value.h"
#include "abi/utf8.h"
#include "cli_context.h"
#include "shared/cli_messages.h"
#include "shared/console_progress.h"
#include "shared/page_reader.h"
#include "shared/utf8_to_gb18030.h"
#include "url_pages.h"
#include "write_out.h"

namespace app {
namespace {

// A valid UTF-8 page printed as UTF-8 or, with --gbk, as GB18030. The
// window would convert the page to GB18030 and the terminal back again,
// which gives the same bytes; so the page goes out as it came, or converted
// a megabyte at a time, up to its first zero byte (where the window's text
// ends). False, with nothing written, when that does not apply.
bool WriteUtf8Page(const CliContext& c, ConsoleOutput& out, const Owned& bytes, const TransferReport& report)
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
        out.write(page);
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
            out.write(std::string_view(room.data(), produced));
        } else {
            // A character the encoding command has no code for (a few
            // private-use ones) becomes U+FFFD rather than losing the piece.
            const Owned in = NewBytes(page.substr(p, end - p));
            int64_t replaced = 0;
            const Owned text = PageText(in.bytes(), Lit(lit::EncodingUtf8), &replaced);
            out.write(mt::ByteArrayView(text.bytes()));
        }
        p = end;
    }
    return true;
}

// A file the options name, opened for writing from the start directory;
// "-" is standard output (-1 then). On failure: -2, the reason printed.
int OpenOutputFile(const CliContext& c, const std::string& path, const char* option)
{
    if (path == "-")
        return -1;
    const int fd = openat(c.startDirectory, path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        PrintError(std::string(option) + " " + EchoArgument(path) + ": " + std::strerror(errno));
        return -2;
    }
    return fd;
}

// One URL: read, its page written to `out`, the warnings behind it.
int FetchPage(const CliContext& c, const std::string& arg, ConsoleOutput& out, ConsoleOutput* headers,
              TransferReport* report)
{
    Owned url;
    int status = kExitDone;
    if (!c.console.decode(arg, &url)) {
        PrintSourceError(arg, diag::NotValid(c.console.encoding()));
        return kExitUsage;
    }
    switch (CheckUrl(url.text())) {
    case UrlCheck::kEmpty: return c.refuse(diag::UrlEmpty());
    case UrlCheck::kBadScheme: return c.refuse(diag::UrlBadScheme(), arg);
    case UrlCheck::kOk: break;
    }
    ProgressLine progress(c.options.urls.size() == 1 && !c.options.silent && isatty(STDERR_FILENO));
    Owned bytes = ReadUrl(url.text());
    progress.stop();
    *report = LastTransfer();
    const TransferReport& r = *report;
    if (headers) // as they came: in front of the page
        headers->write(r.headers.view());
    if (bytes.empty() && r.outcome != kTransferComplete && r.outcome != kTransferEndedEarly) {
        c.out.flush();
        PrintSourceError(arg, diag::PageNotRead(c.console.encode(r.reason.view())));
        return kExitUnreadable;
    }
    const bool failed = c.options.fail && r.status >= 400; // -f: no body for an error status
    int64_t replaced = 0;
    if (failed) {
        bytes = Owned();
    } else if (c.options.raw) {
        out.write(mt::ByteArrayView(bytes.bytes()));
    } else if (!bytes.empty() && !WriteUtf8Page(c, out, bytes, r)) {
        const Owned page = DecodePage(std::move(bytes), r, &replaced);
        c.console.encodeEach(page.view(), [&out](std::string_view piece) { out.write(piece); });
    }
    out.flush(); // the warnings come behind the page
    if (&out != &c.out)
        c.out.flush();
    if (replaced > 0)
        PrintSourceError(arg, diag::Replaced(replaced));
    if (r.outcome == kTransferEndedEarly && !failed) {
        PrintSourceError(arg, diag::EndedEarly(c.console.encode(r.reason.view())));
        status = kExitPageEnded;
    }
    if (r.status >= 400) {
        const std::string answer = r.statusText.empty() ? std::to_string(r.status) : c.console.encode(r.statusText.view());
        PrintSourceError(arg, diag::ServerAnswered(answer, !failed));
        status = kExitServerError; // what the server said outweighs how much of it arrived
    }
    return status;
}

WriteOutValues ValuesOf(const TransferReport& r, const std::string& url, int status)
{
    WriteOutValues v;
    v.httpCode = r.status;
    v.urlEffective = r.effectiveUrl.empty() ? url : std::string(r.effectiveUrl.view());
    v.sizeDownload = r.downloaded;
    v.totalMicroseconds = r.totalMicroseconds;
    v.contentType = r.contentType.view();
    v.redirects = r.redirects;
    v.exitCode = status;
    v.errorCode = r.error.view();
    return v;
}

} // namespace

int RunFetch(const CliContext& c)
{
    const CliOptions& o = c.options;
    ApplyRequestOptions(o);
    int headerFd = -1;
    if (o.dumpHeader && (headerFd = OpenOutputFile(c, *o.dumpHeader, "--dump-header")) == -2)
        return kExitOutput;
    ConsoleOutput headerFile(headerFd);
    ConsoleOutput& headers = headerFd >= 0 ? headerFile : c.out;
    SourcesProgress progress(o.urls.size() > 1 && !o.silent && isatty(STDERR_FILENO) && !isatty(STDOUT_FILENO));
    progress.expect(static_cast<int64_t>(o.urls.size()));
    int status = kExitDone;
    for (size_t i = 0; i < o.urls.size(); ++i) {
        const int fd = i < o.outputs.size() ? OpenOutputFile(c, o.outputs[i], "--output") : -1;
        if (fd == -2) {
            status = std::max<int>(status, kExitOutput);
            break;
        }
        ConsoleOutput file(fd);
        ConsoleOutput& out = fd >= 0 ? file : c.out;
        TransferReport report;
        const int one = FetchPage(c, o.urls[i], out, o.dumpHeader ? &headers : nullptr, &report);
        status = std::max(status, one);
        std::string error;
        const bool written = out.finish(&error);
        if (fd >= 0)
            close(fd);
        if (!written && fd >= 0) {
            PrintError("--output " + EchoArgument(o.outputs[i]) + ": " + error);
            return kExitOutput;
        }
        if (o.writeOut)
            c.out.write(ExpandWriteOut(*o.writeOut, ValuesOf(report, o.urls[i], one)));
        progress.done(one > kExitMessage, report.downloaded);
        if (c.out.failed())
            break; // the reader is gone: the caller says so
    }
    progress.stop();
    if (headerFd >= 0) {
        std::string error;
        const bool written = headerFile.finish(&error);
        close(headerFd);
        if (!written) {
            PrintError("--dump-header " + EchoArgument(*o.dumpHeader) + ": " + error);
            return kExitOutput;
        }
    }
    return status;
}

} // namespace app
