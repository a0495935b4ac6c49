#include "platform/ui/ImageDrawings.h"

#include "platform/ui/Images.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace ui {

namespace {

using P = QPainter;

const QColor kGlyphGrey(150, 156, 166);
const QColor kGlyphWhite(245, 245, 245);
const QColor kAccent(64, 156, 255);

QRectF inset(const QSize& s, qreal by) { return QRectF(QPointF(0, 0), QSizeF(s)).adjusted(by, by, -by, -by); }

void roundedGradient(P& p, const QRectF& r, QColor top, QColor bottom, qreal radius, QColor border = Qt::transparent)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(border == Qt::transparent ? Qt::NoPen : QPen(border, 1));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
}

// Glyphs drawn into a square box.
void drawPicture(P& p, const QRectF& b, QColor c)
{
    p.setPen(QPen(c, b.width() * 0.05, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QRectF frame = b.adjusted(b.width() * 0.1, b.height() * 0.2, -b.width() * 0.1, -b.height() * 0.2);
    p.drawRoundedRect(frame, b.width() * 0.04, b.width() * 0.04);
    QPainterPath hills;
    hills.moveTo(frame.left(), frame.bottom());
    hills.lineTo(frame.left() + frame.width() * 0.35, frame.top() + frame.height() * 0.45);
    hills.lineTo(frame.left() + frame.width() * 0.55, frame.top() + frame.height() * 0.7);
    hills.lineTo(frame.left() + frame.width() * 0.75, frame.top() + frame.height() * 0.5);
    hills.lineTo(frame.right(), frame.bottom());
    hills.closeSubpath();
    p.setBrush(c);
    p.drawPath(hills);
    const qreal r = frame.width() * 0.08;
    p.drawEllipse(QPointF(frame.left() + frame.width() * 0.75, frame.top() + frame.height() * 0.25), r, r);
}

void drawLock(P& p, const QRectF& b, QColor c, bool open)
{
    const qreal w = b.width();
    QRectF body(b.left() + w * 0.22, b.top() + b.height() * 0.45, w * 0.56, b.height() * 0.42);
    p.setPen(QPen(c, w * 0.08, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QRectF shackle(b.left() + w * 0.32, b.top() + b.height() * 0.15, w * 0.36, b.height() * 0.5);
    if (open)
        shackle.translate(w * 0.2, -b.height() * 0.06);
    p.drawArc(shackle, 0, 180 * 16);
    p.drawLine(QPointF(shackle.left(), shackle.center().y()), QPointF(shackle.left(), body.top()));
    if (!open)
        p.drawLine(QPointF(shackle.right(), shackle.center().y()), QPointF(shackle.right(), body.top()));
    else
        p.drawLine(QPointF(shackle.right(), shackle.center().y()), QPointF(shackle.right(), shackle.center().y() + w * 0.05));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(body, w * 0.06, w * 0.06);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawEllipse(QPointF(body.center().x(), body.center().y() - w * 0.02), w * 0.05, w * 0.05);
}

void drawCloud(P& p, const QRectF& b, QColor c)
{
    const qreal w = b.width();
    const qreal cy = b.center().y() + b.height() * 0.08;
    QPainterPath path;
    path.addEllipse(QPointF(b.left() + w * 0.35, cy), w * 0.17, w * 0.17);
    path.addEllipse(QPointF(b.left() + w * 0.55, cy - w * 0.1), w * 0.22, w * 0.22);
    path.addEllipse(QPointF(b.left() + w * 0.73, cy + w * 0.02), w * 0.14, w * 0.14);
    path.addRoundedRect(QRectF(b.left() + w * 0.18, cy, w * 0.69, w * 0.16), w * 0.08, w * 0.08);
    path.setFillRule(Qt::WindingFill);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path.simplified());
}

void drawGear(P& p, const QRectF& b, QColor c)
{
    const QPointF ctr = b.center();
    const qreal outer = b.width() * 0.4;
    const qreal inner = b.width() * 0.3;
    QPainterPath path;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal a0 = (M_PI * 2) * i / (teeth * 2);
        const qreal a1 = (M_PI * 2) * (i + 1) / (teeth * 2);
        const qreal r = (i % 2 == 0) ? outer : inner;
        QPointF p0 = ctr + QPointF(std::cos(a0) * r, std::sin(a0) * r);
        QPointF p1 = ctr + QPointF(std::cos(a1) * r, std::sin(a1) * r);
        if (i == 0)
            path.moveTo(p0);
        else
            path.lineTo(p0);
        path.lineTo(p1);
    }
    path.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(ctr, b.width() * 0.13, b.width() * 0.13);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path.subtracted(hole));
}

void drawStroke(P& p, QColor c, qreal width)
{
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
}

void drawPlus(P& p, const QRectF& b, QColor c)
{
    drawStroke(p, c, b.width() * 0.09);
    p.drawLine(QPointF(b.center().x(), b.top() + b.height() * 0.25), QPointF(b.center().x(), b.bottom() - b.height() * 0.25));
    p.drawLine(QPointF(b.left() + b.width() * 0.25, b.center().y()), QPointF(b.right() - b.width() * 0.25, b.center().y()));
}

void drawTrash(P& p, const QRectF& b, QColor c)
{
    const qreal w = b.width();
    drawStroke(p, c, w * 0.06);
    p.drawLine(QPointF(b.left() + w * 0.25, b.top() + w * 0.3), QPointF(b.right() - w * 0.25, b.top() + w * 0.3));
    p.drawLine(QPointF(b.left() + w * 0.42, b.top() + w * 0.22), QPointF(b.right() - w * 0.42, b.top() + w * 0.22));
    QPainterPath can;
    can.moveTo(b.left() + w * 0.3, b.top() + w * 0.36);
    can.lineTo(b.left() + w * 0.34, b.bottom() - w * 0.2);
    can.lineTo(b.right() - w * 0.34, b.bottom() - w * 0.2);
    can.lineTo(b.right() - w * 0.3, b.top() + w * 0.36);
    p.drawPath(can);
}

void drawArrow(P& p, const QRectF& b, QColor c, bool down)
{
    const qreal w = b.width();
    drawStroke(p, c, w * 0.08);
    const qreal x = b.center().x();
    const qreal top = b.top() + w * 0.2;
    const qreal bottom = b.bottom() - w * 0.35;
    p.drawLine(QPointF(x, top), QPointF(x, bottom));
    const qreal tip = down ? bottom : top;
    const qreal dir = down ? -1 : 1;
    p.drawLine(QPointF(x, tip), QPointF(x - w * 0.15, tip + dir * w * 0.15));
    p.drawLine(QPointF(x, tip), QPointF(x + w * 0.15, tip + dir * w * 0.15));
    p.drawLine(QPointF(b.left() + w * 0.25, b.bottom() - w * 0.22), QPointF(b.right() - w * 0.25, b.bottom() - w * 0.22));
}

void drawPencil(P& p, const QRectF& b, QColor c)
{
    const qreal w = b.width();
    drawStroke(p, c, w * 0.1);
    p.drawLine(QPointF(b.left() + w * 0.3, b.bottom() - w * 0.3), QPointF(b.right() - w * 0.28, b.top() + w * 0.28));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QPolygonF tip{QPointF(b.left() + w * 0.22, b.bottom() - w * 0.22), QPointF(b.left() + w * 0.27, b.bottom() - w * 0.38),
                  QPointF(b.left() + w * 0.38, b.bottom() - w * 0.27)};
    p.drawPolygon(tip);
}

void drawChevron(P& p, const QRectF& b, QColor c, bool left)
{
    drawStroke(p, c, b.width() * 0.1);
    const qreal dx = b.width() * 0.15 * (left ? 1 : -1);
    QPointF tip(b.center().x() - dx, b.center().y());
    p.drawLine(tip, QPointF(b.center().x() + dx, b.center().y() - b.height() * 0.25));
    p.drawLine(tip, QPointF(b.center().x() + dx, b.center().y() + b.height() * 0.25));
}

void drawCheck(P& p, const QRectF& b, QColor c)
{
    drawStroke(p, c, b.width() * 0.1);
    QPainterPath path;
    path.moveTo(b.left() + b.width() * 0.25, b.center().y());
    path.lineTo(b.left() + b.width() * 0.43, b.bottom() - b.height() * 0.28);
    path.lineTo(b.right() - b.width() * 0.22, b.top() + b.height() * 0.28);
    p.drawPath(path);
}

void drawSlash(P& p, const QRectF& b, QColor c)
{
    drawStroke(p, c, b.width() * 0.06);
    p.drawLine(b.topLeft() + QPointF(b.width() * 0.15, b.height() * 0.15),
               b.bottomRight() - QPointF(b.width() * 0.15, b.height() * 0.15));
}

void drawFolder(P& p, const QRectF& b, QColor c)
{
    const qreal w = b.width();
    QPainterPath path;
    path.moveTo(b.left() + w * 0.1, b.top() + w * 0.25);
    path.lineTo(b.left() + w * 0.4, b.top() + w * 0.25);
    path.lineTo(b.left() + w * 0.47, b.top() + w * 0.33);
    path.lineTo(b.right() - w * 0.1, b.top() + w * 0.33);
    path.lineTo(b.right() - w * 0.1, b.bottom() - w * 0.18);
    path.lineTo(b.left() + w * 0.1, b.bottom() - w * 0.18);
    path.closeSubpath();
    p.setPen(QPen(c.darker(130), 2));
    QLinearGradient g(b.topLeft(), b.bottomLeft());
    g.setColorAt(0, c.lighter(115));
    g.setColorAt(1, c);
    p.setBrush(g);
    p.drawPath(path);
}

void drawFilm(P& p, const QRectF& b, QColor c)
{
    const qreal w = b.width();
    QRectF body = b.adjusted(w * 0.2, w * 0.28, -w * 0.2, -w * 0.28);
    p.setPen(QPen(c, w * 0.05));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body, w * 0.03, w * 0.03);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QPolygonF play{QPointF(body.center().x() - w * 0.07, body.center().y() - w * 0.09),
                   QPointF(body.center().x() - w * 0.07, body.center().y() + w * 0.09),
                   QPointF(body.center().x() + w * 0.1, body.center().y())};
    p.drawPolygon(play);
}

