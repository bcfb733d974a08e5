#include "case_pages.h"

#include "shared/cli_diagnostics.h"
#include "shared/cli_messages.h"
#include "shared/console_text.h"

namespace app {

struct CasePages::Source {
    std::string path; // a URL, or a path from the start directory
    bool url = false;
    bool gbk = false;
    size_t lastCase = 0; // the last case that names it
    uint64_t ticket = 0; // a URL once its page was asked for
};

namespace {

const ConsoleText& Utf8Console()
{
    static const ConsoleText utf8 = ConsoleText::ForEncoding("UTF-8");
    return utf8;
}

std::string Plain(std::string_view s)
{
    return std::string(s);
}

} // namespace

CasePages::CasePages(const CliContext& context, const std::vector<CaseFile>& files) : c_(context)
{
    std::map<std::pair<std::string, bool>, size_t> known;
    for (const CaseFile& file : files) {
        for (const TestCase& c : file.cases) {
            const std::string path = SourcePath(file.path, c);
            const auto [at, fresh] = known.emplace(std::pair(path, c.sourceGbk), sources_.size());
            if (fresh)
                sources_.push_back(Source{path, c.url, c.sourceGbk, 0, 0});
            sources_[at->second].lastCase = caseSource_.size();
            caseSource_.push_back(at->second);
        }
    }
    ApplyRequestOptions(context.options);
    pages_ = MakeUrlPages(context.options);
}

CasePages::~CasePages() = default;

// Pages are asked for in the order the cases first name them, a few ahead
// of the one in its turn; files are read when their turn comes.
constexpr size_t kFewAhead = 64;

bool CasePages::askOne()
{
    while (nextAsk_ < sources_.size()) {
        Source& s = sources_[nextAsk_++];
        if (!s.url)
            continue;
        Owned url;
        Utf8Console().decode(s.path, &url);
        s.ticket = nextAsk_;
        pages_->request(s.ticket, Plain(url.view()));
        ++inFlight_;
        return true;
    }
    return false;
}

void CasePages::askAhead()
{
    while (inFlight_ < kFewAhead && askOne()) {
    }
}

CasePage CasePages::readFile(const Source& s) const
{
    CasePage page;
    if (!ReadCaseSource(s.path, c_.startDirectory, s.gbk, &page.text, &page.length, &page.error)) {
        page.status = kExitUnreadable;
        return page;
    }
    page.read = true;
    return page;
}

const CasePage& CasePages::page(size_t index)
{
    const size_t at = caseSource_[index];
    if (const auto held = held_.find(at); held != held_.end())
        return held->second;
    askAhead();
    const Source& s = sources_[at];
    CasePage page;
    if (!s.url) {
        page = readFile(s);
    } else {
        // The earliest page asked for and not taken: cases name their
        // sources in the order the pages were asked for.
        // While it is still coming, pages further on are asked for, so
        // that a stalled page holds up only the cases that name it.
        while (!pages_->wait(s.ticket) && askOne()) {
        }
        FetchedPage fetched = pages_->take(s.ticket);
        --inFlight_;
        const std::string who = EchoArgument(s.path) + ": ";
        if (fetched.outcome == FetchedPage::Outcome::kNotRead) {
            page.status = kExitUnreadable;
            page.error = who + diag::PageNotRead(c_.console.encode(fetched.reason.view()));
        } else {
            page.read = true;
            page.text = std::move(fetched.text);
            page.length = fetched.length;
            if (fetched.outcome == FetchedPage::Outcome::kEndedEarly) {
                page.status = kExitPageEnded;
                page.warning = diag::EndedEarly(c_.console.encode(fetched.reason.view()));
            }
            if (fetched.status >= 400) {
                page.status = kExitServerError;
                const std::string answer = fetched.statusText.empty() ? std::to_string(fetched.status)
                                                                      : c_.console.encode(fetched.statusText.view());
                page.warning = diag::ServerAnswered(answer, true);
            }
        }
        askAhead();
    }
    if (!page.warning.empty()) {
        c_.out.flush(); // behind the lines of the cases before it
        PrintSourceError(sources_[at].path, page.warning);
    }
    return held_.emplace(at, std::move(page)).first->second;
}

void CasePages::done(size_t index)
{
    const size_t at = caseSource_[index];
    if (sources_[at].lastCase == index)
        held_.erase(at);
}

} // namespace app
