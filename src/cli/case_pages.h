// The sources of the cases the test command runs: each read once, pages
// asked for ahead of their turn (--jobs at once).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cli_context.h"
#include "shared/case_run.h"
#include "url_pages.h"

namespace app {

// A case file read and parsed.
struct CaseFile {
    std::string path;     // as given on the command line
    std::string contents; // its bytes, for --update
    std::vector<TestCase> cases;
};

// The sources of a run of cases, read in the order the cases first name
// them and dropped behind the last case that names them.
class CasePages {
public:
    CasePages(const CliContext& context, const std::vector<CaseFile>& files);
    ~CasePages();
    CasePages(const CasePages&) = delete;
    CasePages& operator=(const CasePages&) = delete;

    // The page of case `index` (counted over all files in order).
    const CasePage& page(size_t index);
    // Done with case `index`: a page no later case names goes.
    void done(size_t index);

private:
    struct Source;
    void askAhead();
    bool askOne(); // asks for the next page; false when none is left
    CasePage readFile(const Source& s) const;

    const CliContext& c_;
    std::vector<Source> sources_;     // in the order cases first name them
    std::vector<size_t> caseSource_;  // by case: its source
    std::map<size_t, CasePage> held_; // read and still named ahead
    std::unique_ptr<UrlPages> pages_;
    size_t nextAsk_ = 0;  // the next source whose page may be asked for
    size_t inFlight_ = 0; // pages asked for and not taken
};

} // namespace app