void drawWifi(P& p, const QRectF& b, QColor c)
{
    drawStroke(p, c, b.width() * 0.06);
    const QPointF base(b.center().x(), b.bottom() - b.height() * 0.25);
    for (int i = 1; i <= 3; ++i) {
        const qreal r = b.width() * 0.12 * i;
        p.drawArc(QRectF(base.x() - r, base.y() - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
    }
    p.setBrush(c);
    p.drawEllipse(base, b.width() * 0.03, b.width() * 0.03);
}

void drawPin(P& p, const QRectF& b, QColor c)
{
    const qreal w = b.width();
    QPainterPath path;
    const QPointF top(b.center().x(), b.top() + w * 0.38);
    path.addEllipse(top, w * 0.2, w * 0.2);
    QPainterPath tail;
    tail.moveTo(top.x() - w * 0.17, top.y() + w * 0.1);
    tail.lineTo(top.x(), b.bottom() - w * 0.15);
    tail.lineTo(top.x() + w * 0.17, top.y() + w * 0.1);
    tail.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(top, w * 0.08, w * 0.08);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path.united(tail).subtracted(hole));
}

void drawPerson(P& p, const QRectF& b, QColor c)
{
    const qreal w = b.width();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(b.center().x(), b.top() + w * 0.36), w * 0.17, w * 0.17);
    p.drawChord(QRectF(b.left() + w * 0.18, b.top() + w * 0.58, w * 0.64, w * 0.6), 0, 180 * 16);
}

