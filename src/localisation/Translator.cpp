#include "localisation/Translator.h"

#include "platform/AppError.h"
#include "platform/text/TextLines.h"

#include "platform/desktop/Locale.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <stdexcept>
#include <utility>

namespace pennolux {

namespace {

const QString kLanguageFileMask = QStringLiteral("*lang.txt");
const QString kLanguageMapName = QStringLiteral("LanguageCodes.csv");

bool isSpaceOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

// Only spaces and control characters count as blank; QString::trimmed would
// also take Unicode spaces that may belong to a name.
QString trimSpaceAndControl(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpaceOrControl(text.at(begin)))
        ++begin;
    while (end > begin && isSpaceOrControl(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QChar asciiLower(QChar c)
{
    if (c >= QChar('A') && c <= QChar('Z'))
        return QChar(c.unicode() + ('a' - 'A'));
    return c;
}

// Case folds A to Z only, so a name in another script never matches a file
// that merely looks alike under a locale's case rules.
bool equalIgnoringAsciiCase(const QString& left, const QString& right)
{
    if (left.size() != right.size())
        return false;
    for (qsizetype i = 0; i < left.size(); ++i) {
        if (asciiLower(left.at(i)) != asciiLower(right.at(i)))
            return false;
    }
    return true;
}

bool isExistingNonFolder(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

QStringList listLanguageFiles(const QString& folder)
{
    // Unsorted keeps the file system's own order, which decides between
    // names that differ only in letter case.
    const QDir dir(folder, kLanguageFileMask, QDir::Unsorted,
                   QDir::Files | QDir::System | QDir::Hidden);
    return dir.entryList();
}

QString decodeWithByteOrderMark(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringConverter::Utf16LE).decode(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringConverter::Utf16BE).decode(bytes.mid(2));
    // The map holds only digits and file names, so the legacy reading is plain ASCII.
    return QString::fromLatin1(bytes);
}

// A map that cannot be read counts as one without lines.
QStringList readLanguageMap(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return splitLines(decodeWithByteOrderMark(file.readAll()));
}

QString mappedFileName(const QStringList& mapLines, const QString& languageId)
{
    for (const QString& line : mapLines) {
        const qsizetype comma = line.indexOf(QChar(','));
        if (comma < 0)
            continue;
        if (trimSpaceAndControl(line.left(comma)) == languageId)
            return trimSpaceAndControl(line.mid(comma + 1));
    }
    return {};
}

QString findListedName(const QStringList& listedNames, const QString& wanted)
{
    for (const QString& listed : listedNames) {
        if (equalIgnoringAsciiCase(listed, wanted))
            return listed;
    }
    return {};
}

// The automatic choice: the user's language id looked up in the map, then
// the mapped name found among the listed files.
QString automaticFileName(const QString& folder, const Locale& locale, const QStringList& listedNames)
{
    const QString mapPath = folder + QChar('/') + kLanguageMapName;
    if (!isExistingNonFolder(mapPath))
        return {};
    const std::optional<unsigned> languageId = locale.uiLanguageId();
    if (!languageId)
        return {};
    const QString wanted = mappedFileName(readLanguageMap(mapPath), QString::number(*languageId));
    if (wanted.isEmpty())
        return {};
    return findListedName(listedNames, wanted);
}

AppError languageFileError(const QString& path, const QFile& file)
{
    return AppError(QStringLiteral("Cannot read the language file \"%1\": %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
}

// Invalid UTF-8 sequences become U+FFFD rather than failing the load: a
// damaged line then simply fails to match its key.
QStringList readLanguageFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw languageFileError(path, file);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw languageFileError(path, file);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return splitLines(QString::fromUtf8(bytes));
}

} // namespace

Translator::Translator(QString languagesFolder, const Locale& locale)
    : languagesFolder_(std::move(languagesFolder))
    , locale_(locale)
{
}

void Translator::LoadLanguage(const QString& name)
{
    chosenFile_.clear();
    lines_.clear();

    if (!QFileInfo(languagesFolder_).isDir())
        return;
    const QStringList listedNames = listLanguageFiles(languagesFolder_);

    const QString fileName = trimSpaceAndControl(name).isEmpty()
        ? automaticFileName(languagesFolder_, locale_, listedNames)
        : name;

    const QString path = languagesFolder_ + QChar('/') + fileName;
    if (fileName.isEmpty() || !isExistingNonFolder(path))
        return;

    chosenFile_ = path;
    lines_ = readLanguageFile(path);
}

QString Translator::Translate(const QString& key) const
{
    if (chosenFile_.isEmpty())
        return key;
    const QString pattern = QChar('{') + key + QChar('}');
    for (const QString& line : lines_) {
        if (!line.startsWith(pattern))
            continue;
        const QString translation = line.mid(line.indexOf(QChar('}')) + 1);
        return translation.isEmpty() ? key : translation;
    }
    return key;
}

} // namespace pennolux
