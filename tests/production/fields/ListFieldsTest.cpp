#include <gtest/gtest.h>

#include "platform/AppError.h"
#include "production/fields/ListFields.h"
#include "production/textlist/ListLines.h"

namespace pennolux {
namespace {

struct SplitCase {
    const char* name;
    FieldFormat format;
    QString line;
    QStringList fields;
};

TEST(ListFields, SplitsALineAsSpreadsheetsWriteIt)
{
    const SplitCase cases[] = {
        {"one field keeps tabs and commas", FieldFormat::OneField, "a\tb, c", {"a\tb, c"}},
        {"tabs", FieldFormat::TabSeparated, "Anna Keller\tAcme\tanna@acme.example",
         {"Anna Keller", "Acme", "anna@acme.example"}},
        {"tabs keep quotes and commas", FieldFormat::TabSeparated, "\"a\",b\tc", {"\"a\",b", "c"}},
        {"empty tab fields", FieldFormat::TabSeparated, "\t\tx\t", {"", "", "x", ""}},
        {"quoted comma", FieldFormat::CommaSeparated, "\"Smith, John\",john@example.com",
         {"Smith, John", "john@example.com"}},
        {"doubled quote", FieldFormat::CommaSeparated, "\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
        {"empty fields", FieldFormat::CommaSeparated, ",,", {"", "", ""}},
        {"quoted empty field", FieldFormat::CommaSeparated, "\"\",b", {"", "b"}},
        {"spaces are kept", FieldFormat::CommaSeparated, " a , b ", {" a ", " b "}},
        {"a quote inside an unquoted field is a character", FieldFormat::CommaSeparated, "5\" disk,x",
         {"5\" disk", "x"}},
        {"text after the closing quote joins the field", FieldFormat::CommaSeparated, "\"a\"b,c", {"ab", "c"}},
        {"an empty line has no fields", FieldFormat::CommaSeparated, "", {}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(splitFields(c.line, c.format), c.fields) << c.name;
}

TEST(ListFields, AQuoteNeverClosedIsRefusedWithItsPlace)
{
    for (const QString line : {QString("\"Smith, John,john@example.com"), QString("a,\"b\"\"")}) {
        try {
            splitFields(line, FieldFormat::CommaSeparated);
            ADD_FAILURE() << line.toStdString();
        } catch (const AppError& error) {
            EXPECT_TRUE(error.message().startsWith("The quote at character ")) << error.message().toStdString();
            EXPECT_TRUE(error.message().endsWith(" is never closed"));
        }
    }
}

TEST(ListFields, KeysRoundTripAndUnknownOnesAreRefused)
{
    for (const FieldFormat format : {FieldFormat::OneField, FieldFormat::TabSeparated, FieldFormat::CommaSeparated})
        EXPECT_EQ(fieldFormatFromKey(fieldFormatKey(format)), format);
    EXPECT_EQ(fieldFormatFromKey(u"CSV"), std::nullopt);
    EXPECT_EQ(fieldFormatFromKey(u""), std::nullopt);
}

TEST(ListFields, TheHeaderLineMakesNoImageAndRecordsKeepTheirNumbers)
{
    const StringListLineSource list({"name,company", "Anna,Acme", "", "Ben,Bolt"});
    const LinesAfterHeader records(list);
    EXPECT_EQ(records.lineCount(), 4);
    EXPECT_EQ(records.line(0), "");
    EXPECT_EQ(records.line(1), "Anna,Acme");
    EXPECT_EQ(headerNames(list, FieldFormat::CommaSeparated), (QStringList{"name", "company"}));
    EXPECT_EQ(headerNames(StringListLineSource({}), FieldFormat::CommaSeparated), QStringList());
    try {
        headerNames(StringListLineSource({"\"name,company"}), FieldFormat::CommaSeparated, 7);
        ADD_FAILURE();
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().startsWith("Line 7 (\"\"name,company\"): The quote at character 1"))
            << error.message().toStdString();
    }
}

} // namespace
} // namespace pennolux
