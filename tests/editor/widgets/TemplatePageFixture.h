#pragma once

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTest>
#include <memory>

#include "FakeDialogs.h"
#include "FakeMessageBoxes.h"
#include "IsolatedHomeTest.h"
#include "editor/session/TemplateSession.h"
#include "editor/widgets/LayerList.h"
#include "editor/widgets/TemplateCanvas.h"
#include "editor/widgets/TemplatePage.h"

namespace pennolux::testing {

// The page's size at the window's design size: its canvas is 491 x 215.
inline const QSize kDesignPage(622, 391);
inline const QSize kDesignCanvas(491, 215);

inline void sendMouse(QWidget* widget, QEvent::Type type, QPoint point, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, point, widget->mapToGlobal(point), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

class TemplatePageTest : public IsolatedHomeTest {
protected:
    void SetUp() override
    {
        IsolatedHomeTest::SetUp();
        page = std::make_unique<TemplatePage>(session, dialogs, messageBoxes);
        page->resize(kDesignPage);
        page->show();
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    }

    TemplateModel& model() { return session.model(); }
    // The error boxes the page's handlers showed.
    QStringList errors() const
    {
        QStringList texts;
        for (const ShownMessage& message : messageBoxes.shown)
            texts << message.text;
        return texts;
    }
    const LayerBox& boxOf(LayerRef layer) { return *model().content().boxOf(layer); }
    QList<int> fields() const
    {
        return {page->SpinEdit1->value(), page->SpinEdit2->value(), page->SpinEdit3->value(),
                page->SpinEdit4->value()};
    }
    QStringList listNames() const
    {
        QStringList names;
        for (int row = 0; row < page->ListBox1->count(); ++row)
            names << page->ListBox1->item(row)->text();
        return names;
    }
    QPoint centreOf(LayerRef layer) { return boxOf(layer).rect().center(); }
    void typeInto(QSpinBox* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }

    FakeDialogs dialogs;
    FakeMessageBoxes messageBoxes;
    TemplateSession session;
    std::unique_ptr<TemplatePage> page;
};

} // namespace pennolux::testing
