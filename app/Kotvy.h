#pragma once

#include <QObject>
#include <QSize>

class QWidget;

namespace zak {

// Keeps a control's distance to the right and bottom edges of its parent as laid out
// at the design size, so that stretched controls grow with the window.
class Kotva : public QObject {
  public:
    // `navrh` is the parent's client size the layout was designed for.
    static void ukotvi(QWidget* w, QSize navrh, bool vpravo, bool dole);

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    Kotva(QWidget* w, QSize navrh, bool vpravo, bool dole);
    void uprav();

    QWidget* Ovladac;
    int OkrajVpravo;
    int OkrajDole;
    bool Vpravo;
    bool Dole;
};

}  // namespace zak
