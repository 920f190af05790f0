// Value tables both ways, the camera summary line and the warning texts.
#include "Histogram.h"
#include "InterfaceOrka.h"
#include "UtilsOrka.h"

#include <gtest/gtest.h>

using namespace orka;
namespace io = orka::InterfaceOrka;

namespace {

struct ListCase {
    const char* name;
    const ValueList& list;
    int count;
    int start;
    const char* startText;
};

TEST(ValueTables, CountsStartEntriesAndRoundTrip) {
    const ListCase cases[] = {
        {"QualImg", io::QualImg, 6, 3, "Très fin"},
        {"DefImg", io::DefImg, 6, 0, "3264 x 2448"},
        {"ISOImg", io::ISOImg, 6, 0, "Auto ISO"},
        {"ModeAPN", io::ModeAPN, 4, 0, "Mode Programme"},
        {"MesAPN", io::MesAPN, 3, 2, "Mesure ponctuelle"},
        {"VitAPN", io::VitAPN, 48, 36, "1/160"},
        {"OuvAPN", io::OuvAPN, 13, 6, "F/5,6"},
        {"CompExp", io::CompExp, 13, 6, " 0,0 EV"},
        {"CompFlash", io::CompFlash, 13, 6, " 0,0 EV"},
        {"MFlashAPN", io::MFlashAPN, 4, 0, "Flash normal"},
        {"CFlashAPN", io::CFlashAPN, 7, 1, "Pre-flash TTL"},
        {"RCouleur", io::RCouleur, 6, 1, "Naturel sRVB"},
        {"RNettete", io::RNettete, 3, 1, "Normale"},
        {"BalBlanc", io::BalBlanc, 14, 0, "Automatique"},
        {"SonMap", io::SonMap, 3, 0, "Pas de son"},
        {"SonDecl", io::SonDecl, 3, 0, "Pas de son"},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.list.count(), c.count);
        EXPECT_EQ(c.list.start(), c.start);
        EXPECT_EQ(c.list.text(c.start), QString::fromUtf8(c.startText));
        for (int e = 0; e < c.list.count(); ++e) {
            EXPECT_EQ(c.list.entry(c.list.value(e)), e);
        }
        EXPECT_EQ(c.list.value(-1), -1);
        EXPECT_EQ(c.list.value(c.count), -1);
        EXPECT_TRUE(c.list.text(c.count).isEmpty());
    }
}

TEST(ValueTables, ValuesThatDifferFromTheEntry) {
    EXPECT_EQ(io::QualImg.value(io::QualImg.texts().indexOf("Très fin")), 5);
    EXPECT_EQ(io::QualImg.value(io::QualImg.texts().indexOf("RAW & JPEG")), 6);
    EXPECT_EQ(io::QualImg.entry(4), -1);  // never sent for quality
    EXPECT_EQ(io::DefImg.entry(8), 1);
    EXPECT_EQ(io::DefImg.text(1), QString("3264 x 2176  (3:2)"));
    EXPECT_EQ(io::DefImg.entry(2), -1);
    EXPECT_EQ(io::ISOImg.value(0), 4);
    EXPECT_EQ(io::ISOImg.entry(0), 2);  // code 0 is "100 ISO"
    EXPECT_EQ(io::RCouleur.value(io::RCouleur.texts().indexOf("Profil Adobe RVB")), 5);
    EXPECT_EQ(io::RCouleur.entry(1), 4);  // "Noir et Blanc"
    EXPECT_EQ(io::CompExp.text(0), QString("-2,0 EV"));
    EXPECT_EQ(io::SonDecl.text(1), QString::fromUtf8("Son N° 1"));
    EXPECT_EQ(io::BalBlanc.text(10), QString::fromUtf8("Fluo lumière du jour 3 bandes"));
}

TEST(ValueTables, ShutterIndexIsEntryPlusOne) {
    EXPECT_EQ(io::VitAPN.value(io::VitAPN.texts().indexOf("1,6 \"")), 13);
    EXPECT_EQ(io::VitAPN.text(11), QString("2,5 \""));  // no two-second entry after it
    EXPECT_EQ(io::VitAPN.value(io::VitAPN.texts().indexOf("1/2000")), 48);
    EXPECT_EQ(io::VitAPN.entry(49), -1);
    EXPECT_EQ(io::VitAPN.entry(1), 0);
    EXPECT_EQ(io::ShutterTexts()[1 - 1], QString("30 \""));
}

