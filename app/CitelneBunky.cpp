#include "CitelneBunky.h"

#include <QFontMetrics>
#include <QProxyStyle>
#include <QTableView>

namespace zak {

namespace {

class MaleOkraje : public QProxyStyle {
  public:
    int pixelMetric(PixelMetric m, const QStyleOption* o, const QWidget* w) const override {
        // Item text keeps this margin plus one pixel on each side.
        if (m == PM_FocusFrameHMargin)
            return 0;
        return QProxyStyle::pixelMetric(m, o, w);
    }
};

}  // namespace

void citelneBunky(QTableView* t) {
    auto* styl = new MaleOkraje;
    styl->setParent(t);
    t->setStyle(styl);
    t->setTextElideMode(Qt::ElideNone);
}

QFont pismoNaSirku(const QFont& zaklad, const QStringList& rodiny, const QString& vzor, int sirka) {
    QFont f = zaklad;
    if (!rodiny.isEmpty())
        f.setFamilies(rodiny + zaklad.families());
    int velikost = QFontInfo(zaklad).pixelSize();
    f.setPixelSize(velikost);
    while (velikost > 6 && QFontMetrics(f).horizontalAdvance(vzor) > sirka)
        f.setPixelSize(--velikost);
    return f;
}

QStringList uzkaPisma() {
    return {QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Nimbus Sans Narrow"),
            QStringLiteral("Arial Narrow"), QStringLiteral("DejaVu Sans Condensed")};
}

}  // namespace zak
