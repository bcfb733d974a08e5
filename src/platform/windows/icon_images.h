// The images of an icon file (every size it holds), or the one image of any
// other picture; empty when the bytes are none Qt reads.
#pragma once

#include <QImage>
#include <QList>

#include <cstddef>
#include <cstdint>

namespace mt::platform {

QList<QImage> IconImages(const uint8_t* bytes, size_t size);

} // namespace mt::platform
