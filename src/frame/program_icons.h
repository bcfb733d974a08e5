// The program's icon as the runtime hands it to libraries: a large and a
// small icon made once from the icon of the first window in the template
// block and kept until shutdown.
#pragma once

#include <cstdint>

namespace mt {

// Writes the large icon, then the small one, into the two words at `words`
// (null words where the program has no icon).
void WriteProgramIcons(intptr_t* words);
// Destroys an icon (or other object) the platform layer made for the
// program; anything else is left alone.
void DestroyRuntimeObject(intptr_t object);
void ReleaseProgramIcons();

} // namespace mt
