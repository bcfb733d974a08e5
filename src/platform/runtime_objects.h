// Objects this layer makes for the program and hands out as handles: icons.
// A handle stays valid until DestroyObject; anything the layer did not make
// is never touched.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mt::platform {

struct NativeObject; // a picture inside the layer
using ObjectHandle = NativeObject*;

// An icon `edge` pixels square from icon-directory (or other picture) bytes:
// the image nearest that size, scaled to it. Null when nothing decodes.
ObjectHandle MakeIcon(const uint8_t* bytes, size_t size, int edge);
// Destroys an object made here; false, and nothing done, for anything else.
bool DestroyObject(ObjectHandle object);
bool IsObject(ObjectHandle object);
// The pixel width of an icon, 0 for anything else.
int IconWidth(ObjectHandle object);

} // namespace mt::platform
