#include "commands/focus_command.h"

#include "abi/service_calls.h"
#include "commands/dialog_args.h"
#include "platform/native_window.h"

namespace mt {

void SetComponentFocus(ValueRecord*, int32_t argc, ValueRecord* args)
{
    const ValueRecord component = dialog::Arg(argc, args, 0);
    const int64_t object = svc::Call(kSvcFindComponentOrFail, Low32(component), High32(component));
    if (!object)
        return;
    const int64_t window = svc::Call(kSvcComponentHandle, static_cast<intptr_t>(object));
    platform::SetFocusWindow(reinterpret_cast<platform::WindowHandle>(static_cast<intptr_t>(window)));
}

} // namespace mt
