#include "drawn_pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

#include "ui/drawn_icon.h"

namespace kalvanta::pictures {

namespace {

const QColor kOutline(70, 70, 80);
const QColor kPaper(255, 255, 255);
const QColor kBlue(40, 90, 170);
const QColor kGreen(40, 140, 60);
const QColor kYellow(235, 190, 70);

void page(QPainter& p, const QRectF& r)
{
    const qreal fold = r.width() * 0.35;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void textLines(QPainter& p, const QRectF& r, int count)
{
    p.setPen(QPen(QColor(150, 150, 160), 0.8));
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + 1.5 + i * 2.0;
        p.drawLine(QPointF(r.left() + 1.5, y), QPointF(r.right() - 1.5, y));
    }
}

void printerBody(QPainter& p)
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(170, 175, 185));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(12.5, 8.5), 0.8, 0.8);
}

void barChart(QPainter& p, const QRectF& area, const QList<qreal>& heights, const QColor& colour)
{
    const qreal slot = area.width() / heights.size();
    p.setPen(Qt::NoPen);
    for (int i = 0; i < heights.size(); ++i) {
        const qreal h = area.height() * heights[i];
        QLinearGradient g(0, area.bottom() - h, 0, area.bottom());
        g.setColorAt(0, colour.lighter(130));
        g.setColorAt(1, colour);
        p.setBrush(g);
        p.drawRect(QRectF(area.left() + i * slot + slot * 0.18, area.bottom() - h, slot * 0.64, h));
    }
}

} // namespace

QIcon newIcon()
{
    return drawnIcon([](QPainter& p) {
        page(p, QRectF(2.5, 0.5, 10, 14));
        textLines(p, QRectF(2.5, 5, 10, 8), 3);
        p.setPen(QPen(kGreen, 2.0));
        p.drawLine(QPointF(12.5, 9.5), QPointF(12.5, 15.0));
        p.drawLine(QPointF(9.8, 12.25), QPointF(15.2, 12.25));
    });
}

QIcon openIcon()
{
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(kYellow.darker(115));
        QPainterPath back;
        back.moveTo(1.5, 13.5);
        back.lineTo(1.5, 3.5);
        back.lineTo(5.5, 3.5);
        back.lineTo(6.5, 4.5);
        back.lineTo(12.5, 4.5);
        back.lineTo(12.5, 13.5);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(kYellow);
        QPainterPath front;
        front.moveTo(1.5, 13.5);
        front.lineTo(4.0, 7.5);
        front.lineTo(15.0, 7.5);
        front.lineTo(12.5, 13.5);
        front.closeSubpath();
        p.drawPath(front);
    });
}

QIcon saveAsIcon()
{
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1, 1);
        p.setBrush(kPaper);
        p.drawRect(QRectF(4.0, 1.5, 8, 5.5));
        p.setBrush(QColor(200, 205, 215));
        p.drawRect(QRectF(4.0, 9.5, 8, 5));
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRect(QRectF(9.5, 2.5, 1.5, 3.5));
    });
}

QIcon printIcon()
{
    return drawnIcon([](QPainter& p) {
        printerBody(p);
        textLines(p, QRectF(4.5, 10.5, 7, 4), 2);
    });
}

QIcon printerSetupIcon()
{
    return drawnIcon([](QPainter& p) {
        printerBody(p);
        // a small gear: the printer's settings
        p.setPen(QPen(kBlue.darker(120), 1.3));
        const QPointF c(12.0, 12.0);
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(c);
            p.rotate(i * 45.0);
            p.drawLine(QPointF(0, 2.0), QPointF(0, 3.6));
            p.restore();
        }
        p.setBrush(kBlue);
        p.setPen(QPen(kBlue.darker(140), 0.6));
        p.drawEllipse(c, 2.4, 2.4);
        p.setBrush(kPaper);
        p.drawEllipse(c, 0.9, 0.9);
    });
}

QIcon cutIcon()
{
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(90, 90, 100), 1.2));
        p.drawLine(QPointF(5.0, 1.0), QPointF(10.0, 10.5));
        p.drawLine(QPointF(11.0, 1.0), QPointF(6.0, 10.5));
        p.setPen(QPen(QColor(180, 40, 40), 1.3));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(4.5, 12.5), 2.3, 2.3);
        p.drawEllipse(QPointF(11.5, 12.5), 2.3, 2.3);
    });
}

QIcon copyIcon()
{
    return drawnIcon([](QPainter& p) {
        page(p, QRectF(1.5, 0.5, 8.5, 10.5));
        textLines(p, QRectF(1.5, 4.0, 8.5, 6), 3);
        page(p, QRectF(6.0, 4.5, 8.5, 10.5));
        textLines(p, QRectF(6.0, 8.0, 8.5, 6), 3);
    });
}

