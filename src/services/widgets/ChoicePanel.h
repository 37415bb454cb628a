#pragma once

#include <QAbstractButton>

class QLabel;

namespace pennolux {

// One of the feedback window's two choices: a raised panel in the button
// colour, or, when selected, a lowered one in the highlight colour. A
// picture sits at its left edge and passes clicks on to the panel. Screen
// readers see a check button; clicks report through clicked() and leave the
// state to the window.
class ChoicePanel final : public QAbstractButton {
    Q_OBJECT
public:
    ChoicePanel(const QIcon& picture, QWidget* parent = nullptr);

    bool isSelected() const { return isChecked(); }
    void setSelected(bool selected);
    QLabel* picture() const { return picture_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void nextCheckState() override {}

private:
    QLabel* picture_;
};

} // namespace pennolux
