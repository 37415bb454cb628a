#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "platform/fonts/DesignFont.h"
#include "editor/model/TemplateModel.h"
#include "platform/AppError.h"
#include "production/simplerun/TextMetrics.h"

namespace pennolux {
namespace {

using testing::layerFont;

const QSize kDesignCanvas(491, 215);

// What the listener heard.
struct Heard {
    TemplateChange change;
    LayerRef layer;
};

class TemplateModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        model.setListener([this](TemplateChange change, LayerRef layer) { heard.push_back({change, layer}); });
    }

    qint64 newText(QSize canvas = kDesignCanvas) { return model.addTextLayer(layerFont(), canvas); }
    const LayerBox& boxOf(LayerRef layer) { return *model.content().boxOf(layer); }

    TemplateModel model;
    std::vector<Heard> heard;
    const RenderFont font{designFont(24)};
};

TEST_F(TemplateModelTest, StartsEmptyWithNoCurrentLayer)
{
    EXPECT_EQ(model.TextLayerCount(), 0);
    EXPECT_EQ(model.ShapeLayerCount(), 0);
    EXPECT_EQ(model.CurrentLayerKind(), LayerKind::None);
    EXPECT_EQ(model.CurrentLayerNumber(), -1);
    EXPECT_FALSE(model.Dragging());
    EXPECT_TRUE(model.content().stacking.empty());
}

TEST_F(TemplateModelTest, NewTextIsSizedToItsTextCentredInFrontAndCurrent)
{
    const qint64 number = newText();
    ASSERT_EQ(number, 1);
    const TextLayer& layer = *model.content().textLayer(1);
    EXPECT_EQ(layer.text, "Text");
    const int width = int(font.checkedAdvance("Text"));
    EXPECT_EQ(layer.box, (LayerBox{(491 - width) / 2, (215 - 39) / 2, width, 39}));
    EXPECT_EQ(model.currentLayer(), LayerRef::text(1));
    EXPECT_EQ(model.content().stacking.back(), LayerRef::text(1));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].change, TemplateChange::LayerAdded);
    EXPECT_EQ(layerName(heard[0].layer), "Text 1");
}

TEST_F(TemplateModelTest, CentringTruncatesTowardZeroOnANarrowCanvas)
{
    const int width = int(font.checkedAdvance("Text"));
    // An odd, negative difference: floor would give one less.
    const QSize canvas(width - 21, 20);
    newText(canvas);
    EXPECT_EQ(boxOf(LayerRef::text(1)).left, -10);
    EXPECT_EQ(boxOf(LayerRef::text(1)).top, (20 - 39) / 2);
    EXPECT_EQ(boxOf(LayerRef::text(1)).top, -9);
}

TEST_F(TemplateModelTest, NewShapeIsAWhiteSquareAtTenTen)
{
    newText();
    EXPECT_EQ(model.addShapeLayer(), 1);
    const ShapeLayer& shape = *model.content().shapeLayer(1);
    EXPECT_EQ(shape.box, (LayerBox{10, 10, 65, 65}));
    EXPECT_EQ(shape.fill, colors::clWhite);
    EXPECT_EQ(model.currentLayer(), LayerRef::shape(1));
    EXPECT_EQ(model.content().stacking, (std::vector<LayerRef>{LayerRef::text(1), LayerRef::shape(1)}));
    EXPECT_EQ(model.creationOrder(), model.content().stacking);
}

TEST_F(TemplateModelTest, NumbersAreNeverGivenTwice)
{
    newText();
    newText();
    model.deleteLayer(LayerRef::text(2));
    EXPECT_EQ(model.content().textLayer(2), nullptr);
    EXPECT_EQ(newText(), 3);
    EXPECT_EQ(model.TextLayerCount(), 3);
    EXPECT_EQ(model.creationOrder(), (std::vector<LayerRef>{LayerRef::text(1), LayerRef::text(3)}));
    EXPECT_EQ(layerName(LayerRef::text(3)), "Text 3");
    EXPECT_EQ(layerName(LayerRef::shape(12)), "Shape 12");
}

