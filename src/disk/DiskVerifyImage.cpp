#include "disk/DiskVerifyImage.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

namespace DiskVerifyImage {

QString randomCode()
{
    // No 0/O or 1/I/L, which read alike.
    static const char kAlphabet[] = "ABCDEFGHJKMNPQRSTUVWXYZ23456789";
    QString code;
    for (int i = 0; i < 4; ++i)
        code.append(QChar(kAlphabet[QRandomGenerator::system()->bounded(int(sizeof kAlphabet) - 1)]));
    return code;
}

QByteArray drawPng(const QString& code)
{
    QImage image(120, 44, QImage::Format_RGB32);
    image.fill(QColor(236, 240, 244));
    QRandomGenerator* rng = QRandomGenerator::global();
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < 6; ++i) {
            p.setPen(QPen(QColor(rng->bounded(120, 200), rng->bounded(120, 200), rng->bounded(120, 200)), 1.5));
            p.drawLine(rng->bounded(120), rng->bounded(44), rng->bounded(120), rng->bounded(44));
        }
        QFont font;
        font.setPixelSize(26);
        font.setBold(true);
        p.setFont(font);
        for (int i = 0; i < code.size(); ++i) {
            p.save();
            p.translate(14 + i * 26, 32);
            p.rotate(rng->bounded(-15, 16));
            p.setPen(QColor(rng->bounded(20, 90), rng->bounded(40, 110), rng->bounded(80, 160)));
            p.drawText(0, 0, QString(code[i]));
            p.restore();
        }
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

}
