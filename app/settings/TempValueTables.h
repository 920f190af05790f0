// TEMPORARY: stands in for InterfaceOrka until it lands on main.
#pragma once
#include <QStringList>
#include <cstdint>
#include <vector>

namespace tmpvt {
struct List {
    QStringList texts;
    std::vector<int32_t> values;  // empty: value = entry
    int start;
    int32_t value(int entry) const {
        if (entry < 0 || entry >= texts.size())
            return 0;
        return values.empty() ? entry : values[entry];
    }
};
inline QStringList Speeds() {
    QStringList s;
    for (const char* t : {"30", "25", "20", "15", "13", "10", "8", "6", "5", "4", "3,2", "2,5",
                          "1,6", "1,3", "1", "0,8", "0,6", "0,5", "0,4"})
        s << QString::fromUtf8(t) + QStringLiteral(" \"");
    for (const char* t : {"1/3",   "1/4",    "1/5",    "1/6",    "1/8",   "1/10",  "1/13",  "1/15",
                          "1/20",  "1/25",   "1/30",   "1/40",   "1/50",  "1/60",  "1/80",  "1/100",
                          "1/125", "1/160",  "1/200",  "1/250",  "1/320", "1/400", "1/500", "1/640",
                          "1/800", "1/1000", "1/1250", "1/1600", "1/2000"})
        s << QString::fromUtf8(t);
    return s;
}
inline const List kQuality{
    {"RAW", "RAW & JPEG", "TIFF", "Très fin", "Fin", "Standard"}, {0, 6, 1, 5, 2, 3}, 3};
inline const List kSize{
    {"3264 x 2448", "3264 x 2176  (3:2)", "2560 x 1920", "2080 x 1560", "1600 x 1200", "640 x 480"},
    {0, 8, 7, 6, 1, 3},
    0};
inline const List kIso{
    {"Auto ISO", "64 ISO", "100 ISO", "200 ISO", "400 ISO", "800 ISO"}, {4, 5, 0, 1, 2, 3}, 0};
inline const List kProgram{
    {"Mode Programme", "Priorité Ouverture", "Priorité Vitesse", "Mode Manuel"}, {}, 0};
inline const List kMetering{{"Multi-segment", "Centrale pondérée", "Mesure ponctuelle"}, {}, 2};
inline const List kSpeed{Speeds(), {}, 36};
inline const List kAperture{{"F/2,8", "F/3,2", "F/3,5", "F/4", "F/4,5", "F/5", "F/5,6", "F/6,3",
                             "F/7,1", "F/8", "F/9", "F/10", "F/11"},
                            {},
                            6};
inline const List kCompensation{
    {"-2, 0 EV", "-1,7 EV", "-1,3 EV", "-1,0 EV", "-0,7 EV", "-0,3 EV", " 0,0 EV", "+0,3 EV",
     "+0,7 EV", "+1,0 EV", "+1,3 EV", "+1,7 EV", "+2,0 EV"},
    {},
    6};
inline const List kFlashMode{
    {"Flash normal", "Réduction yeux rouges", "Synchro second rideau", "Flash Télécommandé"},
    {},
    0};
inline const List kFlashControl{
    {"Distance", "Pre-flash TTL", "Manuel (Puissance max)", "Manuel (1/2 puissance)",
     "Manuel (1/4 puissance)", "Manuel (1/8 puissance)", "Manuel (1/16 puissance)"},
    {},
    1};
inline const List kColour{{"Saturé sRVB", "Naturel sRVB", "Adobe RVB", "Profil Adobe RVB",
                           "Noir et Blanc", "Solarisation"},
                          {2, 0, 4, 5, 1, 3},
                          1};
inline const List kSharpness{{"Accentuée", "Normale", "Adoucie"}, {}, 1};
inline const List kWhiteBalance{
    {"Automatique", "Lumière du jour", "Ciel nuageux", "Lampe tungstène", "Flash", "Personnalisé",
     "Ombre", "Fluo blanc", "Fluo blanc froid", "Fluo blanc froid 3 bandes",
     "Fluo lumière du jour 3 bandes", "Fluo lumière du jour", "Fluo blanc chaud 3 bandes",
     "Fluo froid 3 bandes"},
    {},
    0};
inline const List kSound{{"Pas de son", "Son N° 1", "Son N° 2"}, {}, 0};
}  // namespace tmpvt
