#include "filelist/PointerPicture.h"

#include "base/ErrorReport.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

namespace {

// The texts shown to the user, in the user's language.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(PointerPicture)
};

}  // namespace

namespace {

struct HotSpot {
    int x = -1, y = -1;  // -1: the picture's centre
};

// A cursor file keeps the hot spot of its first picture in its directory entry.
HotSpot hotSpotOf(const QByteArray &file) {
    if (file.size() < 6 + 16)
        return {};
    const auto *bytes = reinterpret_cast<const uchar *>(file.constData());
    if (qFromLittleEndian<quint16>(bytes) != 0 || qFromLittleEndian<quint16>(bytes + 2) != 2)
        return {};
    return {qFromLittleEndian<quint16>(bytes + 6 + 4), qFromLittleEndian<quint16>(bytes + 6 + 6)};
}

}  // namespace

QCursor LoadPointerPicture(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError::aboutPath(file.errorString(), path);
    const QByteArray content = file.readAll();
    QImage image;
    if (!image.loadFromData(content, "ICO") && !image.loadFromData(content))
        throw AppError(Texts::tr("Invalid picture"));
    const HotSpot hot = hotSpotOf(content);
    return QCursor(QPixmap::fromImage(image), hot.x, hot.y);
}
