#include "SyntheticElf.h"

namespace pennolux::testing {

namespace {

class Writer {
public:
    explicit Writer(bool bigEndian) : bigEndian_(bigEndian) {}

    void put(std::uint64_t value, int width)
    {
        for (int i = 0; i < width; ++i) {
            const int shift = bigEndian_ ? 8 * (width - 1 - i) : 8 * i;
            bytes.append(char((value >> shift) & 0xFF));
        }
    }
    void align(int to)
    {
        while (bytes.size() % to)
            bytes.append('\0');
    }

    QByteArray bytes;

private:
    bool bigEndian_;
};

struct Section {
    std::uint32_t name, type;
    std::uint64_t offset, size;
};

} // namespace

void SyntheticElf::Layout::patch(qsizetype at, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i) {
        const int shift = bigEndian ? 8 * (width - 1 - i) : 8 * i;
        bytes[at + i] = char((value >> shift) & 0xFF);
    }
}

SyntheticElf::Layout SyntheticElf::build() const
{
    const int word = is64 ? 8 : 4;
    const int headerSize = is64 ? 64 : 52;
    const int sectionHeaderSize = is64 ? 64 : 40;

    const QByteArray names = QByteArray(1, '\0') + ".shstrtab" + '\0' + sectionName + '\0';
    const std::uint64_t namesOffset = std::uint64_t(headerSize);
    const std::uint64_t payloadOffset = namesOffset + std::uint64_t(names.size());
    std::uint64_t tableOffset = payloadOffset + std::uint64_t(payload.size());
    tableOffset = (tableOffset + 7) / 8 * 8;

    Layout layout;
    layout.bigEndian = bigEndian;
    layout.addressWidth = word;
    Writer out(bigEndian);
    out.bytes.append("\x7F" "ELF", 4);
    out.bytes.append(char(is64 ? 2 : 1));       // EI_CLASS
    out.bytes.append(char(bigEndian ? 2 : 1));  // EI_DATA
    out.bytes.append(char(1));                  // EI_VERSION
    out.bytes.append(QByteArray(9, '\0'));
    out.put(2, 2);                              // ET_EXEC
    out.put(is64 ? 62 : 3, 2);                  // x86-64 or i386
    out.put(1, 4);
    out.put(0, word);                           // e_entry
    out.put(0, word);                           // e_phoff
    layout.shoffField = out.bytes.size();
    out.put(tableOffset, word);
    out.put(0, 4);                              // e_flags
    out.put(std::uint64_t(headerSize), 2);
    out.put(0, 2);                              // e_phentsize
    out.put(0, 2);                              // e_phnum
    layout.shentsizeField = out.bytes.size();
    out.put(std::uint64_t(sectionHeaderSize), 2);
    layout.shnumField = out.bytes.size();
    out.put(3, 2);
    layout.shstrndxField = out.bytes.size();
    out.put(1, 2);

    out.bytes += names;
    out.bytes += payload;
    out.align(8);

    const Section sections[] = {
        {0, 0, 0, 0},
        {1, 3 /* SHT_STRTAB */, namesOffset, std::uint64_t(names.size())},
        {11, 1 /* SHT_PROGBITS */, payloadOffset, std::uint64_t(payload.size())},
    };
    layout.nameInHeader = 0;
    layout.offsetInHeader = is64 ? 24 : 16;
    layout.sizeInHeader = is64 ? 32 : 20;
    for (const Section& section : sections) {
        if (&section == &sections[2])
            layout.payloadHeader = out.bytes.size();
        out.put(section.name, 4);
        out.put(section.type, 4);
        out.put(0, word);         // sh_flags
        out.put(0, word);         // sh_addr
        out.put(section.offset, word);
        out.put(section.size, word);
        out.put(0, 4);            // sh_link
        out.put(0, 4);            // sh_info
        out.put(1, word);         // sh_addralign
        out.put(0, word);         // sh_entsize
    }
    layout.bytes = out.bytes;
    return layout;
}

} // namespace pennolux::testing