QIcon pasteIcon()
{
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(QColor(175, 125, 70));
        p.drawRoundedRect(QRectF(1.5, 2.0, 10, 13), 1, 1);
        p.setBrush(QColor(200, 200, 210));
        p.drawRoundedRect(QRectF(4.0, 0.8, 5, 2.6), 0.8, 0.8);
        page(p, QRectF(6.5, 5.5, 8, 10));
        textLines(p, QRectF(6.5, 9.0, 8, 6), 3);
    });
}

QIcon helpIcon()
{
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(kBlue.darker(130), 0.8));
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(0.8, 0.8, 14.4, 14.4));
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 0.5, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
    });
}

QIcon editIcon()
{
    return drawnIcon([](QPainter& p) {
        page(p, QRectF(1.5, 1.5, 10, 13));
        textLines(p, QRectF(1.5, 6, 10, 8), 3);
        // a pencil across the page
        p.save();
        p.translate(10.0, 8.0);
        p.rotate(45.0);
        p.setPen(QPen(kOutline, 0.7));
        p.setBrush(kYellow);
        p.drawRect(QRectF(-1.4, -7.0, 2.8, 9.0));
        p.setBrush(QColor(240, 210, 170));
        QPainterPath tip;
        tip.moveTo(-1.4, 2.0);
        tip.lineTo(1.4, 2.0);
        tip.lineTo(0.0, 4.8);
        tip.closeSubpath();
        p.drawPath(tip);
        p.restore();
    });
}

QIcon programIcon()
{
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(kPaper);
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 2, 2);
        barChart(p, QRectF(1.5, 3.5, 13, 11), {0.35, 0.55, 0.45, 0.8}, kBlue);
        p.setPen(QPen(kGreen, 1.2));
        p.drawLine(QPointF(2.5, 10.0), QPointF(7.0, 7.0));
        p.drawLine(QPointF(7.0, 7.0), QPointF(9.0, 8.0));
        p.drawLine(QPointF(9.0, 8.0), QPointF(14.0, 2.5));
    });
}

QImage splashPicture()
{
    QImage image(522, 385, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // A pale sky at the top, white below: quiet, so the name stands out.
    QLinearGradient sky(0, 0, 0, 200);
    sky.setColorAt(0, QColor(222, 232, 246));
    sky.setColorAt(1, Qt::white);
    p.fillRect(QRect(0, 0, 522, 200), sky);

    // A ledger grid and a bar chart with a rising line: the financial motif.
    p.setPen(QPen(QColor(225, 230, 238), 1));
    for (int y = 190; y <= 340; y += 15)
        p.drawLine(20, y, 502, y);
    barChart(p, QRectF(30, 200, 300, 140), {0.30, 0.42, 0.38, 0.55, 0.50, 0.68, 0.80, 0.92},
             QColor(120, 150, 200));
    p.setPen(QPen(QColor(40, 140, 60), 3));
    const QPointF trend[] = {{48, 300}, {85, 280}, {122, 288}, {160, 255}, {197, 262},
                             {235, 228}, {272, 212}, {310, 190}};
    p.drawPolyline(trend, 8);
    p.setBrush(QColor(40, 140, 60));
    p.drawEllipse(trend[7], 4, 4);

    // A coin stack on the right.
    for (int i = 0; i < 6; ++i) {
        const QRectF coin(380, 320 - i * 14, 90, 26);
        p.setPen(QPen(QColor(160, 120, 30), 1.5));
        p.setBrush(QColor(235, 195, 80));
        p.drawEllipse(coin);
    }

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(54);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(30, 60, 120));
    p.drawText(QRect(0, 28, 522, 70), Qt::AlignCenter, QStringLiteral("Kalvanta 4.5"));

    QFont subtitle(QStringLiteral("DejaVu Sans"));
    subtitle.setPixelSize(15);
    p.setFont(subtitle);
    p.setPen(QColor(60, 70, 90));
    p.drawText(QRect(0, 100, 522, 24), Qt::AlignCenter,
               QStringLiteral("Анализ и планирование"));
    p.drawText(QRect(0, 122, 522, 24), Qt::AlignCenter,
               QStringLiteral("финансово-хозяйственной деятельности предприятия"));
    p.setPen(QPen(QColor(30, 60, 120), 2));
    p.drawLine(160, 160, 362, 160);
    p.end();
    return image;
}

QImage aboutPicture()
{
    QImage image(240, 276, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 208, 220), 2));
    p.setBrush(QColor(240, 244, 250));
    p.drawRoundedRect(QRectF(6, 6, 228, 264), 14, 14);
    barChart(p, QRectF(24, 70, 192, 170), {0.35, 0.5, 0.45, 0.7, 0.9}, QColor(70, 110, 180));
    p.setPen(QPen(QColor(40, 140, 60), 4));
    const QPointF trend[] = {{40, 200}, {80, 170}, {120, 180}, {160, 130}, {200, 90}};
    p.drawPolyline(trend, 5);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(30);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(30, 60, 120));
    p.drawText(QRect(0, 16, 240, 44), Qt::AlignCenter, QStringLiteral("Kalvanta"));
    p.end();
    return image;
}

} // namespace kalvanta::pictures
