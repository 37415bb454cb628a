#include <QDir>
#include <QFileInfo>
#include <QPalette>
#include <QUndoStack>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

#include "EditorTestSupport.h"
#include "IsolatedHomeTest.h"
#include "editor/background/BackgroundPicture.h"
#include "editor/file/TemplateFile.h"
#include "editor/run/TemplateRunPlan.h"
#include "editor/session/TemplateSession.h"
#include "platform/AppError.h"
#include "production/textlist/ListLines.h"

namespace pennolux {
namespace {

using namespace testing;

const QSize kShownCanvas(491, 215);

// The template's images, but a line "bad" cannot become one.
class RefusingEncoder final : public LineEncoder {
public:
    explicit RefusingEncoder(std::unique_ptr<LineEncoder> images) : images_(std::move(images)) {}
    EncodedImage encode(const QString& text) override
    {
        if (text == "bad")
            throw AppError("Refused");
        return images_->encode(text);
    }

private:
    std::unique_ptr<LineEncoder> images_;
};

// A session as the window starts it: Text 1 on the shown canvas, a shape
// above it, and a history that begins there.
class TemplateSessionTest : public IsolatedHomeTest {
protected:
    void SetUp() override
    {
        IsolatedHomeTest::SetUp();
        session.history().record("New Text", [this] { session.model().addTextLayer(layerFont(), kShownCanvas); });
        session.history().record("New Shape", [this] { session.model().addShapeLayer(); });
        session.history().stack().clear();
    }

    TemplateModel& model() { return session.model(); }
    QUndoStack& steps() { return session.history().stack(); }
    QString textOne() { return model().content().textLayer(kLineLayerNumber)->text; }

    // A file of a template unlike the session's: one shape, run at 320 x 80.
    QString otherTemplateFile()
    {
        TemplateDocument document;
        document.canvas = QSize(320, 80);
        document.content = solidTemplate(Qt::blue, QSize(40, 20));
        addShape(document.content, {5, 6, 7, 8}, Qt::red);
        const QString path = scratch() + "/other.pnxt";
        writeTemplateFile(path, document);
        return path;
    }

    LineEncoderFactory encoders() { return session.runEncoders(kShownCanvas, ImageFormat::PNG); }
    LineRunResult run(const QStringList& lines, LineRunOptions options = {},
                      std::optional<LineEncoderFactory> lineEncoders = std::nullopt)
    {
        options.destination = scratch();
        return session.run(StringListLineSource(lines), lineEncoders ? *lineEncoders : encoders(), options);
    }

