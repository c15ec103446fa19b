#include "platform/qt/pictures.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <algorithm>
#include <iterator>
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

namespace {

const int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// An icon drawn in several sizes, each file read only when a size near it is
// first asked for: decoding them all would cost start-up time for sizes the
// desktop may never show.
class SizedIconEngine : public QIconEngine {
public:
    explicit SizedIconEngine(int id) : id_(id) {}

    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override {
        const int wanted = std::max(size.width(), size.height());
        int chosen = kIconSizes[std::size(kIconSizes) - 1];
        for (int drawn : kIconSizes) {
            if (drawn >= wanted) {
                chosen = drawn;
                break;
            }
        }
        const QString key = QStringLiteral("treva-icon-%1-%2").arg(id_).arg(chosen);
        QPixmap pixmap;
        if (!QPixmapCache::find(key, &pixmap)) {
            pixmap.load(QStringLiteral(":/icons/%1-%2.png").arg(id_).arg(chosen));
            QPixmapCache::insert(key, pixmap);
        }
        if (pixmap.isNull() || chosen == wanted) return pixmap;
        return pixmap.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
        drawn.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), drawn);
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int drawn : kIconSizes) sizes << QSize(drawn, drawn);
        return sizes;
    }

    QIconEngine *clone() const override { return new SizedIconEngine(id_); }

private:
    int id_;
};

} // namespace

QIcon loadIcon(int id) {
    ensurePictures();
    return QIcon(new SizedIconEngine(id));
}

} // namespace treva
