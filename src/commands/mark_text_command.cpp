#include "commands/mark_text_command.h"

#include "abi/service_calls.h"
#include "commands/component_box.h"
#include "commands/dialog_args.h"
#include "commands/find_text.h"
#include "platform/edit_control.h"

namespace mt {
namespace {

int64_t SearchWholeCharacters(std::string_view text, std::string_view sought)
{
    return FindTextOffset(text, sought, 0, false);
}

} // namespace

void MarkText(ValueRecord*, int32_t argc, ValueRecord* args)
{
    platform::EditControl* edit = MultiLineBoxOf(dialog::Arg(argc, args, 0));
    if (!edit)
        return;
    platform::TextMarks marks;
    marks.sought = std::string(dialog::TextArg(dialog::Arg(argc, args, 1)));
    marks.search = SearchWholeCharacters;
    constexpr platform::MarkTint kTints[3] = {platform::MarkTint::kLeft, platform::MarkTint::kMiddle,
                                              platform::MarkTint::kRight};
    for (int32_t i = 0; i < 3; ++i) {
        const ValueRecord at = dialog::Arg(argc, args, 2 + 2 * i);
        const ValueRecord length = dialog::Arg(argc, args, 3 + 2 * i);
        if (!dialog::Given(at) || !dialog::Given(length) || AsInt32(at) < 1 || AsInt32(length) <= 0)
            continue;
        if (kTints[i] == platform::MarkTint::kMiddle)
            marks.reveal = static_cast<int>(marks.marks.size());
        marks.marks.push_back({static_cast<size_t>(AsInt32(at) - 1), static_cast<size_t>(AsInt32(length)), kTints[i]});
    }
    edit->setMarks(std::move(marks));
}

} // namespace mt
