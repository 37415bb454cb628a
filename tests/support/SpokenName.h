#pragma once

#include <QAccessible>
#include <QComboBox>
#include <QString>
#include <QWidget>

namespace pennolux {

// What a screen reader on Linux says a control is. Qt names a combo box
// there by its current text, so its caption has to come through the
// "labelled by" relation: a box without a label says only its value.
inline QString spokenName(QWidget* control)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    if (!accessible)
        return {};
    if (!qobject_cast<QComboBox*>(control))
        return accessible->text(QAccessible::Name).trimmed();
    for (const auto& [label, relation] : accessible->relations(QAccessible::Label)) {
        const QString caption = label->text(QAccessible::Name).trimmed();
        if (!caption.isEmpty())
            return caption;
    }
    return {};
}

} // namespace pennolux
