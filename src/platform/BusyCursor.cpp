#include "BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace pennolux {

BusyCursor::BusyCursor()
{
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
}

BusyCursor::~BusyCursor()
{
    QGuiApplication::restoreOverrideCursor();
}

} // namespace pennolux
