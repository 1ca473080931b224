#include "MemoryMapModel.h"

#include "Kodovani.h"

namespace zak {

namespace {
constexpr int kSloupcu = 16;
constexpr int kRadku = VelikostPameti / kSloupcu;
}  // namespace

MemoryMapModel::MemoryMapModel(MemoryImage& pamet, QObject* parent)
    : QAbstractTableModel(parent), Pamet(pamet) {}

int MemoryMapModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kRadku;
}

int MemoryMapModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kSloupcu;
}

QString MemoryMapModel::textBunky(std::uint8_t b) {
    QString text = QStringLiteral("%1 ").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    // A zero byte ends the text after the blank.
    if (b != 0)
        text += zCp1250(std::string(1, static_cast<char>(b)));
    return text;
}

QVariant MemoryMapModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    const int adresa = index.row() * kSloupcu + index.column();
    if (!Pamet.zobrazeno(adresa))
        return {};
    return textBunky(Pamet[adresa]);
}

QVariant MemoryMapModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Horizontal)
        return QStringLiteral("%1 ").arg(section, 2, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("%1 ").arg(section * kSloupcu, 4, 16, QLatin1Char('0')).toUpper();
}

Qt::ItemFlags MemoryMapModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void MemoryMapModel::obnovZmeny() {
    const auto zmeny = Pamet.vezmiZmeny();
    if (zmeny.prazdny())
        return;
    emit dataChanged(index(zmeny.prvni / kSloupcu, 0),
                     index(zmeny.posledni / kSloupcu, kSloupcu - 1), {Qt::DisplayRole});
}

}  // namespace zak
