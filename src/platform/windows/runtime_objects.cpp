#include "platform/runtime_objects.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstdlib>
#include <set>

namespace mt::platform {

struct NativeObject {
    QImage image;
};

namespace {

std::set<NativeObject*>& Objects()
{
    static auto* objects = new std::set<NativeObject*>; // outlives static destruction
    return *objects;
}

} // namespace

ObjectHandle MakeIcon(const uint8_t* bytes, size_t size, int edge)
{
    if (!bytes || size == 0 || size > 0x7FFFFFFF || edge <= 0)
        return nullptr;
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    QImage best;
    do {
        QImage image = reader.read();
        if (image.isNull())
            break;
        if (best.isNull() || std::abs(image.width() - edge) < std::abs(best.width() - edge))
            best = image;
    } while (reader.jumpToNextImage());
    if (best.isNull())
        return nullptr;
    auto* object = new NativeObject{best.width() == edge && best.height() == edge
                                        ? best
                                        : best.scaled(edge, edge, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)};
    Objects().insert(object);
    return object;
}

bool DestroyObject(ObjectHandle object)
{
    if (!Objects().erase(object))
        return false;
    delete object;
    return true;
}

bool IsObject(ObjectHandle object) { return Objects().count(object) != 0; }

int IconWidth(ObjectHandle object) { return IsObject(object) ? object->image.width() : 0; }

} // namespace mt::platform
