#include "Kotvy.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace zak {

Kotva* Kotva::ukotvi(QWidget* w, bool vpravo, bool dole) {
    return new Kotva(w, vpravo, dole);  // owned by the control
}

Kotva::Kotva(QWidget* w, bool vpravo, bool dole)
    : QObject(w), Ovladac(w), Vpravo(vpravo), Dole(dole) {
    w->parentWidget()->installEventFilter(this);
}

void Kotva::zacni(QSize rodic) {
    const QRect g = Ovladac->geometry();
    OkrajVpravo = rodic.width() - g.right() - 1;
    OkrajDole = rodic.height() - g.bottom() - 1;
    Zacala = true;
    uprav();
}

bool Kotva::eventFilter(QObject* o, QEvent* e) {
    if (Zacala && o == Ovladac->parentWidget() && e->type() == QEvent::Resize)
        uprav();
    return false;
}

void Kotva::uprav() {
    const QSize rodic = Ovladac->parentWidget()->size();
    QRect g = Ovladac->geometry();
    if (Vpravo)
        g.setRight(std::max(g.left(), rodic.width() - OkrajVpravo - 1));
    if (Dole)
        g.setBottom(std::max(g.top(), rodic.height() - OkrajDole - 1));
    Ovladac->setGeometry(g);
}

}  // namespace zak
