#include <QApplication>
#include <QIcon>

#include "PrekladyQt.h"
#include "TForm1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    zak::nainstalujPrekladyQt(app);
    app.setDesktopFileName(QStringLiteral("cz.zak.ZakManager"));
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/cz.zak.ZakManager.svg")));
    zak::TForm1 okno;
    okno.show();
    return app.exec();
}
