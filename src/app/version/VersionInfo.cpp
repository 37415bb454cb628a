#include "VersionInfo.h"

#include <QFile>
#include <bit>
#include <cstring>
#include <elf.h>
#include <optional>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/AppError.h"
#include "VersionBlockFormat.h"

namespace pennolux {

namespace {

namespace vb = versionblock;

constexpr std::string_view kSectionName = ".pennolux.version";

// Every offset and size below comes from the file and is checked against it
// before use: the file may be truncated or made to mislead.
class ByteSpan {
public:
    ByteSpan() = default;
    ByteSpan(const unsigned char* data, std::uint64_t size) : data_(data), size_(size) {}

    std::uint64_t size() const { return size_; }
    const unsigned char* data() const { return data_; }

    bool contains(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= size_ && length <= size_ - offset;
    }
    std::optional<ByteSpan> sub(std::uint64_t offset, std::uint64_t length) const
    {
        if (!contains(offset, length))
            return std::nullopt;
        return ByteSpan(data_ + offset, length);
    }
    template <class T>
    std::optional<T> copyAt(std::uint64_t offset) const
    {
        static_assert(std::is_trivially_copyable_v<T>);
        if (!contains(offset, sizeof(T)))
            return std::nullopt;
        T value;
        std::memcpy(&value, data_ + offset, sizeof(T));
        return value;
    }
    std::uint64_t littleEndian(std::uint64_t offset, int width) const
    {
        std::uint64_t value = 0;
        for (int b = width - 1; b >= 0; --b)
            value = (value << 8) | data_[offset + std::uint64_t(b)];
        return value;
    }
    // The NUL-terminated text at offset, or nullopt when it runs off the end.
    std::optional<std::string_view> cString(std::uint64_t offset) const
    {
        if (offset >= size_)
            return std::nullopt;
        const auto* start = data_ + offset;
        const void* end = std::memchr(start, 0, size_ - offset);
        if (!end)
            return std::nullopt;
        return std::string_view(reinterpret_cast<const char*>(start),
                                std::size_t(static_cast<const unsigned char*>(end) - start));
    }

private:
    const unsigned char* data_ = nullptr;
    std::uint64_t size_ = 0;
};

template <class T>
T inHostOrder(T value, bool swap)
{
    if (!swap)
        return value;
    if constexpr (sizeof(T) == 2)
        return T(__builtin_bswap16(std::uint16_t(value)));
    else if constexpr (sizeof(T) == 4)
        return T(__builtin_bswap32(std::uint32_t(value)));
    else
        return T(__builtin_bswap64(std::uint64_t(value)));
}

struct SectionHeader {
    std::uint64_t name = 0;
    std::uint64_t type = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t link = 0;
};

template <class Ehdr, class Shdr>
class ElfSections {
public:
    ElfSections(ByteSpan file, bool swap) : file_(file), swap_(swap) {}