// Registration helpers.
void reg(const char* name, QSize size, Images::Painter painter)
{
    Images::registerDrawing(QString::fromLatin1(name), size, std::move(painter));
}

void glyph(const char* name, QSize size, std::function<void(P&, const QRectF&)> fn)
{
    reg(name, size, [fn](P& p, const QSize& s) { fn(p, inset(s, 0)); });
}

void checkBox(const char* name, QSize size, bool on, qreal margin)
{
    reg(name, size, [on, margin](P& p, const QSize& s) {
        p.setPen(QPen(QColor(120, 126, 136), 2));
        p.setBrush(on ? kAccent : Qt::white);
        p.drawRoundedRect(inset(s, margin), 4, 4);
        if (on)
            drawCheck(p, inset(s, margin + 1), Qt::white);
    });
}

void colouredButton(const char* name, QSize size, QColor top, QColor bottom)
{
    reg(name, size, [=](P& p, const QSize& s) { roundedGradient(p, inset(s, 1), top, bottom, 6, bottom.darker(140)); });
}

void albumIcon(const char* name, bool selected, void (*drawer)(P&, const QRectF&, QColor))
{
    reg(name, {190, 190}, [=](P& p, const QSize& s) {
        QRectF r = inset(s, 14);
        QLinearGradient g(r.topLeft(), r.bottomRight());
        g.setColorAt(0, selected ? QColor(92, 170, 245) : QColor(96, 102, 112));
        g.setColorAt(1, selected ? QColor(36, 104, 196) : QColor(58, 62, 70));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(r, 18, 18);
        drawer(p, r.adjusted(30, 30, -30, -30), selected ? kGlyphWhite : QColor(180, 184, 190));
    });
}

