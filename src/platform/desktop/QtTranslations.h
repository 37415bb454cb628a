#pragma once

#include <QLocale>

class QCoreApplication;
class QTranslator;

namespace pennolux {

// Loads Qt's own texts (Yes, No, Cancel, the file and colour dialogs) in the
// locale's language from Qt's translations folder and installs them in the
// application, which keeps the translator; false when there is none.
bool installQtTranslations(QCoreApplication& application, const QLocale& locale);

} // namespace pennolux
