#include "commands/box_notice_command.h"

#include "abi/service_calls.h"
#include "commands/component_box.h"
#include "commands/dialog_args.h"
#include "platform/edit_control.h"

namespace mt {

void BoxNotice(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    platform::EditControl* edit = MultiLineBoxOf(dialog::Arg(argc, args, 0));
    if (!edit)
        return;
    edit->setNotice(dialog::TextArg(dialog::Arg(argc, args, 1)));
    *result = MakeBool(true);
}

} // namespace mt
