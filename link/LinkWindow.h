#pragma once

#include <string>

namespace zak {

// What the device link asks of the window. Called on the window's thread only, from within
// the link's commands, its Tick and its handling of received bursts. The window owns the key
// table and the memory image that the link works on, and the controls named here.
class LinkWindow {
  public:
    virtual ~LinkWindow() = default;

    // Appends one line to the traffic log (`CommLog`) and shows it. Lines are ASCII:
    // "-> 01 00 1C 0E EC ", "<- 23 DC : CRC OK", "<- 23 DD : CRC ERROR!".
    virtual void AppendLog(const std::string& line) = 0;

    // Sets the progress bar's range to 0..maximum and its position.
    virtual void ShowProgress(int maximum, int position) = 0;

    // Bytes of the memory image were written with MemoryImage::zapis: repaint the map cells
    // that MemoryImage::vezmiZmeny names.
    virtual void ImageChanged() = 0;

    // A download has ended. The link has set PocetKlicu, UkladatKomentare and DelkaKomentare
    // from the unit's head; the window runs its Mem2Keys: converts the image into keys
    // 1..PocetKlicu, fills the key grid and the count, selects row 1 and shows key 1.
    virtual void DownloadFinished() = 0;

    // The key table changed: the window runs its Keys2Mem (converts the table into the image
    // and repaints the map).
    virtual void KeysToImage() = 0;

    // Key n became the current key: select row n of the key grid and show key n in the key
    // panel (ObnovPatra).
    virtual void ShowKey(int n) = 0;

    // Key n is new or changed: put its number, ID and comment into row n of the key grid.
    virtual void ShowKeyRow(int n) = 0;

    // The ID of the key the unit reported: EditAktID shows it.
    virtual void ShowPresentedId(const std::string& id) = 0;

    // Shows an information box with one OK button (UTF-8 text). It may run the window's event
    // loop, and with it Comm321ReceiveData, before it returns: the link calls it last.
    virtual void Inform(const std::string& text) = 0;
};

}  // namespace zak
