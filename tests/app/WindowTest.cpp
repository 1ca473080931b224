#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QToolButton>

#include "KeyGridModel.h"
#include "MemoryMapModel.h"
#include "OknoTestu.h"

using namespace zak;

// The window as it opens: layout, texts, start values.
class WindowTest : public QObject {
    Q_OBJECT
  private slots:
    void captionPagesAndStartValues();
    void menusAndShortcuts_data();
    void menusAndShortcuts();
    void toolButtons();
    void keyPanelLayout();
    void mapShowsWrittenCells();
    void resetAllShowsStartValues();
    void stretchesWithTheWindow();
};

void WindowTest::captionPagesAndStartValues() {
    Okno o;
    TForm1& f = o.Form;
    QCOMPARE(f.windowTitle(), QString("ZAK Manager v.0.1"));
    QCOMPARE(f.Zalozky->count(), 4);
    const QStringList stranky{QString::fromUtf8("Klíče"), QString::fromUtf8("Mapa paměti"),
                              QString::fromUtf8("Přehled komunikace"),
                              QString::fromUtf8("Nastavení")};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(f.Zalozky->tabText(i), stranky[i]);
    QCOMPARE(f.Zalozky->currentWidget(), f.Klice_);

    QCOMPARE(f.ComboPort->currentText(), QString("COM1"));
    QCOMPARE(f.ComboPort->count(), 8);
    QCOMPARE(f.ComboPort->itemText(7), QString("COM8"));
    QVERIFY(!f.ComboPort->isEditable());
    QVERIFY(!f.PortOpen);
    QCOMPARE(f.Klice.PocetKlicu, 0);
    QCOMPARE(f.Klice.AktKlic, 0);
    QCOMPARE(f.Klice.LimitNacitani, 2000);
    QCOMPARE(f.Klice.DelkaKomentare, 30);
    QVERIFY(!f.Klice.UkladatKomentare);
    QVERIFY(!f.Link.StopRequest());

    QCOMPARE(f.EditPocetKlicu->text(), QString("  0 "));
    QCOMPARE(f.LabelPocet->text(), QString::fromUtf8("Počet klíčů:"));
    QCOMPARE(f.LimitKlicu->text(), QString::fromUtf8("komentáře je xxxx)"));
    QCOMPARE(f.Label5->text(), QString::fromUtf8("(Max.počet klíčů s touto délkou"));
    QCOMPARE(f.Label4->text(), QString::fromUtf8("Max.délka komentáře:"));
    QCOMPARE(f.Label3->text(), QString::fromUtf8("Aktuální klíč:"));
    QCOMPARE(f.Label1->text(), QString::fromUtf8("Komunikační port:"));
    QCOMPARE(f.CheckUkladatKomentare->text(), QString::fromUtf8("Ukládat komentáře do ZAK"));
    for (QLineEdit* e : {f.EditAktKlic, f.EditAktID, f.EditAktKomentar, f.EditDelkaKomentare})
        QCOMPARE(e->text(), QString());
    QVERIFY(f.EditAktKlic->isReadOnly());
    QVERIFY(f.CommLog->isReadOnly());
    QCOMPARE(f.ProgressBar->maximum(), 20032);
    QCOMPARE(f.ProgressBar->value(), 0);
    QCOMPARE(f.pos(), QPoint(261, 101));
}

