#pragma once

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <zip.h>

namespace pennolux::testing {

struct ZipEntry {
    std::string name;
    std::string data;
};

// Writes a zip of the entries, stored as a word processor stores them.
inline void writeZipFile(const QString& path, const std::vector<ZipEntry>& entries)
{
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const ZipEntry& entry : entries) {
        zip_source_t* source = zip_source_buffer(archive, entry.data.data(), entry.data.size(), 0);
        EXPECT_GE(zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_OVERWRITE), 0);
    }
    EXPECT_EQ(zip_close(archive), 0);
}

// word/document.xml of a .docx whose body is the given markup.
inline std::string docxDocumentXml(const std::string& body)
{
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main")"
           R"( xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006")"
           R"( xmlns:wps="http://schemas.microsoft.com/office/word/2010/wordprocessingShape")"
           R"( xmlns:v="urn:schemas-microsoft-com:vml" mc:Ignorable="wps"><w:body>)" +
           body + "</w:body></w:document>";
}

// content.xml of an .odt whose office:text is the given markup, with a
// style outside the body as a real one has.
inline std::string odtContentXml(const std::string& text)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>)"
           R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0")"
           R"( xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0")"
           R"( xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0")"
           R"( xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0")"
           R"( xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0")"
           R"( xmlns:dc="http://purl.org/dc/elements/1.1/" office:version="1.3">)"
           R"(<office:automatic-styles><style:style style:name="P1" style:family="paragraph"/>)"
           R"(</office:automatic-styles><office:body><office:text>)" +
           text + "</office:text></office:body></office:document-content>";
}

inline void writeDocxFile(const QString& path, const std::string& body)
{
    writeZipFile(path, {{"[Content_Types].xml", "<Types/>"}, {"word/document.xml", docxDocumentXml(body)}});
}

inline void writeOdtFile(const QString& path, const std::string& text)
{
    writeZipFile(path, {{"mimetype", "application/vnd.oasis.opendocument.text"},
                        {"content.xml", odtContentXml(text)},
                        {"META-INF/manifest.xml", "<manifest:manifest/>"}});
}

} // namespace pennolux::testing
