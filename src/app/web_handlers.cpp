// The read-page button: asks for a URL and fills the big text box with the
// page's source.
#include "shared/page_reader.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace app {
namespace {

// What the notice over a page says: the server's error status, why the
// page ended early, how many bytes did not decode; empty when all is well.
Owned PageNotice(const TransferReport& report, std::string_view endedEarly, int64_t replaced)
{
    Owned notice;
    const auto add = [&notice](std::initializer_list<std::string_view> pieces) {
        Owned part = Join(pieces);
        notice = notice.empty() ? std::move(part) : Join({notice.view(), Lit(lit::NoticeJoin), part.view()});
    };
    if (report.status >= 400) {
        const Owned code = IntToText(report.status);
        add({Lit(lit::NoticeErrorStatus), report.statusText.empty() ? code.view() : report.statusText.view()});
    }
    if (!endedEarly.empty())
        add({Lit(lit::NoticeEndedEarly), endedEarly});
    if (replaced > 0) {
        const Owned count = IntToText(static_cast<int32_t>(std::min<int64_t>(replaced, INT32_MAX)));
        add({Lit(lit::NoticeReplacedPrefix), count.view(), Lit(lit::NoticeReplacedSuffix)});
    }
    return notice;
}

// The address the big box's text was last read from, and that text as the
// box held it then: a case saved from the window names the address while
// the box still holds the page.
struct LastPage {
    std::string url, text;
};

LastPage& Last()
{
    static LastPage last;
    return last;
}

} // namespace

bool PageReadFrom(std::string_view text, std::string* url)
{
    const LastPage& last = Last();
    if (last.url.empty() || text != last.text)
        return false;
    *url = last.url;
    return true;
}

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
    ReadPageFrom(url.text());
}

bool ReadPageFrom(const char* url)
{
    Owned page, reason;
    int64_t replaced = 0;
    const PageOutcome outcome = FetchPage(url, &page, &reason, &replaced);
    switch (outcome) {
    case PageOutcome::kCancelled:
        return false; // the user's own choice: nothing changes, nothing to say
    case PageOutcome::kNothing: {
        // The big box keeps its text rather than being wiped; the second
        // line says why.
        const Owned message = Join({Lit(lit::FetchFailed), Lit(lit::LineBreak), reason.view()});
        ShowMessage(message.text(), box::kError, Lit(lit::UrlTitle));
        return false;
    }
    case PageOutcome::kShown:
    case PageOutcome::kEndedEarly: // shown as it arrived, as a browser would
        break;
    }
    const TransferReport report = LastTransfer();
    // Only a page the server answered with success is worth reading again.
    const bool whole = outcome == PageOutcome::kShown && report.status >= 200 && report.status <= 299;
    if (whole)
        RememberAddress(url);
    WriteInt(id::编辑框被查找文本, kTextColor, kBlack);
    WriteText(id::编辑框被查找文本, kContent, page.text());
    Last() = {};
    if (whole) {
        const Owned shown = ReadText(id::编辑框被查找文本, kContent);
        Last() = {url, std::string(shown.view())};
    }
    // The body is shown whatever the answer; the notice over it says what
    // is not as it should be, until the text is next changed.
    const Owned notice = PageNotice(report, outcome == PageOutcome::kEndedEarly ? reason.view() : "", replaced);
    if (!notice.empty())
        ShowNotice(id::编辑框被查找文本, notice.text());
    return true;
}

} // namespace app
