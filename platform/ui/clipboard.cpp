// Copying images to and pasting them from the system clipboard.
#include "platform/ui/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace Clipboard {

static QClipboard* board()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    return QGuiApplication::clipboard();
}

bool Available() { return board() != nullptr; }

void Clear()
{
    if (QClipboard* c = board())
        c->clear();
}

void SetBitmap(const QByteArray& bmpFile, const QImage& image)
{
    QClipboard* c = board();
    if (!c)
        return;
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(BmpMimeType), bmpFile);
    if (!image.isNull())
        mime->setImageData(image);
    c->clear();
    c->setMimeData(mime);  // the clipboard owns it now
}

bool HasBitmap()
{
    QClipboard* c = board();
    if (!c)
        return false;
    const QMimeData* m = c->mimeData();
    return m && (m->hasFormat(QString::fromLatin1(BmpMimeType)) || m->hasImage());
}

bool GetBmpFile(QByteArray& bmpFile)
{
    QClipboard* c = board();
    if (!c)
        return false;
    const QMimeData* m = c->mimeData();
    if (!m || !m->hasFormat(QString::fromLatin1(BmpMimeType)))
        return false;
    bmpFile = m->data(QString::fromLatin1(BmpMimeType));
    return !bmpFile.isEmpty();
}

static bool isMono(const QImage& img, bool* inverted)
{
    if (img.depth() != 1)
        return false;
    const QList<QRgb> t = img.colorTable();
    if (t.size() != 2)
        return false;
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    const QRgb a = t[0] | 0xFF000000u, b = t[1] | 0xFF000000u;
    if (a == black && b == white) {
        *inverted = false;
        return true;
    }
    if (a == white && b == black) {
        *inverted = true;
        return true;
    }
    return false;
}

bool GetImage(QImage& image)
{
    QClipboard* c = board();
    if (!c)
        return false;
    const QMimeData* m = c->mimeData();
    if (!m || !m->hasImage())
        return false;
    const QImage img = qvariant_cast<QImage>(m->imageData());
    if (img.isNull())
        return false;
    bool inverted = false;
    if (isMono(img, &inverted)) {
        QImage mono = img.convertToFormat(QImage::Format_Mono);
        if (inverted)
            mono.invertPixels();
        mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        image = mono;
    } else {
        image = img.convertToFormat(QImage::Format_BGR888);
    }
    return !image.isNull();
}

}  // namespace Clipboard
