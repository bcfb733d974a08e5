#include "commands/edit_box_option_command.h"

#include "abi/service_calls.h"
#include "commands/dialog_args.h"
#include "platform/edit_control.h"

namespace mt {
namespace {

// The platform window of a component; null when it has none. A component
// that does not exist is the lookup's run-time error.
platform::WindowHandle WindowOf(const ValueRecord& component)
{
    const int64_t object = svc::Call(kSvcFindComponentOrFail, Low32(component), High32(component));
    if (!object)
        return nullptr;
    const int64_t window = svc::Call(kSvcComponentHandle, static_cast<intptr_t>(object));
    return reinterpret_cast<platform::WindowHandle>(static_cast<intptr_t>(window));
}

} // namespace

void EditBoxOption(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    platform::EditControl* edit = platform::EditControlOf(WindowOf(dialog::Arg(argc, args, 0)));
    if (!edit)
        return;
    const ValueRecord value = dialog::Arg(argc, args, 2);
    switch (AsInt32(dialog::Arg(argc, args, 1))) {
    case kEditBoxFocusCause: *result = MakeInt(static_cast<int32_t>(edit->lastFocusCause())); break;
    case kEditBoxLineBreaksOf: edit->setLineBreakSource(dialog::Given(value) ? WindowOf(value) : nullptr); break;
    default: break;
    }
}

} // namespace mt
