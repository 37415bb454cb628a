#include "platform/documents/DocText.h"

#include "platform/AppError.h"
#include "platform/text/ByteSizeText.h"

#include <QFile>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace pennolux {

namespace {

// What one failure is: every one ends the reading with its own message.
struct DocFailure {
    QString detail;
};

[[noreturn]] void fail(const QString& detail)
{
    throw DocFailure{detail};
}

[[noreturn]] void damaged(const char* what)
{
    fail(QStringLiteral("damaged: ") + QString::fromUtf8(what));
}

[[noreturn]] void notAWordDocument(const char* why)
{
    fail(QStringLiteral("it is not one (") + QString::fromUtf8(why) + u')');
}

// A run of bytes whose every read is checked against its end.
class Bytes {
public:
    Bytes() = default;
    Bytes(const char* data, qint64 size) : data_(data), size_(size) {}
    explicit Bytes(const std::vector<char>& bytes) : data_(bytes.data()), size_(qint64(bytes.size())) {}

    qint64 size() const { return size_; }
    bool holds(qint64 offset, qint64 length) const
    {
        return offset >= 0 && length >= 0 && offset <= size_ && length <= size_ - offset;
    }
    Bytes slice(qint64 offset, qint64 length, const char* what) const
    {
        if (!holds(offset, length))
            damaged(what);
        return {data_ + offset, length};
    }
    std::uint8_t u8(qint64 offset, const char* what) const
    {
        return std::uint8_t(slice(offset, 1, what).data_[0]);
    }
    std::uint16_t u16(qint64 offset, const char* what) const
    {
        const Bytes b = slice(offset, 2, what);
        return std::uint16_t(std::uint8_t(b.data_[0]) | std::uint8_t(b.data_[1]) << 8);
    }
    std::uint32_t u32(qint64 offset, const char* what) const
    {
        const Bytes b = slice(offset, 4, what);
        return std::uint32_t(std::uint8_t(b.data_[0])) | std::uint32_t(std::uint8_t(b.data_[1])) << 8 |
               std::uint32_t(std::uint8_t(b.data_[2])) << 16 | std::uint32_t(std::uint8_t(b.data_[3])) << 24;
    }
    const char* data() const { return data_; }

private:
    const char* data_ = nullptr;
    qint64 size_ = 0;
};

// ---- The compound file that holds the document's streams ----

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::uint32_t kLastRegularSector = 0xFFFFFFFA;
constexpr qint64 kHeaderBytes = 512;
constexpr qint64 kDirectoryEntryBytes = 128;
constexpr int kHeaderDifatEntries = 109;
constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

struct DirectoryEntry {
    QString name;
    std::uint8_t type = 0; // 1 storage, 2 stream, 5 root
    std::uint32_t left = kNoStream;
    std::uint32_t right = kNoStream;
    std::uint32_t child = kNoStream;
    std::uint32_t start = kEndOfChain;
    qint64 size = 0;
};

class CompoundFile {
public:
    explicit CompoundFile(Bytes file) : file_(file)
    {
        if (file.size() < qint64(sizeof kSignature) ||
            std::memcmp(file.data(), kSignature, sizeof kSignature) != 0)
            notAWordDocument("it lacks the compound-file signature");
        if (file.size() < kHeaderBytes)
            damaged("the compound-file header is cut off");
        const std::uint16_t major = file.u16(0x1A, "header");
        const std::uint16_t sectorShift = file.u16(0x1E, "header");
        const std::uint16_t miniShift = file.u16(0x20, "header");
        if (!((major == 3 && sectorShift == 9) || (major == 4 && sectorShift == 12)))
            damaged("the compound file has an unknown version or sector size");
        if (miniShift != 6)
            damaged("the compound file has an unknown mini sector size");
        major_ = major;
        sectorBytes_ = qint64(1) << sectorShift;
        miniSectorBytes_ = qint64(1) << miniShift;
        miniCutoff_ = file.u32(0x38, "header");
        // Only whole sectors count; the header takes the place of sector -1.
        sectorCount_ = std::max<qint64>(0, file.size() / sectorBytes_ - 1);
        readFat();
        readDirectory();
        const DirectoryEntry& root = directory_.at(0);
        if (root.type != 5)
            damaged("the compound file has no root entry");
        miniStream_ = chain(fat_, root.start, root.size, sectorBytes_, nullptr, "the mini stream");
        if (qint64(miniStream_.size()) < root.size)
            damaged("the mini stream is shorter than its size");
        const std::uint32_t miniFatStart = file.u32(0x3C, "header");
        const std::vector<char> miniFatBytes =
            chain(fat_, miniFatStart, -1, sectorBytes_, nullptr, "the mini allocation table");
        miniFat_.resize(miniFatBytes.size() / 4);
        const Bytes miniFatView(miniFatBytes);
        for (std::size_t i = 0; i < miniFat_.size(); ++i)
            miniFat_[i] = miniFatView.u32(qint64(i) * 4, "the mini allocation table");
    }

