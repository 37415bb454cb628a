#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

#include "IsolatedHomeTest.h"
#include "SyntheticElf.h"
#include "platform/AppError.h"
#include "app/version/VersionBlockFormat.h"
#include "app/version/VersionInfo.h"

namespace pennolux {
namespace {

namespace vb = versionblock;
using testing::SyntheticElf;

const QString kProbe = QStringLiteral(PENNOLUX_VERSION_PROBE);

template <std::size_t N>
QByteArray bytesOf(const std::array<unsigned char, N>& block)
{
    return QByteArray(reinterpret_cast<const char*>(block.data()), qsizetype(N));
}

constexpr auto kFixed = vb::fixedFileInfo(0x00030004, 0x00050006);
constexpr auto kGermanUnicode = vb::translation(0x0407, 0x04B0);
constexpr auto kSpanish = vb::translation(0x040A, 0x04E4);

constexpr vb::Entry kWithoutTranslation[] = {
    {"\\", vb::view(kFixed), vb::ValueType::Binary},
    {"\\StringFileInfo\\040904E4\\CompanyName", "Zantoph", vb::ValueType::Text},
};
constexpr vb::Entry kGermanTable[] = {
    {"\\VarFileInfo\\Translation", vb::view(kGermanUnicode), vb::ValueType::Binary},
    {"\\StringFileInfo\\040904E4\\CompanyName", "wrong table", vb::ValueType::Text},
    {"\\StringFileInfo\\040704B0\\CompanyName", "Zantoph GmbH", vb::ValueType::Text},
    {"\\StringFileInfo\\040704B0\\Comments", "Kommentar", vb::ValueType::Text},
};
constexpr vb::Entry kSpanishTable[] = {
    {"\\", vb::view(kFixed), vb::ValueType::Binary},
    {"\\VarFileInfo\\Translation", vb::view(kSpanish), vb::ValueType::Binary},
    {"\\StringFileInfo\\040A04E4\\ProductName", "Pennolux", vb::ValueType::Text},
};

// Block fields are little-endian whatever the file's byte order.
void patchBlock(SyntheticElf::Layout& layout, qsizetype offsetInBlock, std::uint32_t value, int width)
{
    const qsizetype block = layout.bytes.indexOf(QByteArray(vb::kMagic.data(), qsizetype(vb::kMagic.size())));
    ASSERT_GE(block, 0);
    for (int i = 0; i < width; ++i)
        layout.bytes[block + offsetInBlock + i] = char((value >> (8 * i)) & 0xFF);
}

class VersionInfoTest : public testing::IsolatedHomeTest {
protected:
    static QByteArray probeBytes()
    {
        QFile file(kProbe);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << kProbe.toStdString();
        return file.readAll();
    }
    // The block exactly as the build laid it out, found by its magic.
    static QByteArray probeBlock()
    {
        const QByteArray file = probeBytes();
        const qsizetype at = file.indexOf(QByteArray(vb::kMagic.data(), qsizetype(vb::kMagic.size())));
        EXPECT_GE(at, 0);
        const auto size = qFromLittleEndian<quint32>(file.constData() + at + 8);
        return file.mid(at, qsizetype(size));
    }
    static std::string errorOf(const QString& path)
    {
        try {
            GetEXEVersionData(path);
        } catch (const AppError& error) {
            return error.what();
        }
        return "no error";
    }
};

TEST_F(VersionInfoTest, ReadsEveryFieldOfTheBuiltBlock)
{
    const TEXEVersionData data = GetEXEVersionData(kProbe);
    EXPECT_EQ(data.CompanyName, "Zantoph");
    EXPECT_EQ(data.FileDescription, "Pennolux");
    EXPECT_EQ(data.FileVersion, "2.1.0.0");
    EXPECT_EQ(data.InternalName, "pennolux");
    EXPECT_EQ(data.LegalCopyright, "Copyright (C) 2026 Zantoph");
    EXPECT_EQ(data.OriginalFileName, "pennolux");
    EXPECT_EQ(data.ProductName, "Pennolux");
    EXPECT_EQ(data.ProductVersion, "2.1");
    for (const QString* absent : {&data.LegalTrademarks, &data.Comments, &data.PrivateBuild, &data.SpecialBuild})
        EXPECT_TRUE(absent->isEmpty());

    EXPECT_EQ(readFileVersionMs(kProbe), 0x00020001u);
    EXPECT_EQ(formatAppVersion(readFileVersionMs(kProbe)), "2.1");
}

TEST_F(VersionInfoTest, FormatsTheVersionAsUnsignedMajorDotMinor)
{
    EXPECT_EQ(formatAppVersion(0x00020001), "2.1");
    EXPECT_EQ(formatAppVersion(0x000A0000), "10.0");
    EXPECT_EQ(formatAppVersion(0xFFFFFFFF), "65535.65535");
}

TEST_F(VersionInfoTest, FilesWithoutTheBlockFailWithATextNamingTheFile)
{
    const QByteArray probe = probeBytes();
    const struct {
        const char* what;
        QString path;
        const char* text;
    } cases[] = {
        {"an executable built without the block", QCoreApplication::applicationFilePath(),
         "carries no version information"},
        {"a truncated copy", writeScratchFile("truncated", probe.left(probe.size() / 2)),
         "carries no version information"},
        {"an empty file", writeScratchFile("empty", {}), "carries no version information"},
        {"a text file", writeScratchFile("text", "just some text\n"), "carries no version information"},
        {"a missing file", scratch() + "/missing", "Cannot read"},
        {"a directory", scratch(), "Cannot read"},
    };
    for (const auto& c : cases) {
        const std::string error = errorOf(c.path);
        EXPECT_NE(error.find(c.text), std::string::npos) << c.what << ": " << error;
        EXPECT_NE(error.find('"' + c.path.toStdString() + '"'), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(readFileVersionMs(c.path), 0xFFFFFFFFu) << c.what;
    }
}

TEST_F(VersionInfoTest, ReadsTheBlockFromThirtyTwoAndSixtyFourBitFilesOfEitherByteOrder)
{
    for (bool is64 : {false, true}) {
        for (bool bigEndian : {false, true}) {
            SyntheticElf elf;
            elf.is64 = is64;
            elf.bigEndian = bigEndian;
            elf.payload = probeBlock();
            const QString path = writeScratchFile(QString("elf%1%2").arg(is64 ? 64 : 32).arg(bigEndian ? "be" : "le"),
                                           elf.build().bytes);
            const TEXEVersionData data = GetEXEVersionData(path);
            EXPECT_EQ(data.CompanyName, "Zantoph") << path.toStdString();
            EXPECT_EQ(data.ProductVersion, "2.1") << path.toStdString();
            EXPECT_EQ(readFileVersionMs(path), 0x00020001u) << path.toStdString();
        }
    }
}

TEST_F(VersionInfoTest, StringsAreReadFromTheTableOfTheFirstTranslation)
{
    SyntheticElf elf;
    elf.payload = bytesOf(vb::encode<vb::encodedSize(kGermanTable)>(kGermanTable));
    const TEXEVersionData german = GetEXEVersionData(writeScratchFile("german", elf.build().bytes));
    EXPECT_EQ(german.CompanyName, "Zantoph GmbH");
    EXPECT_EQ(german.Comments, "Kommentar");
    EXPECT_TRUE(german.ProductName.isEmpty());
    // Without a fixed part the version is unreadable, not a failure of the strings.
    EXPECT_EQ(readFileVersionMs(scratch() + "/german"), 0xFFFFFFFFu);

    // The table name is upper-case hexadecimal: "040A04E4".
    elf.payload = bytesOf(vb::encode<vb::encodedSize(kSpanishTable)>(kSpanishTable));
    const QString spanish = writeScratchFile("spanish", elf.build().bytes);
    EXPECT_EQ(GetEXEVersionData(spanish).ProductName, "Pennolux");
    EXPECT_EQ(readFileVersionMs(spanish), 0x00030004u);
}

TEST_F(VersionInfoTest, ABlockWithoutTranslationTableFails)
{
    SyntheticElf elf;
    elf.payload = bytesOf(vb::encode<vb::encodedSize(kWithoutTranslation)>(kWithoutTranslation));
    const QString path = writeScratchFile("untranslated", elf.build().bytes);
    EXPECT_NE(errorOf(path).find("has no translation table"), std::string::npos) << errorOf(path);
    EXPECT_EQ(readFileVersionMs(path), 0x00030004u);
}

TEST_F(VersionInfoTest, MisleadingOffsetsAndSizesFailCleanly)
{
    using Layout = SyntheticElf::Layout;
    const std::uint64_t huge = ~std::uint64_t(0);
    const struct {
        const char* what;
        std::function<void(Layout&)> corrupt;
        const char* text;
    } cases[] = {
        {"section table beyond the end", [](Layout& l) { l.patch(l.shoffField, 1u << 20, 8); },
         "carries no version information"},
        {"section table offset wrapping around", [&](Layout& l) { l.patch(l.shoffField, huge - 16, 8); },
         "carries no version information"},
        {"section header size too small", [](Layout& l) { l.patch(l.shentsizeField, 10, 2); },
         "carries no version information"},
        {"name table index out of range", [](Layout& l) { l.patch(l.shstrndxField, 7, 2); },
         "carries no version information"},
        {"section name beyond the name table",
         [](Layout& l) { l.patch(l.payloadHeader + l.nameInHeader, 0x7FFFFFFF, 4); },
         "carries no version information"},
        {"section contents beyond the end",
         [](Layout& l) { l.patch(l.payloadHeader + l.offsetInHeader, 1u << 20, 8); },
         "carries no version information"},
        {"section size wrapping around",
         [&](Layout& l) { l.patch(l.payloadHeader + l.sizeInHeader, huge, 8); },
         "carries no version information"},
        {"file cut inside the section table", [](Layout& l) { l.bytes.chop(30); },
         "carries no version information"},
        {"block claiming more than its section",
         [](Layout& l) { patchBlock(l, 8, quint32(l.bytes.size()), 4); }, "is damaged"},
        // The first entry's value length, just after the 16-byte block header.
        {"entry running past the block", [](Layout& l) { patchBlock(l, 16 + 4, 0x00FFFFFF, 4); },
         "is damaged"},
    };
    SyntheticElf elf;
    elf.payload = probeBlock();
    const Layout intact = elf.build();
    for (const auto& c : cases) {
        Layout layout = intact;
        c.corrupt(layout);
        const QString path = writeScratchFile("corrupt", layout.bytes);
        const std::string error = errorOf(path);
        EXPECT_NE(error.find(c.text), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(readFileVersionMs(path), 0xFFFFFFFFu) << c.what;
    }
}

} // namespace
} // namespace pennolux
