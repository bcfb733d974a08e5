// suggest: a left and a right text that extract the wanted text, from the
// runtime's rule suggestion (SuggestRule). --middle TEXT SOURCE...: any
// occurrence of TEXT on each page may be the one extracted; --cases FILE:
// each case's source and expected text.
#include <cstring>

#include "abi/runtime_entry_table.h"
#include "abi/text_value.h"
#include "case_pages.h"
#include "cli_context.h"
#include "shared/cli_diagnostics.h"
#include "shared/cli_messages.h"
#include "shared/console_input.h"
#include "shared/json_lines.h"
#include "shared/runtime_utf8.h"
#include "source_list.h"

namespace app {
namespace {

// A page and the text wanted from it, as runtime texts.
struct Example {
    std::string name; // the source, for messages
    Owned page;
    std::string wanted;
};

struct Suggestion {
    bool found = false;
    size_t example = 0;      // 1-based: the page a failure concerns; 0 for all of them
    std::string left, right; // found: the pair (runtime texts); else the code and the runtime's sentence
};

uint32_t Word(std::string_view bytes, size_t at)
{
    uint32_t w = 0;
    for (int k = 3; k >= 0; --k)
        w = w << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(k)]);
    return w;
}

// The runtime's answer for the examples: its byte array of words and texts.
Suggestion Suggest(const std::vector<Example>& examples)
{
    std::vector<mt::ValueRecord> args;
    for (const Example& e : examples) {
        args.push_back(mt::MakePointer(Arg(e.page.text()), mt::kTypeText));
        args.push_back(mt::MakePointer(e.wanted.c_str(), mt::kTypeText));
        args.push_back(mt::Omitted());
    }
    const Owned answer(mt::AsPointer(mt::Runtime().callCoreCommand(
        mt::CommandAddress(mt::kCoreLibrary, mt::kCmdSuggestRule), static_cast<int32_t>(args.size()), args.data())));
    const std::string_view bytes = mt::ByteArrayView(answer.bytes());
    Suggestion s;
    if (bytes.size() < 12)
        return s;
    s.found = Word(bytes, 0) == 1;
    s.example = Word(bytes, 4);
    const size_t leftLength = Word(bytes, 8);
    if (bytes.size() < 16 + leftLength)
        return s;
    s.left = bytes.substr(12, leftLength);
    const size_t rightLength = Word(bytes, 12 + leftLength);
    s.right = bytes.substr(16 + leftLength, std::min<size_t>(rightLength, bytes.size() - 16 - leftLength));
    return s;
}

// Why no pair was found, in English, by the runtime's stable code.
std::string Reason(const std::string& code)
{
    static const std::pair<const char*, const char*> kReasons[] = {
        {"no_example", "no page was given"},
        {"empty_selection", "the wanted text is empty"},
        {"outside_text", "the wanted text lies outside the page"},
        {"split_character", "the wanted text begins or ends inside a character"},
        {"at_start", "the wanted text starts the page: nothing in front of it can be the left text"},
        {"at_end", "the wanted text ends the page: nothing behind it can be the right text"},
        {"no_common_left", "the pages share no text in front of the wanted text"},
        {"no_common_right", "the pages share no text behind the wanted text"},
        {"left_repeats", "every text up to 256 bytes in front of the wanted text occurs earlier on the page, "
                         "so any left text is found elsewhere first"},
        {"right_repeats", "every text up to 256 bytes behind the wanted text occurs inside it first, "
                          "so any right text is found before it ends"},
        {"wanted_missing", "the wanted text is not on the page"},
        {"no_pair", "no left and right texts of up to 256 bytes extract the wanted text from every page"},
    };
    for (const auto& [known, sentence] : kReasons) {
        if (code == known)
            return sentence;
    }
    return "no rule could be made (" + EchoArgument(code) + ")";
}

