#include "RememberedChoices.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

namespace orka {

namespace {

const QString kGroup = QStringLiteral("Choix");

// The stored value of key when it is an integer within [low, high].
int IntIn(const QSettings& store, const QString& key, int low, int high, int fallback) {
    bool ok = false;
    const int value = store.value(key).toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

bool Flag(const QSettings& store, const QString& key, bool fallback) {
    const QVariant value = store.value(key);
    if (!value.isValid())
        return fallback;
    const QString text = value.toString();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return fallback;
}

// A prefix as its box accepts it: at most 16 characters, no separator.
QString Prefix(const QSettings& store, const QString& key, const QString& fallback) {
    const QString value = store.value(key, fallback).toString();
    return value.size() <= 16 && !value.contains(QLatin1Char('/')) ? value : fallback;
}

// One line of text, at most 4096 characters: a folder or a command line.
QString Line(const QSettings& store, const QString& key, const QString& fallback) {
    const QVariant value = store.value(key);
    if (!value.isValid())
        return fallback;
    const QString text = value.toString();
    return text.size() <= 4096 && !text.contains(QLatin1Char('\n')) &&
                   !text.contains(QLatin1Char('\r')) && !text.contains(QChar(0))
               ? text
               : fallback;
}

}  // namespace

RememberedChoices LoadChoices(QSettings& store, const RememberedChoices& defaults) {
    store.beginGroup(kGroup);
    RememberedChoices c = defaults;
    c.pictureFolder = store.value(QStringLiteral("dossier"), defaults.pictureFolder).toString();
    c.imagePrefix = Prefix(store, QStringLiteral("prefixeImage"), defaults.imagePrefix);
    c.videoPrefix = Prefix(store, QStringLiteral("prefixeVideo"), defaults.videoPrefix);
    c.backupFolder = Line(store, QStringLiteral("dossierSauvegarde"), defaults.backupFolder);
    c.pictureCommand = Line(store, QStringLiteral("commandeApresImage"), defaults.pictureCommand);
    c.previewSize = IntIn(store, QStringLiteral("taillePrevisualisation"), 0, 1, c.previewSize);
    c.orientation = IntIn(store, QStringLiteral("orientation"), 0, 3, c.orientation);
    c.reticle = Flag(store, QStringLiteral("reticule"), c.reticle);
    c.grid = Flag(store, QStringLiteral("grille"), c.grid);
    c.tooltips = Flag(store, QStringLiteral("infoBulles"), c.tooltips);
    AssistSettings& a = c.assist;
    a.peaking = Flag(store, QStringLiteral("focusPeaking"), a.peaking);
    a.peakingSensitivity =
        IntIn(store, QStringLiteral("sensibilitePeaking"), 0, 100, a.peakingSensitivity);
    a.peakingColour = static_cast<PeakingColour>(
        IntIn(store, QStringLiteral("couleurPeaking"), 0, 3, int(a.peakingColour)));
    a.highlights = Flag(store, QStringLiteral("alerteHautesLumieres"), a.highlights);
    a.highlightLevel =
        IntIn(store, QStringLiteral("niveauHautesLumieres"), 0, 255, a.highlightLevel);
    a.shadows = Flag(store, QStringLiteral("alerteOmbres"), a.shadows);
    a.shadowLevel = IntIn(store, QStringLiteral("niveauOmbres"), 0, 255, a.shadowLevel);
    const int solid = a.clipStyle == ClipStyle::Solid ? 1 : 0;
    a.clipStyle = IntIn(store, QStringLiteral("styleAlerte"), 0, 1, solid) == 1 ? ClipStyle::Solid
                                                                                : ClipStyle::Zebra;
    a.rgbHistogram = Flag(store, QStringLiteral("histogrammeRVB"), a.rgbHistogram);
    store.endGroup();
    return c;
}

void SaveChoices(QSettings& store, const RememberedChoices& c) {
    store.beginGroup(kGroup);
    store.setValue(QStringLiteral("dossier"), c.pictureFolder);
    store.setValue(QStringLiteral("prefixeImage"), c.imagePrefix);
    store.setValue(QStringLiteral("prefixeVideo"), c.videoPrefix);
    store.setValue(QStringLiteral("dossierSauvegarde"), c.backupFolder);
    store.setValue(QStringLiteral("commandeApresImage"), c.pictureCommand);
    store.setValue(QStringLiteral("taillePrevisualisation"), c.previewSize);
    store.setValue(QStringLiteral("orientation"), c.orientation);
    store.setValue(QStringLiteral("reticule"), c.reticle);
    store.setValue(QStringLiteral("grille"), c.grid);
    store.setValue(QStringLiteral("infoBulles"), c.tooltips);
    const AssistSettings& a = c.assist;
    store.setValue(QStringLiteral("focusPeaking"), a.peaking);
    store.setValue(QStringLiteral("sensibilitePeaking"), a.peakingSensitivity);
    store.setValue(QStringLiteral("couleurPeaking"), int(a.peakingColour));
    store.setValue(QStringLiteral("alerteHautesLumieres"), a.highlights);
    store.setValue(QStringLiteral("niveauHautesLumieres"), a.highlightLevel);
    store.setValue(QStringLiteral("alerteOmbres"), a.shadows);
    store.setValue(QStringLiteral("niveauOmbres"), a.shadowLevel);
    store.setValue(QStringLiteral("styleAlerte"), a.clipStyle == ClipStyle::Solid ? 1 : 0);
    store.setValue(QStringLiteral("histogrammeRVB"), a.rgbHistogram);
    store.endGroup();
    store.sync();
}

StartFolder ChooseStartFolder(const QString& stored, bool storedIsFolder, const QString& fallback) {
    if (stored.isEmpty() || stored == fallback)
        return {fallback, QString()};
    if (storedIsFolder)
        return {stored, QString()};
    return {fallback,
            QCoreApplication::translate(
                "RememberedChoices",
                "Le dossier des images %1 n'existe plus : les images iront dans %2.")
                .arg(QDir::toNativeSeparators(stored), QDir::toNativeSeparators(fallback))};
}

}  // namespace orka
