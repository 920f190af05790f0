#include "InterfaceOrka.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <iterator>

#include "Language.h"

namespace orka {

ValueList::ValueList(std::initializer_list<const char*> texts, std::initializer_list<int> values,
                     int start)
    : values_(values), start_(start) {
    for (const char* t : texts) {
        texts_.append(QString::fromUtf8(t));
    }
    Q_ASSERT(texts_.size() == qsizetype(values_.size()));
}

ValueList::ValueList(std::initializer_list<const char*> texts, int firstValue, int start)
    : start_(start) {
    for (const char* t : texts) {
        values_.push_back(firstValue + int(texts_.size()));
        texts_.append(QString::fromUtf8(t));
    }
}

QString LocalFigures(const QString& text) {
    if (CurrentLanguage() == Language::French)
        return text;
    static const QRegularExpression kDecimalComma(QStringLiteral("(\\d),(\\d)"));
    QString shown = text;
    return shown.replace(kDecimalComma, QStringLiteral("\\1.\\2"));
}

// The texts are translated when asked for, not when the lists are built
// (before the program has chosen its language).
QString ValueList::text(int entry) const {
    return entry >= 0 && entry < count() ? LocalFigures(QCoreApplication::translate(
                                               "InterfaceOrka", texts_[entry].toUtf8().constData()))
                                         : QString();
}

QStringList ValueList::texts() const {
    QStringList shown;
    for (int entry = 0; entry < count(); ++entry)
        shown.append(text(entry));
    return shown;
}

int ValueList::value(int entry) const {
    return entry >= 0 && entry < count() ? values_[size_t(entry)] : -1;
}

int ValueList::entry(int value) const {
    const auto it = std::find(values_.begin(), values_.end(), value);
    return it == values_.end() ? -1 : int(it - values_.begin());
}

namespace InterfaceOrka {

// clang-format off
const ValueList QualImg({"RAW", "RAW & JPEG", "TIFF", QT_TRANSLATE_NOOP("InterfaceOrka", "Très fin"), QT_TRANSLATE_NOOP("InterfaceOrka", "Fin"), QT_TRANSLATE_NOOP("InterfaceOrka", "Standard")},
                        {0, 6, 1, 5, 2, 3}, 3);

const ValueList DefImg({"3264 x 2448", "3264 x 2176  (3:2)", "2560 x 1920", "2080 x 1560",
                        "1600 x 1200", "640 x 480"},
                       {0, 8, 7, 6, 1, 3}, 0);

const ValueList ISOImg({"Auto ISO", "64 ISO", "100 ISO", "200 ISO", "400 ISO", "800 ISO"},
                       {4, 5, 0, 1, 2, 3}, 0);

const ValueList ModeAPN({QT_TRANSLATE_NOOP("InterfaceOrka", "Mode Programme"), QT_TRANSLATE_NOOP("InterfaceOrka", "Priorité Ouverture"), QT_TRANSLATE_NOOP("InterfaceOrka", "Priorité Vitesse"),
                         QT_TRANSLATE_NOOP("InterfaceOrka", "Mode Manuel")}, 0, 0);

const ValueList MesAPN({QT_TRANSLATE_NOOP("InterfaceOrka", "Multi-segment"), QT_TRANSLATE_NOOP("InterfaceOrka", "Centrale pondérée"), QT_TRANSLATE_NOOP("InterfaceOrka", "Mesure ponctuelle")}, 0, 2);

// Shutter index 1..48; there is no two-second entry and index 49 is never sent.
const ValueList VitAPN({"30 \"", "25 \"", "20 \"", "15 \"", "13 \"", "10 \"", "8 \"", "6 \"",
                        "5 \"", "4 \"", "3,2 \"", "2,5 \"", "1,6 \"", "1,3 \"", "1 \"", "0,8 \"",
                        "0,6 \"", "0,5 \"", "0,4 \"",
                        "1/3", "1/4", "1/5", "1/6", "1/8", "1/10", "1/13", "1/15", "1/20", "1/25",
                        "1/30", "1/40", "1/50", "1/60", "1/80", "1/100", "1/125", "1/160", "1/200",
                        "1/250", "1/320", "1/400", "1/500", "1/640", "1/800", "1/1000", "1/1250",
                        "1/1600", "1/2000"}, 1, 36);

const ValueList OuvAPN({"F/2,8", "F/3,2", "F/3,5", "F/4", "F/4,5", "F/5", "F/5,6", "F/6,3",
                        "F/7,1", "F/8", "F/9", "F/10", "F/11"}, 0, 6);

const ValueList CompExp({"-2,0 EV", "-1,7 EV", "-1,3 EV", "-1,0 EV", "-0,7 EV", "-0,3 EV",
                         " 0,0 EV", "+0,3 EV", "+0,7 EV", "+1,0 EV", "+1,3 EV", "+1,7 EV",
                         "+2,0 EV"}, 0, 6);
const ValueList CompFlash = CompExp;  // the same thirds of a stop

const ValueList MFlashAPN({QT_TRANSLATE_NOOP("InterfaceOrka", "Flash normal"), QT_TRANSLATE_NOOP("InterfaceOrka", "Réduction yeux rouges"), QT_TRANSLATE_NOOP("InterfaceOrka", "Synchro second rideau"),
                           QT_TRANSLATE_NOOP("InterfaceOrka", "Flash Télécommandé")}, 0, 0);

const ValueList CFlashAPN({QT_TRANSLATE_NOOP("InterfaceOrka", "Distance"), "Pre-flash TTL", QT_TRANSLATE_NOOP("InterfaceOrka", "Manuel (Puissance max)"),
                           QT_TRANSLATE_NOOP("InterfaceOrka", "Manuel (1/2 puissance)"), QT_TRANSLATE_NOOP("InterfaceOrka", "Manuel (1/4 puissance)"),
                           QT_TRANSLATE_NOOP("InterfaceOrka", "Manuel (1/8 puissance)"), QT_TRANSLATE_NOOP("InterfaceOrka", "Manuel (1/16 puissance)")}, 0, 1);

const ValueList RCouleur({QT_TRANSLATE_NOOP("InterfaceOrka", "Saturé sRVB"), QT_TRANSLATE_NOOP("InterfaceOrka", "Naturel sRVB"), QT_TRANSLATE_NOOP("InterfaceOrka", "Adobe RVB"), QT_TRANSLATE_NOOP("InterfaceOrka", "Profil Adobe RVB"),
                          QT_TRANSLATE_NOOP("InterfaceOrka", "Noir et Blanc"), QT_TRANSLATE_NOOP("InterfaceOrka", "Solarisation")},
                         {2, 0, 4, 5, 1, 3}, 1);

const ValueList RNettete({QT_TRANSLATE_NOOP("InterfaceOrka", "Accentuée"), QT_TRANSLATE_NOOP("InterfaceOrka", "Normale"), QT_TRANSLATE_NOOP("InterfaceOrka", "Adoucie")}, 0, 1);

const ValueList BalBlanc({QT_TRANSLATE_NOOP("InterfaceOrka", "Automatique"), QT_TRANSLATE_NOOP("InterfaceOrka", "Lumière du jour"), QT_TRANSLATE_NOOP("InterfaceOrka", "Ciel nuageux"), QT_TRANSLATE_NOOP("InterfaceOrka", "Lampe tungstène"),
                          "Flash", QT_TRANSLATE_NOOP("InterfaceOrka", "Personnalisé"), QT_TRANSLATE_NOOP("InterfaceOrka", "Ombre"), QT_TRANSLATE_NOOP("InterfaceOrka", "Fluo blanc"), QT_TRANSLATE_NOOP("InterfaceOrka", "Fluo blanc froid"),
                          QT_TRANSLATE_NOOP("InterfaceOrka", "Fluo blanc froid 3 bandes"), QT_TRANSLATE_NOOP("InterfaceOrka", "Fluo lumière du jour 3 bandes"),
                          QT_TRANSLATE_NOOP("InterfaceOrka", "Fluo lumière du jour"), QT_TRANSLATE_NOOP("InterfaceOrka", "Fluo blanc chaud 3 bandes"),
                          QT_TRANSLATE_NOOP("InterfaceOrka", "Fluo froid 3 bandes")}, 0, 0);

const ValueList SonMap({QT_TRANSLATE_NOOP("InterfaceOrka", "Pas de son"), QT_TRANSLATE_NOOP("InterfaceOrka", "Son N° 1"), QT_TRANSLATE_NOOP("InterfaceOrka", "Son N° 2")}, 0, 0);
const ValueList SonDecl = SonMap;
// clang-format on

const QStringList& IsoTexts() {
    static const QStringList texts{"100 ISO", "200 ISO",  "400 ISO",
                                   "800 ISO", "Auto ISO", "64 ISO"};
    return texts;
}

const QStringList& ShutterTexts() {
    return VitAPN.sourceTexts();
}

const QStringList& ApertureTexts() {
    return OuvAPN.sourceTexts();
}

std::optional<long double> FNumber(int apertureIndex) {
    if (apertureIndex < 0 || apertureIndex >= int(FNumbers.size())) {
        return std::nullopt;
    }
    return FNumbers[size_t(apertureIndex)];
}

}  // namespace InterfaceOrka

namespace {

struct ControlEntry {
    const char* name;
    const ValueList* list;
    const TrackBarRange* bar;
};

namespace io = InterfaceOrka;

// By Control.
const ControlEntry kControls[] = {
    {"DefImg", &io::DefImg, nullptr},       {"QualImg", &io::QualImg, nullptr},
    {"VitAPN", &io::VitAPN, nullptr},       {"OuvAPN", &io::OuvAPN, nullptr},
    {"ModeAPN", &io::ModeAPN, nullptr},     {"MFlashAPN", &io::MFlashAPN, nullptr},
    {"BalBlanc", &io::BalBlanc, nullptr},   {"MonoMultiVue", nullptr, nullptr},
    {"MesAPN", &io::MesAPN, nullptr},       {"ISOImg", &io::ISOImg, nullptr},
    {"ModeMF", nullptr, nullptr},           {"CompExp", &io::CompExp, nullptr},
    {"FCoul", nullptr, &io::FCoul},         {"RCouleur", &io::RCouleur, nullptr},
    {"CompFlash", &io::CompFlash, nullptr}, {"Sat", nullptr, &io::Sat},
    {"Contr", nullptr, &io::Contr},         {"RNettete", &io::RNettete, nullptr},
    {"CFlashAPN", &io::CFlashAPN, nullptr}, {"ModeFFP", nullptr, nullptr},
    {"SonMap", &io::SonMap, nullptr},       {"SonDecl", &io::SonDecl, nullptr},
    {"TCoul", nullptr, &io::TCoul},         {"ICC", nullptr, &io::ICC},
};
static_assert(std::size(kControls) == size_t(kControlCount));

const ControlEntry& EntryOf(Control control) {
    return kControls[size_t(control)];
}

}  // namespace

const char* ControlName(Control control) {
    return EntryOf(control).name;
}
const ValueList* ValueListOf(Control control) {
    return EntryOf(control).list;
}
const TrackBarRange* TrackBarOf(Control control) {
    return EntryOf(control).bar;
}

}  // namespace orka
