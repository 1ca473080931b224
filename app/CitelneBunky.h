#pragma once

#include <QFont>
#include <QStringList>

class QTableView;

namespace zak {

// The grids are narrow: their cells keep `okraj` pixels (0 or 1) beside the text
// instead of the style's wider margins, and a text too long for its cell is cut at the edge, never
// shortened with an ellipsis; a character that would break the line is drawn as a blank.
void citelneBunky(QTableView* t, int okraj);

// The largest font, no larger than `zaklad`, of the first of `rodiny` that is
// installed, in which `vzor` is at most `sirka` pixels wide.
QFont pismoNaSirku(const QFont& zaklad, const QStringList& rodiny, const QString& vzor, int sirka);

// Narrow faces for numbers in small fields and cells.
QStringList uzkaPisma();

}  // namespace zak
