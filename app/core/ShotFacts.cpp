#include "ShotFacts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <numeric>

#include "InterfaceOrka.h"

namespace orka {

namespace {

const QString kNone = QStringLiteral("---");

QString Line(const char* label, const QString& value) {
    return QCoreApplication::translate("ShotFacts", "%1 : %2")
        .arg(QCoreApplication::translate("ShotFacts", label), value.isEmpty() ? kNone : value);
}

// The text of the list entry that sends value, empty when none does.
QString TextOf(const ValueList& list, int value) {
    return list.text(list.entry(value));
}

Rational Reduced(int32_t n, int32_t d) {
    const int32_t g = std::gcd(n, d);
    return g > 1 ? Rational{n / g, d / g} : Rational{n, d};
}

// A shutter text of the window's list in seconds: "1/160", "30 \"" or
// "3,2 \"".
std::optional<Rational> ParseShutterText(const QString& text) {
    if (text.startsWith(QStringLiteral("1/"))) {
        bool ok = false;
        const int d = text.mid(2).toInt(&ok);
        return ok && d > 0 ? std::optional(Rational{1, d}) : std::nullopt;
    }
    QString seconds = text;
    seconds.remove(QLatin1Char('"')).remove(QLatin1Char(' '));
    const qsizetype comma = seconds.indexOf(QLatin1Char(','));
    bool ok = false;
    if (comma < 0) {
        const int s = seconds.toInt(&ok);
        return ok ? std::optional(Rational{s, 1}) : std::nullopt;
    }
    const int tenths = (seconds.left(comma) + seconds.mid(comma + 1)).toInt(&ok);
    return ok && seconds.size() - comma == 2 ? std::optional(Reduced(tenths, 10)) : std::nullopt;
}

}  // namespace

ExposureFigures ExposureOf(const CameraStatusData& status) {
    ExposureFigures figures;
    const QStringList& shutter = InterfaceOrka::ShutterTexts();
    if (status.shutterSpeed >= 1 && status.shutterSpeed <= shutter.size())
        figures.exposureTime = ParseShutterText(shutter[status.shutterSpeed - 1]);
    if (const auto f = InterfaceOrka::FNumber(status.aperture))
        figures.fNumber = Reduced(int32_t(*f * 10 + 0.5L), 10);
    static constexpr int kIso[] = {100, 200, 400, 800, 0, 64};  // code 4: automatic
    if (status.sensitivity >= 0 && status.sensitivity < 6 && kIso[status.sensitivity] > 0)
        figures.iso = kIso[status.sensitivity];
    return figures;
}

QStringList ShotSettingsLines(const CameraStatusData& status, std::array<int32_t, 2> focusPoint) {
    const QStringList& iso = InterfaceOrka::IsoTexts();
    const QStringList& shutter = InterfaceOrka::ShutterTexts();
    const QStringList& aperture = InterfaceOrka::ApertureTexts();
    QString focus;
    if (status.focusMode == InterfaceOrka::FocusModeMF) {
        focus = QCoreApplication::translate("ShotFacts", "manuelle (MF)");
    } else if (status.focusMode == InterfaceOrka::FocusModeAF) {
        focus = status.focusPointMode == 0
                    ? QCoreApplication::translate("ShotFacts", "autofocus (AF), point %1, %2")
                          .arg(focusPoint[0])
                          .arg(focusPoint[1])
                    : QCoreApplication::translate("ShotFacts", "autofocus (AF), zone centrale");
    }
    return {
        Line(QT_TRANSLATE_NOOP("ShotFacts", "Vitesse"),
             status.shutterSpeed >= 1 && status.shutterSpeed <= shutter.size()
                 ? shutter[status.shutterSpeed - 1]
                 : QString()),
        Line(QT_TRANSLATE_NOOP("ShotFacts", "Ouverture"),
             status.aperture >= 0 && status.aperture < aperture.size() ? aperture[status.aperture]
                                                                       : QString()),
        Line(QT_TRANSLATE_NOOP("ShotFacts", "Sensibilité"),
             status.sensitivity >= 0 && status.sensitivity < iso.size() ? iso[status.sensitivity]
                                                                        : QString()),
        Line(QT_TRANSLATE_NOOP("ShotFacts", "Correction"),
             TextOf(InterfaceOrka::CompExp, status.exposureCompensation).trimmed()),
        Line(QT_TRANSLATE_NOOP("ShotFacts", "Balance des blancs"),
             TextOf(InterfaceOrka::BalBlanc, status.whiteBalance)),
        Line(QT_TRANSLATE_NOOP("ShotFacts", "Mise au point"), focus),
        Line(QT_TRANSLATE_NOOP("ShotFacts", "Qualité"),
             TextOf(InterfaceOrka::QualImg, status.imageQuality)),
        Line(QT_TRANSLATE_NOOP("ShotFacts", "Définition"),
             TextOf(InterfaceOrka::DefImg, status.imageSize).simplified()),
    };
}

QStringList FileFactsLines(const QString& path, qint64 bytes) {
    const QFileInfo info(path);
    const QLocale locale;  // the program's language: "2,4 Mo", "2.4 MB"
    QString size;
    if (bytes < 0)
        size = QCoreApplication::translate("ShotFacts", "taille inconnue");
    else if (bytes < 1024 * 1024)
        size = locale.toString(double(bytes) / 1024, 'f', 1) +
               QCoreApplication::translate("ShotFacts", " Ko");
    else
        size = locale.toString(double(bytes) / (1024 * 1024), 'f', 1) +
               QCoreApplication::translate("ShotFacts", " Mo");
    return {Line(QT_TRANSLATE_NOOP("ShotFacts", "Fichier"), info.fileName()),
            Line(QT_TRANSLATE_NOOP("ShotFacts", "Taille"), size),
            Line(QT_TRANSLATE_NOOP("ShotFacts", "Dossier"),
                 QDir::toNativeSeparators(info.absolutePath()))};
}

}  // namespace orka
