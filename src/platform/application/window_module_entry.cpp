// The window module's entry: the table of its calls (base/window_calls.h),
// filled with the functions of this module. Each pointer is cast to the
// type the list gives, so a signature that differs from the list does not
// build.
#include "platform/base/window_calls.h"

namespace mt::platform {
namespace {

WindowCalls FilledTable()
{
    WindowCalls table{};
    table.signature = kWindowCallsSignature;
#define MT_WINDOW_FILL(result, name, parameters, arguments, ...) table.name = static_cast<result(*) parameters>(&name);
    MT_WINDOW_CALLS(MT_WINDOW_FILL, MT_WINDOW_FILL)
#undef MT_WINDOW_FILL
    return table;
}

} // namespace
} // namespace mt::platform

extern "C" __attribute__((visibility("default"))) const mt::platform::WindowCalls* mt_window_calls()
{
    static const mt::platform::WindowCalls table = mt::platform::FilledTable();
    return &table;
}
