#include "MarginField.h"

namespace pennolux {

MarginField::MarginField(QWidget* parent) : QSpinBox(parent) {}

void MarginField::fixup(QString& input) const
{
    bool whole = false;
    input.toLongLong(&whole);
    if (!whole)
        input = QString::number(minimum());
}

} // namespace pennolux