void WindowTest::menusAndShortcuts_data() {
    QTest::addColumn<QString>("jmeno");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QKeySequence>("zkratka");
    QTest::newRow("Nov1") << "Nov1" << QString::fromUtf8("&Nový")
                          << QKeySequence(Qt::CTRL | Qt::Key_N);
    QTest::newRow("Otevt1") << "Otevt1" << QString::fromUtf8("&Otevřít...")
                            << QKeySequence(Qt::CTRL | Qt::Key_O);
    QTest::newRow("Uloit1") << "Uloit1" << QString::fromUtf8("&Uložit...")
                            << QKeySequence(Qt::CTRL | Qt::Key_S);
    QTest::newRow("Tisk1") << "Tisk1" << QString::fromUtf8("&Tisk...")
                           << QKeySequence(Qt::CTRL | Qt::Key_P);
    QTest::newRow("Konec1") << "Konec1" << QString::fromUtf8("&Konec") << QKeySequence();
    QTest::newRow("NastzZAK1") << "NastzZAK1" << QString::fromUtf8("Načíst &z ZAK")
                               << QKeySequence(Qt::Key_F3);
    QTest::newRow("ZapsatdoZAK1") << "ZapsatdoZAK1" << QString::fromUtf8("Zapsat &do ZAK")
                                  << QKeySequence(Qt::Key_F4);
    QTest::newRow("Nastpiloen1") << "Nastpiloen1" << QString::fromUtf8("Načíst přiložený")
                                 << QKeySequence(Qt::Key_F5);
    QTest::newRow("Pidat1") << "Pidat1" << QString::fromUtf8("&Přidat")
                            << QKeySequence(Qt::Key_Insert);
    QTest::newRow("Smazat1") << "Smazat1" << QString::fromUtf8("Smazat")
                             << QKeySequence(Qt::Key_Delete);
}

void WindowTest::menusAndShortcuts() {
    QFETCH(QString, jmeno);
    QFETCH(QString, text);
    QFETCH(QKeySequence, zkratka);
    Okno o;
    auto* a = o.Form.findChild<QAction*>(jmeno);
    QVERIFY(a);
    QCOMPARE(a->text(), text);
    QCOMPARE(a->shortcut(), zkratka);

    const QList<QAction*> nabidky = o.Form.menuBar()->actions();
    QCOMPARE(nabidky.size(), 3);
    QCOMPARE(nabidky[0]->text(), QString("&Soubor"));
    QCOMPARE(nabidky[1]->text(), QString("&ZAK"));
    QCOMPARE(nabidky[2]->text(), QString::fromUtf8("Klíč"));
}

void WindowTest::toolButtons() {
    Okno o;
    struct Tlacitko {
        const char* jmeno;
        int x;
        const char* napoveda;
    };
    const Tlacitko tlacitka[] = {
        {"SpeedButton1", 8, "Vyčistit soubor"},
        {"SpeedButton2", 32, "Načíst ze souboru"},
        {"SpeedButton3", 56, "Uložit do souboru"},
        {"SpeedButton9", 80, ""},
        {"SpeedButton4", 120, "Načíst z ZAK"},
        {"SpeedButton5", 144, "Nahrát do ZAK"},
        {"SpeedButton6", 184, "Posledně přiložený klíč"},
        {"SpeedButton7", 208, "Přidat klíč"},
        {"SpeedButton8", 232, "Smazat klíč"},
        {"StopCommButt", 272, "Přerušit komunikaci"},
    };
    for (const Tlacitko& t : tlacitka) {
        auto* b = o.Form.findChild<QToolButton*>(t.jmeno);
        QVERIFY2(b, t.jmeno);
        QCOMPARE(b->geometry(), QRect(t.x, 8, 25, 25));
        QCOMPARE(b->toolTip(), QString::fromUtf8(t.napoveda));
        QCOMPARE(b->focusPolicy(), Qt::NoFocus);
        QVERIFY(!b->icon().isNull());
    }
}

