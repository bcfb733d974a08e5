#include "components/window_properties.h"

#include "components/property_types.h"

namespace mt {

bool WindowProperties::read(const uint8_t* record, size_t size)
{
    *this = WindowProperties{};
    PropertyReader r(record, size);
    uint32_t v = 0;
    if (!r.version(kVersion, &v))
        return r.ok();
    border = ClampChoice(r.i32(border), 6);
    backPictureMode = ClampChoice(r.i32(backPictureMode), 3);
    backColor = static_cast<uint32_t>(r.i32(static_cast<int32_t>(backColor)));
    maxButton = r.boolean(maxButton);
    minButton = r.boolean(minButton);
    controlBox = r.boolean(controlBox);
    startPosition = ClampChoice(r.i32(startPosition), 3);
    movable = r.boolean(movable);
    musicPlayMode = ClampChoice(r.i32(musicPlayMode), 2);
    enterMovesFocus = r.boolean(enterMovesFocus);
    escCloses = r.boolean(escCloses);
    f1OpensHelp = r.boolean(f1OpensHelp);
    helpContext = r.i32(helpContext);
    if (v >= 2)
        showInTaskbar = r.boolean(showInTaskbar);
    if (v >= 3) {
        freeDrag = r.boolean(freeDrag);
        shape = ClampChoice(r.i32(shape), 29);
    }
    if (v >= 4)
        alwaysOnTop = r.boolean(alwaysOnTop);
    if (v >= 5)
        keepTitleActive = r.boolean(keepTitleActive);
    if (v >= 6)
        windowClassName = r.bytes();
    backPicture = r.bytes();
    icon = r.bytes();
    backMusic = r.bytes();
    caption = r.bytes();
    helpFile = r.bytes();
    return r.ok();
}

PropertyWriter WindowProperties::write() const
{
    PropertyWriter w;
    w.u32(kVersion);
    w.i32(border);
    w.i32(backPictureMode);
    w.u32(backColor);
    w.boolean(maxButton);
    w.boolean(minButton);
    w.boolean(controlBox);
    w.i32(startPosition);
    w.boolean(movable);
    w.i32(musicPlayMode);
    w.boolean(enterMovesFocus);
    w.boolean(escCloses);
    w.boolean(f1OpensHelp);
    w.i32(helpContext);
    w.boolean(showInTaskbar);
    w.boolean(freeDrag);
    w.i32(shape);
    w.boolean(alwaysOnTop);
    w.boolean(keepTitleActive);
    w.bytes(windowClassName);
    w.bytes(backPicture);
    w.bytes(icon);
    w.bytes(backMusic);
    w.bytes(caption);
    w.bytes(helpFile);
    return w;
}

} // namespace mt
