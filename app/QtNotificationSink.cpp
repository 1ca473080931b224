#include "QtNotificationSink.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace zak {

bool QtNotificationSink::Post(std::function<void()> notification) {
    return QMetaObject::invokeMethod(Kontext, std::move(notification), Qt::QueuedConnection);
}

void QtNotificationSink::WaitAndDispatch() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace zak
