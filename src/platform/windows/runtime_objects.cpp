#include "platform/runtime_objects.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstdlib>
#include <set>

#include "platform/windows/icon_images.h"

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

QList<QImage> IconImages(const uint8_t* bytes, size_t size)
{
    QList<QImage> images;
    if (!bytes || size == 0 || size > 0x7FFFFFFF)
        return images;
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // An icon file says so in its first four bytes: read it as one, rather
    // than loading every image plugin to ask each whether it knows the bytes.
    if (size >= 4 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 1 && bytes[3] == 0)
        reader.setFormat("ico");
    do {
        QImage image = reader.read();
        if (image.isNull())
            break;
        images.append(std::move(image));
    } while (reader.jumpToNextImage());
    return images;
}

ObjectHandle MakeIcon(const uint8_t* bytes, size_t size, int edge)
{
    if (edge <= 0)
        return nullptr;
    QImage best;
    for (const QImage& image : IconImages(bytes, size)) {
        if (best.isNull() || std::abs(image.width() - edge) < std::abs(best.width() - edge))
            best = image;
    }
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
