#pragma once

#include "LinkClock.h"
#include "LinkPort.h"
#include "LinkWindow.h"

namespace zak {

class TForm1;

// The window's side of the device link: its serial port, its controls and its timer, as
// the link asks for them. Everything runs on the window's thread.
class SpojeniOkna : public LinkPort, public LinkWindow, public LinkClock {
  public:
    explicit SpojeniOkna(TForm1& okno) : Okno(okno) {}

    bool EnsureOpen() override;
    void QueueByte(std::uint8_t byte) override;

    void AppendLog(const std::string& line) override;
    void ShowProgress(int maximum, int position) override;
    void ImageChanged() override;
    void DownloadFinished() override;
    void KeysToImage() override;
    void ShowKey(int n) override;
    void ShowKeyRow(int n) override;
    void ShowPresentedId(const std::string& id) override;
    void Inform(const std::string& text) override;

    TimePoint Now() override;
    void CallTickAfter(std::chrono::milliseconds delay) override;

    // The port's OnRequestHangup: the device has gone (an adapter pulled out, the line hung
    // up). The port is let go, so that the next frame opens it again by its name.
    void Comm321RequestHangup();

  private:
    TForm1& Okno;
};

}  // namespace zak