    std::optional<ByteSpan> find(std::string_view wanted)
    {
        const auto header = file_.copyAt<Ehdr>(0);
        if (!header)
            return std::nullopt;
        tableOffset_ = inHostOrder(header->e_shoff, swap_);
        entrySize_ = inHostOrder(header->e_shentsize, swap_);
        if (tableOffset_ == 0 || entrySize_ < sizeof(Shdr))
            return std::nullopt;

        std::uint64_t count = inHostOrder(header->e_shnum, swap_);
        std::uint64_t namesIndex = inHostOrder(header->e_shstrndx, swap_);
        // Extended numbering: the real values live in section header 0.
        const auto first = section(0);
        if (!first)
            return std::nullopt;
        if (count == 0)
            count = first->size;
        if (namesIndex == SHN_XINDEX)
            namesIndex = first->link;
        if (namesIndex >= count)
            return std::nullopt;

        const auto namesHeader = section(namesIndex);
        if (!namesHeader)
            return std::nullopt;
        const auto names = contents(*namesHeader);
        if (!names)
            return std::nullopt;

        // Each header read is bounds-checked, so a huge count ends at the file's end.
        for (std::uint64_t i = 1; i < count; ++i) {
            const auto candidate = section(i);
            if (!candidate)
                return std::nullopt;
            if (names->cString(candidate->name) == wanted)
                return contents(*candidate);
        }
        return std::nullopt;
    }

private:
    std::optional<SectionHeader> section(std::uint64_t index) const
    {
        if (tableOffset_ > file_.size() || index > (file_.size() - tableOffset_) / entrySize_)
            return std::nullopt;
        const auto raw = file_.copyAt<Shdr>(tableOffset_ + index * entrySize_);
        if (!raw)
            return std::nullopt;
        return SectionHeader{inHostOrder(raw->sh_name, swap_), inHostOrder(raw->sh_type, swap_),
                             inHostOrder(raw->sh_offset, swap_), inHostOrder(raw->sh_size, swap_),
                             inHostOrder(raw->sh_link, swap_)};
    }
    std::optional<ByteSpan> contents(const SectionHeader& header) const
    {
        if (header.type == SHT_NOBITS)
            return std::nullopt;
        return file_.sub(header.offset, header.size);
    }

    ByteSpan file_;
    bool swap_;
    std::uint64_t tableOffset_ = 0;
    std::uint64_t entrySize_ = 0;
};

std::optional<ByteSpan> findElfSection(ByteSpan file, std::string_view name)
{
    if (!file.contains(0, EI_NIDENT) || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0)
        return std::nullopt;
    const unsigned char fileOrder = file.data()[EI_DATA];
    if (fileOrder != ELFDATA2LSB && fileOrder != ELFDATA2MSB)
        return std::nullopt;
    const unsigned char hostOrder =
        std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB;
    const bool swap = fileOrder != hostOrder;
    switch (file.data()[EI_CLASS]) {
    case ELFCLASS32:
        return ElfSections<Elf32_Ehdr, Elf32_Shdr>(file, swap).find(name);
    case ELFCLASS64:
        return ElfSections<Elf64_Ehdr, Elf64_Shdr>(file, swap).find(name);
    default:
        return std::nullopt;
    }
}

QString noVersionInfoText(const QString& path)
{
    return QStringLiteral("The file \"%1\" carries no version information").arg(path);
}

// The entries of a version block by query path, as VerQueryValue sees them.
class VersionBlock {
public:
    static VersionBlock read(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw AppError(QStringLiteral("Cannot read the version information of \"%1\". %2")
                               .arg(path, file.errorString()));
        if (file.size() == 0)
            throw AppError(noVersionInfoText(path));
        const uchar* mapped = file.map(0, file.size());
        if (!mapped)
            throw AppError(QStringLiteral("Cannot read the version information of \"%1\". %2")
                               .arg(path, file.errorString()));
        const auto section = findElfSection(ByteSpan(mapped, std::uint64_t(file.size())), kSectionName);
        if (!section)
            throw AppError(noVersionInfoText(path));
        VersionBlock block;
        if (!block.parse(*section))
            throw AppError(QStringLiteral("The version information of \"%1\" is damaged").arg(path));
        return block;
    }

    std::optional<QByteArray> query(const QString& subBlock) const
    {
        QString wanted = subBlock;
        while (wanted.size() > 1 && wanted.endsWith(u'\\'))
            wanted.chop(1);
        for (const auto& entry : entries_)
            if (entry.path.compare(wanted, Qt::CaseInsensitive) == 0)
                return entry.value;
        return std::nullopt;
    }

private:
    struct Entry {
        QString path;
        QByteArray value;
    };

