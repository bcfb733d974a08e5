// The find button: selects the wanted middle text in the big text box,
// occurrence after occurrence. Its caption is the state of the search.
#include "shared/find_state.h"
#include "shared/runtime_calls.h"

namespace app {
namespace {

FindState g_find;

void SelectHit(const char* wanted)
{
    FocusComponent(id::编辑框被查找文本, kEditBoxKind);
    WriteInt(id::编辑框被查找文本, kSelStart, g_find.foundPosition - 1);
    WriteInt(id::编辑框被查找文本, kSelLength, g_find.soughtLength);
    WriteText(id::按钮找中间文本, kCaption, Lit(lit::CaptionFindNext));
    // The other occurrences in view are tinted as the view scrolls.
    MarkText(id::编辑框被查找文本, wanted, {});
}

void NotFound()
{
    MarkText(id::编辑框被查找文本, nullptr, {});
    ShowMessage(Lit(lit::NotFound), box::kPlain, Lit(lit::TitleFindResult));
    WriteText(id::按钮找中间文本, kCaption, Lit(lit::CaptionFind));
}

void Search(int32_t (*step)(FindState&, const char*, const char*))
{
    Owned text = ReadText(id::编辑框被查找文本, kContent);
    Owned wanted = ReadText(id::编辑框中间, kContent);
    if (step(g_find, text.text(), wanted.text()) == -1)
        NotFound();
    else
        SelectHit(wanted.text());
}

} // namespace

void FindMiddleText(mt::EventCall*)
{
    Owned wanted = ReadText(id::编辑框中间, kContent);
    if (SameText(wanted.text(), Lit(lit::PromptMiddle))) {
        ShowMessage(Lit(lit::MiddleMissing), box::kError, Lit(lit::TitleError));
        return;
    }
    Owned caption = ReadText(id::按钮找中间文本, kCaption);
    if (SameText(caption.text(), Lit(lit::CaptionFind))) {
        Search(FindFirst);
        return;
    }
    Owned again = ReadText(id::按钮找中间文本, kCaption);
    if (SameText(again.text(), Lit(lit::CaptionFindNext)))
        Search(FindNext);
}

} // namespace app
