// Case files: saved extractions that `test` runs again and `suggest` learns
// from. JSON Lines in UTF-8, one case a line, blank lines skipped:
//
//   {"name": "title", "source": "pages/a.html", "left": "<h1>", "right": "</h1>", "expect": "Hello"}
//   {"source": "https://example.org/", "left": "<li>", "right": "</li>", "all": true, "expect": ["a", "b"]}
//   {"source": "b.txt", "source_gbk": true, "left_gbk": "d6d0", "right": "]", "expect": null}
//
//   name          optional; the line number when not given
//   source        a file (relative to the case file's folder) or an http(s) URL
//   source_gbk    true: the file holds raw GB18030 bytes (else UTF-8)
//   left, right   UTF-8 texts; left_gbk, right_gbk the GB18030 bytes in hex
//   expect        the middle text; null: not found; with "all": true an
//                 array of every middle text ([]: none). expect_gbk: hex.
//
// One form per field; hex is an even number of digits without separators.
// An unknown field, a field given twice, or both forms of one field make the
// line malformed. Parsed with nlohmann-json; nothing here needs the runtime.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// A text of a case as the file gives it.
struct CaseText {
    std::string bytes; // UTF-8, or GB18030 for the _gbk form
    bool gbk = false;
    bool operator==(const CaseText&) const = default;
};

struct TestCase {
    size_t line = 0;  // 1-based
    std::string name; // as given, or the line number
    std::string source;
    bool sourceGbk = false;
    bool url = false;                    // source is an http:// or https:// URL
    std::optional<CaseText> left, right; // always set for test; suggest ignores them
    bool all = false;
    // The expected outcome: found with one text, or not found (single); the
    // texts in order (all).
    bool found = true;
    std::vector<CaseText> expect;
};

// What the lines are read for: test needs every field of a rule; suggest
// needs the source and one expected text, and ignores left and right.
enum class CaseUse { kTest,
                     kSuggest };

struct CaseLineError {
    size_t line = 0;
    std::string reason; // English, without the file and line
};

// Every case of the file's contents, and every malformed line.
void ParseCaseFile(std::string_view contents, CaseUse use, std::vector<TestCase>* cases,
                   std::vector<CaseLineError>* errors);

// One line (without its line break); false with *reason when it is
// malformed. `number` names the case that gives no name.
bool ParseCaseLine(std::string_view line, size_t number, CaseUse use, TestCase* out, std::string* reason);

// Hex digits (either case, an even number of them) as bytes; false for anything else.
bool DecodeHex(std::string_view hex, std::string* bytes);
std::string EncodeHex(std::string_view bytes); // lower case

// A new expectation for a case, to write into its line.
struct NewExpectation {
    bool found = true;
    std::vector<std::string> texts; // UTF-8, or GB18030 bytes with gbk
    bool gbk = false;               // written as expect_gbk
};

// The line with its expectation replaced: the same fields in the same order,
// expect (or expect_gbk) where the old one stood, the same spacing style. The
// line must be one ParseCaseLine accepts.
std::string RewriteExpectation(std::string_view line, bool all, const NewExpectation& expectation);

// A new line (without its line break) for a single case: the fields in the
// usual order, spaced "key": value; a text given as GB18030 (gbk) is
// written in its _gbk form, source_gbk only when set.
std::string NewCaseLine(const TestCase& c, const NewExpectation& expectation);

} // namespace app
