#include "IkonyNastroju.h"

#include <QApplication>
#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

#include <memory>

namespace zak {

namespace {

// Renders an SVG drawing, and its greyed drawing for the disabled mode, at any size.
class SvgIkona : public QIconEngine {
  public:
    // Each drawing is read once; copies of the icon share them.
    explicit SvgIkona(const QString& jmeno)
        : Kresba(std::make_shared<QSvgRenderer>(soubor(jmeno, false))),
          Seda(QFile::exists(soubor(jmeno, true))
                   ? std::make_shared<QSvgRenderer>(soubor(jmeno, true))
                   : nullptr) {}

    void paint(QPainter* p, const QRect& kde, QIcon::Mode rezim, QIcon::State) override {
        const bool seda = rezim == QIcon::Disabled;
        if (seda && !Seda) {
            // One drawing only: the style greys it as it greys any picture.
            QPixmap obraz = pixmap(kde.size(), QIcon::Normal, QIcon::Off);
            QStyleOption volby;
            volby.palette = QApplication::palette();
            p->drawPixmap(
                kde, QApplication::style()->generatedIconPixmap(QIcon::Disabled, obraz, &volby));
            return;
        }
        (seda ? *Seda : *Kresba).render(p, kde);
    }

    QPixmap pixmap(const QSize& velikost, QIcon::Mode rezim, QIcon::State stav) override {
        QPixmap obraz(velikost);
        obraz.fill(Qt::transparent);
        QPainter p(&obraz);
        paint(&p, QRect(QPoint(0, 0), velikost), rezim, stav);
        return obraz;
    }

    QIconEngine* clone() const override { return new SvgIkona(*this); }

  private:
    static QString soubor(const QString& jmeno, bool seda) {
        return QStringLiteral(":/ikony/%1%2.svg")
            .arg(jmeno, seda ? QStringLiteral("-seda") : QString());
    }

    std::shared_ptr<QSvgRenderer> Kresba;
    std::shared_ptr<QSvgRenderer> Seda;  // none: the style greys the drawing
};

const char* jmeno(Ikona ikona) {
    switch (ikona) {
        case Ikona::Novy:
            return "novy";
        case Ikona::Otevrit:
            return "otevrit";
        case Ikona::Ulozit:
            return "ulozit";
        case Ikona::Tisk:
            return "tisk";
        case Ikona::NacistZZak:
            return "nacist_z_zak";
        case Ikona::ZapsatDoZak:
            return "zapsat_do_zak";
        case Ikona::PosledniKlic:
            return "posledni_klic";
        case Ikona::PridatKlic:
            return "pridat_klic";
        case Ikona::SmazatKlic:
            return "smazat_klic";
        case Ikona::Prerusit:
            return "prerusit";
        case Ikona::InvertovatPatra:
            return "invertovat_patra";
    }
    return "";
}

}  // namespace

QIcon ikonaNastroje(Ikona ikona) {
    return QIcon(new SvgIkona(QString::fromLatin1(jmeno(ikona))));
}

}  // namespace zak
