// The read-page button: asks for a URL and fills the big text box with the
// page's source.
#include "page_reader.h"

namespace app {

void ReadWebPage(mt::EventCall*)
{
    Owned url;
    OfferRecentAddresses(); // for this dialog alone
    if (!AskText(Lit(lit::UrlPrompt), Lit(lit::UrlTitle), Lit(lit::UrlInitial), &url))
        return;
    switch (CheckUrl(url.text())) {
    case UrlCheck::kEmpty:
        ShowMessage(Lit(lit::UrlEmpty), box::kError, Lit(lit::TitleError));
        return;
    case UrlCheck::kBadScheme:
        ShowMessage(Lit(lit::UrlBadScheme), box::kError, Lit(lit::UrlBadSchemeTitle));
        return;
    case UrlCheck::kOk:
        break;
    }
    Owned page, reason;
    switch (FetchPage(url.text(), &page, &reason)) {
    case PageOutcome::kCancelled:
        return; // the user's own choice: nothing changes, nothing to say
    case PageOutcome::kNothing: {
        // The big box keeps its text rather than being wiped; the second
        // line says why.
        const Owned message = Join({Lit(lit::FetchFailed), Lit(lit::LineBreak), reason.view()});
        ShowMessage(message.text(), box::kError, Lit(lit::UrlTitle));
        return;
    }
    case PageOutcome::kShown:
        RememberAddress(url.text());
        break;
    case PageOutcome::kEndedEarly: // shown as it arrived, as a browser would
        break;
    }
    WriteInt(id::编辑框被查找文本, kTextColor, kBlack);
    WriteText(id::编辑框被查找文本, kContent, page.text());
}

} // namespace app