TEST_F(TemplateModelTest, TheHundredthLayerOfAKindIsRefusedAndNothingChanges)
{
    for (int i = 0; i < kLayerSlots; ++i) {
        newText();
        model.addShapeLayer();
    }
    model.deleteLayer(LayerRef::text(50));
    model.makeCurrent(LayerRef::shape(7));
    const std::vector<LayerRef> stacking = model.content().stacking;
    heard.clear();

    struct Case {
        std::function<void()> add;
        const char* message;
    };
    const Case cases[] = {
        // Text 50 was deleted: 98 are held, but no number is left to give.
        {[this] { newText(); },
         "Text layers are numbered 1 to 99 and every number has been given; "
         "a deleted layer's number is not given again."},
        {[this] { model.addShapeLayer(); }, "A template holds at most 99 shape layers."},
    };
    for (const Case& c : cases) {
        try {
            c.add();
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const AppError& error) {
            EXPECT_EQ(error.message(), c.message);
        }
    }
    EXPECT_EQ(model.TextLayerCount(), 99);
    EXPECT_EQ(model.ShapeLayerCount(), 99);
    EXPECT_EQ(model.content().stacking, stacking);
    EXPECT_EQ(model.currentLayer(), LayerRef::shape(7));
    EXPECT_TRUE(heard.empty());
}

TEST_F(TemplateModelTest, EditsOfADeletedCurrentLayerChangeNothing)
{
    newText();
    newText();
    model.makeCurrent(LayerRef::text(1));
    model.deleteLayer(LayerRef::text(1));
    EXPECT_EQ(model.currentLayer(), LayerRef::text(1));
    heard.clear();
    const LayerRef gone = model.currentLayer();
    model.setLeft(gone, 5);
    model.setWidth(gone, 5);
    model.setText(1, "changed");
    model.setFont(1, layerFont(Qt::red));
    model.setColor(gone, colors::clBlack);
    model.bringToFront(gone);
    model.deleteLayer(gone);
    model.beginDrag(gone, QPoint(1, 1));
    EXPECT_TRUE(heard.empty());
    EXPECT_FALSE(model.Dragging());
    EXPECT_EQ(model.content().textLayer(1), nullptr);
    EXPECT_EQ(model.content().stacking, (std::vector<LayerRef>{LayerRef::text(2)}));
}

TEST_F(TemplateModelTest, TextAndFontResizeTheBoxAndKeepItsPlace)
{
    newText();
    model.setLeft(LayerRef::text(1), -7);
    model.setTop(LayerRef::text(1), 300);
    model.setWidth(LayerRef::text(1), 5);

    struct Case {
        QString text;
        int lines;
        QString widest;
    };
    const Case cases[] = {
        {"a@b.c", 1, "a@b.c"},
        {"one\r\nlonger line\nx", 3, "longer line"},
        {"cr\rbreak", 2, "break"},
        {"ends in a break\r\n", 2, "ends in a break"},
        {"", 1, ""},
        {"Tom & Jerry", 1, "Tom & Jerry"},
    };
    for (const Case& c : cases) {
        model.setText(1, c.text);
        const TextLayer& layer = *model.content().textLayer(1);
        EXPECT_EQ(layer.text, c.text);
        EXPECT_EQ(layer.box, (LayerBox{-7, 300, int(font.checkedAdvance(c.widest)), 39 * c.lines}))
            << c.text.toStdString();
    }

    model.setFont(1, layerFont(Qt::black, 8));
    EXPECT_EQ(boxOf(LayerRef::text(1)).height, 13);
    EXPECT_EQ(boxOf(LayerRef::text(1)).left, -7);
}

// Any alignment but the defaults, or Shrink to fit, makes the box a frame
// the text is placed in; back at the defaults it follows the text again.
TEST_F(TemplateModelTest, AnAlignedLayerKeepsItsBoxUntilTheDefaultsComeBack)
{
    const TextAlignment fixing[] = {
        {HorizontalAlignment::Centre, VerticalAlignment::Top, false},
        {HorizontalAlignment::Left, VerticalAlignment::Bottom, false},
        {HorizontalAlignment::Left, VerticalAlignment::Top, true},
    };
    for (const TextAlignment& alignment : fixing) {
        TemplateModel aligned;
        aligned.addTextLayer(layerFont(), kDesignCanvas);
        aligned.setWidth(LayerRef::text(1), 400);
        aligned.setAlignment(1, alignment);
        const LayerBox frame = *aligned.content().boxOf(LayerRef::text(1));
        EXPECT_EQ(frame.width, 400);
        aligned.setText(1, "a much longer line than Text");
        aligned.setFont(1, layerFont(Qt::black, 40));
        EXPECT_EQ(*aligned.content().boxOf(LayerRef::text(1)), frame);
        EXPECT_EQ(aligned.content().textLayer(1)->alignment, alignment);

        aligned.setAlignment(1, TextAlignment{});
        const RenderFont large{designFont(40)};
        EXPECT_EQ(aligned.content().boxOf(LayerRef::text(1))->width,
                  int(large.checkedAdvance("a much longer line than Text")));
        EXPECT_EQ(aligned.content().boxOf(LayerRef::text(1))->left, frame.left);
    }
}

