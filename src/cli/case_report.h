// What `test` says of each case: the line a terminal shows (ok, FAIL with
// expected and got, ERROR with the reason), the object of --json, and the
// JUnit XML of --junit.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shared/case_run.h"

namespace app {

// An outcome as a JSON value in UTF-8: null (not found), a string, or an
// array of strings. *lossy is set when a text had bytes that do not decode.
std::string OutcomeJson(bool all, bool found, const std::vector<std::string>& texts, bool* lossy);

// The two texts cut to a window around the first byte where they differ
// (at most about `width` bytes each, whole UTF-8 characters, "..." where a
// piece was left out).
void ShortenAroundDifference(std::string* a, std::string* b, size_t width = 72);

// The lines a terminal shows for a case (UTF-8): "ok NAME", "FAIL NAME" and
// the expected and got values, or "ERROR NAME" and the reason. A failure
// written back by --update: "updated NAME" with what was and is expected.
std::string CaseLines(const TestCase& c, const CaseOutcome& o, bool updated = false);

// The --json object of a case, with its line break.
std::string CaseJson(const std::string& file, const TestCase& c, const CaseOutcome& o);

// A text that XML can hold: bytes that are not UTF-8 and characters XML
// does not allow become U+FFFD; & < > " ' as entities.
// In an attribute, tabs and line breaks become character references too.
std::string XmlText(std::string_view text, bool attribute = false);

struct JunitSuite {
    std::string file;
    std::vector<const TestCase*> cases;
    std::vector<const CaseOutcome*> outcomes;
};

// The whole JUnit XML document, one test suite a case file.
std::string JunitXml(const std::vector<JunitSuite>& suites);

} // namespace app
