#include "command_line.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "cli_options.h"
#include "console_text.h"
#include "extraction.h"
#include "find_state.h"
#include "page_reader.h"

namespace app {
namespace {

constexpr int kMessageStatus = 1;
constexpr int kUsageStatus = 2;

bool ReadInput(const CliOptions& o, std::string* bytes)
{
    if (!o.file || *o.file == "-") {
        *bytes = std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return true;
    }
    std::ifstream in(*o.file, std::ios::binary);
    if (!in)
        return false;
    *bytes = std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void Print(const std::string& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

int Fail(const ConsoleText& console, uint32_t message)
{
    console.message(Lit(message));
    return kMessageStatus;
}

int Extract(const ConsoleText& console, const Owned& text, const Owned& left, const Owned& right)
{
    Owned middle;
    switch (ExtractMiddle(text.text(), left.text(), right.text(), &middle)) {
    case ExtractOutcome::kLeftNotFound: return Fail(console, lit::LeftNotFound);
    case ExtractOutcome::kRightNotFound: return Fail(console, lit::RightNotFound);
    case ExtractOutcome::kDone: break;
    }
    Print(console.encode(middle.view()));
    return 0;
}

// Positions that successive clicks of the find button select, from its
// first-search state, until nothing more is found or a position repeats.
int Find(const ConsoleText& console, const Owned& text, const Owned& wanted)
{
    if (SameText(wanted.text(), Lit(lit::PromptMiddle)))
        return Fail(console, lit::MiddleMissing);
    FindState state;
    int32_t last = 0;
    bool printed = false;
    for (int32_t pos = FindFirst(state, text.text(), wanted.text()); pos != -1;
         pos = FindNext(state, text.text(), wanted.text())) {
        if (printed && pos <= last)
            return 0;
        std::printf("%d\n", pos);
        last = pos;
        printed = true;
    }
    return printed ? (console.message(Lit(lit::NotFound)), 0) : Fail(console, lit::NotFound);
}

int Fetch(const ConsoleText& console, const Owned& url)
{
    switch (CheckUrl(url.text())) {
    case UrlCheck::kEmpty: return Fail(console, lit::UrlEmpty);
    case UrlCheck::kBadScheme: return Fail(console, lit::UrlBadScheme);
    case UrlCheck::kOk: break;
    }
    Owned page, reason;
    const PageOutcome outcome = FetchPage(url.text(), &page, &reason);
    if (outcome == PageOutcome::kNothing || outcome == PageOutcome::kCancelled) {
        console.message(Lit(lit::FetchFailed));
        console.message(reason.text());
        return kMessageStatus;
    }
    Print(console.encode(page.view()));
    return 0;
}

int Usage(const std::string& error)
{
    std::fprintf(stderr, "middletext: %s\n\n%s", error.c_str(), kCliUsage);
    return kUsageStatus;
}

bool Decode(const ConsoleText& console, const std::optional<std::string>& in, Owned* out)
{
    return !in || console.decode(*in, out);
}

int Run(const CliOptions& o, const std::string& input)
{
    const ConsoleText console(o.gbk);
    Owned text, left, right, wanted, url;
    if (!console.decode(input, &text) || !Decode(console, o.left, &left) || !Decode(console, o.right, &right) ||
        !Decode(console, o.text, &wanted) || !console.decode(o.url, &url)) {
        std::fputs("middletext: the input is not valid in the locale's encoding (try --gbk for GB18030)\n", stderr);
        return kUsageStatus;
    }
    if (o.command == "extract")
        return Extract(console, text, left, right);
    if (o.command == "find")
        return Find(console, text, wanted);
    if (o.command == "fetch")
        return Fetch(console, url);
    Print(console.encode(Lit(lit::ExtractionCodeTemplate)));
    return 0;
}

} // namespace

int CommandLineEntry(int argc, char** argv)
{
    CliOptions o;
    std::string error;
    if (!ParseCliOptions(argc, argv, &o, &error))
        return Usage(error);
    if (o.command == "help") {
        std::fputs(kCliUsage, stdout);
        return 0;
    }
    if (o.command == "version") {
        std::puts("middletext 1.0.0");
        return 0;
    }
    std::string input;
    if ((o.command == "extract" || o.command == "find") && !ReadInput(o, &input)) {
        std::fprintf(stderr, "middletext: cannot read %s\n", o.file->c_str());
        return kUsageStatus;
    }
    mt::Runtime().auxiliaryCall(6, reinterpret_cast<uintptr_t>(&kProgramHeader), 0, 0, 0);
    return Run(o, input);
}

} // namespace app
