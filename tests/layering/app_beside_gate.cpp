// Planted: a handler of the application that includes a text command's
// header to call it directly instead of through the call gate. The build
// must refuse it.
#include "abi/value_record.h"
#include "commands/text_commands.h"

int LayeringAppBesideGate() { return 0; }
