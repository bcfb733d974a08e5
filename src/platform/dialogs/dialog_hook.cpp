#include "platform/dialog_hook.h"

namespace mt::platform {
namespace {

DialogHook* g_hook = nullptr;

} // namespace

void SetDialogHook(DialogHook* hook) { g_hook = hook; }

DialogHook* CurrentDialogHook() { return g_hook; }

} // namespace mt::platform
