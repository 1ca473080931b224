#pragma once

#include <QString>

class QFileDialog;
class QPrinter;
class QWidget;

namespace zak {

// The message boxes the window shows to the operator. The window asks through this
// interface so that tests can answer without a modal box.
class Dialogy {
  public:
    virtual ~Dialogy() = default;
    // A Yes/No question; true only for Yes.
    virtual bool Potvrd(const QString& otazka) = 0;
    // An information box with OK.
    virtual void Informuj(const QString& zprava) = 0;
    // An error that escaped a command.
    virtual void Chyba(const QString& zprava) = 0;
    // Runs a file dialog of the window; the chosen file, or empty when cancelled.
    virtual QString VyberSoubor(QFileDialog& dialog) = 0;
    // Runs the print dialog for the printer; false when cancelled.
    virtual bool VyberTiskarnu(QPrinter& tiskarna) = 0;
};

// The real boxes, owned by the window they belong to.
class OknaDialogu : public Dialogy {
  public:
    explicit OknaDialogu(QWidget* rodic) : Rodic(rodic) {}
    bool Potvrd(const QString& otazka) override;
    void Informuj(const QString& zprava) override;
    void Chyba(const QString& zprava) override;
    QString VyberSoubor(QFileDialog& dialog) override;
    bool VyberTiskarnu(QPrinter& tiskarna) override;

  private:
    QWidget* Rodic;
};

}  // namespace zak