// The pages of --middle's sources, read as extract reads them: files and
// standard input in the terminal's encoding, pages --jobs at once.
int ReadSources(const CliContext& c, const Owned& wanted, std::vector<Example>* examples)
{
    SourceList list(c.options, c.startDirectory);
    std::vector<Source> sources;
    for (Source s; list.next(&s);)
        sources.push_back(s);
    ApplyRequestOptions(c.options);
    const std::unique_ptr<UrlPages> pages = MakeUrlPages(c.options);
    // A few pages are asked for ahead of the one in its turn, more while it
    // is still coming.
    constexpr size_t kFewAhead = 64;
    size_t asked = 0, inFlight = 0;
    const auto askOne = [&] {
        for (; asked < sources.size(); ++asked) {
            if (sources[asked].kind != Source::Kind::kUrl)
                continue;
            Owned url;
            c.console.decode(sources[asked].name, &url);
            pages->request(asked + 1, std::string(url.view()));
            ++inFlight;
            ++asked;
            return true;
        }
        return false;
    };
    const auto askAhead = [&] {
        while (inFlight < kFewAhead && askOne()) {
        }
    };
    int status = kExitDone;
    for (size_t k = 0; k < sources.size(); ++k) {
        const Source& s = sources[k];
        Example e{s.name, {}, std::string(wanted.view())};
        askAhead();
        if (s.kind == Source::Kind::kUrl) {
            while (!pages->wait(k + 1) && askOne()) {
            }
            FetchedPage page = pages->take(k + 1);
            --inFlight;
            if (page.outcome == FetchedPage::Outcome::kNotRead) {
                PrintSourceError(s.name, diag::PageNotRead(c.console.encode(page.reason.view())));
                status = std::max<int>(status, kExitUnreadable);
                continue;
            }
            if (page.outcome == FetchedPage::Outcome::kEndedEarly) {
                PrintSourceError(s.name, diag::EndedEarly(c.console.encode(page.reason.view())));
                status = std::max<int>(status, kExitPageEnded);
            }
            if (page.status >= 400) {
                PrintSourceError(s.name, diag::ServerAnswered(page.statusText.empty() ? std::to_string(page.status)
                                                                                      : c.console.encode(page.statusText.view()),
                                                              true));
                status = std::max<int>(status, kExitServerError);
            }
            e.page = std::move(page.text);
        } else {
            std::string error;
            int32_t length = 0;
            const std::optional<std::string> file = s.kind == Source::Kind::kFile ? std::optional(s.name) : std::nullopt;
            if (s.kind == Source::Kind::kUnreadable) {
                error = EchoArgument(s.name) + ": " + s.error;
            } else if (ReadInputText(file, c.startDirectory, c.console, &e.page, &length, &error)) {
                examples->push_back(std::move(e));
                continue;
            }
            PrintError(error);
            status = std::max<int>(status, kExitUnreadable);
            continue;
        }
        examples->push_back(std::move(e));
    }
    return status;
}

// The pages and texts of --cases: each case's source (found from the case
// file's folder) and its expected text.
int ReadCases(const CliContext& c, std::vector<Example>* examples)
{
    std::vector<CaseFile> files(1);
    files[0].path = *c.options.cases;
    std::string error;
    if (!ReadFileBytes(files[0].path, c.startDirectory, &files[0].contents, &error)) {
        PrintError(error);
        return kExitUsage;
    }
    std::vector<CaseLineError> errors;
    ParseCaseFile(files[0].contents, CaseUse::kSuggest, &files[0].cases, &errors);
    for (const CaseLineError& e : errors)
        PrintError(EchoArgument(files[0].path) + ":" + std::to_string(e.line) + ": " + e.reason);
    if (!errors.empty())
        return kExitUsage;
    CasePages pages(c, files);
    int status = kExitDone;
    for (size_t k = 0; k < files[0].cases.size(); ++k) {
        const TestCase& tc = files[0].cases[k];
        const CasePage& page = pages.page(k);
        status = std::max(status, page.status);
        if (!page.read) {
            PrintError(page.error);
        } else {
            Owned copy = Join({page.text.view()});
            examples->push_back({SourcePath(files[0].path, tc), std::move(copy), RuntimeText(tc.expect.front())});
        }
        pages.done(k);
    }
    return status;
}

bool HoldsLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

int RunSuggest(const CliContext& c)
{
    const CliOptions& o = c.options;
    std::vector<Example> examples;
    int status = kExitDone;
    if (o.middle) {
        Owned wanted;
        if (!c.decodeArgument(*o.middle, "--middle", &wanted, &status))
            return status;
        status = ReadSources(c, wanted, &examples);
    } else {
        status = ReadCases(c, &examples);
    }
    if (status == kExitUsage || status == kExitUnreadable)
        return status; // a page that could not be read leaves nothing to learn from
    const Suggestion s = Suggest(examples);
    if (!s.found) {
        std::string where;
        if (s.example >= 1 && s.example <= examples.size() && s.left != "no_common_left" &&
            s.left != "no_common_right" && s.left != "no_pair" && s.left != "no_example")
            where = EchoArgument(examples[s.example - 1].name) + ": ";
        const std::string reason = Reason(s.left);
        if (o.json) {
            JsonObject object;
            object.escaped("left", "null").escaped("right", "null").text("code", s.left).text("reason", reason);
            c.out.write(object.line());
            c.out.flush();
        }
        PrintError("no rule: " + where + reason);
        return kExitMessage;
    }
    if (o.json) {
        std::string left, right;
        RuntimeToUtf8(s.left, &left);
        RuntimeToUtf8(s.right, &right);
        JsonObject object;
        object.text("left", left).text("right", right);
        c.out.write(object.line());
    } else if (o.zero) {
        c.out.write(c.console.encode(s.left) + '\0' + c.console.encode(s.right) + '\0');
    } else if (HoldsLineBreak(s.left) || HoldsLineBreak(s.right)) {
        PrintError(std::string("the ") + (HoldsLineBreak(s.left) ? "left" : "right") +
                   " text holds a line break: ask for it with -0 or --json");
        return kExitUsage;
    } else {
        c.out.write(c.console.encode(s.left) + "\n" + c.console.encode(s.right) + "\n");
    }
    return status;
}

} // namespace app