void drawPictureGlyph(P& p, const QRectF& b, QColor c) { drawPicture(p, b, c); }
void drawLockGlyph(P& p, const QRectF& b, QColor c) { drawLock(p, b, c, false); }
void drawCloudGlyph(P& p, const QRectF& b, QColor c) { drawCloud(p, b, c); }

void registerAlbumStrip()
{
    albumIcon("PavPadAlbumIcon_iPad", false, drawPictureGlyph);
    albumIcon("PavPadAlbumIcon_selected_iPad", true, drawPictureGlyph);
    albumIcon("PavSecretAlbumIcon_iPad", false, drawLockGlyph);
    albumIcon("PavSecretAlbumIcon_selected_iPad", true, drawLockGlyph);
    albumIcon("PavCloudAlbumIcon_iPad", false, drawCloudGlyph);
    albumIcon("PavCloudAlbumIcon_selected_iPad", true, drawCloudGlyph);
    for (bool selected : {false, true}) {
        reg(selected ? "PavAlbumIconFrame_selected_iPad" : "PavAlbumIconFrame_iPad", {190, 190}, [selected](P& p, const QSize& s) {
            p.setPen(QPen(selected ? QColor(64, 156, 255) : QColor(255, 255, 255, 230), selected ? 6 : 4));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(inset(s, 8), 20, 20);
        });
    }
    reg("PavAlbum_SelectedPoint_iPad", {11, 22}, [](P& p, const QSize& s) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 124, 130));
        p.drawPolygon(QPolygonF{QPointF(0, s.height() / 2.0), QPointF(s.width(), 0), QPointF(s.width(), s.height())});
    });
    glyph("PavAlbum_SettingButton_iPad", {50, 50}, [](P& p, const QRectF& b) { drawGear(p, b, kGlyphGrey); });
    glyph("PavAlbum_SettingButton_selected_iPad", {50, 50}, [](P& p, const QRectF& b) { drawGear(p, b, kAccent); });
    reg("PavAlbum_Background_iPad", {874, 748}, [](P& p, const QSize& s) {
        QLinearGradient g(0, 0, 0, s.height());
        g.setColorAt(0, QColor(238, 236, 231));
        g.setColorAt(1, QColor(214, 211, 204));
        p.fillRect(QRect(QPoint(0, 0), s), g);
        p.fillRect(QRect(0, 0, 248, s.height()), QColor(0, 0, 0, 14));
        p.fillRect(QRect(248, 0, 1, s.height()), QColor(0, 0, 0, 40));
    });
}

