#pragma once

// Shared set-up of the window tests: the real window, offscreen, with its message
// boxes answered by a script instead of the operator.
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPrinter>
#include <QTableView>
#include <QtTest>
#include <deque>
#include <memory>

#include "Dialogy.h"
#include "TForm1.h"

namespace zak {

class SkriptDialogu : public Dialogy {
  public:
    std::deque<bool> Odpovedi;  // answers to the next questions; a missing one is No
    QStringList Otazky, Informace, Chyby;
    std::function<void()> PriOtazce;  // runs while the question is "open"

    bool Potvrd(const QString& otazka) override {
        Otazky << otazka;
        if (PriOtazce)
            PriOtazce();
        if (Odpovedi.empty())
            return false;
        const bool a = Odpovedi.front();
        Odpovedi.pop_front();
        return a;
    }
    void Informuj(const QString& zprava) override { Informace << zprava; }
    void Chyba(const QString& zprava) override { Chyby << zprava; }

    std::deque<QString> Soubory;  // files "chosen" in the next file dialogs; none = cancel
    // How the file dialogs that were shown were set up.
    struct FileDialog {
        QFileDialog::AcceptMode rezim;
        QFileDialog::FileMode soubory;
        QStringList filtry;
        QString pripona;
        bool potvrzujePrepsani;
    };
    QList<FileDialog> Dialogy;
    QString VyberSoubor(QFileDialog& dialog) override {
        Dialogy << FileDialog{dialog.acceptMode(), dialog.fileMode(), dialog.nameFilters(),
                              dialog.defaultSuffix(),
                              !dialog.testOption(QFileDialog::DontConfirmOverwrite)};
        if (Soubory.empty())
            return {};
        const QString s = Soubory.front();
        Soubory.pop_front();
        return s;
    }

    QString Pdf;  // where the print dialog "prints" to; empty = cancel
    bool VyberTiskarnu(QPrinter& tiskarna) override {
        if (Pdf.isEmpty())
            return false;
        tiskarna.setOutputFormat(QPrinter::PdfFormat);
        tiskarna.setOutputFileName(Pdf);
        return true;
    }
};

// Shows a window and waits until it is active, so that focus behaves as for the operator.
inline bool ukazAktivni(QWidget& okno) {
    okno.show();
    if (!QTest::qWaitForWindowExposed(&okno))
        return false;
    // Without a window manager (plain Xvfb) nobody else gives the window the focus.
    okno.activateWindow();
    return QTest::qWaitForWindowActive(&okno);
}

struct Okno {
    TForm1 Form;
    SkriptDialogu* Dialogy;

    Okno() {
        auto d = std::make_unique<SkriptDialogu>();
        Dialogy = d.get();
        Form.nastavDialogy(std::move(d));
    }

    // Shows the window and waits until it is active, so that focus behaves as for the operator.
    bool ukaz() { return ukazAktivni(Form); }

    void klikniNaRadek(int n) {
        QTableView* t = Form.TabulkaKlicu;
        t->scrollTo(t->model()->index(n - 1, 1));
        const QRect r = t->visualRect(t->model()->index(n - 1, 1));
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, r.center());
    }
};

// Types text one key event at a time, also letters outside ASCII.
inline void napis(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent stisk(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent pusteni(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &stisk);
        QApplication::sendEvent(w, &pusteni);
    }
}

inline void vyber(QLineEdit* e) {
    e->setFocus(Qt::OtherFocusReason);
    e->selectAll();
}

}  // namespace zak
