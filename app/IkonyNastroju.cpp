#include "IkonyNastroju.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zak {

namespace {

const QColor kModra(40, 90, 170);
const QColor kZelena(30, 140, 60);
const QColor kCervena(190, 40, 40);
const QColor kSeda(90, 90, 90);
const QColor kZluta(230, 190, 60);

void list(QPainter& p) {  // a sheet of paper with a folded corner
    QPainterPath path;
    path.moveTo(3, 1);
    path.lineTo(10, 1);
    path.lineTo(13, 4);
    path.lineTo(13, 15);
    path.lineTo(3, 15);
    path.closeSubpath();
    p.setPen(kSeda);
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.drawLine(10, 1, 10, 4);
    p.drawLine(10, 4, 13, 4);
}

void sipka(QPainter& p, QPointF od, QPointF k, const QColor& barva) {
    p.setPen(QPen(barva, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(od, k);
    const QPointF smer = (k - od) / QLineF(od, k).length();
    const QPointF kolmo(-smer.y(), smer.x());
    p.drawLine(k, k - smer * 3.5 + kolmo * 3.5);
    p.drawLine(k, k - smer * 3.5 - kolmo * 3.5);
}

void klic(QPainter& p, const QColor& barva) {
    p.setPen(QPen(barva, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(4.5, 8), 2.5, 2.5);
    p.drawLine(QPointF(7, 8), QPointF(14, 8));
    p.drawLine(QPointF(12, 8), QPointF(12, 11));
    p.drawLine(QPointF(14, 8), QPointF(14, 10));
}

void zak(QPainter& p) {  // the unit: a small box with a display
    p.setPen(kSeda);
    p.setBrush(QColor(220, 220, 220));
    p.drawRect(QRectF(1.5, 8.5, 13, 6));
    p.setBrush(kZelena);
    p.drawRect(QRectF(3.5, 10.5, 5, 2));
}

void kresli(QPainter& p, Ikona ikona) {
    switch (ikona) {
        case Ikona::Novy:
            list(p);
            break;
        case Ikona::Otevrit:
            p.setPen(kSeda);
            p.setBrush(kZluta);
            p.drawRect(QRectF(1.5, 4.5, 12, 9));
            p.drawRect(QRectF(1.5, 3.5, 5, 2));
            sipka(p, {10, 12}, {10, 2}, kModra);
            break;
        case Ikona::Ulozit:
            p.setPen(kSeda);
            p.setBrush(kModra);
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 1.5, 7, 5));
            p.drawRect(QRectF(3.5, 9.5, 9, 5));
            break;
        case Ikona::Tisk:
            p.setPen(kSeda);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 1.5, 7, 5));
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(QRectF(1.5, 6.5, 13, 6));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 10.5, 7, 4));
            break;
        case Ikona::NacistZZak:
            zak(p);
            sipka(p, {8, 1}, {8, 8}, kModra);
            break;
        case Ikona::ZapsatDoZak:
            zak(p);
            sipka(p, {8, 8}, {8, 1}, kCervena);
            break;
        case Ikona::PosledniKlic:
            klic(p, kZluta.darker(130));
            p.setPen(QPen(kModra, 1.5));
            p.drawText(QRectF(9, 0, 7, 7), Qt::AlignCenter, QStringLiteral("?"));
            break;
        case Ikona::PridatKlic:
            klic(p, kZluta.darker(130));
            p.setPen(QPen(kZelena, 2));
            p.drawLine(QPointF(11.5, 0.5), QPointF(11.5, 6.5));
            p.drawLine(QPointF(8.5, 3.5), QPointF(14.5, 3.5));
            break;
        case Ikona::SmazatKlic:
            klic(p, kZluta.darker(130));
            p.setPen(QPen(kCervena, 2));
            p.drawLine(QPointF(8.5, 3.5), QPointF(14.5, 3.5));
            break;
        case Ikona::Prerusit:
            p.setPen(Qt::NoPen);
            p.setBrush(kCervena);
            p.drawEllipse(QRectF(1, 1, 14, 14));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4, 7, 8, 2));
            break;
        case Ikona::InvertovatPatra:
            sipka(p, {2, 5}, {14, 5}, kModra);
            sipka(p, {14, 11}, {2, 11}, kModra);
            break;
    }
}

}  // namespace

QIcon ikonaNastroje(Ikona ikona) {
    QPixmap obraz(16, 16);
    obraz.fill(Qt::transparent);
    QPainter p(&obraz);
    p.setRenderHint(QPainter::Antialiasing);
    kresli(p, ikona);
    p.end();
    return QIcon(obraz);
}

}  // namespace zak
