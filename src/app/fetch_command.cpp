// middletext fetch URL: what reading the page would put into the big box.
#include "cli_context.h"
#include "page_reader.h"

namespace app {

int RunFetch(const CliContext& c)
{
    Owned url;
    int status = kExitDone;
    if (!c.decodeArgument(*c.options.file, "URL", &url, &status))
        return status;
    switch (CheckUrl(url.text())) {
    case UrlCheck::kEmpty: return c.message(lit::UrlEmpty);
    case UrlCheck::kBadScheme: return c.message(lit::UrlBadScheme);
    case UrlCheck::kOk: break;
    }
    Owned page;
    if (!FetchPage(url.text(), &page))
        return c.message(lit::FetchFailed);
    c.out.write(c.console.encode(page.view()));
    return kExitDone;
}

} // namespace app
