#include "commands/bind_key_command.h"

#include "abi/service_calls.h"
#include "commands/dialog_args.h"
#include "platform/key_shortcuts.h"

namespace mt {

void BindKeyCommand(ValueRecord*, int32_t argc, ValueRecord* args)
{
    const ValueRecord component = dialog::Arg(argc, args, 0);
    const int64_t object = svc::Call(kSvcFindComponentOrFail, Low32(component), High32(component));
    if (!object)
        return;
    const int64_t window = svc::Call(kSvcComponentHandle, static_cast<intptr_t>(object));
    const ValueRecord key = dialog::Arg(argc, args, 1);
    const ValueRecord state = dialog::Arg(argc, args, 2);
    const ValueRecord event = dialog::Arg(argc, args, 3);
    platform::BindKey(reinterpret_cast<platform::WindowHandle>(static_cast<intptr_t>(window)), AsInt32(key),
                      dialog::Given(state) ? AsInt32(state) : 0, dialog::Given(event) ? AsInt32(event) : 0);
}

} // namespace mt
