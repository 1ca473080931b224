#include "Kotvy.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace zak {

void Kotva::ukotvi(QWidget* w, QSize navrh, bool vpravo, bool dole) {
    new Kotva(w, navrh, vpravo, dole);  // owned by the control
}

Kotva::Kotva(QWidget* w, QSize navrh, bool vpravo, bool dole)
    : QObject(w),
      Ovladac(w),
      OkrajVpravo(navrh.width() - w->geometry().right() - 1),
      OkrajDole(navrh.height() - w->geometry().bottom() - 1),
      Vpravo(vpravo),
      Dole(dole) {
    // Adjusted on the parent's resize events only: before its first one the parent
    // has no meaningful size yet.
    w->parentWidget()->installEventFilter(this);
}

bool Kotva::eventFilter(QObject* o, QEvent* e) {
    if (o == Ovladac->parentWidget() && e->type() == QEvent::Resize)
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
