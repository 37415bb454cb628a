#pragma once

#include <QByteArray>
#include <cstdint>

namespace pennolux::testing {

// A small ELF file with three sections (null, the section-name table and one
// named section holding payload), written field by field so the reader under
// test is checked against an independent layout. The offsets of the fields
// tests like to corrupt are kept for patching.
struct SyntheticElf {
    bool is64 = true;
    bool bigEndian = false;
    QByteArray sectionName = ".pennolux.version";
    QByteArray payload;

    struct Layout {
        QByteArray bytes;
        qsizetype shoffField = 0;     // e_shoff
        qsizetype shentsizeField = 0; // e_shentsize
        qsizetype shnumField = 0;     // e_shnum
        qsizetype shstrndxField = 0;  // e_shstrndx
        qsizetype payloadHeader = 0;  // section header of the named section
        // Offsets inside a section header.
        qsizetype nameInHeader = 0, offsetInHeader = 0, sizeInHeader = 0;
        int addressWidth = 8;
        bool bigEndian = false;

        void patch(qsizetype at, std::uint64_t value, int width);
    };

    Layout build() const;
};

} // namespace pennolux::testing
