#include "Kodovani.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <stdexcept>

namespace zak {

namespace {

constexpr const char* kKodovaStranka = "windows-1250";

void overPlatnost(const QStringConverter& c) {
    // Debian's Qt reaches this code page through ICU; without it no text would be right.
    if (!c.isValid())
        throw std::runtime_error("Windows-1250 conversion is not available");
}

}  // namespace

QString zCp1250(const std::string& bajty) {
    QStringDecoder dekoder(kKodovaStranka);
    overPlatnost(dekoder);
    return dekoder.decode(QByteArrayView(bajty.data(), static_cast<qsizetype>(bajty.size())));
}

std::string doCp1250(const QString& text) {
    QStringEncoder koder(kKodovaStranka);
    overPlatnost(koder);
    std::string vysledek;
    vysledek.reserve(static_cast<std::size_t>(text.size()));
    // Code point by code point: the converter marks an unmappable character with the
    // control byte 0x1A, which must become '?' without touching a real U+001A.
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype delka = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QStringView znak = QStringView(text).mid(i, delka);
        const QByteArray b = koder.encode(znak);
        if (b.size() != 1 || (b.at(0) == '\x1A' && znak != QStringView(u"\x1A")))
            vysledek.push_back('?');
        else
            vysledek.push_back(b.at(0));
        i += delka;
    }
    return vysledek;
}

}  // namespace zak
