#include "QtBeeper.h"

#include <QApplication>

namespace pennolux {

void QtBeeper::beep()
{
    QApplication::beep();
}

} // namespace pennolux