    // The stream of this name directly in the root storage, or false when
    // there is none.
    bool stream(const QString& name, std::vector<char>& contents) const
    {
        // The root's children form a tree through left and right; an
        // embedded object's storage below them may hold streams of the same
        // names, which are not the document's.
        std::vector<std::uint32_t> pending{directory_[0].child};
        std::vector<bool> seen(directory_.size(), false);
        while (!pending.empty()) {
            const std::uint32_t index = pending.back();
            pending.pop_back();
            if (index == kNoStream)
                continue;
            if (index >= directory_.size())
                damaged("a directory entry points outside the directory");
            if (seen[index])
                damaged("the directory tree loops");
            seen[index] = true;
            const DirectoryEntry& entry = directory_[index];
            if (entry.type == 2 && entry.name == name) {
                contents = streamContents(entry);
                return true;
            }
            pending.push_back(entry.left);
            pending.push_back(entry.right);
        }
        return false;
    }

private:
    Bytes sector(std::uint32_t index, const char* what) const
    {
        if (index > kLastRegularSector)
            damaged(what);
        if (qint64(index) >= sectorCount_)
            damaged("the file is cut off (a sector lies past its end)");
        return file_.slice((qint64(index) + 1) * sectorBytes_, sectorBytes_, what);
    }

    void readFat()
    {
        const std::uint32_t fatSectors = file_.u32(0x2C, "header");
        if (qint64(fatSectors) > sectorCount_)
            damaged("the allocation table is larger than the file");
        std::vector<std::uint32_t> fatSectorIndexes;
        for (int i = 0; i < kHeaderDifatEntries && fatSectorIndexes.size() < fatSectors; ++i)
            fatSectorIndexes.push_back(file_.u32(0x4C + qint64(i) * 4, "header"));
        std::uint32_t difat = file_.u32(0x44, "header");
        std::vector<bool> seen(std::size_t(sectorCount_), false);
        const qint64 perDifatSector = sectorBytes_ / 4 - 1;
        while (fatSectorIndexes.size() < fatSectors) {
            if (difat > kLastRegularSector || qint64(difat) >= sectorCount_)
                damaged("the allocation table's sector list ends early");
            if (seen[difat])
                damaged("the allocation table's sector list loops");
            seen[difat] = true;
            const Bytes block = sector(difat, "the allocation table's sector list");
            for (qint64 i = 0; i < perDifatSector && fatSectorIndexes.size() < fatSectors; ++i)
                fatSectorIndexes.push_back(block.u32(i * 4, "the allocation table's sector list"));
            difat = block.u32(perDifatSector * 4, "the allocation table's sector list");
        }
        fat_.reserve(std::size_t(fatSectors) * std::size_t(sectorBytes_ / 4));
        for (const std::uint32_t index : fatSectorIndexes) {
            const Bytes block = sector(index, "the allocation table points outside the file");
            for (qint64 i = 0; i < sectorBytes_ / 4; ++i)
                fat_.push_back(block.u32(i * 4, "the allocation table"));
        }
    }