    TemplateSession session;
};

TEST_F(TemplateSessionTest, OpeningATemplateIsOneStepThatSetsTheSizeItRunsAt)
{
    const TemplateState before = model().state();
    EXPECT_EQ(session.runCanvasSize(kShownCanvas), kShownCanvas);

    session.open(otherTemplateFile());

    EXPECT_EQ(model().creationOrder(), std::vector<LayerRef>{LayerRef::shape(1)});
    EXPECT_EQ(model().content().shapeLayer(1)->box, (LayerBox{5, 6, 7, 8}));
    EXPECT_EQ(session.runCanvasSize(kShownCanvas), QSize(320, 80));
    ASSERT_EQ(steps().count(), 1);
    EXPECT_EQ(steps().undoText(), "Open Template");

    session.history().undo();
    EXPECT_FALSE(templateChanged(before, model().state()));
    EXPECT_EQ(session.runCanvasSize(kShownCanvas), kShownCanvas);
}

TEST_F(TemplateSessionTest, AFileThatCannotBeUsedIsRefusedAndChangesNothing)
{
    const QString notJson = writeScratchFile("broken.pnxt", "{ \"pennolux-template\": 1, ");
    const QString wrongVersion = writeScratchFile("future.pnxt", R"({ "pennolux-template": 99 })");
    const TemplateState before = model().state();
    for (const QString& path : {notJson, wrongVersion, scratch() + "/missing.pnxt", scratch()}) {
        SCOPED_TRACE(path.toStdString());
        try {
            session.open(path);
            ADD_FAILURE() << "opened";
        } catch (const AppError& error) {
            EXPECT_TRUE(error.message().contains("\"" + path + "\"")) << error.what();
        }
        EXPECT_FALSE(templateChanged(before, model().state()));
        EXPECT_EQ(model().currentLayer(), before.current);
        EXPECT_EQ(steps().count(), 0);
    }
}

TEST_F(TemplateSessionTest, ASavedTemplateOpensAsItWasWithTheCanvasItWasSavedAt)
{
    session.history().record("Text", [this] { model().setText(1, "Hello\r\nworld"); });
    model().moveTo(LayerRef::shape(1), QPoint(-20, 180));
    const TemplateState saved = model().state();
    const QString path = scratch() + "/saved.pnxt";

    session.save(path, QSize(600, 300));

    TemplateSession reopened;
    reopened.open(path);
    // The default picture is written as none and comes back as the default,
    // decoded anew.
    EXPECT_TRUE(samePixels(reopened.model().content().background, defaultBackground()));
    TemplateState expected = saved;
    expected.content.background = reopened.model().content().background;
    expected.runCanvas = QSize(600, 300);
    EXPECT_FALSE(templateChanged(expected, reopened.model().state()));
    EXPECT_EQ(reopened.model().currentLayer(), LayerRef::text(1));
    EXPECT_EQ(reopened.runCanvasSize(kShownCanvas), QSize(600, 300));
}

TEST_F(TemplateSessionTest, SavingWhereNoFileCanBeMadeThrowsAndKeepsTheFileAndTheChanges)
{
    const QString saved = scratch() + "/saved.pnxt";
    session.save(saved, kShownCanvas);
    session.history().record("New Shape", [this] { model().addShapeLayer(); });
    EXPECT_THROW(session.save(scratch() + "/no/such/folder/t.pnxt", kShownCanvas), AppError);
    EXPECT_EQ(session.filePath(), saved);
    EXPECT_TRUE(session.isModified());
}

// Changed means: the history has left the step of the last open, save or start.
TEST_F(TemplateSessionTest, TheTemplateKnowsItsFileAndWhetherItChangedSince)
{
    EXPECT_TRUE(session.filePath().isEmpty());
    EXPECT_FALSE(session.isModified());
    session.history().record("Text", [this] { model().setText(1, "changed"); });
    EXPECT_TRUE(session.isModified());

    const QString saved = scratch() + "/saved.pnxt";
    session.save(saved, kShownCanvas);
    EXPECT_EQ(session.filePath(), saved);
    EXPECT_FALSE(session.isModified());
    session.history().undo();
    EXPECT_TRUE(session.isModified());
    session.history().redo();
    EXPECT_FALSE(session.isModified());
    // A step that changes nothing is no change.
    session.history().record("Nothing", [] {});
    EXPECT_FALSE(session.isModified());

    const QString other = otherTemplateFile();
    session.history().record("New Shape", [this] { model().addShapeLayer(); });
    session.open(other);
    EXPECT_EQ(session.filePath(), other);
    EXPECT_FALSE(session.isModified());
    // Taking the open back shows the template it replaced, unsaved.
    session.history().undo();
    EXPECT_TRUE(session.isModified());
}

TEST_F(TemplateSessionTest, ANewTemplateIsTheStartingOneWithItsFirstLayersAsOneStep)
{
    session.open(otherTemplateFile());
    const TemplateState opened = model().state();
    const int stepsBefore = steps().count();
    session.startNew([this] { model().addTextLayer(layerFont(), kShownCanvas); });

    EXPECT_EQ(model().creationOrder(), std::vector<LayerRef>{LayerRef::text(1)});
    EXPECT_EQ(model().ShapeLayerCount(), 0);
    EXPECT_EQ(model().currentLayer(), LayerRef::text(1));
    EXPECT_TRUE(samePixels(model().content().background, defaultBackground()));
    EXPECT_EQ(session.runCanvasSize(kShownCanvas), kShownCanvas);
    EXPECT_TRUE(session.filePath().isEmpty());
    EXPECT_FALSE(session.isModified());
    ASSERT_EQ(steps().count(), stepsBefore + 1);
    EXPECT_EQ(steps().undoText(), "New Template");
    session.history().undo();
    EXPECT_FALSE(templateChanged(opened, model().state()));
}

TEST_F(TemplateSessionTest, TheRunIsOneStepThatUndoTakesBackAndRedoAppliesAgain)
{
    const TemplateState before = model().state();
    QStringList seenInTextOne;
    QStringList stored;
    LineRunOptions options;
    options.progress = [&](int, int) {
        seenInTextOne << textOne();
        return true;
    };
    options.stored = [&](const StoredLine& line) { stored << QFileInfo(line.file).fileName(); };

    const LineRunResult result = run({"first", "", "last"}, options);

    EXPECT_EQ(result.made, 2);
    // Text 1 takes each line before the caller hears of it; an empty line empties it.
    EXPECT_EQ(seenInTextOne, (QStringList{"first", "", "last"}));
    EXPECT_EQ(stored, (QStringList{"Output1.png", "Output3.png"}));
    EXPECT_EQ(QDir(scratch()).entryList({"*.png"}), stored);
    EXPECT_EQ(textOne(), "last");
    const TemplateState after = model().state();
    ASSERT_EQ(steps().count(), 1);
    EXPECT_EQ(steps().undoText(), "Run");

    session.history().undo();
    EXPECT_EQ(textOne(), "Text");
    EXPECT_FALSE(templateChanged(before, model().state()));
    session.history().redo();
    EXPECT_EQ(textOne(), "last");
    EXPECT_FALSE(templateChanged(after, model().state()));
}

TEST_F(TemplateSessionTest, ARunThatFailsIsStillOneClosedStep)
{
    const LineEncoderFactory images = encoders();
    const LineEncoderFactory refusing = [&images] { return std::make_unique<RefusingEncoder>(images()); };
    try {
        run({"first", "second", "bad", "never"}, {}, refusing);
        ADD_FAILURE() << "ran";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(), "Line 3 (\"bad\"): Refused");
    }
    EXPECT_EQ(textOne(), "second");
    ASSERT_EQ(steps().count(), 1);
    EXPECT_EQ(steps().undoText(), "Run");
    // The next edit is a step of its own.
    session.history().record("Text", [this] { model().setText(1, "again"); });
    EXPECT_EQ(steps().count(), 2);
    session.history().undo();
    session.history().undo();
    EXPECT_EQ(textOne(), "Text");
}

TEST_F(TemplateSessionTest, ARunStoppedByTheCallerEndsItsStepThere)
{
    LineRunOptions options;
    options.progress = [](int linesSeen, int) { return linesSeen < 2; };
    const LineRunResult result = run({"first", "second", "third"}, options);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(textOne(), "second");
    session.history().undo();
    EXPECT_EQ(textOne(), "Text");
}

// Read as fields, each line fills Text k with field k; a header line makes
// no image and the records keep their numbers; the fields setting is a step.
TEST_F(TemplateSessionTest, ARunOfFieldsFillsEachTextLayerAndSkipsTheHeader)
{
    session.history().record("New Text", [this] { model().addTextLayer(layerFont(), kShownCanvas); });
    session.setFields({FieldFormat::TabSeparated, true});
    EXPECT_EQ(steps().undoText(), "Fields");
    const auto textOf = [this](qint64 number) { return model().content().textLayer(number)->text; };
    QStringList seen;
    LineRunOptions options;
    options.progress = [&](int, int) {
        seen << textOf(1) + "|" + textOf(2);
        return true;
    };
    const LineRunResult result = run({"name\tcompany", "Anna\tAcme", "", "Ben", "Cleo\tCo\textra"}, options);
    EXPECT_EQ(result.made, 3);
    EXPECT_EQ(result.fewerFields, 1);
    EXPECT_EQ(result.moreFields, 1);
    EXPECT_EQ(QDir(scratch()).entryList({"*.png"}, QDir::Files, QDir::Name),
              (QStringList{"Output2.png", "Output4.png", "Output5.png"}));
    EXPECT_EQ(seen, (QStringList{"|", "Anna|Acme", "|", "Ben|", "Cleo|Co"}));
    EXPECT_EQ(fieldCountSentence(result), "1 line has fewer fields than the template has text layers; "
                                          "1 line has more, whose extra fields are left out.");

    session.history().undo();
    EXPECT_EQ(textOf(1), "Text");
    session.history().undo();
    EXPECT_TRUE(model().content().fields.isDefault());
}

} // namespace
} // namespace pennolux
