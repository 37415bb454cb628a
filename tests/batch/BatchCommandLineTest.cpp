#include <QStringList>
#include <gtest/gtest.h>
#include <functional>

#include "batch/BatchOptions.h"

namespace pennolux {
namespace {

struct AcceptedLine {
    QStringList arguments;
    std::function<bool(const BatchOptions&)> holds;
};

// The conventions of getopt_long: bundles, attached values, prefixes, "--".
TEST(BatchCommandLineTest, FollowsTheConventionsScriptsExpect)
{
    const AcceptedLine cases[] = {
        {{"-qo", "out", "list.txt"},
         [](const BatchOptions& o) { return o.quiet && o.destination == "out" && o.listPath == "list.txt"; }},
        {{"-qoout"}, [](const BatchOptions& o) { return o.quiet && o.destination == "out" && o.readsStandardInput(); }},
        {{"-oDIR"}, [](const BatchOptions& o) { return o.destination == "DIR"; }},
        {{"-o", "-q"}, [](const BatchOptions& o) { return o.destination == "-q" && !o.quiet; }},
        {{"--dest=DIR"}, [](const BatchOptions& o) { return o.destination == "DIR"; }},
        {{"--dest="}, [](const BatchOptions& o) { return o.destination == "" && !o.destination.isNull(); }},
        {{"-fgif"}, [](const BatchOptions& o) { return o.format == ImageFormat::GIF; }},
        {{"--form", "gif"}, [](const BatchOptions& o) { return o.format == ImageFormat::GIF; }},
        {{"--form=bmp"}, [](const BatchOptions& o) { return o.format == ImageFormat::BMP; }},
        {{"--qu", "--vers"}, [](const BatchOptions& o) { return o.quiet && o.showVersion; }},
        {{"--no", "--templ", "t.pnxt"}, [](const BatchOptions& o) { return o.headerLine == false && o.runsTemplate(); }},
        {{"--head", "--template", "t.pnxt"}, [](const BatchOptions& o) { return o.headerLine == true; }},
        // An exact name wins over a longer one it begins.
        {{"--name", "{n}"}, [](const BatchOptions& o) { return o.namePattern.text() == "{n}"; }},
        {{"-qh"}, [](const BatchOptions& o) { return o.quiet && o.showHelp; }},
        {{"list.txt", "-q"}, [](const BatchOptions& o) { return o.quiet && o.listPath == "list.txt"; }},
        {{"-q", "--", "-o"}, [](const BatchOptions& o) { return o.listPath == "-o" && o.destination.isNull(); }},
        {{"--", "--"}, [](const BatchOptions& o) { return o.listPath == "--"; }},
        {{"-"}, [](const BatchOptions& o) { return o.listPath == "-" && o.readsStandardInput(); }},
        // Colours by the design's names, its forms, and the CSS and SVG names.
        {{"--background", "white"}, [](const BatchOptions& o) { return o.background == colors::clWhite; }},
        {{"--back=SkyBlue"},
         [](const BatchOptions& o) { return o.background == ColorValue::fromRgb(QColor(0x87, 0xCE, 0xEB)); }},
        {{"--background", "clSkyBlue"}, [](const BatchOptions& o) { return o.background == colors::clSkyBlue; }},
        {{"--color", "DarkSlateGray"},
         [](const BatchOptions& o) { return o.textColor == ColorValue::fromRgb(QColor(0x2F, 0x4F, 0x4F)); }},
        {{"--color", "$00FF0000"}, [](const BatchOptions& o) { return o.textColor.value() == 0xFF0000u; }},
    };
    for (const auto& [arguments, holds] : cases) {
        const QString line = arguments.join(' ');
        try {
            EXPECT_TRUE(holds(parseBatchOptions(arguments))) << line.toStdString();
        } catch (const BatchUsageError& error) {
            ADD_FAILURE() << line.toStdString() << ": " << error.what();
        }
    }
}

TEST(BatchCommandLineTest, RefusesWithTheReason)
{
    const std::pair<QStringList, const char*> cases[] = {
        {{"--f", "gif"}, "option --f is ambiguous (--format, --font, --first-number, --fields)"},
        {{"--fo=x"}, "option --fo is ambiguous (--format, --font)"},
        {{"--bogus"}, "unknown option --bogus"},
        {{"--="}, "unknown option --"},
        {{"-qx"}, "unknown option -x"},
        {{"-q", "-o"}, "option -o needs a value"},
        {{"--form"}, "option --format needs a value"},
        {{"--qui=yes"}, "option --quiet takes no value"},
        {{"-o", "a", "--de", "b"}, "the destination may be given only once"},
        {{"-oa", "-ob"}, "the destination may be given only once"},
        {{"--lin=1-2", "--lines", "3"}, "--lines may be given only once"},
        {{"--templ", "a.pnxt", "--back", "white"},
         "--background cannot be used with --template: it is the Simple mode's, and a template brings its own "
         "picture, layers, fonts and colours"},
        {{"--no-h"}, "--no-header needs --template: the Simple mode makes one image of each whole line, and fields "
                     "go into a template's text layers"},
        {{"--background", "transparent"},
         "--background: \"transparent\" is no colour (#RRGGBB or a name such as clSkyBlue)"},
        {{"--color", "#ABC"}, "--color: \"#ABC\" is no colour (#RRGGBB or a name such as clSkyBlue)"},
        {{"--color", "no such"}, "--color: \"no such\" is no colour (#RRGGBB or a name such as clSkyBlue)"},
        {{"a.txt", "--", "b.txt"}, "only one LIST may be given"},
    };
    for (const auto& [arguments, reason] : cases) {
        try {
            parseBatchOptions(arguments);
            ADD_FAILURE() << arguments.join(' ').toStdString() << " was accepted";
        } catch (const BatchUsageError& error) {
            EXPECT_STREQ(error.what(), reason) << arguments.join(' ').toStdString();
        }
    }
}

} // namespace
} // namespace pennolux
