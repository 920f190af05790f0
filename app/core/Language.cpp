#include "Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

#include <atomic>

#include "Messages.h"

namespace orka {

namespace {

const QString kGroup = QStringLiteral("Choix");
const QString kKey = QStringLiteral("langue");

// The safekeeping's texts (plain C++, shared with orkactl, which stays
// French) through the same translations. Safe from any thread.
std::string SafekeepingText(const char* french) {
    return QCoreApplication::translate("Safekeeping", french).toStdString();
}

// Written on the GUI thread at start (and by tests); read by the help window.
std::atomic<Language> gCurrent{Language::French};

// The installed translators live as long as the program. Only the GUI thread
// installs them.
QTranslator& ProgramTranslator() {
    static QTranslator translator;
    return translator;
}

QTranslator& QtTranslator() {
    static QTranslator translator;
    return translator;
}

}  // namespace

QString LanguageCode(Language language) {
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("fr");
}

Language LanguageOfCode(const QString& code, bool* known) {
    const QString lower = code.trimmed().toLower();
    const bool english = lower == QLatin1String("en") || lower.startsWith(QLatin1String("en_")) ||
                         lower.startsWith(QLatin1String("en-"));
    const bool french = lower == QLatin1String("fr") || lower.startsWith(QLatin1String("fr_")) ||
                        lower.startsWith(QLatin1String("fr-"));
    if (known != nullptr)
        *known = english || french;
    return english ? Language::English : Language::French;
}

Language StoredLanguage(QSettings& store) {
    store.beginGroup(kGroup);
    const QString code = store.value(kKey).toString();
    store.endGroup();
    return LanguageOfCode(code);
}

void SaveLanguage(QSettings& store, Language language) {
    store.beginGroup(kGroup);
    store.setValue(kKey, LanguageCode(language));
    store.endGroup();
    store.sync();
}

Language StartLanguage(const QStringList& arguments, const QString& environment, Language stored) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString code;
        if (arguments[i] == QLatin1String("--lang") && i + 1 < arguments.size())
            code = arguments[i + 1];
        else if (arguments[i].startsWith(QLatin1String("--lang=")))
            code = arguments[i].mid(7);
        else
            continue;
        bool known = false;
        const Language language = LanguageOfCode(code, &known);
        if (known)
            return language;
    }
    bool known = false;
    const Language language = LanguageOfCode(environment, &known);
    return known ? language : stored;
}

bool InstallLanguage(Language language) {
    QCoreApplication::removeTranslator(&ProgramTranslator());
    QCoreApplication::removeTranslator(&QtTranslator());
    bool loaded = true;
    if (language == Language::English) {
        // English is Qt's own language: its dialogs need no translation.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        loaded = ProgramTranslator().load(QStringLiteral(":/i18n/pcorka_en.qm"));
        if (loaded)
            QCoreApplication::installTranslator(&ProgramTranslator());
    } else {
        // French throughout, whatever the system locale, and Qt's own
        // dialogs (file choosers, message-box buttons) in French when its
        // translations are installed.
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        if (QtTranslator().load(QStringLiteral("qtbase_fr"),
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&QtTranslator());
    }
    SetMessageTranslator(&SafekeepingText);
    gCurrent = loaded ? language : Language::French;
    return loaded;
}

Language CurrentLanguage() {
    return gCurrent;
}

}  // namespace orka
