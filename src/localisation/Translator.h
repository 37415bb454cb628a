#pragma once

#include <QString>
#include <QStringList>

namespace pennolux {

class Locale;

// The language file chosen once at start-up and the lookup keyed by the
// English text. Written only by LoadLanguage, read from any thread afterwards.
class Translator {
public:
    Translator(QString languagesFolder, const Locale& locale);

    // Blank name: the automatic choice through LanguageCodes.csv. Throws
    // AppError when the chosen file exists but cannot be read; the
    // path stays recorded and every lookup then returns its key.
    void LoadLanguage(const QString& name);
    QString Translate(const QString& key) const;

    const QString& chosenFile() const { return chosenFile_; }

private:
    QString languagesFolder_;
    const Locale& locale_;
    QString chosenFile_;
    QStringList lines_;
};

} // namespace pennolux