void registerProcessingPanel()
{
    reg("PavAlbum_Processing_bg_iPad", {420, 320}, [](P& p, const QSize& s) {
        p.setPen(QPen(QColor(255, 255, 255, 40), 1));
        p.setBrush(QColor(20, 22, 26, 225));
        p.drawRoundedRect(inset(s, 0.5), 12, 12);
    });
    reg("PavAlbum_ProcessingProgress_Total_iPad", {420, 30}, [](P& p, const QSize&) {
        roundedGradient(p, QRectF(35, 3, 351, 25), QColor(30, 30, 30), QColor(70, 70, 70), 12, QColor(0, 0, 0));
    });
    reg("PavAlbum_ProcessingProgress_Current_iPad", {347, 21}, [](P& p, const QSize& s) {
        roundedGradient(p, inset(s, 0), QColor(128, 214, 92), QColor(58, 156, 42), 10);
    });
    for (bool highlighted : {false, true}) {
        reg(highlighted ? "PavAlbum_ProcessingCancelButton_highlighted_iPad" : "PavAlbum_ProcessingCancelButton_iPad", {420, 60},
            [highlighted](P& p, const QSize& s) {
                QPainterPath path;
                QRectF r = inset(s, 0.5);
                path.moveTo(r.topLeft());
                path.lineTo(r.topRight());
                path.lineTo(r.right(), r.bottom() - 12);
                path.quadTo(r.bottomRight(), QPointF(r.right() - 12, r.bottom()));
                path.lineTo(r.left() + 12, r.bottom());
                path.quadTo(r.bottomLeft(), QPointF(r.left(), r.bottom() - 12));
                path.closeSubpath();
                QLinearGradient g(r.topLeft(), r.bottomLeft());
                g.setColorAt(0, highlighted ? QColor(170, 170, 170) : QColor(236, 236, 236));
                g.setColorAt(1, highlighted ? QColor(130, 130, 130) : QColor(200, 200, 200));
                p.setPen(Qt::NoPen);
                p.setBrush(g);
                p.drawPath(path);
            });
    }
}

