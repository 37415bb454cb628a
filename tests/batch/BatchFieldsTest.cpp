#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <gtest/gtest.h>
#include <map>

#include "BatchToolFixture.h"
#include "SamePixels.h"
#include "batch/BatchOptions.h"
#include "editor/file/TemplateFile.h"
#include "editor/render/TemplateRenderer.h"
#include "editor/run/TemplateLineEncoder.h"

namespace pennolux {
namespace {

const QByteArray kAnna = "Anna Keller\tAcme\tanna@acme.example";

QByteArray textLayer(int number, int top)
{
    return R"(
    { "type": "text", "number": )" +
           QByteArray::number(number) + R"(, "left": 10, "top": )" + QByteArray::number(top) +
           R"(, "width": 62, "height": 39,
      "text": "Text",
      "font": { "family": "Tahoma", "size": 24, "bold": false, "italic": false,
                "underline": false, "strikeout": false, "color": "#000000" } })";
}

// Text 1, Text 2 and Text 3 one under another on white; saved with the
// given "fields" value, or without one (read as one field per line).
QByteArray badgeTemplate(const QByteArray& fields = {})
{
    return R"({
  "pennolux-template": )" +
           QByteArray(fields.isEmpty() ? "1" : "3") + R"(,
  "canvas": { "width": 420, "height": 150 },
  "background": null,
)" + (fields.isEmpty() ? QByteArray() : "  \"fields\": " + fields + ",\n") +
           R"(  "layers": [
    { "type": "shape", "number": 1, "left": 0, "top": 0, "width": 420, "height": 150, "fill": "#FFFFFF" },)" +
           textLayer(1, 5) + "," + textLayer(2, 55) + "," + textLayer(3, 105) + R"(
  ]
}
)";
}

class BatchFieldsTest : public BatchToolFixture {
protected:
    void SetUp() override
    {
        IsolatedHomeTest::SetUp();
        templatePath = writeScratchFile("badge.pnxt", badgeTemplate());
    }

    // What the window's canvas shows for the line with the template's lines
    // read as fields says, which the run's file must be pixel for pixel.
    static QImage canvasWith(const QString& path, ListFields fields, const QString& line)
    {
        TemplateDocument document = readTemplateFile(path);
        document.content.fields = fields;
        const Template content = withResolvedColors(document.content);
        TemplateRenderer renderer;
        return renderer.render(withLine(content, line, renderer.fonts()), document.canvas);
    }

    static bool samePixels(const QImage& left, const QImage& right)
    {
        return !left.isNull() && testing::samePixels(left, right);
    }

    static QByteArray contentOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QString templatePath;
};

struct FieldsCase {
    const char* name;
    QStringList options;
    QByteArray list;
    ListFields fields;  // how the files' lines are read, for the canvas to compare with
    int exitCode;
    std::map<QString, QString> files;  // file name -> its line
    QByteArray manifest;
    QString warning;  // a part of standard error; empty: nothing on it
};

