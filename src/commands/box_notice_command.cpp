#include "commands/box_notice_command.h"

#include "commands/dialog_args.h"
#include "abi/service_calls.h"
#include "platform/edit_control.h"

namespace mt {

void BoxNotice(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const ValueRecord component = dialog::Arg(argc, args, 0);
    const int64_t object = svc::Call(kSvcFindComponentOrFail, Low32(component), High32(component));
    if (!object)
        return;
    const int64_t window = svc::Call(kSvcComponentHandle, static_cast<intptr_t>(object));
    platform::EditControl* edit =
        platform::EditControlOf(reinterpret_cast<platform::WindowHandle>(static_cast<intptr_t>(window)));
    if (!edit || !edit->isMultiLine())
        return;
    edit->setNotice(dialog::TextArg(dialog::Arg(argc, args, 1)));
    *result = MakeBool(true);
}

} // namespace mt
