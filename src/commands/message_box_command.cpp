#include "commands/message_box_command.h"

#include <string>

#include "abi/message_box_style.h"
#include "commands/dialog_args.h"
#include "commands/dialog_texts.h"
#include "commands/value_format.h"
#include "platform/message_box.h"

namespace mt {
namespace {

using dialog::Arg;
using dialog::Given;
using dialog::TextArg;

// The program's style names and the platform's box read the same bits.
static_assert(box::kSystemModal == platform::kMbSystemModal && box::kTaskModal == platform::kMbTaskModal);
static_assert((box::kRetryCancel & ~platform::kMbButtonMask) == 0);
static_assert((box::kIconInformation & ~platform::kMbIconMask) == 0 && (box::kIconStop & ~platform::kMbIconMask) == 0);
static_assert((box::kDefaultThird & ~platform::kMbDefaultMask) == 0);

// The message: a text as it is; a number, boolean or date-time as ToText
// writes it; anything else nothing.
std::string Content(const ValueRecord& v)
{
    if (v.type == kTypeText)
        return std::string(TextArg(v));
    std::string text;
    FormatScalarValue(v, &text);
    return text;
}

} // namespace

int32_t ButtonNumber(int answer)
{
    return answer >= platform::kIdOk && answer <= platform::kIdNo ? answer - 1 : 0;
}

void MessageBoxCommand(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const ValueRecord title = Arg(argc, args, 2);
    const std::string_view caption =
        Given(title) ? TextArg(title) : std::string_view(gb::kMessageBoxTitle, gb::kMessageBoxTitleSize);
    const ValueRecord flagsArg = Arg(argc, args, 1);
    uint32_t style = Given(flagsArg) ? Low32(flagsArg) : 0;
    if (!(style & platform::kMbSystemModal))
        style |= platform::kMbTaskModal;
    *result = MakeInt(ButtonNumber(platform::ShowMessageBox(Content(Arg(argc, args, 0)), caption, style)));
}

} // namespace mt
