// The language of the window: French (the design's own texts, the default)
// or English (translations/pcorka_en.ts, built into the program). It is
// chosen at start: the command line (--lang en), then PCORKA_LANG, then the
// photographer's remembered choice; a change in the settings tab takes
// effect at the next start.
#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace orka {

enum class Language { French, English };

// "fr" or "en".
QString LanguageCode(Language language);
// The language a code names ("fr", "en", "en_GB", "FR"...); French for
// anything else.
Language LanguageOfCode(const QString& code, bool* known = nullptr);

// The remembered choice (group "Choix", key "langue"); French when absent or
// not a language the program has.
Language StoredLanguage(QSettings& store);
void SaveLanguage(QSettings& store, Language language);

// The language to start in: "--lang xx" or "--lang=xx" among the arguments,
// else a known code in `environment` (PCORKA_LANG), else `stored`.
Language StartLanguage(const QStringList& arguments, const QString& environment, Language stored);

// Sets the default locale (numbers, dates) and installs the translations of
// the program and of Qt's own dialogs for `language`, replacing those of an
// earlier call. Returns false when the program's translation could not be
// loaded (the window then stays in French).
bool InstallLanguage(Language language);
// The language last installed; French before any call.
Language CurrentLanguage();

}  // namespace orka
