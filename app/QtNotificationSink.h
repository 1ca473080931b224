#pragma once

#include <QObject>

#include "NotificationSink.h"

namespace zak {

// Brings the serial component's notifications to the window's thread through Qt's event
// loop: queued calls on a context object that lives there run in posting order.
class QtNotificationSink : public TNotificationSink {
  public:
    explicit QtNotificationSink(QObject* kontext) : Kontext(kontext) {}
    bool Post(std::function<void()> notification) override;
    void WaitAndDispatch() override;

  private:
    QObject* Kontext;
};

}  // namespace zak
