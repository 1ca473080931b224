#pragma once

#include <QPrinter>
#include <QString>

#include "KeyTable.h"

namespace zak {

// Prints the key list on a printer that the print dialog accepted, as one job. The
// date is shown as given (see DatumVypisu). The table is not changed.
// Returns an empty text when the job was made, otherwise the message for the
// operator: "Unable to print to " and the printer's name (or output file).
QString TiskniSeznamKlicu(QPrinter* printer, const KeyTable& t, const QString& datum);

// Today's date in the operator's short date format.
QString DatumVypisu();

}  // namespace zak
