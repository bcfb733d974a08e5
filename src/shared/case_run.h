// Running a case of a case file: its rule run on its source's text with the
// searches extract makes, and the outcome held against the expectation.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "abi/text_value.h"
#include "case_file.h"
#include "exit_status.h"
#include "runtime_calls.h"

namespace app {

// Reads a whole file (a relative path from `directory`) up to the input
// limit; false with "PATH: reason" in *error.
bool ReadFileBytes(const std::string& path, int directory, std::string* bytes, std::string* error);

// Where a case's source is found: a URL as it is, a relative path from the
// case file's folder.
std::string SourcePath(const std::string& caseFile, const TestCase& c);

// A source's text, once read.
struct CasePage {
    bool read = false; // false: *error says why it could not be read
    Owned text;        // the page's runtime text
    int32_t length = 0;
    int status = kExitDone; // kExitPageEnded, kExitServerError or kExitUnreadable for a page
    std::string error;      // in the terminal's encoding
    std::string warning;    // a page that ended early or answered with an error status
};

// What a case gave.
struct CaseOutcome {
    enum class Status { kOk,
                        kFail,
                        kError };
    Status status = Status::kOk;
    bool found = true;                 // single: a middle text was found
    std::vector<std::string> got;      // runtime texts: the middle text, or every one
    std::vector<std::string> expected; // the expectation as runtime texts
    std::string reason;                // kFail: why, in English; kError: the source's reason
    // kFail with a text not found or an empty middle text: why, when the
    // diagnosis has something to say (code kNone otherwise).
    RuleHint hint;
};

// Reads a case's source file (a relative path from `directory`): raw
// GB18030 bytes (gbk), else UTF-8 made a runtime text; false with
// "PATH: reason" in *error.
bool ReadCaseSource(const std::string& path, int directory, bool gbk, Owned* text, int32_t* length,
                    std::string* error);

// Runs the case on its page.
CaseOutcome RunCase(const TestCase& c, const CasePage& page);

// The expectation a case's outcome gives: UTF-8 when every text converts,
// else the GB18030 bytes (written as hex).
NewExpectation ExpectationNow(const CaseOutcome& outcome);

// A case's text as a runtime text (GB18030).
std::string RuntimeText(const CaseText& text);

} // namespace app