    bool parse(ByteSpan section)
    {
        if (!section.contains(0, vb::kHeaderSize)
            || std::memcmp(section.data(), vb::kMagic.data(), vb::kMagic.size()) != 0)
            return false;
        const std::uint64_t blockSize = section.littleEndian(8, 4);
        if (blockSize < vb::kHeaderSize || blockSize > section.size()
            || section.littleEndian(12, 2) != vb::kLayoutVersion)
            return false;
        const ByteSpan block = *section.sub(0, blockSize);
        const std::uint64_t count = block.littleEndian(14, 2);
        std::uint64_t at = vb::kHeaderSize;
        for (std::uint64_t i = 0; i < count; ++i) {
            if (!block.contains(at, vb::kEntryHeaderSize))
                return false;
            const std::uint64_t pathLength = block.littleEndian(at + 2, 2);
            const std::uint64_t valueLength = block.littleEndian(at + 4, 4);
            at += vb::kEntryHeaderSize;
            const auto pathBytes = block.sub(at, pathLength);
            const auto valueBytes = pathBytes ? block.sub(at + pathLength, valueLength) : std::nullopt;
            if (!valueBytes)
                return false;
            entries_.push_back({QString::fromUtf8(reinterpret_cast<const char*>(pathBytes->data()),
                                                  qsizetype(pathLength)),
                                QByteArray(reinterpret_cast<const char*>(valueBytes->data()),
                                           qsizetype(valueLength))});
            at += pathLength + valueLength;
        }
        return true;
    }

    std::vector<Entry> entries_;
};

std::uint32_t dwordAt(const QByteArray& bytes, qsizetype offset)
{
    std::uint32_t value = 0;
    for (int b = 3; b >= 0; --b)
        value = (value << 8) | std::uint8_t(bytes[offset + b]);
    return value;
}

std::uint16_t wordAt(const QByteArray& bytes, qsizetype offset)
{
    return std::uint16_t(std::uint8_t(bytes[offset]) | (std::uint8_t(bytes[offset + 1]) << 8));
}

QString translationKey(const VersionBlock& block, const QString& path)
{
    const auto table = block.query(QStringLiteral("\\VarFileInfo\\Translation\\"));
    if (!table || table->size() < 4)
        throw AppError(
            QStringLiteral("The version information of \"%1\" has no translation table").arg(path));
    return QString::asprintf("%.4X%.4X", unsigned(wordAt(*table, 0)), unsigned(wordAt(*table, 2)));
}

} // namespace

TEXEVersionData GetEXEVersionData(const QString& path)
{
    const VersionBlock block = VersionBlock::read(path);
    const QString prefix = QStringLiteral("\\StringFileInfo\\") + translationKey(block, path) + u'\\';

    TEXEVersionData data;
    const std::pair<const char*, QString*> fields[] = {
        {"CompanyName", &data.CompanyName},           {"FileDescription", &data.FileDescription},
        {"FileVersion", &data.FileVersion},           {"InternalName", &data.InternalName},
        {"LegalCopyright", &data.LegalCopyright},     {"LegalTrademarks", &data.LegalTrademarks},
        {"OriginalFileName", &data.OriginalFileName}, {"ProductName", &data.ProductName},
        {"ProductVersion", &data.ProductVersion},     {"Comments", &data.Comments},
        {"PrivateBuild", &data.PrivateBuild},         {"SpecialBuild", &data.SpecialBuild},
    };
    for (const auto& [name, field] : fields)
        if (const auto value = block.query(prefix + QLatin1String(name)))
            *field = QString::fromUtf8(*value);
    return data;
}

std::uint32_t readFileVersionMs(const QString& path)
{
    constexpr std::uint32_t kUnreadable = 0xFFFFFFFFu;
    try {
        const auto fixed = VersionBlock::read(path).query(QStringLiteral("\\"));
        if (!fixed || std::size_t(fixed->size()) < vb::kFixedFileInfoSize
            || dwordAt(*fixed, 0) != vb::kFixedFileInfoSignature)
            return kUnreadable;
        return dwordAt(*fixed, 8);
    } catch (const AppError&) {
        return kUnreadable;
    }
}

QString formatAppVersion(std::uint32_t fileVersionMS)
{
    return QStringLiteral("%1.%2").arg(fileVersionMS >> 16).arg(fileVersionMS & 0xFFFFu);
}

} // namespace pennolux
