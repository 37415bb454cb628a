#pragma once

#include <QSpinBox>

namespace pennolux {

// A whole-number field with arrows whose text, when it is not a whole number
// (an emptied field, say), counts as 0 rather than falling back to the last
// value when the field loses the focus.
class MarginField final : public QSpinBox {
    Q_OBJECT
public:
    explicit MarginField(QWidget* parent = nullptr);

protected:
    void fixup(QString& input) const override;
};

} // namespace pennolux
