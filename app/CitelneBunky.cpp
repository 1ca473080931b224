#include "CitelneBunky.h"

#include <QFontMetrics>
#include <QProxyStyle>
#include <QStyledItemDelegate>
#include <QTableView>

namespace zak {

namespace {

class MaleOkraje : public QProxyStyle {
  public:
    explicit MaleOkraje(int okraj) : Okraj(okraj) {}
    int pixelMetric(PixelMetric m, const QStyleOption* o, const QWidget* w) const override {
        // Item text keeps this margin plus one pixel on each side.
        if (m == PM_FocusFrameHMargin)
            return Okraj - 1;
        return QProxyStyle::pixelMetric(m, o, w);
    }

  private:
    int Okraj;
};

// A cell is one line: a character that would break it (a line feed byte in the memory map) is
// drawn as a blank, or the style would end the cut line with an ellipsis.
class JedenRadek : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* o, const QModelIndex& i) const override {
        QStyledItemDelegate::initStyleOption(o, i);
        for (QChar& c : o->text)
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\v') ||
                c == QLatin1Char('\f') || c == QChar::LineSeparator ||
                c == QChar::ParagraphSeparator)
                c = QLatin1Char(' ');
    }
};

}  // namespace

void citelneBunky(QTableView* t, int okraj) {
    auto* styl = new MaleOkraje(okraj);
    styl->setParent(t);
    t->setStyle(styl);
    t->setTextElideMode(Qt::ElideNone);
    t->setItemDelegate(new JedenRadek(t));
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
