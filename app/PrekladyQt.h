#pragma once

class QCoreApplication;

namespace zak {

// Qt's own dialogs (files, printing) speak the system's language where Qt has a
// translation for it. The window's texts are Czech anyway and are not translated.
// True when a translation was installed.
bool nainstalujPrekladyQt(QCoreApplication& aplikace);

}  // namespace zak