    // The bytes of the chain from start in table (the allocation table or
    // the mini one), sectors of unit bytes taken from the file or, when
    // source is given, from it; size -1 reads to the chain's end. A chain
    // that loops or leaves the file is damage.
    std::vector<char> chain(const std::vector<std::uint32_t>& table, std::uint32_t start, qint64 size, qint64 unit,
                            const std::vector<char>* source, const char* what) const
    {
        std::vector<char> bytes;
        std::vector<bool> seen(table.size(), false);
        std::uint32_t index = start;
        const qint64 wanted = size < 0 ? file_.size() : size;
        while (index != kEndOfChain && qint64(bytes.size()) < wanted) {
            if (index >= table.size() || seen[index])
                damaged(index >= table.size() ? "a sector chain leaves the allocation table" : "a sector chain loops");
            seen[index] = true;
            Bytes block;
            if (source != nullptr) {
                const Bytes sourceView(*source);
                block = sourceView.slice(qint64(index) * unit, unit, what);
            } else {
                block = sector(index, what);
            }
            bytes.insert(bytes.end(), block.data(), block.data() + block.size());
            index = table[index];
        }
        if (size >= 0) {
            if (qint64(bytes.size()) < size)
                damaged("a stream is shorter than its size");
            bytes.resize(std::size_t(size));
        }
        return bytes;
    }

    void readDirectory()
    {
        const std::vector<char> bytes = chain(fat_, file_.u32(0x30, "header"), -1, sectorBytes_, nullptr, "the directory");
        const Bytes view(bytes);
        for (qint64 offset = 0; offset + kDirectoryEntryBytes <= view.size(); offset += kDirectoryEntryBytes) {
            DirectoryEntry entry;
            const std::uint16_t nameBytes = view.u16(offset + 0x40, "the directory");
            if (nameBytes >= 2 && nameBytes <= 64 && nameBytes % 2 == 0) {
                for (qint64 i = 0; i + 2 < nameBytes; i += 2)
                    entry.name += QChar(view.u16(offset + i, "the directory"));
            }
            entry.type = view.u8(offset + 0x42, "the directory");
            entry.left = view.u32(offset + 0x44, "the directory");
            entry.right = view.u32(offset + 0x48, "the directory");
            entry.child = view.u32(offset + 0x4C, "the directory");
            entry.start = view.u32(offset + 0x74, "the directory");
            // Version 3 files may leave junk in the size's high half.
            entry.size = view.u32(offset + 0x78, "the directory");
            if (major_ == 4)
                entry.size |= qint64(view.u32(offset + 0x7C, "the directory")) << 32;
            directory_.push_back(entry);
        }
        if (directory_.empty())
            damaged("the compound file has no directory");
    }

    std::vector<char> streamContents(const DirectoryEntry& entry) const
    {
        if (entry.size > file_.size())
            damaged("the file is cut off (a stream is larger than the file)");
        if (entry.size < miniCutoff_)
            return chain(miniFat_, entry.start, entry.size, miniSectorBytes_, &miniStream_, "the mini stream");
        return chain(fat_, entry.start, entry.size, sectorBytes_, nullptr, "a stream");
    }