TEST_F(TemplateModelTest, ALineTooLongToLayOutIsRefusedAndTheLayerKept)
{
    newText();
    EXPECT_THROW(model.setText(1, "short\n" + QString(kMaxLineCharacters + 1, u'x')), AppError);
    EXPECT_EQ(model.content().textLayer(1)->text, "Text");
}

TEST_F(TemplateModelTest, ColourGoesToTheFontOrTheFill)
{
    newText();
    model.addShapeLayer();
    model.setColor(LayerRef::text(1), colors::clSkyBlue);
    model.setColor(LayerRef::shape(1), colors::clBlack);
    EXPECT_EQ(model.content().textLayer(1)->font.color, colors::clSkyBlue);
    EXPECT_EQ(model.colorOf(LayerRef::text(1)), colors::clSkyBlue);
    EXPECT_EQ(model.content().shapeLayer(1)->fill, colors::clBlack);
    EXPECT_EQ(model.colorOf(LayerRef::shape(2)), std::nullopt);
}

TEST_F(TemplateModelTest, ThePointerHitsTheFrontmostLayerOnTheCanvasOnly)
{
    newText();               // around the centre
    model.addShapeLayer();   // 10, 10, 65 x 65
    model.addShapeLayer();
    model.moveTo(LayerRef::shape(2), QPoint(-30, 40));
    EXPECT_EQ(model.layerAt(QPoint(20, 20), kDesignCanvas), LayerRef::shape(1));
    EXPECT_EQ(model.layerAt(QPoint(20, 50), kDesignCanvas), LayerRef::shape(2));
    model.bringToFront(LayerRef::shape(1));
    EXPECT_EQ(model.layerAt(QPoint(20, 50), kDesignCanvas), LayerRef::shape(1));
    EXPECT_EQ(model.layerAt(QPoint(245, 107), kDesignCanvas), LayerRef::text(1));
    EXPECT_EQ(model.layerAt(QPoint(300, 5), kDesignCanvas), LayerRef());
    // The part off the canvas cannot be touched.
    EXPECT_EQ(model.layerAt(QPoint(-5, 50), kDesignCanvas), LayerRef());
}

TEST_F(TemplateModelTest, BringingToFrontReordersOnlyTheStacking)
{
    newText();
    model.addShapeLayer();
    newText();
    heard.clear();
    model.bringToFront(LayerRef::text(1));
    EXPECT_EQ(model.content().stacking,
              (std::vector<LayerRef>{LayerRef::shape(1), LayerRef::text(2), LayerRef::text(1)}));
    EXPECT_EQ(model.creationOrder(),
              (std::vector<LayerRef>{LayerRef::text(1), LayerRef::shape(1), LayerRef::text(2)}));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].change, TemplateChange::Stacking);
    model.bringToFront(LayerRef::text(1));
    EXPECT_EQ(heard.size(), 1u);
}

TEST_F(TemplateModelTest, DraggingKeepsThePointersPlaceInTheLayerWithoutBounds)
{
    model.addShapeLayer();
    model.beginDrag(LayerRef::shape(1), QPoint(15, 20));
    EXPECT_TRUE(model.Dragging());
    EXPECT_EQ(model.DragStartX(), 5);
    EXPECT_EQ(model.DragStartY(), 10);
    EXPECT_FALSE(model.dragTo(QPoint(15, 20)));
    EXPECT_TRUE(model.dragTo(QPoint(0, 5)));
    EXPECT_EQ(boxOf(LayerRef::shape(1)), (LayerBox{-5, -5, 65, 65}));
    EXPECT_TRUE(model.dragTo(QPoint(-100, 600)));
    EXPECT_EQ(boxOf(LayerRef::shape(1)), (LayerBox{-105, 590, 65, 65}));
    model.endDrag();
    EXPECT_FALSE(model.Dragging());
    EXPECT_FALSE(model.dragTo(QPoint(1, 1)));
    EXPECT_EQ(boxOf(LayerRef::shape(1)).left, -105);
}

TEST_F(TemplateModelTest, DeletingTheDraggedLayerEndsTheDrag)
{
    model.addShapeLayer();
    model.beginDrag(LayerRef::shape(1), QPoint(15, 20));
    model.deleteLayer(LayerRef::shape(1));
    EXPECT_FALSE(model.Dragging());
}

} // namespace
} // namespace pennolux
