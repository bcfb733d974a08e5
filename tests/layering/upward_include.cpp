// Planted: code of the commands layer that includes the layer above it. The
// build must refuse it.
#include "commands/focus_command.h"
#include "components/component.h"

int LayeringUpwardInclude() { return 0; }
