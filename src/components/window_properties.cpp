#include "components/window_properties.h"

#include "components/property_types.h"

namespace mt {
namespace {

// The record's fields in order; each version adds fields before the
// variable parts.
template <typename Fields, typename P>
void VisitWindowFields(Fields& f, P& p)
{
    f.choice(p.border, 6);
    f.choice(p.backPictureMode, 3);
    f.u32(p.backColor);
    f.boolean(p.maxButton);
    f.boolean(p.minButton);
    f.boolean(p.controlBox);
    f.choice(p.startPosition, 3);
    f.boolean(p.movable);
    f.choice(p.musicPlayMode, 2);
    f.boolean(p.enterMovesFocus);
    f.boolean(p.escCloses);
    f.boolean(p.f1OpensHelp);
    f.i32(p.helpContext);
    if (f.version() >= 2)
        f.boolean(p.showInTaskbar);
    if (f.version() >= 3) {
        f.boolean(p.freeDrag);
        f.choice(p.shape, 29);
    }
    if (f.version() >= 4)
        f.boolean(p.alwaysOnTop);
    if (f.version() >= 5)
        f.boolean(p.keepTitleActive);
    if (f.version() >= 6)
        f.bytes(p.windowClassName);
    f.bytes(p.backPicture);
    f.bytes(p.icon);
    f.bytes(p.backMusic);
    f.bytes(p.caption);
    f.bytes(p.helpFile);
}

} // namespace

bool WindowProperties::read(const uint8_t* record, size_t size)
{
    *this = WindowProperties{};
    return ReadRecord(record, size, kVersion, [this](auto& f) { VisitWindowFields(f, *this); });
}

PropertyWriter WindowProperties::write() const
{
    return WriteRecord(kVersion, [this](auto& f) { VisitWindowFields(f, *this); });
}

} // namespace mt
