#include "IdleRefresh.h"

#include <QComboBox>
#include <QCoreApplication>

#include <algorithm>

#include "CameraLink.h"
#include "ColourControls.h"
#include "Connection.h"
#include "DepthOfField.h"
#include "EventPump.h"
#include "FormControls.h"
#include "IntervalSequence.h"
#include "SavedPictures.h"
#include "SettingsRecord.h"
#include "Shutter.h"
#include "TriggerSchedule.h"
#include "ui_OrkaCapture.h"

TIdleRefresh::TIdleRefresh(Ui::TBase& ui, TCameraLink& link, TEventPump& pump, Parts parts,
                           const GlyphSet& glyphs, const orka::IntervalState& interval,
                           const orka::FocusState& focus, orka::ReadoutState& state)
    : ui_(ui),
      link_(link),
      pump_(pump),
      parts_(parts),
      glyphs_(glyphs),
      interval_(interval),
      focus_(focus),
      state_(state) {}

void TIdleRefresh::IdleRefresh() {
    // A camera that went away is noticed here, outside any press or
    // connection under way: the library's flag costs no transfer.
    const orka::Activities& activities = *pump_.Activities();
    if (link_.Connected() && !link_.State().CameraLost && CheckExistUSBCamera() != 0)
        link_.MarkCameraLost();
    if (link_.Connected() && link_.State().CameraLost &&
        !activities.Running(orka::Activity::Connecting) &&
        !activities.Running(orka::Activity::Release) &&
        !activities.Running(orka::Activity::HalfPress)) {
        parts_.connection.CameraGone();
        return;
    }
    parts_.shutter.HalfPressRefresh();
    // Connected or not: a file the library saves after a disconnect (the
    // last of a wait cut short) reaches the strip too.
    parts_.pictures.NoteSavedPicture();

    ShowStatusReadouts(link_.Status());

    if (interval_.IntervalStart != 0)
        parts_.interval.IntervalTick();

    if (!link_.Connected())
        return;
    ShowConnectedReadouts(link_.Status());
}

void TIdleRefresh::ShowStatusReadouts(const CameraStatusData& status) {
    // Widest aperture the camera offers now.
    const QString widest = ui_.OuvAPN->itemText(status.maxAperture);
    if (ui_.OuvMax->text() != widest)
        ui_.OuvMax->setText(widest);

    if (status.flashActive != state_.ShownFlash) {
        if (status.flashActive == 0) {
            ui_.lbFLASH->setText(QCoreApplication::translate("IdleRefresh", "FLASH INACTIF"));
            ui_.lbFLASH->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
            ui_.lbCharge->hide();
            ui_.NivFlash->hide();
        } else if (status.flashActive == 1) {
            ui_.lbFLASH->setText(QCoreApplication::translate("IdleRefresh", "FLASH ACTIF"));
            ui_.lbFLASH->setStyleSheet(QStringLiteral("color: #008c00; font-weight: bold;"));
            ui_.lbCharge->show();
            ui_.NivFlash->show();
        }
        state_.ShownFlash = status.flashActive;
    }
    if (state_.ShownFlash == 1)
        ui_.NivFlash->setValue(std::clamp<int64_t>(int64_t{status.flashCharge} * 50, 0, 100));

    if (status.macro != state_.ShownMacro) {
        if (status.macro == 0)
            ui_.lbMACRO->clear();
        else if (status.macro == 1)
            ui_.lbMACRO->setText(QCoreApplication::translate("IdleRefresh", "MODE MACRO"));
        state_.ShownMacro = status.macro;
    }
}

void TIdleRefresh::ShowConnectedReadouts(const CameraStatusData& status) {
    if (state_.ShownBattery < 0 || state_.ShownBattery != status.battery) {
        if (status.battery >= 0 && status.battery <= 2)
            ui_.ImgBatt->setPixmap(glyphs_[size_t(gBattPlein + status.battery)]);
        else if (!ui_.ImgBatt->pixmap().isNull())
            ui_.ImgBatt->clear();  // a level the camera should not report
        state_.ShownBattery = status.battery;
    }

    if (status.focusMode == 1) {
        ShowManualFocusDistance(status);
        ShowDepthOfField(static_cast<uint32_t>(status.focusDistance), status.aperture);
    } else {
        // Under autofocus the camera reports no distance: the boxes would
        // show the figures of a manual focus left behind.
        for (QLineEdit* box : {ui_.eDProc, ui_.eDLoin})
            if (!box->text().isEmpty())
                box->clear();
    }
    ShowFollowedLists(status);
    parts_.colour.ShowGreySample();
    parts_.schedule.ShowScheduleIndicator();
}

void TIdleRefresh::ShowFollowedLists(const CameraStatusData& status) {
    QWidget* form = ui_.VitAPN->window();
    for (const orka::RecordStep& step :
         orka::CameraFollowedEntries(status, !ui_.VitAPN->isEnabled(), !ui_.OuvAPN->isEnabled())) {
        QComboBox* list = ListBox(form, step.control);
        if (list && list->currentIndex() != int(step.value))
            list->setCurrentIndex(int(step.value));  // shown only: nothing is sent
    }
}

void TIdleRefresh::ShowManualFocusDistance(const CameraStatusData& status) {
    const auto millimetres = static_cast<uint32_t>(status.focusDistance);
    const QString text = millimetres == 0 ? QCoreApplication::translate("IdleRefresh", "Infini")
                                          : orka::FormatGeneral(millimetres / 1000.0L, 2);
    if (ui_.DistFoc->text() != text)
        ui_.DistFoc->setText(text);
}

void TIdleRefresh::ShowDepthOfField(uint32_t distanceMm, int apertureIndex) {
    const auto dof = orka::ShowDepthOfField(distanceMm, apertureIndex, focus_.FocalLength);
    if (!dof)
        return;  // no F-number for this aperture index
    if (ui_.eDProc->text() != dof->nearText)
        ui_.eDProc->setText(dof->nearText);
    if (ui_.eDLoin->text() != dof->farText)
        ui_.eDLoin->setText(dof->farText);
}