void registerButtons()
{
    colouredButton("PavAlbum_GreenButton_iPad", {78, 50}, QColor(110, 196, 80), QColor(60, 150, 40));
    colouredButton("PavAlbum_GreenButton_selected_iPad", {78, 50}, QColor(70, 150, 50), QColor(40, 110, 28));
    colouredButton("PavAlbum_GreenLongButton_iPad", {118, 50}, QColor(110, 196, 80), QColor(60, 150, 40));
    colouredButton("PavAlbum_GreenLongButton_selected_iPad", {118, 50}, QColor(70, 150, 50), QColor(40, 110, 28));
    colouredButton("PavAlbum_RedButton_iPad", {78, 50}, QColor(230, 90, 80), QColor(190, 40, 36));
    colouredButton("PavAlbum_RedButton_selected_iPad", {78, 50}, QColor(180, 56, 50), QColor(140, 24, 20));
    colouredButton("PavAlbum_GrayButton_iPad", {78, 50}, QColor(170, 174, 180), QColor(120, 124, 130));
    colouredButton("PavAlbum_GrayButton_selected_iPad", {78, 50}, QColor(120, 124, 130), QColor(90, 94, 100));
    colouredButton("PavAlbum_BlackButton_iPad", {78, 50}, QColor(70, 72, 76), QColor(30, 32, 34));
    colouredButton("PavAlbum_BlackButton_selected_iPad", {78, 50}, QColor(40, 42, 46), QColor(10, 10, 12));
    colouredButton("PavCloudAlbum_LogoutButton_iPad", {120, 44}, QColor(230, 90, 80), QColor(190, 40, 36));
    colouredButton("PavCloudAlbum_LogoutButton_selected_iPad", {120, 44}, QColor(180, 56, 50), QColor(140, 24, 20));
    colouredButton("syc_btn", {200, 44}, QColor(110, 196, 80), QColor(60, 150, 40));
    colouredButton("MemoryView_CleanButton_bg_highlighted", {200, 44}, QColor(70, 150, 50), QColor(40, 110, 28));
    reg("Disk_Toolbar_Button_Selected_iPad", {50, 50}, [](P& p, const QSize& s) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 60));
        p.drawRoundedRect(inset(s, 2), 8, 8);
    });
    const QColor w = kGlyphWhite;
    glyph("PavAlbum_AddButton_iPad", {50, 50}, [w](P& p, const QRectF& b) { drawPlus(p, b, w); });
    glyph("PavAlbum_DeleteButton_iPad", {50, 50}, [w](P& p, const QRectF& b) { drawTrash(p, b, w); });
    glyph("PavAlbum_DownloadButton_iPad", {50, 50}, [w](P& p, const QRectF& b) { drawArrow(p, b, w, true); });
    glyph("PavAlbum_UploadButton_iPad", {50, 50}, [w](P& p, const QRectF& b) { drawArrow(p, b, w, false); });
    glyph("PavAlbum_EditButton_iPad", {50, 50}, [w](P& p, const QRectF& b) { drawPencil(p, b, w); });
    glyph("PavAlbum_BackButton_iPad", {50, 50}, [w](P& p, const QRectF& b) { drawChevron(p, b, w, true); });
    glyph("PavAlbum_LockButton_iPad", {50, 50}, [w](P& p, const QRectF& b) { drawLock(p, b.adjusted(8, 8, -8, -8), w, false); });
    glyph("PavAlbum_UnlockButton_iPad", {50, 50}, [w](P& p, const QRectF& b) { drawLock(p, b.adjusted(8, 8, -8, -8), w, true); });
}

void registerMarksAndFrames()
{
    for (bool on : {false, true}) {
        reg(on ? "PavAssetsView_selected" : "PavAssetsView_unselected", {29, 29}, [on](P& p, const QSize& s) {
            p.setPen(QPen(Qt::white, 2));
            p.setBrush(on ? kAccent : QColor(0, 0, 0, 70));
            p.drawEllipse(inset(s, 1.5));
            if (on)
                drawCheck(p, inset(s, 3), Qt::white);
        });
        checkBox(on ? "PavAlbum_CheckBox_selected_iPad" : "PavAlbum_CheckBox_unselected_iPad", {30, 30}, on, 3);
        reg(on ? "PavAlbum_PhotoFrame_selected_iPad" : "PavAlbum_PhotoFrame_iPad", {118, 118}, [on](P& p, const QSize& s) {
            p.setPen(QPen(on ? kAccent : QColor(255, 255, 255, 210), on ? 4 : 3));
            p.setBrush(Qt::NoBrush);
            p.drawRect(inset(s, 5));
        });
    }
    // A strip of film around the video tile's poster window (24, 8, 101, 101):
    // sprocket holes run down the two side margins, clear of the poster.
    reg("PavAlbum_VideoFrame_iPad", {148, 118}, [](P& p, const QSize& s) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(34, 36, 40));
        p.drawRoundedRect(QRectF(0, 0, s.width(), s.height()), 4, 4);
        p.fillRect(QRectF(24, 8, 101, 101), Qt::black);
        p.setBrush(QColor(235, 235, 235));
        for (qreal y = 6; y + 8 <= s.height() - 4; y += 14) {
            p.drawRoundedRect(QRectF(7, y, 10, 8), 2, 2);
            p.drawRoundedRect(QRectF(s.width() - 17, y, 10, 8), 2, 2);
        }
    });
    reg("PavSecretAlbum_PasswordBox_iPad", {80, 80}, [](P& p, const QSize& s) {
        roundedGradient(p, inset(s, 2), QColor(255, 255, 255), QColor(236, 238, 242), 10, QColor(150, 156, 166));
    });
    reg("PavSecrectAlbumPasswordProtectTipBackground_iPad", {538, 120}, [](P& p, const QSize& s) {
        roundedGradient(p, inset(s, 10), QColor(255, 250, 226), QColor(250, 240, 200), 8, QColor(220, 200, 140));
    });
}

