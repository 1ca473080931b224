#include "PrekladyQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zak {

bool nainstalujPrekladyQt(QCoreApplication& aplikace) {
    auto* preklad = new QTranslator(&aplikace);
    if (!preklad->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete preklad;
        return false;
    }
    return QCoreApplication::installTranslator(preklad);
}

}  // namespace zak
