#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "KeyEditor.h"
#include "KeyListFile.h"
#include "OknoTestu.h"

using namespace zak;

// Open and save through the real file dialogs, driven from the keyboard only: every key
// goes through the window system, as the operator's keyboard delivers it.
class RealDialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void openByTypedNameThenEditAndSave();
    void saveByTypedNameThenEditAndSaveAgain();
    void openRefusesAMissingName();

  private:
    QTemporaryDir Slozka;
};

namespace {

// Types text as key presses into a window; the window system routes them to whatever
// has the keyboard there (a completion list, the focused field).
void pis(QWindow* okno, const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(okno, c.toLatin1());
}

// The window that takes the keyboard now: the focused window, else the main window.
QWindow* klavesnice(TForm1& f) {
    QWindow* okno = QGuiApplication::focusWindow();
    return okno ? okno : f.windowHandle();
}

// Runs `jmeno` into the next file dialog and presses Enter. It waits for the completion
// list, as the operator sees it, when the dialog offers one.
void odpovezDialogu(const QString& jmeno, bool& hotovo) {
    auto* cekani = new QTimer;
    QObject::connect(cekani, &QTimer::timeout, [cekani, jmeno, &hotovo] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible())
            return;
        cekani->stop();
        cekani->deleteLater();
        // The operator types once the name field has the cursor.
        const bool pripraven = QTest::qWaitFor(
            [d] {
                auto* pole = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                return d->isActiveWindow() && pole && pole->hasFocus();
            },
            5000);
        if (!pripraven)
            qWarning("the file name field has no focus");
        pis(d->windowHandle(), jmeno);
        (void)QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 2000);
        QTest::keyClick(
            QGuiApplication::focusWindow() ? QGuiApplication::focusWindow() : d->windowHandle(),
            Qt::Key_Return);
        hotovo = QTest::qWaitFor([d] { return !d->isVisible(); }, 5000);
        if (!hotovo)
            d->reject();  // the test fails instead of waiting for ever
    });
    cekani->start(20);
}

// After a dialog: nothing of it is left on screen and the main window has the keyboard.
bool oknoMaKlavesnici(TForm1& f) {
    const bool ma = QTest::qWaitFor(
        [&f] {
            return !QApplication::activePopupWidget() && !QApplication::activeModalWidget() &&
                   QApplication::activeWindow() == &f && QApplication::focusWidget() &&
                   QApplication::focusWidget()->window() == &f;
        },
        3000);
    if (!ma)
        qWarning() << "popup" << QApplication::activePopupWidget() << "modal"
                   << QApplication::activeModalWidget() << "active" << QApplication::activeWindow()
                   << "focus" << QApplication::focusWidget();
    return ma;
}

void zapisSeznam(const QString& soubor, int pocet) {
    KeyTable t;
    for (int i = 0; i < pocet; ++i) {
        const int n = PridejKlic(t);
        NastavID(t, n, "0A1B2C3D4E5F6" + std::to_string(n));
    }
    QVERIFY(!UlozSeznamKlicu(QFile::encodeName(soubor).toStdString(), t));
}

QByteArray obsah(const QString& soubor) {
    QFile f(soubor);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// From the grid, Tab to the comment field of the current key, replace its text and go
// back to the grid.
void napisKomentar(TForm1& f, const QString& komentar) {
    QCOMPARE(QApplication::focusWidget(), f.TabulkaKlicu);
    QTest::keyClick(klavesnice(f), Qt::Key_Tab);
    QTest::keyClick(klavesnice(f), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.EditAktKomentar);
    QTest::keyClick(klavesnice(f), Qt::Key_A, Qt::ControlModifier);
    pis(klavesnice(f), komentar);
    QTest::keyClick(klavesnice(f), Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(klavesnice(f), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), f.TabulkaKlicu);
}

}  // namespace

