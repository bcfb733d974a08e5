#include "commands/component_box.h"

#include "abi/service_calls.h"

namespace mt {

platform::EditControl* MultiLineBoxOf(const ValueRecord& component)
{
    const int64_t object = svc::Call(kSvcFindComponentOrFail, Low32(component), High32(component));
    if (!object)
        return nullptr;
    const int64_t window = svc::Call(kSvcComponentHandle, static_cast<intptr_t>(object));
    platform::EditControl* edit =
        platform::EditControlOf(reinterpret_cast<platform::WindowHandle>(static_cast<intptr_t>(window)));
    return edit && edit->isMultiLine() ? edit : nullptr;
}

} // namespace mt
