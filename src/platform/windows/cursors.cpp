#include "platform/cursors.h"

#include <QCursor>
#include <QPixmap>
#include <QWidget>

#include <cstring>

#include "platform/application.h"
#include "platform/native_window.h"

namespace mt::platform {
namespace {

struct StandardCursor {
    int32_t identifier;
    Qt::CursorShape shape;
};

// Index = cursor number. The identifiers are the classic desktop's standard
// cursor resource numbers, so stored data stays meaningful.
constexpr StandardCursor kStandard[15] = {
    {0, Qt::ArrowCursor},
    {32512, Qt::ArrowCursor},
    {32515, Qt::CrossCursor},
    {32513, Qt::IBeamCursor},
    {32514, Qt::WaitCursor},
    {32651, Qt::WhatsThisCursor},
    {32650, Qt::BusyCursor},
    {32648, Qt::ForbiddenCursor},
    {32646, Qt::SizeAllCursor},
    {32643, Qt::SizeBDiagCursor},
    {32645, Qt::SizeVerCursor},
    {32642, Qt::SizeFDiagCursor},
    {32644, Qt::SizeHorCursor},
    {32516, Qt::UpArrowCursor},
    {32649, Qt::PointingHandCursor},
};

QCursor* FromFile(const uint8_t* data, size_t size)
{
    // An icon directory of type 2 (cursor): the first entry carries the hot spot.
    if (size < 22 || data[2] != 2 || data[3] != 0)
        return nullptr;
    QPixmap pixmap;
    if (!pixmap.loadFromData(data, static_cast<uint>(size), "CUR") &&
        !pixmap.loadFromData(data, static_cast<uint>(size), "ICO"))
        return nullptr;
    uint16_t hot[2];
    std::memcpy(hot, data + 10, sizeof hot);
    return new QCursor(pixmap, hot[0], hot[1]);
}

QCursor* Standard(int32_t number)
{
    if (number >= 1 && number <= 14)
        return new QCursor(kStandard[number].shape);
    return nullptr;
}

QCursor* ToCursor(CursorHandle c) { return reinterpret_cast<QCursor*>(c); }

} // namespace

int32_t CursorIdentifier(int32_t number)
{
    return number >= 0 && number <= 14 ? kStandard[number].identifier : number;
}

int32_t CursorNumber(int32_t identifier)
{
    for (int32_t n = 1; n <= 14; ++n) {
        if (kStandard[n].identifier == identifier)
            return n;
    }
    return identifier;
}

CursorHandle MakeCursor(const uint8_t* data, size_t size)
{
    if (!data || size == 0)
        return nullptr;
    EnsureApplication();
    int32_t number = data[0];
    if (size >= 4)
        std::memcpy(&number, data, 4);
    QCursor* cursor = nullptr;
    if (number == -1)
        cursor = FromFile(data + 4, size - 4 < size ? size - 4 : 0);
    else if (size > 10)
        cursor = FromFile(data, size);
    if (!cursor)
        cursor = Standard(CursorNumber(number));
    return reinterpret_cast<CursorHandle>(cursor);
}

void DestroyCursor(CursorHandle cursor) { delete ToCursor(cursor); }

void SetWindowCursor(WindowHandle handle, CursorHandle cursor)
{
    QWidget* w = ToWidget(handle);
    if (!w)
        return;
    if (cursor)
        w->setCursor(*ToCursor(cursor));
    else
        w->unsetCursor();
}

void RefreshMouseCursor()
{
    if (HasApplication())
        QCursor::setPos(QCursor::pos());
}

int32_t WindowCursorNumber(WindowHandle handle)
{
    QWidget* w = ToWidget(handle);
    if (!w || !w->testAttribute(Qt::WA_SetCursor))
        return 0;
    const Qt::CursorShape shape = w->cursor().shape();
    for (int32_t n = 1; n <= 14; ++n) {
        if (kStandard[n].shape == shape)
            return n;
    }
    return -1;
}

} // namespace mt::platform