    Bytes file_;
    int major_ = 3;
    qint64 sectorBytes_ = 512;
    qint64 miniSectorBytes_ = 64;
    qint64 miniCutoff_ = 4096;
    qint64 sectorCount_ = 0;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::vector<DirectoryEntry> directory_;
    std::vector<char> miniStream_;
};

// ---- The Word document inside it ----

constexpr std::uint16_t kWordIdent = 0xA5EC;
constexpr std::uint16_t kEncryptedFlag = 0x0100;
constexpr std::uint16_t kWhichTableFlag = 0x0200;
// Word 97 numbers its format 193; the writers before it, whose layout differs, use less.
constexpr std::uint16_t kFirstWord97Format = 0x00C0;
constexpr int kCcpTextIndex = 3;
constexpr int kPlcfSedIndex = 6;
constexpr int kPlcfBtePapxIndex = 13;
constexpr int kClxIndex = 33;
constexpr qint64 kFkpBytes = 512;
constexpr std::uint32_t kCompressedFlag = 0x40000000;

struct FcLcb {
    std::uint32_t fc = 0;
    std::uint32_t lcb = 0;
};

struct Piece {
    qint64 cpStart;
    qint64 cpEnd;
    qint64 fc;        // byte offset of the first character in the WordDocument stream
    bool compressed;  // one byte a character rather than two
};

// The code points the documented table gives for 8-bit text's 0x80-0x9F;
// the rest of the range, and all other bytes, are ISO 8859-1.
char16_t compressedCharacter(std::uint8_t byte)
{
    static const char16_t high[32] = {
        0x0080, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x008E, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178,
    };
    return byte >= 0x80 && byte <= 0x9F ? high[byte - 0x80] : char16_t(byte);
}

// How many bytes a property modifier's operand takes, or -1 when its size
// cannot be told (the grpprl is then read no further).
qint64 operandBytes(std::uint16_t sprm, const Bytes& grpprl, qint64 operand)
{
    switch (sprm >> 13) {
    case 0:
    case 1:
        return 1;
    case 2:
    case 4:
    case 5:
        return 2;
    case 3:
        return 4;
    case 7:
        return 3;
    default:
        break;
    }
    if (sprm == 0xD608 || sprm == 0xD606) // table definitions: a 16-bit count, one more than what follows it
        return grpprl.holds(operand, 2) ? 2 + qint64(grpprl.u16(operand, "a paragraph's properties")) - 1 : -1;
    if (!grpprl.holds(operand, 1))
        return -1;
    const std::uint8_t count = grpprl.u8(operand, "a paragraph's properties");
    return count == 255 ? -1 : 1 + qint64(count);
}

class WordDocument {
public:
    WordDocument(const CompoundFile& compound, const DocReaderLimits& limits)
    {
        if (!compound.stream(QStringLiteral("WordDocument"), main_))
            notAWordDocument("it holds no Word document stream");
        const Bytes fib(main_);
        if (fib.size() < 32 || fib.u16(0, "the file information block") != kWordIdent)
            notAWordDocument("its Word document stream has no Word 97-2003 header");
        if (fib.u16(2, "the file information block") < kFirstWord97Format)
            fail(QStringLiteral("it was written by a version of Word older than Word 97, which Pennolux does not read"));
        const std::uint16_t flags = fib.u16(0x0A, "the file information block");
        if (flags & kEncryptedFlag)
            fail(QStringLiteral("the document is encrypted"));
        const QString tableName = (flags & kWhichTableFlag) ? QStringLiteral("1Table") : QStringLiteral("0Table");
        if (!compound.stream(tableName, table_))
            damaged("the table stream is missing");

        // Three arrays follow the fixed header, each after its count.
        qint64 offset = 32;
        const std::uint16_t shorts = fib.u16(offset, "the file information block");
        offset += 2 + qint64(shorts) * 2;
        const std::uint16_t longs = fib.u16(offset, "the file information block");
        const qint64 longsAt = offset + 2;
        if (longs <= kCcpTextIndex)
            damaged("the file information block is too short");
        const qint64 ccpText = qint32(fib.u32(longsAt + kCcpTextIndex * 4, "the file information block"));
        offset = longsAt + qint64(longs) * 4;
        const std::uint16_t pairs = fib.u16(offset, "the file information block");
        const qint64 pairsAt = offset + 2;
        if (pairs <= kClxIndex)
            damaged("the file information block is too short");
        const auto pair = [&](int index) {
            return FcLcb{fib.u32(pairsAt + qint64(index) * 8, "the file information block"),
                         fib.u32(pairsAt + qint64(index) * 8 + 4, "the file information block")};
        };
        if (ccpText < 0)
            damaged("the body text has a negative length");
        if (ccpText > limits.maxTextCharacters)
            fail(QStringLiteral("its body text is longer than ") + QString::number(limits.maxTextCharacters) +
                 QStringLiteral(" characters"));
        ccpText_ = ccpText;
        readPieces(pair(kClxIndex));
        readSectionEnds(pair(kPlcfSedIndex));
        readParagraphPages(pair(kPlcfBtePapxIndex));
    }

