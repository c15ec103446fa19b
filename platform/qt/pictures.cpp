#include "platform/qt/pictures.h"

#include <QFile>
#include <QPixmapCache>
#include <mutex>

// The pictures live in a static library: nothing would pull them into the
// program unless named.
static void registerPictures() { Q_INIT_RESOURCE(pictures); }

namespace treva {
namespace {
void ensurePictures() {
    static std::once_flag once;
    std::call_once(once, registerPictures);
}
} // namespace

QPixmap loadPicture(int id, qreal devicePixelRatio) {
    ensurePictures();
    const bool sharp = devicePixelRatio > 1.0;
    const QString key = QStringLiteral("treva-bitmap-%1-%2").arg(id).arg(sharp ? 2 : 1);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) return pixmap;
    const QString sharpPath = QStringLiteral(":/bitmaps/%1@2x.png").arg(id);
    if (sharp && QFile::exists(sharpPath) && pixmap.load(sharpPath)) {
        pixmap.setDevicePixelRatio(2.0);
    } else {
        pixmap.load(QStringLiteral(":/bitmaps/%1.png").arg(id));
    }
    if (!pixmap.isNull()) QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QIcon loadIcon(int id) {
    ensurePictures();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString path = QStringLiteral(":/icons/%1-%2.png").arg(id).arg(size);
        if (QFile::exists(path)) icon.addFile(path, QSize(size, size));
    }
    return icon;
}

} // namespace treva
