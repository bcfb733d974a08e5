// Planted: code of the platform's Qt-free part that includes Qt. The
// command line links that part alone, so the build must refuse it.
#include <QString>

#include "platform/text_codec.h"

int LayeringQtInPlatformBase() { return 0; }