TEST_F(BatchFieldsTest, EachFieldGoesIntoItsLayerAndTheManifestsColumns)
{
    const ListFields tab{FieldFormat::TabSeparated, false};
    const ListFields csvWithHeader{FieldFormat::CommaSeparated, true};
    const QString quoted = R"("Keller, Anna","Acme ""Labs""",anna@acme.example)";
    const std::vector<FieldsCase> cases = {
        {"tab-separated",
         {"--fields", "tab"},
         kAnna + "\n\n" + "Bob\tInitech\tbob@initech.example\n",
         tab,
         0,
         {{"Output1.png", kAnna}, {"Output3.png", "Bob\tInitech\tbob@initech.example"}},
         "line,file,text,field1,field2,field3,width,height\r\n"
         "1,Output1.png,Anna Keller\tAcme\tanna@acme.example,Anna Keller,Acme,anna@acme.example,420,150\r\n"
         "3,Output3.png,Bob\tInitech\tbob@initech.example,Bob,Initech,bob@initech.example,420,150\r\n",
         {}},
        // The header makes no image and names the columns; the records keep their numbers.
        {"comma-separated with a header",
         {"--fields", "csv", "--header"},
         "name,,email\r\n" + quoted.toUtf8() + "\r\nBob,Initech,bob@initech.example\r\n",
         csvWithHeader,
         0,
         {{"Output2.png", quoted}, {"Output3.png", "Bob,Initech,bob@initech.example"}},
         "line,file,text,name,field2,email,width,height\r\n"
         R"(2,Output2.png,"""Keller, Anna"",""Acme """"Labs"""""",anna@acme.example","Keller, Anna","Acme ""Labs""",)"
         "anna@acme.example,420,150\r\n"
         "3,Output3.png,\"Bob,Initech,bob@initech.example\",Bob,Initech,bob@initech.example,420,150\r\n",
         {}},
        {"a missing field",
         {"--fields", "tab"},
         "Anna Keller\tAcme\n",
         tab,
         0,
         {{"Output1.png", "Anna Keller\tAcme"}},
         "line,file,text,field1,field2,field3,width,height\r\n"
         "1,Output1.png,Anna Keller\tAcme,Anna Keller,Acme,,420,150\r\n",
         "pennolux-batch: warning: 1 line has fewer fields than the template has text layers.\n"},
        {"an extra field",
         {"--fields", "tab"},
         kAnna + "\tVIP\n" + kAnna + "\tVIP\tfront row\n",
         tab,
         0,
         {{"Output1.png", kAnna + "\tVIP"}, {"Output2.png", kAnna + "\tVIP\tfront row"}},
         "line,file,text,field1,field2,field3,width,height\r\n"
         "1,Output1.png,Anna Keller\tAcme\tanna@acme.example\tVIP,Anna Keller,Acme,anna@acme.example,420,150\r\n"
         "2,Output2.png,Anna Keller\tAcme\tanna@acme.example\tVIP\tfront row,Anna Keller,Acme,anna@acme.example,"
         "420,150\r\n",
         "pennolux-batch: warning: 2 lines have more fields than the template has text layers; the extra fields "
         "are left out.\n"},
        // The files before the line stay, and the manifest lists them.
        {"an unclosed quote",
         {"--fields", "csv"},
         "Anna,Acme,anna@acme.example\n\"Bob, Initech,bob@initech.example\n",
         {FieldFormat::CommaSeparated, false},
         1,
         {{"Output1.png", "Anna,Acme,anna@acme.example"}},
         "line,file,text,field1,field2,field3,width,height\r\n"
         "1,Output1.png,\"Anna,Acme,anna@acme.example\",Anna,Acme,anna@acme.example,420,150\r\n",
         "Line 2 (\"\"Bob, Initech"},
        {"an unclosed quote in the header",
         {"--fields", "csv", "--header", "--first-number", "7"},
         "\"name,company\nAnna,Acme,anna@acme.example\n",
         csvWithHeader,
         1,
         {},
         "<missing>",
         "Line 7 (\"\"name,company\"): The quote at character 1 is never closed"},
    };
    for (const FieldsCase& item : cases) {
        SCOPED_TRACE(item.name);
        const QString out = makeFolder(item.name);
        const QString manifest = out + ".csv";
        const QString list = writeScratchFile(QString(item.name) + ".txt", item.list);
        const ToolRun run =
            runTool(QStringList{"-q", "--template", templatePath, "-o", out, "--manifest", manifest} + item.options +
                    QStringList{list});
        EXPECT_EQ(run.exitCode, item.exitCode) << run.err.toStdString();
        if (item.warning.isEmpty())
            EXPECT_EQ(run.err, "");
        else if (item.exitCode == 0)
            EXPECT_EQ(run.err, item.warning);
        else
            EXPECT_TRUE(run.err.contains(item.warning)) << run.err.toStdString();
        QStringList names;
        for (const auto& [name, line] : item.files) {
            names << name;
            EXPECT_TRUE(samePixels(QImage(out + "/" + name), canvasWith(templatePath, item.fields, line))) << name.toStdString();
        }
        EXPECT_EQ(QDir(out).entryList(QDir::Files, QDir::Name), names);
        EXPECT_EQ(contentOf(manifest), item.manifest);
    }
}

TEST_F(BatchFieldsTest, FilesAreNamedFromTheFieldsSafelyAndNeverReplaced)
{
    const QString list = writeScratchFile("list.txt", kAnna + "\n");
    const QString out = makeFolder("out");
    const QStringList arguments{"-q", "--template", templatePath, "--fields", "tab", "--name", "{3}", "-o", out};
    EXPECT_EQ(runTool(arguments + QStringList{list}).exitCode, 0);
    const ToolRun again = runTool(arguments + QStringList{"--manifest", "-", list});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files, QDir::Name),
              (QStringList{"anna@acme.example (2).png", "anna@acme.example.png"}));
    EXPECT_TRUE(again.out.contains("\r\n1,anna@acme.example (2).png,")) << again.out.toStdString();
    EXPECT_TRUE(samePixels(QImage(out + "/anna@acme.example (2).png"),
                           canvasWith(templatePath, {FieldFormat::TabSeparated, false}, kAnna)));

    // A field cannot climb out of the destination nor hide a control
    // character in a name; an empty one leaves the design's name.
    const QString unsafe = makeFolder("unsafe/out");
    const QString unsafeList = writeScratchFile("unsafe.txt", "Anna\tAcme\t../x\nBob\tInitech\tbad\x01name\nEve\tX\t\n");
    const ToolRun named = runTool(
        {"-q", "--template", templatePath, "--fields", "tab", "--name", "{3}", "-o", unsafe, unsafeList});
    EXPECT_EQ(named.exitCode, 0) << named.err.toStdString();
    EXPECT_EQ(QDir(unsafe).entryList(QDir::Files, QDir::Name), (QStringList{"Output3.png", "_x.png", "bad_name.png"}));
    EXPECT_EQ(QDir(scratch() + "/unsafe").entryList(QDir::Files), QStringList());

    // The Simple mode names its files too, {1} being the whole line.
    const QString simple = makeFolder("simple");
    EXPECT_EQ(runTool({"-q", "--name", "card-{n}-{1}", "-o", simple}, "x, y\n").exitCode, 0);
    EXPECT_EQ(QDir(simple).entryList(QDir::Files), QStringList{"card-1-x, y.png"});

    const ToolRun refused = runTool({"--name", "{email}", "-o", simple}, "x\n");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.startsWith("pennolux-batch: --name: The file name pattern \"{email}\" cannot be used: "
                                       "there is no field {email}"))
        << refused.err.toStdString();
}

