// What each source of extract and find gave, written as the command line
// asks: the results alone, each behind its source's name, their numbers
// (--count), or JSON Lines; failures and warnings on standard error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli_context.h"
#include "shared/json_lines.h"
#include "url_pages.h"

namespace app {

class ResultWriter {
public:
    // `named`: whether the sources are many, so that results carry their
    // names (unless --no-filename) and every result ends its line.
    ResultWriter(const CliContext& context, bool named);

    // A new source; `page` is its page when it was read from a URL.
    void begin(const std::string& name, const FetchedPage* page);
    // A result: a middle text (extract) or the wanted text (find), a
    // runtime text, at a 1-based byte position of the source's text.
    void found(std::string_view text, int32_t start);
    // The source gave none: the window's message, then why (when `hint`
    // names a cause).
    void notFound(uint32_t literal, const RuleHint* hint = nullptr);
    // A remark on the source's result (a middle text empty because the
    // right text occurs only before the left): in its JSON object, and as a
    // warning behind it.
    void remark(RuleHint hint);
    // The source could not be read: `reason` in the terminal's encoding
    // (the system's words), or a page's runtime text (`pageReason`).
    void failed(const std::string& reason);
    void pageNotRead();
    // Behind the source's results: its count, and a page's warnings.
    void end();

    int64_t results() const { return results_; }
    // Whether the source has given all the results -m lets it give: the
    // search may stop.
    bool enough() const { return maxCount_ > 0 && results_ >= maxCount_; }

private:
    void record(std::string_view content);
    struct JsonResult {
        int64_t index;
        int32_t start;
        int64_t length; // bytes of the runtime text
    };
    void writeBatch();
    void writeJsonBatch();
    // `source` as a JSON string, quotes included.
    std::string jsonLine(const std::string& source, const JsonResult& result, std::string_view text, bool lossy) const;
    std::string jsonSource(bool* lossy) const;
    // The source named in a message: none for standard input alone.
    std::string who() const;
    // The stable error code of the page being written, and its JSON fields.
    void pageFields(JsonObject& object, bool* lossy) const;

    const CliContext& c_;
    const bool named_;    // SOURCE: in stderr lines, a line end behind every result
    const bool prefixed_; // SOURCE: in front of every result
    const bool find_;
    const bool quiet_;       // -q: nothing on standard output, no not-found message
    const bool names_;       // -l: the names of the sources with results
    const bool color_;       // --color: escapes for the names and the middle texts
    const int64_t maxCount_; // -m; 0: no bound
    std::string name_;
    const FetchedPage* page_ = nullptr;
    int64_t results_ = 0;
    RuleHint remark_; // the source's remark; code kNone for none
    // Middle texts waiting to be converted together, each ended by a zero
    // byte (which no text holds): one conversion for many short texts.
    std::string batch_;
    std::vector<JsonResult> jsonBatch_; // with --json: the results whose texts are in batch_
};

} // namespace app
