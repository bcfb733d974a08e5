// The read-page button: asks for a URL and fills the big text box with the
// page's source.
#include "page_reader.h"

namespace app {

void ReadWebPage(mt::EventCall*)
{
    Owned url;
    if (!AskText(Lit(lit::UrlPrompt), Lit(lit::UrlTitle), Lit(lit::UrlInitial), &url))
        return;
    switch (CheckUrl(url.text())) {
    case UrlCheck::kEmpty:
        ShowMessage(Lit(lit::UrlEmpty), 16, Lit(lit::TitleError));
        return;
    case UrlCheck::kBadScheme:
        ShowMessage(Lit(lit::UrlBadScheme), 16, Lit(lit::UrlBadSchemeTitle));
        return;
    case UrlCheck::kOk:
        break;
    }
    Owned page;
    if (!FetchPage(url.text(), &page)) {
        // Nothing arrived: the big box keeps its text rather than being wiped.
        ShowMessage(Lit(lit::FetchFailed), 16, Lit(lit::UrlTitle));
        return;
    }
    WriteInt(id::编辑框被查找文本, kTextColor, kBlack);
    WriteText(id::编辑框被查找文本, kContent, page.text());
}

} // namespace app
