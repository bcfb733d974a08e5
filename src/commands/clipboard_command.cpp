#include "commands/clipboard_command.h"

#include "commands/dialog_args.h"
#include "platform/clipboard.h"

namespace mt {

void SetClipboardText(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    *result = MakeBool(platform::SetClipboardText(dialog::TextArg(dialog::Arg(argc, args, 0))));
}

} // namespace mt
