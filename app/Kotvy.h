#pragma once

#include <QObject>
#include <QRect>

class QWidget;

namespace zak {

// Keeps a control's distance to the right and bottom edges of its parent, so that
// stretched controls grow with the window. The distances are those of the control's
// start geometry in the size its parent really has when the window is first shown.
class Kotva : public QObject {
  public:
    static Kotva* ukotvi(QWidget* w, bool vpravo, bool dole);

    // Takes the margins from the parent's start size; until then the control keeps
    // the geometry it was given.
    void zacni(QSize rodic);
    QWidget* ovladac() const { return Ovladac; }

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    Kotva(QWidget* w, bool vpravo, bool dole);
    void uprav();

    QWidget* Ovladac;
    bool Vpravo;
    bool Dole;
    bool Zacala = false;
    int OkrajVpravo = 0;
    int OkrajDole = 0;
};

}  // namespace zak