// Values from a template file may be anything: the extremes map to positions
// outside the track bar instead of wrapping around into it.
TEST(ValueTables, TrackBarPositionsOfExtremeValuesStayOutOfRange) {
    for (const auto& range : {io::FCoul, io::Sat, io::Contr}) {
        EXPECT_EQ(range.position(INT32_MIN), int64_t{INT32_MIN} - range.offset);
        EXPECT_LT(range.position(INT32_MIN), range.minimum);
        EXPECT_GT(range.position(INT32_MAX), range.maximum);
        EXPECT_EQ(range.position(range.value(range.maximum)), range.maximum);
    }
}

// Low 16 bits the kelvin, high 16 bits the signed CC index, both ways.
TEST(ValueTables, CustomWhiteBalanceWord) {
    EXPECT_EQ((orka::CustomWB{6000, 0}.Word()), 6000u);
    EXPECT_EQ((orka::CustomWB{2500, -60}.Word()), 0xFFC409C4u);
    EXPECT_EQ(orka::CustomWB::FromWord(0xFFC409C4u), (orka::CustomWB{2500, -60}));
    EXPECT_EQ(orka::CustomWB::FromWord(0x003C2710u), (orka::CustomWB{10000, 60}));
}

// Every control is a list, a track bar or neither, named as in the form;
// the lists and bars are the tables of the same name.
TEST(ValueTables, ControlMap) {
    int lists = 0, bars = 0;
    for (int i = 0; i < orka::kControlCount; ++i) {
        const auto c = orka::Control(i);
        EXPECT_FALSE(orka::ValueListOf(c) && orka::TrackBarOf(c)) << orka::ControlName(c);
        lists += orka::ValueListOf(c) != nullptr;
        bars += orka::TrackBarOf(c) != nullptr;
    }
    EXPECT_EQ(lists, 16);
    EXPECT_EQ(bars, 5);
    EXPECT_STREQ(orka::ControlName(orka::Control::VitAPN), "VitAPN");
    EXPECT_EQ(orka::ValueListOf(orka::Control::VitAPN), &io::VitAPN);
    EXPECT_EQ(orka::ValueListOf(orka::Control::SonDecl), &io::SonDecl);
    EXPECT_EQ(orka::TrackBarOf(orka::Control::ICC), &io::ICC);
    EXPECT_EQ(orka::ValueListOf(orka::Control::MonoMultiVue), nullptr);
}

TEST(CameraInfo, FormatsKnownCodesAndDashesOutsideTables) {
    CameraStatusData s{};
    s.sensitivity = 0;
    s.shutterSpeed = 37;
    s.aperture = 6;
    s.exposureProgram = 0;
    s.focusMode = 0;
    EXPECT_EQ(FormatCameraInfo(s), QString("100 ISO - 1/160 - F/5,6 - P - AF"));

    s.sensitivity = 4;
    s.shutterSpeed = 1;
    s.exposureProgram = 3;
    s.focusMode = 1;
    EXPECT_EQ(FormatCameraInfo(s), QString("Auto ISO - 30 \" - F/5,6 - M - MF"));

    s.sensitivity = 6;
    s.shutterSpeed = 0;
    s.aperture = 13;
    s.exposureProgram = 4;
    s.focusMode = -1;
    EXPECT_EQ(FormatCameraInfo(s), QString("--- ISO - --- - --- -  - "));
    s.shutterSpeed = 49;
    s.sensitivity = -1;
    EXPECT_EQ(FormatCameraInfo(s).left(13), QString("--- ISO - ---"));
}

TEST(Warnings, TextsInRisingBitOrder) {
    EXPECT_TRUE(WarningText(0).isEmpty());
    EXPECT_TRUE(WarningText(0x200 | int32_t(0x80000000)).isEmpty());
    EXPECT_EQ(WarningText(0x00C), QString(" - Hors domaine d'exposition automatique, "
                                          " - Hors domaine d'exposition automatique, "));
    EXPECT_EQ(WarningText(0x101), QString::fromUtf8(" - Système de mesure en surexposition, "
                                                    " - Exposition automatique verrouillée."));
    EXPECT_EQ(WarningText(0x1FF).count(QStringLiteral(" - ")), 9);
}

}  // namespace
