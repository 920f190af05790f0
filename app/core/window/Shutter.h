// The shutter button PriseVue, a two-stage release: resting the mouse on it
// half-presses (the camera focuses and meters, the warnings show), a press
// of any mouse button takes the picture, three in bracketing, after the
// self-timer when chosen, and shows it for confirmation when asked. Also the
// focus memory and the after-view option. Writes orka::ShutterState.
#pragma once

#include <QObject>
#include <QPixmap>

#include <array>
#include <functional>

#include "Glyphs.h"
#include "ShotRecords.h"
#include "TBaseState.h"

class QWidget;
class TCameraLink;
class TEventPump;
class TLiveView;

namespace Ui {
class TBase;
}

class TShutter : public QObject {
    Q_OBJECT

  public:
    // glyphs: the window's bitmaps.
    TShutter(QWidget* window, Ui::TBase& ui, TCameraLink& link, TEventPump& pump, TLiveView& live,
             const orka::LiveViewState& liveState, const GlyphSet& glyphs,
             orka::ShutterState& state);

    // The half press: the first step of every idle refresh.
    void HalfPressRefresh();
    // How a full press ended.
    enum class Release { Taken, NotTaken, WindowGone };

    // The full press; the intervalometer calls it too.
    void PriseVueMouseDown();
    // The full press: Taken once the camera was asked for the pictures,
    // NotTaken when no camera could take them (the status area says why),
    // WindowGone when the window was destroyed meanwhile.
    [[nodiscard]] Release TakePictures();
    // Asked before each full press with the number of pictures it releases:
    // false keeps the shutter still (the hook said why). Empty: always.
    std::function<bool(int pictures)> BeforeRelease;
    void MemoFocusClick();
    void PostVisuActifClick();
    // The value RetDecl accepted.
    void RetDeclKeyUp(int seconds);

    // The focus point moved: the half press runs again on the new point.
    void Refocus();
    // A new connection: no focus held.
    void ForgetFocus();
    // The shooting mode chosen: the after-view option may be chosen in it or
    // not (then it is off).
    void AllowAfterView(bool allowed);
    // The self-timer mode chosen: its delay as RetDecl shows it.
    void EnterSelfTimerMode();

    // The shutter on the keyboard (Espace or Entrée on PriseVue, or the
    // window's shutter key): a first press half-presses as the mouse resting
    // on the button does, a second press within the half press shoots.
    // autoRepeat: a repeat of a key held down (never a shot).
    void ShutterKeyPress(bool autoRepeat);
    // Échap: the half press by key ends without a picture.
    void ShutterKeyCancel();

  Q_SIGNALS:
    // PriseVue now shows this glyph.
    void shutterGlyphChanged(int glyph);
    // The camera took a picture: what the window knew when it released.
    void released(const orka::ShotRecord& shot);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The point the camera focuses on (a copy: the library takes it mutable).
    std::array<int32_t, 2> FocusPoint() const;
    bool MouseOverShutter() const;
    // The half press by key, ended when its hold ran out.
    bool KeyHeld();
    // The exposure warnings of the status the camera reported last, while
    // the half press holds; cleared otherwise.
    void ShowWarnings(bool halfPressed);
    // The camera went away (or the window left it) during a wait.
    bool CameraGoneNow();
    void SetShutterGlyph(int glyph);
    // The after-view picture and its question; false when the window was
    // destroyed meanwhile.
    [[nodiscard]] bool ShowAfterView();

    QWidget* window_;
    Ui::TBase& ui_;
    TCameraLink& link_;
    TEventPump& pump_;
    TLiveView& live_;
    const orka::LiveViewState& liveState_;
    const GlyphSet& glyphs_;
    orka::ShutterState& state_;
};
