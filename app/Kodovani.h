#pragma once

#include <QString>
#include <string>

namespace zak {

// The key table keeps its texts as Windows-1250 bytes; the window shows Unicode.
// These two convert at the window's edge.

// Bytes of the table as text for a control.
QString zCp1250(const std::string& bajty);

// Text of a control as table bytes; a character the code page cannot hold becomes '?'.
std::string doCp1250(const QString& text);

}  // namespace zak
