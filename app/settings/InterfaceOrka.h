// The camera's value tables: for every list of the window, its entries in
// order, the number each entry sends to the library and the entry selected at
// start; the track-bar ranges; and the lookup tables that turn the codes of a
// status record into the texts of the camera summary and the F-numbers of the
// depth-of-field computation.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

namespace orka {

// The tables write their figures the French way ("F/5,6", "0,3 EV",
// "3,2 \""); in another language the decimal comma between two digits
// becomes a point.
QString LocalFigures(const QString& text);

// One list of the window. Entry i (0 = first) shows text(i) and sends value(i).
class ValueList {
  public:
    // Explicit values, one per text.
    ValueList(std::initializer_list<const char*> texts, std::initializer_list<int> values,
              int start);
    // Values counting up from firstValue: entry i sends firstValue + i.
    ValueList(std::initializer_list<const char*> texts, int firstValue, int start);

    int count() const { return int(texts_.size()); }
    // Translated into the program's language, like text().
    QStringList texts() const;
    // The texts as the table writes them (figures need no translation).
    const QStringList& sourceTexts() const { return texts_; }
    // Empty when entry is outside the list.
    QString text(int entry) const;
    // The value sent for an entry; -1 when entry is outside the list.
    int value(int entry) const;
    // The entry that sends value; -1 when no entry does.
    int entry(int value) const;
    int start() const { return start_; }

  private:
    QStringList texts_;
    std::vector<int> values_;
    int start_;
};

// A track bar: position range, start and tick spacing; the value sent is
// position + offset. A value read from a file may be anything, so the
// position of a value is computed wide: out of range, never wrapped.
struct TrackBarRange {
    int minimum;
    int maximum;
    int start;
    int tick;
    int offset;

    bool contains(int position) const { return position >= minimum && position <= maximum; }
    int value(int position) const { return position + offset; }
    int64_t position(int32_t value) const { return int64_t{value} - offset; }
};

// The window's controls that show a value table or that a settings record
// sets, by the names the form gives them. The first ones, up to SonDecl, are
// the controls of a settings record, in the order of its plan.
enum class Control : uint8_t {
    DefImg,
    QualImg,
    VitAPN,
    OuvAPN,
    ModeAPN,
    MFlashAPN,
    BalBlanc,
    MonoMultiVue,  // shooting modes (radio group)
    MesAPN,
    ISOImg,
    ModeMF,  // focus: the pair ModeMF / ModeAF
    CompExp,
    FCoul,  // colour or black and white filter (track bar)
    RCouleur,
    CompFlash,
    Sat,
    Contr,
    RNettete,
    CFlashAPN,
    ModeFFP,  // focus point: the pair ModeFFP / FocusCentr
    SonMap,
    SonDecl,
    TCoul,  // custom white balance: temperature (track bar)
    ICC,    // custom white balance: CC index (track bar)
};
inline constexpr int kControlCount = int(Control::ICC) + 1;

// The form's name of a control ("QualImg").
const char* ControlName(Control control);
// The list a control shows; null for a control that is no list.
const ValueList* ValueListOf(Control control);
// The range of a track bar; null for a control that is no track bar.
const TrackBarRange* TrackBarOf(Control control);

// The custom white-balance word of SetCustomWBParameter and
// SetCustomWBGrayPoint: low 16 bits the colour temperature in kelvin
// (unsigned), high 16 bits the CC index (signed).
struct CustomWB {
    uint16_t kelvin = 0;
    int16_t ccIndex = 0;

    static CustomWB FromWord(uint32_t word) {
        return {static_cast<uint16_t>(word & 0xFFFFu), static_cast<int16_t>(word >> 16)};
    }
    uint32_t Word() const {
        return uint32_t{kelvin} | uint32_t{static_cast<uint16_t>(ccIndex)} << 16;
    }
    bool operator==(const CustomWB&) const = default;
};

namespace InterfaceOrka {

extern const ValueList QualImg;    // SetImageQuality
extern const ValueList DefImg;     // SetImageSize
extern const ValueList ISOImg;     // SetCameraSensitivity
extern const ValueList ModeAPN;    // SetExposureProgram
extern const ValueList MesAPN;     // SetMeteringMode
extern const ValueList VitAPN;     // SetShutterSpeedValue, value = entry + 1
extern const ValueList OuvAPN;     // SetApertureValue
extern const ValueList CompExp;    // SetExposureCompensation
extern const ValueList CompFlash;  // SetFlashCompensation
extern const ValueList MFlashAPN;  // SetFlashMode
extern const ValueList CFlashAPN;  // SetFlashCompensationType
extern const ValueList RCouleur;   // SetColorMode
extern const ValueList RNettete;   // SetImageSharpness
extern const ValueList BalBlanc;   // SetWhiteBalanceMode
extern const ValueList SonMap;     // SetInfocusSound
extern const ValueList SonDecl;    // SetShutterSound

// Filter (colour or monochrome), saturation and contrast: -5..+5, sends 0..10.
inline constexpr TrackBarRange FCoul{-5, 5, 0, 1, 5};
inline constexpr TrackBarRange Sat{-5, 5, 0, 1, 5};
inline constexpr TrackBarRange Contr{-5, 5, 0, 1, 5};
// Custom white balance: colour temperature in kelvin and CC index.
inline constexpr TrackBarRange TCoul{2500, 10000, 6000, 200, 0};
inline constexpr TrackBarRange ICC{-60, 60, 0, 5, 0};

// Focus mode radio buttons ModeAF / ModeMF send these to SetFocusMode.
inline constexpr int FocusModeAF = 0;
inline constexpr int FocusModeMF = 1;

// Colour mode value of "Noir et Blanc": the filter track bar then drives
// SetBWFilter instead of SetColorFilter.
inline constexpr int ColorModeBlackWhite = 1;

// Status-record lookups. The ISO text of camera sensitivity code c is
// IsoTexts()[c]; the text of shutter index n is ShutterTexts()[n - 1]; the text
// of aperture index n is ApertureTexts()[n].
const QStringList& IsoTexts();
const QStringList& ShutterTexts();
const QStringList& ApertureTexts();

// F-number of each aperture index 0..12.
inline constexpr std::array<long double, 13> FNumbers{2.8L, 3.2L, 3.5L, 4.0L, 4.5L,  5.0L, 5.6L,
                                                      6.3L, 7.1L, 8.0L, 9.0L, 10.0L, 11.0L};
std::optional<long double> FNumber(int apertureIndex);

}  // namespace InterfaceOrka
}  // namespace orka
