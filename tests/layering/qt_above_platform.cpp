// Planted: code of the net layer that includes Qt, which only the platform
// layer may use. The build must refuse it.
#include <QString>

#include "net/http_read.h"

int LayeringQtAbovePlatform() { return 0; }