void placeholder(const char* name, QSize size, void (*drawer)(P&, const QRectF&, QColor), QColor bg, bool slash = false)
{
    reg(name, size, [=](P& p, const QSize& s) {
        if (bg.alpha() > 0)
            p.fillRect(QRect(QPoint(0, 0), s), bg);
        const qreal side = std::min(s.width(), s.height()) * 0.7;
        QRectF box(QPointF((s.width() - side) / 2, (s.height() - side) / 2), QSizeF(side, side));
        drawer(p, box, kGlyphGrey);
        if (slash)
            drawSlash(p, box, QColor(220, 80, 70));
    });
}

void drawFilmGlyph(P& p, const QRectF& b, QColor c) { drawFilm(p, b, c); }
void drawWifiGlyph(P& p, const QRectF& b, QColor c) { drawWifi(p, b, c); }
void drawPinGlyph(P& p, const QRectF& b, QColor c) { drawPin(p, b, c); }
void drawPersonGlyph(P& p, const QRectF& b, QColor c) { drawPerson(p, b, c); }

void registerPlaceholders()
{
    const QColor tile(30, 30, 30);
    placeholder("PavAlbum_NoPhoto_iPad", {240, 180}, drawPictureGlyph, Qt::transparent);
    placeholder("PavAlbum_NoVideo_iPad", {240, 180}, drawFilmGlyph, Qt::transparent);
    placeholder("PavAlbum_NoNetwork_iPad", {240, 180}, drawWifiGlyph, Qt::transparent, true);
    placeholder("PavAlbum_LocationOff_iPad", {240, 180}, drawPinGlyph, Qt::transparent, true);
    // A stretchable bubble (caps: 20 left, 5 top) with a small lock inside its left cap.
    reg("PavAlbum_EncryptedTips_iPad", {44, 36}, [](P& p, const QSize& s) {
        roundedGradient(p, QRectF(0.5, 0.5, s.width() - 1, s.height() - 1), QColor(226, 120, 40), QColor(196, 90, 24), 6);
        drawLock(p, QRectF(4, 10, 14, 16), QColor(255, 255, 255), false);
    });
    placeholder("PavAlbum_LoadingPhoto_iPad", {110, 110}, drawPictureGlyph, tile);
    placeholder("PavAlbum_LoadPhotoFailed_iPad", {110, 110}, drawPictureGlyph, tile, true);
    placeholder("PavAlbum_BrowerLoadingPhoto_iPad", {200, 200}, drawPictureGlyph, Qt::transparent);
    placeholder("PavAlbum_BrowerLoadPhotoFailed_iPad", {200, 200}, drawPictureGlyph, Qt::transparent, true);
    placeholder("PavCloudAlbum_ShowView_iPad", {400, 300}, drawCloudGlyph, Qt::transparent);
    placeholder("PavAlbum_Ky_iPad", {40, 40}, drawPersonGlyph, Qt::transparent);
    glyph("PavAlbum_FolderIcon_big_iPad", {110, 110}, [](P& p, const QRectF& b) { drawFolder(p, b, QColor(240, 196, 80)); });
    reg("PavAlbum_NoPhotoCurve_iPad", {200, 100}, [](P& p, const QSize& s) {
        drawStroke(p, kGlyphGrey, 3);
        QPainterPath path;
        path.moveTo(s.width() * 0.9, s.height() * 0.9);
        path.quadTo(s.width() * 0.8, s.height() * 0.1, s.width() * 0.1, s.height() * 0.2);
        p.drawPath(path);
        p.drawLine(QPointF(s.width() * 0.1, s.height() * 0.2), QPointF(s.width() * 0.2, s.height() * 0.08));
        p.drawLine(QPointF(s.width() * 0.1, s.height() * 0.2), QPointF(s.width() * 0.2, s.height() * 0.32));
    });
}

