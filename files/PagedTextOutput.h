#pragma once

#include <cstddef>
#include <string>

#include "PrintSurface.h"
#include "TextOutput.h"

namespace zak {

// Places written text on the pages of a PrintSurface:
// - A piece that runs past the printable width is shortened one character at a time
//   from its end until it fits; the cut-off rest goes on a new line as a new piece.
//   At the start of a line at least one character is placed, so that a page too narrow
//   for one character still gets every character, one per line.
// - The line height is 2 more than the tallest piece of the line. Ending a line adds
//   it to y, or the current font's character height on a line where nothing was
//   written; then, when y is greater than the printable height less twice the line
//   height, the page ends and the next starts at y = 0.
// So nothing keeps two lines on one page.
class PagedTextOutput : public TextOutput {
  public:
    explicit PagedTextOutput(PrintSurface& surface) : surface_(surface) {}

    void beginDocument() override;
    void setFont(const std::string& name, int points) override;
    void write(const std::string& piece) override;
    void endLine() override;
    void endDocument() override {}

  private:
    // How many leading characters of the piece fit from x to the printable width.
    std::size_t fittingLength(const std::string& piece) const;

    PrintSurface& surface_;
    int x_ = 0;
    int y_ = 0;
    int lineHeight_ = 0;
};

}  // namespace zak