    QString bodyText() const
    {
        QString text;
        text.reserve(qsizetype(ccpText_));
        // One flag per open field: true while in its code, before the
        // separator; only results are text, also of fields within fields.
        std::vector<bool> fields;
        qint64 fieldsInCode = 0;
        bool endsWithParagraph = false;
        for (const Piece& piece : pieces_) {
            const qint64 end = std::min(piece.cpEnd, ccpText_);
            for (qint64 cp = piece.cpStart; cp < end; ++cp) {
                const qint64 fc = piece.fc + (cp - piece.cpStart) * (piece.compressed ? 1 : 2);
                const Bytes mainView(main_);
                const char16_t c = piece.compressed ? compressedCharacter(mainView.u8(fc, "the text"))
                                                    : char16_t(mainView.u16(fc, "the text"));
                if (c == 0x13) {
                    fields.push_back(true);
                    ++fieldsInCode;
                    continue;
                }
                if (c == 0x14) {
                    if (!fields.empty() && fields.back()) {
                        fields.back() = false;
                        --fieldsInCode;
                    }
                    continue;
                }
                if (c == 0x15) {
                    if (!fields.empty()) {
                        fieldsInCode -= fields.back() ? 1 : 0;
                        fields.pop_back();
                    }
                    continue;
                }
                if (fieldsInCode > 0)
                    continue;
                endsWithParagraph = false;
                switch (c) {
                case 0x0D:
                case 0x07:
                    if (!isRowEnd(fc)) {
                        text += u'\n';
                        endsWithParagraph = true;
                    }
                    break;
                case 0x0C:
                case 0x0E:
                    // A page or column break moves the text on. A section's
                    // end mark ends its paragraph, and so does a break that
                    // stands where the paragraph's mark would, as some word
                    // processors write a break before a paragraph.
                    if ((c == 0x0C && std::binary_search(sectionEnds_.begin(), sectionEnds_.end(), cp + 1)) ||
                        endsParagraphRun(fc + (piece.compressed ? 1 : 2))) {
                        text += u'\n';
                        endsWithParagraph = true;
                    }
                    break;
                case 0x0B:
                    text += u'\n';
                    break;
                // Anchors of pictures, drawings (text boxes among them),
                // footnotes and comments, optional and non-breaking hyphens:
                // no body text, as in a .docx.
                case 0x01:
                case 0x02:
                case 0x05:
                case 0x08:
                case 0x1E:
                case 0x1F:
                    break;
                default:
                    text += QChar(c);
                }
            }
        }
        // The last paragraph's mark ends the text rather than starting a line.
        if (endsWithParagraph)
            text.chop(1);
        return text;
    }

private:
    void readPieces(FcLcb clx)
    {
        const Bytes tableView(table_);
        const Bytes clxView = tableView.slice(clx.fc, clx.lcb, "the piece table lies outside the table stream");
        qint64 offset = 0;
        while (true) {
            const std::uint8_t kind = clxView.u8(offset, "the piece table is missing");
            if (kind == 0x01) {
                const qint16 bytes = qint16(clxView.u16(offset + 1, "the piece table"));
                if (bytes < 0)
                    damaged("the piece table");
                offset += 3 + bytes;
            } else if (kind == 0x02) {
                const qint64 bytes = clxView.u32(offset + 1, "the piece table");
                readPieceList(clxView.slice(offset + 5, bytes, "the piece table is cut off"));
                return;
            } else {
                damaged("the piece table");
            }
        }
    }

