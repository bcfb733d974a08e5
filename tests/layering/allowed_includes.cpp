// Code of the commands layer that includes only what it may: its own folder,
// the layers below it, abi and its generated texts. It must compile, so that
// the planted files next to it fail for their one wrong include alone.
#include "abi/service_calls.h"
#include "commands/commands_texts.h"
#include "commands/focus_command.h"
#include "net/http_read.h"
#include "platform/native_window.h"

int LayeringAllowedIncludes() { return 0; }