TEST_F(BatchFieldsTest, ATemplateRunsAsSavedUnlessTheCommandLineSaysOtherwise)
{
    const QString saved = writeScratchFile("saved.pnxt", badgeTemplate(R"({ "format": "tab", "header": true })"));
    const QString list = writeScratchFile("list.txt", "name\tcompany\temail\n" + kAnna + "\n");
    const QString asSaved = makeFolder("as-saved");
    const QString asOptions = makeFolder("as-options");
    EXPECT_EQ(runTool({"-q", "--template", saved, "-o", asSaved, list}).exitCode, 0);
    EXPECT_EQ(runTool({"-q", "--template", templatePath, "--fields", "tab", "--header", "-o", asOptions, list}).exitCode,
              0);
    EXPECT_EQ(QDir(asSaved).entryList(QDir::Files), QStringList{"Output2.png"});
    EXPECT_EQ(contentOf(asSaved + "/Output2.png"), contentOf(asOptions + "/Output2.png"));

    // Given on the command line, the whole line goes into Text 1 and the header is a line as any.
    const QString overridden = makeFolder("overridden");
    const ToolRun run = runTool(
        {"-q", "--template", saved, "--fields", "line", "--no-header", "-o", overridden, "--manifest", "-", list});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QDir(overridden).entryList(QDir::Files, QDir::Name), (QStringList{"Output1.png", "Output2.png"}));
    EXPECT_TRUE(samePixels(QImage(overridden + "/Output2.png"), canvasWith(saved, {}, kAnna)));
    EXPECT_TRUE(run.out.startsWith("line,file,text,width,height\r\n")) << run.out.toStdString();
}

TEST(BatchFieldsOptionsTest, CommandLineFieldsWinOverTheTemplates)
{
    const BatchOptions options =
        parseBatchOptions({"--template", "t.pnxt", "--fields=csv", "--no-header", "--name", "{n}-{2}"});
    EXPECT_EQ(options.namePattern.text(), "{n}-{2}");
    EXPECT_EQ(options.fieldsOver({FieldFormat::TabSeparated, true}), (ListFields{FieldFormat::CommaSeparated, false}));
    const BatchOptions header = parseBatchOptions({"--template", "t.pnxt", "--header"});
    EXPECT_EQ(header.fieldsOver({FieldFormat::TabSeparated, false}), (ListFields{FieldFormat::TabSeparated, true}));
    const BatchOptions none = parseBatchOptions({"--template", "t.pnxt"});
    EXPECT_EQ(none.fieldsOver({FieldFormat::TabSeparated, true}), (ListFields{FieldFormat::TabSeparated, true}));
    EXPECT_TRUE(none.namePattern.isDefault());
}

TEST(BatchFieldsOptionsTest, RefusesWhatItCannotFollowSayingWhy)
{
    const std::vector<std::pair<QStringList, const char*>> refused = {
        {{"--fields", "tab"}, "--fields needs --template: the Simple mode"},
        {{"--header", "--fields", "csv"}, "--header, --fields need --template"},
        {{"--no-header"}, "--no-header needs --template"},
        {{"--template", "a.pnxt", "--fields", "json"}, "--fields: \"json\" is not line, tab or csv"},
        {{"--template", "a.pnxt", "--fields", "tab", "--fields", "csv"}, "--fields may be given only once"},
        {{"--template", "a.pnxt", "--header", "--no-header"}, "--header or --no-header may be given only once"},
        {{"--template", "a.pnxt", "--header=yes"}, "option --header takes no value"},
        {{"--name", "{0}"}, "--name: The file name pattern \"{0}\" cannot be used"},
        {{"--name", "a}"}, "--name: "},
        {{"--name", "a", "--name", "b"}, "--name may be given only once"},
        {{"--name"}, "option --name needs a value"},
    };
    for (const auto& [arguments, reason] : refused) {
        try {
            parseBatchOptions(arguments);
            ADD_FAILURE() << "accepted " << arguments.join(' ').toStdString();
        } catch (const BatchUsageError& error) {
            EXPECT_TRUE(QString::fromUtf8(error.what()).contains(QString::fromUtf8(reason)))
                << arguments.join(' ').toStdString() << ": " << error.what();
        }
    }
}

} // namespace
} // namespace pennolux
