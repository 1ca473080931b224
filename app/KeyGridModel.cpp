#include "KeyGridModel.h"

#include <QApplication>
#include <QPalette>

#include "Kodovani.h"

namespace zak {

KeyGridModel::KeyGridModel(const KeyTable& tabulka, QObject* parent)
    : QAbstractTableModel(parent), Tabulka(tabulka), Zobrazen(MaxKlicu, false) {}

int KeyGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : MaxKlicu;
}

int KeyGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant KeyGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int n = index.row() + 1;
    if (role == Qt::BackgroundRole && index.column() == 0)
        return QApplication::palette().button();  // the fixed column
    if (role == Qt::FontRole && index.column() == 0)
        return PismoCisel;
    if (role != Qt::DisplayRole || !zobrazen(n))
        return {};
    const TKlic& k = Tabulka.klic(n);
    switch (index.column()) {
        case 0:
            return QString::number(n) + QLatin1Char('.');
        case 1:
            return zCp1250(k.ID);
        case 2:
            return zCp1250(k.Komentar);
        default:
            return {};
    }
}

QVariant KeyGridModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Vertical)
        return section + 1;
    static const char* const nadpisy[] = {"č.", "ID", "Komentář"};
    return (section >= 0 && section < 3) ? QString::fromUtf8(nadpisy[section]) : QVariant();
}

Qt::ItemFlags KeyGridModel::flags(const QModelIndex& index) const {
    // Rows are selected whole; keys are edited in the panel, never in place.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void KeyGridModel::zobrazRadky(int prvni, int posledni) {
    prvni = std::max(prvni, 1);
    posledni = std::min(posledni, MaxKlicu);
    if (prvni > posledni)
        return;
    for (int n = prvni; n <= posledni; ++n)
        Zobrazen[static_cast<std::size_t>(n - 1)] = true;
    emit dataChanged(index(prvni - 1, 0), index(posledni - 1, 2), {Qt::DisplayRole});
}

void KeyGridModel::vyprazdniRadek(int n) {
    if (n < 1 || n > MaxKlicu)
        return;
    Zobrazen[static_cast<std::size_t>(n - 1)] = false;
    emit dataChanged(index(n - 1, 0), index(n - 1, 2), {Qt::DisplayRole});
}

void KeyGridModel::vyprazdniVse() {
    std::fill(Zobrazen.begin(), Zobrazen.end(), false);
    emit dataChanged(index(0, 0), index(MaxKlicu - 1, 2), {Qt::DisplayRole});
}

bool KeyGridModel::zobrazen(int n) const {
    return n >= 1 && n <= MaxKlicu && Zobrazen[static_cast<std::size_t>(n - 1)];
}

}  // namespace zak
