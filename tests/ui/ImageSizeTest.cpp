#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <cstdlib>

#include "MainWindowFixture.h"
#include "editor/session/TemplateSession.h"
#include "editor/widgets/TemplateCanvas.h"
#include "editor/widgets/TemplatePage.h"
#include "platform/fonts/DesignFont.h"
#include "production/writers/ImageSizeLimits.h"

using namespace pennolux;
using namespace pennolux::testing;

namespace {

void sendMouse(QWidget* widget, QEvent::Type type, QPointF point, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, point, widget->mapToGlobal(point), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The largest difference of any channel of any pixel; -1 for sizes that differ.
int largestDifference(const QImage& left, const QImage& right)
{
    if (left.size() != right.size())
        return -1;
    const QImage a = left.convertToFormat(QImage::Format_RGB32);
    const QImage b = right.convertToFormat(QImage::Format_RGB32);
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

void typeInto(QSpinBox* field, int value)
{
    field->setFocus();
    field->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(field, QString::number(value));
    QTest::keyClick(field, Qt::Key_Return);
}

} // namespace

// The main window at its design size with the Advanced page open: a canvas of 491 x 215.
class ImageSizeTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        page = window->templatePage;
        ASSERT_NO_FATAL_FAILURE(showAdvancedPage());
        ASSERT_EQ(page->Panel9->size(), QSize(491, 215));
    }
    TemplateSession& session() { return window->templateSession(); }
    TemplateModel& model() { return session().model(); }

    // A template of that size with Text 1 and a red shape at (700, 300), saved apart from the window.
    QString templateOfSize(QSize size)
    {
        TemplateSession maker;
        maker.model().addTextLayer(ColoredFont{designFont(24), colors::clWindowText}, size);
        const LayerRef shape = LayerRef::shape(maker.model().addShapeLayer());
        maker.model().setColor(shape, ColorValue::fromRgb(QColor(Qt::red)));
        maker.model().moveTo(shape, QPoint(700, 300));
        maker.setImageSize(size);
        const QString path = scratch() + "/sized.pnxt";
        maker.save(path, QSize(1, 1));
        return path;
    }
    // The image as the canvas shows it, without the current layer's frame.
    QImage shownImage()
    {
        model().makeCurrent({});
        return page->Panel9->grab().toImage().copy(page->Panel9->imageRect().toRect());
    }

    TemplatePage* page = nullptr;
};

