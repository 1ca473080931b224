#pragma once

#include <string>

namespace zak {

// Text written line by line to a printer: pieces one after another, each in the font
// that is current when it is written. Texts are Windows-1250 bytes, one byte per
// character. Writing reports no errors.
class TextOutput {
  public:
    virtual ~TextOutput() = default;

    // Starts the document with the current position at the top-left corner of the
    // printable area of the first page.
    virtual void beginDocument() = 0;
    virtual void setFont(const std::string& name, int points) = 0;
    // Writes a piece at the current position; an empty piece writes nothing.
    virtual void write(const std::string& piece) = 0;
    virtual void endLine() = 0;
    // Ends the last page.
    virtual void endDocument() = 0;
};

}  // namespace zak