    void readPieceList(Bytes list)
    {
        if (list.size() < 4 || (list.size() - 4) % 12 != 0)
            damaged("the piece table has a wrong size");
        const qint64 count = (list.size() - 4) / 12;
        const Bytes mainView(main_);
        qint64 previous = -1;
        for (qint64 i = 0; i < count; ++i) {
            const qint64 cpStart = qint32(list.u32(i * 4, "the piece table"));
            const qint64 cpEnd = qint32(list.u32((i + 1) * 4, "the piece table"));
            if (cpStart < 0 || cpEnd <= cpStart || cpStart < previous)
                damaged("the piece table's positions are out of order");
            previous = cpEnd;
            const std::uint32_t fcValue = list.u32((count + 1) * 4 + i * 8 + 2, "the piece table");
            Piece piece{cpStart, cpEnd, 0, (fcValue & kCompressedFlag) != 0};
            piece.fc = piece.compressed ? qint64(fcValue & ~kCompressedFlag) / 2 : qint64(fcValue);
            const qint64 length = std::min(cpEnd, std::max(ccpText_, cpStart)) - cpStart;
            if (!mainView.holds(piece.fc, length * (piece.compressed ? 1 : 2)))
                damaged("a piece of text lies outside the document stream");
            pieces_.push_back(piece);
            if (i == 0 && cpStart != 0)
                damaged("the piece table does not start at the text's beginning");
        }
        if (previous < ccpText_)
            damaged("the body text runs past the piece table");
    }

    void readSectionEnds(FcLcb sed)
    {
        if (sed.lcb == 0)
            return;
        const Bytes tableView(table_);
        const Bytes plc = tableView.slice(sed.fc, sed.lcb, "the section table lies outside the table stream");
        // (n + 1) positions, then n 12-byte section descriptors.
        if (plc.size() < 4 || (plc.size() - 4) % 16 != 0)
            damaged("the section table has a wrong size");
        const qint64 count = (plc.size() - 4) / 16;
        for (qint64 i = 1; i <= count; ++i)
            sectionEnds_.push_back(qint32(plc.u32(i * 4, "the section table")));
        std::sort(sectionEnds_.begin(), sectionEnds_.end());
    }

    void readParagraphPages(FcLcb bte)
    {
        if (bte.lcb == 0)
            return;
        const Bytes tableView(table_);
        const Bytes plc = tableView.slice(bte.fc, bte.lcb, "the paragraph table lies outside the table stream");
        if (plc.size() < 4 || (plc.size() - 4) % 8 != 0)
            damaged("the paragraph table has a wrong size");
        const qint64 count = (plc.size() - 4) / 8;
        for (qint64 i = 0; i <= count; ++i)
            paragraphPageStarts_.push_back(plc.u32(i * 4, "the paragraph table"));
        for (qint64 i = 0; i < count; ++i)
            paragraphPages_.push_back(plc.u32((count + 1) * 4 + i * 4, "the paragraph table") & 0x3FFFFF);
        if (!std::is_sorted(paragraphPageStarts_.begin(), paragraphPageStarts_.end()))
            damaged("the paragraph table's positions are out of order");
    }

    // Whether the paragraph mark at fc ends a table row (its own paragraph,
    // which gives no line), by the properties its page of paragraph
    // properties gives it.
    bool isRowEnd(qint64 fc) const
    {
        const Bytes mainView(main_);
        // The page whose range holds fc: the last one starting at or before it.
        const auto after = std::upper_bound(paragraphPageStarts_.begin(), paragraphPageStarts_.end(), fc);
        if (after == paragraphPageStarts_.begin() || after == paragraphPageStarts_.end())
            return false;
        const std::uint32_t page = paragraphPages_[std::size_t(after - paragraphPageStarts_.begin() - 1)];
        const char* what = "a page of paragraph properties";
        const Bytes fkp = mainView.slice(qint64(page) * kFkpBytes, kFkpBytes, what);
        const std::uint8_t runs = fkp.u8(kFkpBytes - 1, what);
        if (runs == 0 || runs > 0x1D)
            damaged(what);
        if (fc < qint64(fkp.u32(0, what)))
            return false;
        for (qint64 run = 0; run < runs; ++run) {
            if (fc >= qint64(fkp.u32((run + 1) * 4, what)))
                continue;
            const qint64 at = qint64(fkp.u8((qint64(runs) + 1) * 4 + run * 13, what)) * 2;
            return at != 0 && marksRowEnd(fkp, at);
        }
        return false;
    }

