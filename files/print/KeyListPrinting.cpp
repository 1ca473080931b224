#include "KeyListPrinting.h"

#include <QDate>
#include <QLocale>
#include <QPainter>

#include "KeyListing.h"
#include "Kodovani.h"
#include "PagedTextOutput.h"
#include "QtPrintSurface.h"

namespace zak {

namespace {

QString chybaTisku(const QPrinter* printer) {
    QString cil;
    if (printer)
        cil = printer->outputFileName().isEmpty() ? printer->printerName()
                                                  : printer->outputFileName();
    return QStringLiteral("Unable to print to %1").arg(cil);
}

}  // namespace

QString TiskniSeznamKlicu(QPrinter* printer, const KeyTable& t, const QString& datum) {
    QPainter painter;
    if (!printer || !painter.begin(printer))
        return chybaTisku(printer);
    QtPrintSurface surface(painter, *printer);
    PagedTextOutput out(surface);
    VypisSeznamKlicu(t, doCp1250(datum), out);
    if (!painter.end())
        return chybaTisku(printer);
    return {};
}

QString DatumVypisu() {
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

}  // namespace zak
