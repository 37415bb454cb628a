#include <gtest/gtest.h>

#include "platform/AppError.h"
#include "production/fields/FileNamePattern.h"

namespace pennolux {
namespace {

const QStringList kFields{"Anna Keller", "Acme", "anna@acme.example"};

TEST(FileNamePattern, FillsTheNumberAndTheFields)
{
    const struct {
        QString pattern;
        QString name;
    } cases[] = {
        {"Output{n}", "Output7"},
        {"{3}", "anna@acme.example"},
        {"{n}-{1}", "7-Anna Keller"},
        {"badge_{2}_{n}", "badge_Acme_7"},
        {"{{{n}}}", "{7}"},
        // A field the line lacks is empty; a name of nothing is the design's.
        {"{4}", "Output7"},
        {"x{4}", "x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileNamePattern(c.pattern).baseName(7, kFields), c.name) << c.pattern.toStdString();
    EXPECT_TRUE(FileNamePattern().isDefault());
    EXPECT_FALSE(FileNamePattern("{n}").usesFields());
    EXPECT_TRUE(FileNamePattern("a{2}").usesFields());
}

TEST(FileNamePattern, RefusesBracesThatNameNoField)
{
    for (const QString pattern : {QString("{0}"), QString("{x}"), QString("{N}"), QString("{1"), QString("a}"),
                                  QString("{}"), QString("{01}"), QString("{ 1}"), QString("{-1}")}) {
        try {
            FileNamePattern{pattern};
            ADD_FAILURE() << pattern.toStdString();
        } catch (const AppError& error) {
            EXPECT_TRUE(error.message().startsWith("The file name pattern \"" + pattern + "\" cannot be used: "))
                << error.message().toStdString();
        }
    }
}

TEST(FileNamePattern, ANameMadeFromDataIsSafe)
{
    const struct {
        QString field;
        QString name;
    } cases[] = {
        {"../x", "_x"},
        {"/etc/passwd", "_etc_passwd"},
        {"a\x1b[31mred", "a_[31mred"},
        {"tab\there", "tab_here"},
        {QString("new\nline") + QChar(0x85), "new_line_"},
        {"...", "Output3"},
        {"  .hidden  ", "hidden"},
        {". .. . .x", "x"},
        {"a:b*c?d\"e<f>g|h\\i", "a_b_c_d_e_f_g_h_i"},
        {"", "Output3"},
        {"  ", "Output3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileNamePattern("{1}").baseName(3, {c.field}), c.name) << c.field.toStdString();
}

TEST(FileNamePattern, ALongNameIsCutOnAWholeCharacter)
{
    // "é" is two bytes and an emoji four: 200 bytes end inside the 101st "é"
    // and inside the 50th emoji, which are left out whole.
    const QString accents(150, QChar(0xe9));
    EXPECT_EQ(safeFileBaseName(accents), QString(100, QChar(0xe9)));
    QString emoji;
    for (int i = 0; i < 60; ++i)
        emoji += QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(safeFileBaseName("x" + emoji).toUtf8().size(), 1 + 49 * 4);
    EXPECT_EQ(safeFileBaseName(QString(300, 'a')).size(), kLongestBaseNameBytes);
}

TEST(FileNamePattern, NamesOfARunSplitEachLineInItsFormat)
{
    EXPECT_FALSE(fileBaseNames(FileNamePattern(), FieldFormat::CommaSeparated));
    const auto names = fileBaseNames(FileNamePattern("{2}"), FieldFormat::CommaSeparated);
    EXPECT_EQ(names(4, "\"Keller, Anna\",acme"), "acme");
    EXPECT_EQ(fileBaseNames(FileNamePattern("{1}"), FieldFormat::OneField)(4, "a,b"), "a,b");
}

} // namespace
} // namespace pennolux