void RealDialogsTest::openByTypedNameThenEditAndSave() {
    const QString seznam = Slozka.filePath("klice.ZAK");
    zapisSeznam(seznam, 3);
    TForm1 f;  // with its real message boxes and dialogs
    QVERIFY(ukazAktivni(f));
    f.TabulkaKlicu->setFocus();

    bool hotovo = false;
    odpovezDialogu(seznam, hotovo);
    QTest::keyClick(klavesnice(f), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(hotovo);
    QCOMPARE(f.Klice.PocetKlicu, 3);
    QVERIFY(oknoMaKlavesnici(f));

    napisKomentar(f, "Vratny 1");
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(f.Klice.klic(1).Komentar, std::string("Vratny 1"));

    hotovo = false;
    const QString kopie = Slozka.filePath("kopie.ZAK");
    odpovezDialogu(kopie, hotovo);
    QTest::keyClick(klavesnice(f), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(hotovo);
    QVERIFY2(obsah(kopie).contains("[Klic0001]\r\nID=0A1B2C3D4E5F61\r\nKomentar=Vratny 1\r\n"),
             obsah(kopie).constData());
    QVERIFY(oknoMaKlavesnici(f));
}

void RealDialogsTest::saveByTypedNameThenEditAndSaveAgain() {
    TForm1 f;
    QVERIFY(ukazAktivni(f));
    f.AddKeyButt();
    f.AddKeyButt();
    f.VyberKlic(1);
    f.TabulkaKlicu->setFocus();

    napisKomentar(f, "Prvni");
    if (QTest::currentTestFailed())
        return;
    bool hotovo = false;
    // Typed without the extension: the dialog adds it.
    odpovezDialogu(Slozka.filePath("prvni"), hotovo);
    QTest::keyClick(klavesnice(f), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(hotovo);
    QVERIFY(obsah(Slozka.filePath("prvni.ZAK")).contains("Komentar=Prvni\r\n"));
    QVERIFY(oknoMaKlavesnici(f));

    napisKomentar(f, "Druhy");
    if (QTest::currentTestFailed())
        return;
    hotovo = false;
    odpovezDialogu(Slozka.filePath("druhy.ZAK"), hotovo);
    QTest::keyClick(klavesnice(f), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(hotovo);
    const QByteArray druhy = obsah(Slozka.filePath("druhy.ZAK"));
    QVERIFY2(druhy.contains("[Klic0001]\r\nID=00000000000000\r\nKomentar=Druhy\r\n"),
             druhy.constData());
    QVERIFY(oknoMaKlavesnici(f));
}

void RealDialogsTest::openRefusesAMissingName() {
    TForm1 f;
    QVERIFY(ukazAktivni(f));
    f.AddKeyButt();
    f.AddKeyButt();

    // A mistyped name: the dialog says so and stays open; the operator then cancels it.
    bool odmitnuto = false;
    QTimer naDialog, naZpravu;
    connect(&naZpravu, &QTimer::timeout, [&] {
        auto* zprava = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!zprava || !zprava->isVisible())
            return;
        naZpravu.stop();
        QTest::keyClick(zprava->windowHandle(), Qt::Key_Return);
    });
    connect(&naDialog, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible())
            return;
        naDialog.stop();
        (void)QTest::qWaitFor([d] { return d->isActiveWindow(); }, 5000);
        pis(d->windowHandle(), Slozka.filePath("preklep.ZAK"));
        naZpravu.start(20);
        QTest::keyClick(d->windowHandle(), Qt::Key_Return);  // returns when the message is answered
        odmitnuto = !naZpravu.isActive() && d->isVisible();
        QTest::keyClick(d->windowHandle(), Qt::Key_Escape);
    });
    naDialog.start(20);
    QTest::keyClick(klavesnice(f), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(odmitnuto);
    QCOMPARE(f.Klice.PocetKlicu, 2);
}

QTEST_MAIN(RealDialogsTest)
#include "RealDialogsTest.moc"