TEST_F(ImageSizeTest, AnOpenedTemplateIsShownWholeReachedInImagePixelsAndRunAtItsSize)
{
    fakes.dialogs.openResult = templateOfSize(QSize(800, 400));
    window->openTemplateItem->trigger();

    EXPECT_EQ(page->imageWidthField->value(), 800);
    EXPECT_EQ(page->imageHeightField->value(), 400);
    EXPECT_FALSE(page->followWindowBox->isChecked());
    // 215 / 400 of the image's size, centred: 430 x 215 with 30 on each side.
    EXPECT_EQ(page->Panel9->imageRect(), QRectF(30, 0, 430, 215));
    EXPECT_EQ(window->zoomLabel->text(), "800 × 400 pixels at 54 %");
    EXPECT_TRUE(window->zoomLabel->isVisible());
    const QImage canvas = page->Panel9->grab().toImage();
    EXPECT_EQ(canvas.pixelColor(2, 100), TemplateCanvas::surroundColor());
    const QRectF shape = page->Panel9->canvasRect(QRect(700, 300, 65, 65));
    EXPECT_EQ(canvas.pixelColor(shape.center().toPoint()), QColor(Qt::red));

    // Dragged by the mouse, in image pixels, as one undo step.
    const QPointF from = shape.center();
    const QPointF to = from - QPointF(43, 21);
    const QPoint moved = page->Panel9->imagePoint(to) - page->Panel9->imagePoint(from);
    sendMouse(page->Panel9, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    sendMouse(page->Panel9, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    sendMouse(page->Panel9, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(model().content().shapeLayer(1)->box.rect().topLeft(), QPoint(700, 300) + moved);
    EXPECT_NEAR(moved.x(), -80, 2);
    EXPECT_EQ(page->SpinEdit1->value(), 700 + moved.x());
    session().history().undo();
    EXPECT_EQ(model().content().shapeLayer(1)->box.rect().topLeft(), QPoint(700, 300));

    window->MemoList->setPlainText("first@example.com");
    window->Button6Click();
    const QImage written(destination + "/Output1.png");
    EXPECT_EQ(written.size(), QSize(800, 400));
    EXPECT_EQ(written.pixelColor(730, 330), QColor(Qt::red));
    EXPECT_EQ(largestDifference(page->Panel9->picture(), written), 0);
}

// What START writes is what the canvas shows: scaled once, smoothly, for an
// image larger than the canvas; pixel for pixel for a smaller one.
TEST_F(ImageSizeTest, TheCanvasShowsTheWrittenImageAtTypedSizes)
{
    struct Case {
        QSize size;
        int tolerance;
    };
    for (const Case& c : {Case{QSize(1200, 700), 4}, Case{QSize(300, 120), 0}}) {
        SCOPED_TRACE(c.size.width());
        typeInto(page->imageWidthField, c.size.width());
        typeInto(page->imageHeightField, c.size.height());
        EXPECT_EQ(page->Panel9->imageSize(), c.size);
        EXPECT_EQ(session().runCanvasSize(page->canvasSize()), c.size);
        EXPECT_FALSE(page->followWindowBox->isChecked());
        page->BitBtn7->click();
        model().moveTo(LayerRef::shape(model().ShapeLayerCount()), QPoint(c.size.width() - 40, c.size.height() - 40));

        QDir(destination).removeRecursively();
        QDir().mkpath(destination);
        window->MemoList->setPlainText("a line");
        window->Button6Click();
        const QImage written(destination + "/Output1.png");
        ASSERT_EQ(written.size(), c.size);
        const QImage shown = shownImage();
        const QImage expected =
            c.tolerance ? written.scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation) : written;
        EXPECT_LE(largestDifference(shown, expected), c.tolerance);
        EXPECT_GE(largestDifference(shown, expected), 0);
    }
}

TEST_F(ImageSizeTest, TheSizeIsAnUndoStepRefusedBeyondTheLimitAndFollowsTheWindowAgain)
{
    ASSERT_TRUE(page->followWindowBox->isChecked());
    EXPECT_EQ(page->imageWidthField->value(), 491);
    EXPECT_EQ(page->imageHeightField->value(), 215);
    const int steps = session().history().stack().count();

    typeInto(page->imageWidthField, 640);
    EXPECT_EQ(model().runCanvas(), QSize(640, 215));
    EXPECT_EQ(session().history().stack().count(), steps + 1);
    // New Text centres on the image.
    page->BitBtn6->click();
    const LayerBox& text = model().content().textLayer(2)->box;
    EXPECT_EQ(text.left, (640 - text.width) / 2);

    typeInto(page->imageWidthField, 65535);
    typeInto(page->imageHeightField, 2000);
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].text,
              "The image of 65535 × 2000 pixels is too large (at most 65535 pixels a side and 100000000 pixels in "
              "all)");
    EXPECT_EQ(model().runCanvas(), QSize(65535, 215));
    EXPECT_EQ(page->imageHeightField->value(), 215);

    page->followWindowBox->click();
    EXPECT_FALSE(model().runCanvas().isValid());
    EXPECT_EQ(page->imageWidthField->value(), 491);
    window->resize(window->width() + 50, window->height());
    QApplication::processEvents();
    EXPECT_EQ(page->imageWidthField->value(), page->Panel9->width());
    EXPECT_EQ(page->Panel9->imageRect(), QRectF(page->Panel9->rect()));

    session().history().undo();
    EXPECT_EQ(model().runCanvas(), QSize(65535, 215));
    EXPECT_FALSE(page->followWindowBox->isChecked());
    EXPECT_EQ(page->imageWidthField->value(), 65535);
}