    // Whether a run of paragraph properties ends at fc, that is whether the
    // character before fc is its paragraph's last.
    bool endsParagraphRun(qint64 fc) const
    {
        const auto after = std::upper_bound(paragraphPageStarts_.begin(), paragraphPageStarts_.end(), fc - 1);
        if (after == paragraphPageStarts_.begin() || after == paragraphPageStarts_.end())
            return false;
        const std::uint32_t page = paragraphPages_[std::size_t(after - paragraphPageStarts_.begin() - 1)];
        const char* what = "a page of paragraph properties";
        const Bytes fkp = Bytes(main_).slice(qint64(page) * kFkpBytes, kFkpBytes, what);
        const std::uint8_t runs = fkp.u8(kFkpBytes - 1, what);
        if (runs == 0 || runs > 0x1D)
            damaged(what);
        for (qint64 run = 1; run <= runs; ++run) {
            if (qint64(fkp.u32(run * 4, what)) == fc)
                return true;
        }
        return false;
    }

    static bool marksRowEnd(const Bytes& fkp, qint64 at)
    {
        const char* what = "a paragraph's properties";
        qint64 bytes = qint64(fkp.u8(at, what)) * 2 - 1;
        qint64 start = at + 1;
        if (bytes < 0) {
            bytes = qint64(fkp.u8(at + 1, what)) * 2;
            start = at + 2;
        }
        // The style's number comes first, then the modifiers.
        const Bytes grpprl = fkp.slice(start, bytes, what);
        qint64 offset = 2;
        while (offset + 2 <= grpprl.size()) {
            const std::uint16_t sprm = grpprl.u16(offset, what);
            const qint64 operand = offset + 2;
            if ((sprm == 0x2417 || sprm == 0x244C) && grpprl.holds(operand, 1) && grpprl.u8(operand, what) == 1)
                return true;
            const qint64 size = operandBytes(sprm, grpprl, operand);
            if (size < 0)
                return false;
            offset = operand + size;
        }
        return false;
    }

    std::vector<char> main_;
    std::vector<char> table_;
    qint64 ccpText_ = 0;
    std::vector<Piece> pieces_;
    std::vector<qint64> sectionEnds_;
    std::vector<qint64> paragraphPageStarts_;
    std::vector<std::uint32_t> paragraphPages_;
};

AppError docError(const QString& path, const QString& detail)
{
    return AppError(QStringLiteral("Cannot read \"") + path + QStringLiteral("\" as a Word 97-2003 document: ") + detail);
}

} // namespace

QString docBodyText(const QByteArray& file, const QString& path, const DocReaderLimits& limits)
{
    try {
        const CompoundFile compound(Bytes(file.constData(), file.size()));
        const WordDocument document(compound, limits);
        return document.bodyText();
    } catch (const DocFailure& failure) {
        throw docError(path, failure.detail);
    }
}

QString readDocText(const QString& path, const DocReaderLimits& limits)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fileOpenError(path, file.errorString());
    if (file.size() > limits.maxFileBytes)
        throw docError(path, QStringLiteral("the file is larger than ") + byteSizeText(limits.maxFileBytes));
    const QByteArray bytes = file.read(limits.maxFileBytes + 1);
    if (bytes.size() > limits.maxFileBytes)
        throw docError(path, QStringLiteral("the file is larger than ") + byteSizeText(limits.maxFileBytes));
    return docBodyText(bytes, path, limits);
}

} // namespace pennolux