void registerSlider()
{
    reg("PavDoubleSlider_bg_iPad", {100, 34}, [](P& p, const QSize& s) {
        roundedGradient(p, inset(s, 1), QColor(90, 94, 100), QColor(60, 62, 66), 16, QColor(30, 30, 30));
    });
    reg("PavDoubleSlider_mask_iPad", {100, 34}, [](P& p, const QSize& s) {
        p.setPen(QPen(QColor(255, 255, 255, 60), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(inset(s, 1), 16, 16);
    });
    reg("PavDoubleSlider_ball_iPad", {34, 34}, [](P& p, const QSize& s) {
        QRadialGradient g(QPointF(s.width() * 0.4, s.height() * 0.35), s.width() * 0.6);
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, QColor(190, 194, 200));
        p.setPen(QPen(QColor(100, 100, 100), 1));
        p.setBrush(g);
        p.drawEllipse(inset(s, 1.5));
    });
}

void registerSharedWidgets()
{
    reg("process_bg_iPad", {300, 80}, [](P& p, const QSize& s) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 170));
        p.drawRoundedRect(inset(s, 0), 10, 10);
    });
    reg("subTitle_iPad_2", {538, 37}, [](P& p, const QSize& s) {
        QLinearGradient g(0, 0, 0, s.height());
        g.setColorAt(0, QColor(238, 240, 244));
        g.setColorAt(1, QColor(222, 226, 232));
        p.fillRect(QRect(QPoint(0, 0), s), g);
    });
    reg("PavAlbumSettingCell_iPad", {500, 50}, [](P& p, const QSize& s) {
        roundedGradient(p, inset(s, 0.5), Qt::white, QColor(246, 246, 248), 8, QColor(190, 194, 200));
    });
    reg("PaviPadTableViewCell_bg", {500, 50}, [](P& p, const QSize& s) {
        roundedGradient(p, inset(s, 0.5), Qt::white, QColor(246, 246, 248), 0, QColor(210, 212, 216));
    });
    reg("PaviPadTableViewCell_bg_selected", {500, 50}, [](P& p, const QSize& s) {
        roundedGradient(p, inset(s, 0.5), QColor(90, 160, 240), QColor(40, 110, 210), 0, QColor(30, 90, 180));
    });
    glyph("PaviPadTableViewCell_arrow", {10, 15}, [](P& p, const QRectF& b) { drawChevron(p, b.adjusted(-4, 0, 4, 0), QColor(140, 140, 146), false); });
    glyph("PavProgressView_done", {40, 40}, [](P& p, const QRectF& b) { drawCheck(p, b, Qt::white); });
    reg("KyTextInput_bg", {400, 44}, [](P& p, const QSize& s) {
        roundedGradient(p, inset(s, 1), QColor(250, 250, 250), Qt::white, 6, QColor(170, 176, 186));
    });
    for (bool on : {false, true}) {
        checkBox(on ? "KyUICheckBoxButton_on" : "KyUICheckBoxButton_off", {24, 24}, on, 2);
    }
}

}

void ImageDrawings::registerDefaults()
{
    registerAlbumStrip();
    registerProcessingPanel();
    registerButtons();
    registerMarksAndFrames();
    registerPlaceholders();
    registerSlider();
    registerSharedWidgets();
}

}
