// libFuzzer target: the case-file reader must answer for any bytes, for
// test and for suggest, without a fault, and what it accepts must hold
// together: every case from a line of its own, a name, a source, hex that
// reads back, and a line rewritten with a new expectation that reads back as
// the same case with that expectation.
//
// Input: the case file's bytes. Its first line is also read alone and,
// when it is a case, rewritten.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "shared/case_file.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// The rewritten line reads back with the new expectation and nothing else changed.
void CheckRewrite(std::string_view line, const app::TestCase& c, const app::NewExpectation& e)
{
    const std::string rewritten = app::RewriteExpectation(line, c.all, e);
    app::TestCase again;
    std::string reason;
    Check(app::ParseCaseLine(rewritten, c.line, app::CaseUse::kTest, &again, &reason));
    Check(again.name == c.name && again.source == c.source && again.sourceGbk == c.sourceGbk);
    Check(again.left == c.left && again.right == c.right && again.all == c.all);
    Check(again.found == (c.all || e.found));
    Check(again.expect.size() == (again.found ? e.texts.size() : 0));
    for (size_t k = 0; k < again.expect.size(); ++k)
        Check(again.expect[k].bytes == e.texts[k] && again.expect[k].gbk == e.gbk);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const app::CaseUse use : {app::CaseUse::kTest, app::CaseUse::kSuggest}) {
        std::vector<app::TestCase> cases;
        std::vector<app::CaseLineError> errors;
        app::ParseCaseFile(bytes, use, &cases, &errors);
        size_t last = 0;
        for (const app::TestCase& c : cases) {
            Check(c.line > last && !c.name.empty() && !c.source.empty());
            Check(use == app::CaseUse::kSuggest || (c.left && c.right));
            last = c.line;
        }
        for (const app::CaseLineError& e : errors)
            Check(e.line >= 1 && !e.reason.empty());
    }
    std::string hex;
    Check(app::DecodeHex(app::EncodeHex(bytes), &hex) && hex == bytes);

    const std::string_view line = bytes.substr(0, bytes.find('\n'));
    app::TestCase c;
    std::string reason;
    if (!app::ParseCaseLine(line, 1, app::CaseUse::kTest, &c, &reason))
        return 0;
    // New expectations from the case's own texts: none, one, and two, as
    // UTF-8 and as hex (the left text's bytes need not be UTF-8: hex then).
    const std::string left = c.left->bytes;
    CheckRewrite(line, c, {false, {}, false});
    CheckRewrite(line, c, {true, {left}, true});
    if (c.all)
        CheckRewrite(line, c, {true, {left, left}, true});
    if (!c.left->gbk) {
        CheckRewrite(line, c, {true, {left}, false});
        if (c.all)
            CheckRewrite(line, c, {true, {}, false});
    }
    return 0;
}