void WindowTest::keyPanelLayout() {
    Okno o;
    TForm1& f = o.Form;
    QCOMPARE(f.EditPocetKlicu->geometry(), QRect(494, 5, 33, 21));
    QCOMPARE(f.EditAktID->geometry(), QRect(364, 52, 163, 21));
    QCOMPARE(f.EditAktKomentar->geometry(), QRect(364, 72, 163, 21));
    QCOMPARE(f.EditPocetKlicu->toolTip(),
             QString::fromUtf8("Použijte k zadání limitu pro načítání"));
    QCOMPARE(f.EditDelkaKomentare->toolTip(),
             QString::fromUtf8("Max. délka komentáře 1 až 50 znaků"));
    for (int n = 1; n <= 24; ++n) {
        QCheckBox* box = f.Patro[n - 1];
        QCOMPARE(box->objectName(), QString("Patro%1").arg(n));
        QCOMPARE(box->text(), QString::number(n));
        const int x[] = {368, 408, 453};
        QCOMPARE(box->geometry(), QRect(x[(n - 1) / 8], 104 + 16 * ((n - 1) % 8), 33, 17));
    }
    QCOMPARE(f.TabulkaKlicu->columnWidth(0), 20);
    QCOMPARE(f.TabulkaKlicu->columnWidth(1), 114);
    QCOMPARE(f.TabulkaKlicu->columnWidth(2), 196);
    QCOMPARE(f.TabulkaKlicu->model()->rowCount(), 2000);

    // Keyboard focus order of the page.
    QList<QWidget*> poradi{f.TabulkaKlicu, f.EditAktID, f.EditAktKomentar};
    for (QCheckBox* b : f.Patro)
        poradi << b;
    poradi << f.EditAktKlic << f.EditPocetKlicu << f.CheckUkladatKomentare << f.EditDelkaKomentare;
    for (int i = 1; i < poradi.size(); ++i) {
        QWidget* dalsi = poradi[i - 1]->nextInFocusChain();
        while (poradi[i - 1]->isAncestorOf(dalsi) || !(dalsi->focusPolicy() & Qt::TabFocus))
            dalsi = dalsi->nextInFocusChain();  // parts of a control, labels
        QCOMPARE(dalsi, poradi[i]);
    }
}

void WindowTest::mapShowsWrittenCells() {
    Okno o;
    TForm1& f = o.Form;
    QAbstractItemModel* mapa = f.MapaPameti->model();
    QCOMPARE(mapa->headerData(0, Qt::Horizontal).toString(), QString("00 "));
    QCOMPARE(mapa->headerData(15, Qt::Horizontal).toString(), QString("0F "));
    QCOMPARE(mapa->headerData(1, Qt::Vertical).toString(), QString("0010 "));
    QCOMPARE(mapa->index(1, 12).data().toString(), QString());

    f.Klice.UkladatKomentare = true;
    f.Keys2Mem();
    QCOMPARE(mapa->index(1, 12).data().toString(), QString::fromUtf8("AA Ş"));
    QCOMPARE(mapa->index(1, 14).data().toString(), QString("00 "));
    f.InicializujMapu();
    QCOMPARE(mapa->index(1, 12).data().toString(), QString());
    QCOMPARE(f.Pamet[0x1C], 0xAA);  // the map was emptied, not the image
}

void WindowTest::resetAllShowsStartValues() {
    Okno o;
    TForm1& f = o.Form;
    f.Klice.DelkaKomentare = 7;
    f.Klice.LimitNacitani = 100;
    f.Klice.UkladatKomentare = true;
    f.Klice.PocetKlicu = 1;
    f.Keys2Mem();
    f.ResetAll();
    QCOMPARE(f.EditDelkaKomentare->text(), QString("30"));
    QVERIFY(!f.CheckUkladatKomentare->isChecked());
    QCOMPARE(f.LimitKlicu->text(), QString("komentare je 818)"));
    QCOMPARE(f.LabelPocet->text(), QString::fromUtf8("Počet klíčů:"));
    QCOMPARE(f.EditPocetKlicu->text(), QString("  0 "));
    QCOMPARE(f.EditAktKlic->text(), QString("#1"));
    QCOMPARE(f.Klice.AktKlic, 1);
    QCOMPARE(f.Pamet[0x1C], 0);
    QCOMPARE(f.MapaPameti->model()->index(1, 12).data().toString(), QString());
}

void WindowTest::stretchesWithTheWindow() {
    Okno o;
    TForm1& f = o.Form;
    QVERIFY(o.ukaz());
    const QSize tabulka = f.TabulkaKlicu->size();
    const int pruh = f.ProgressBar->width();
    f.Zalozky->setCurrentWidget(f.Komunikace);
    QApplication::processEvents();
    const QSize log = f.CommLog->size();
    f.resize(f.width() + 100, f.height() + 50);
    QTRY_COMPARE(f.ProgressBar->width(), pruh + 100);
    QTRY_COMPARE(f.CommLog->size(), log + QSize(100, 50));
    f.Zalozky->setCurrentWidget(f.Klice_);  // a hidden page follows when it is shown
    QTRY_COMPARE(f.TabulkaKlicu->height(), tabulka.height() + 50);
    QCOMPARE(f.TabulkaKlicu->width(), tabulka.width());
}

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
