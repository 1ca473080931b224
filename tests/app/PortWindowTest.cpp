#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <QComboBox>
#include <QTemporaryDir>
#include <cstdio>

#include "OknoTestu.h"

using namespace zak;

// The port choice on the settings page, against real pseudo-terminals.
class PortWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void startsClosedOnCom1();
    void missingPortShowsTheErrorAndStaysClosed();
    void choosingAWorkingPortOpensIt();
    void closingTheWindowStopsThePort();
    void aPortThatHangsUpIsOpenedAgainWhenItComesBack();
    void aPortThatHangsUpAndStaysAwayIsReportedAtTheNextCommand();
};

namespace {

// A pseudo-terminal whose device stands in for a serial port.
struct Terminal {
    int master = -1;
    int slave = -1;
    QByteArray jmeno;
    Terminal() {
        char buf[256];
        if (::openpty(&master, &slave, buf, nullptr, nullptr) == 0)
            jmeno = buf;
        termios t{};
        ::tcgetattr(master, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(master, TCSANOW, &t);
    }
    ~Terminal() {
        ::close(slave);
        odpoj();
    }
    // The unit's side goes away, as when a USB adapter is pulled out.
    void odpoj() {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    void posli(const QByteArray& b) { QCOMPARE(::write(master, b.data(), b.size()), b.size()); }
    QByteArray precti(int kolik) {
        QByteArray b;
        QElapsedTimer t;
        t.start();
        while (b.size() < kolik && t.elapsed() < 5000) {
            char c[64];
            const ssize_t n = ::read(master, c, sizeof c);
            if (n > 0)
                b.append(c, n);
            else
                QTest::qWait(10);
        }
        return b;
    }
};

// COM1 of the window is a link, as a /dev/serial/by-id name is: it can be pointed at the
// device that comes back after an unplug.
struct Odkaz {
    QTemporaryDir slozka;
    QString cesta = slozka.filePath("port");
    Odkaz() { qputenv("ZAK_COM1", cesta.toLocal8Bit()); }
    void nasmeruj(const QByteArray& zarizeni) {
        const QString nova = slozka.filePath("novy");
        QVERIFY(::symlink(zarizeni.constData(), nova.toLocal8Bit().constData()) == 0);
        QVERIFY(::rename(nova.toLocal8Bit().constData(), cesta.toLocal8Bit().constData()) == 0);
    }
    void zrus() { ::unlink(cesta.toLocal8Bit().constData()); }
};

const QByteArray DotazNaKlic("\x03\xFC", 2);
const QByteArray ZadnyNovyKlic("\x23\xDC", 2);

// F5 through the window, answered by the unit at `t`.
void posledniKlic(Okno& o, Terminal& t) {
    const int pred = o.Dialogy->Informace.size();
    o.Form.Nastpiloen1->trigger();  // F5, as the operator gives it
    QCOMPARE(t.precti(2), DotazNaKlic);
    t.posli(ZadnyNovyKlic);
    QTRY_COMPARE_WITH_TIMEOUT(o.Dialogy->Informace.size(), pred + 1, 5000);
    QCOMPARE(o.Dialogy->Informace.last(), QString::fromUtf8("Nebyl nově přiložen žádný klíč."));
}

void vyberPort(TForm1& f, int index) {
    f.ComboPort->setCurrentIndex(index);
    emit f.ComboPort->activated(index);  // as the operator's choice
}

}  // namespace

void PortWindowTest::startsClosedOnCom1() {
    Okno o;
    QCOMPARE(o.Form.Comm321.CommPort(), std::string("COM1"));
    QCOMPARE(o.Form.Comm321.BaudRate(), 2400u);
    QCOMPARE(o.Form.Comm321.ByteSize(), 8);
    QVERIFY(!o.Form.Comm321.IsOpen());
    QVERIFY(!o.Form.PortOpen);
}

void PortWindowTest::missingPortShowsTheErrorAndStaysClosed() {
    qputenv("ZAK_COM3", "/nonexistent/ttyZAK");
    Okno o;
    vyberPort(o.Form, 2);
    QCOMPARE(o.Dialogy->Chyby, QStringList{"Error opening com port"});
    QVERIFY(!o.Form.PortOpen);
    QVERIFY(!o.Form.Comm321.IsOpen());
    QCOMPARE(o.Form.Comm321.CommPort(), std::string("COM3"));
    // The window goes on.
    o.Form.AddKeyButt();
    QCOMPARE(o.Form.Klice.PocetKlicu, 1);
}

void PortWindowTest::choosingAWorkingPortOpensIt() {
    Terminal t;
    QVERIFY(!t.jmeno.isEmpty());
    qputenv("ZAK_COM2", t.jmeno);
    Okno o;
    vyberPort(o.Form, 1);
    QVERIFY(o.Dialogy->Chyby.isEmpty());
    QVERIFY(o.Form.PortOpen);
    const std::uint8_t pozadavek[] = {0x03, 0xFC};
    QVERIFY(o.Form.Comm321.WriteCommData(pozadavek, 2));
    QCOMPARE(t.precti(2), QByteArray("\x03\xFC", 2));

    // Choosing it again stops and reopens it.
    vyberPort(o.Form, 1);
    QVERIFY(o.Dialogy->Chyby.isEmpty());
    QVERIFY(o.Form.PortOpen);
}

void PortWindowTest::closingTheWindowStopsThePort() {
    Terminal t;
    qputenv("ZAK_COM4", t.jmeno);
    {
        Okno o;
        vyberPort(o.Form, 3);
        QVERIFY(o.Form.PortOpen);
        o.Form.close();
        QVERIFY(!o.Form.Comm321.IsOpen());
    }
    // The device is free again for the next window.
    Okno dalsi;
    vyberPort(dalsi.Form, 3);
    QVERIFY(dalsi.Dialogy->Chyby.isEmpty());
    QVERIFY(dalsi.Form.PortOpen);

    // A window that never opened its port closes without an error.
    Okno nikdy;
    nikdy.Form.close();
    QVERIFY(nikdy.Dialogy->Chyby.isEmpty());
}

void PortWindowTest::aPortThatHangsUpIsOpenedAgainWhenItComesBack() {
    Odkaz com1;
    Terminal pred;
    com1.nasmeruj(pred.jmeno);
    Okno o;
    posledniKlic(o, pred);
    QVERIFY(o.Form.PortOpen);

    pred.odpoj();
    QTRY_VERIFY_WITH_TIMEOUT(!o.Form.PortOpen, 5000);
    QVERIFY(!o.Form.Comm321.IsOpen());
    QVERIFY(o.Dialogy->Chyby.isEmpty());  // nothing is shown at the hang-up itself

    // The adapter comes back under the same name, as another device.
    Terminal po;
    com1.nasmeruj(po.jmeno);
    posledniKlic(o, po);
    QVERIFY(o.Form.PortOpen);
    QVERIFY(o.Dialogy->Chyby.isEmpty());
}

void PortWindowTest::aPortThatHangsUpAndStaysAwayIsReportedAtTheNextCommand() {
    Odkaz com1;
    Terminal t;
    com1.nasmeruj(t.jmeno);
    Okno o;
    posledniKlic(o, t);

    t.odpoj();
    com1.zrus();
    QTRY_VERIFY_WITH_TIMEOUT(!o.Form.PortOpen, 5000);
    QVERIFY(o.Dialogy->Chyby.isEmpty());
    o.Form.Nastpiloen1->trigger();  // F5, as the operator gives it
    QCOMPARE(o.Dialogy->Chyby, QStringList{"Error opening com port"});
    QVERIFY(!o.Form.PortOpen);
}

QTEST_MAIN(PortWindowTest)
#include "PortWindowTest.moc"
