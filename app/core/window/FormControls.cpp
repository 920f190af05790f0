#include "FormControls.h"

#include <QComboBox>
#include <QSlider>

#include <algorithm>

#include "ui_OrkaCapture.h"

QComboBox* ListBox(const QWidget* form, orka::Control control) {
    if (orka::ValueListOf(control) == nullptr)
        return nullptr;
    return form->findChild<QComboBox*>(QLatin1String(orka::ControlName(control)));
}

QSlider* TrackBar(const QWidget* form, orka::Control control) {
    if (orka::TrackBarOf(control) == nullptr)
        return nullptr;
    return form->findChild<QSlider*>(QLatin1String(orka::ControlName(control)));
}

int32_t Selected(const QWidget* form, orka::Control control) {
    return std::max(0, orka::ValueListOf(control)->value(ListBox(form, control)->currentIndex()));
}

void FillControls(QWidget* form) {
    for (int i = 0; i < orka::kControlCount; ++i) {
        const auto control = orka::Control(i);
        if (const orka::ValueList* list = orka::ValueListOf(control)) {
            QComboBox* box = ListBox(form, control);
            box->addItems(list->texts());
            box->setCurrentIndex(list->start());
        } else if (const orka::TrackBarRange* range = orka::TrackBarOf(control)) {
            QSlider* bar = TrackBar(form, control);
            bar->setRange(range->minimum, range->maximum);
            bar->setValue(range->start);
            bar->setTickInterval(range->tick);
            bar->setPageStep(range->tick);
        }
    }
}

orka::Orientation CurrentOrientation(const Ui::TBase& ui) {
    if (ui.ImgHorz1->isChecked())
        return orka::Orientation::UpsideDown;
    if (ui.ImgVertG->isChecked())
        return orka::Orientation::Anticlockwise;
    if (ui.ImgVertD->isChecked())
        return orka::Orientation::Clockwise;
    return orka::Orientation::Normal;
}

const orka::ShootingMode& CurrentShootingMode(const Ui::TBase& ui) {
    return orka::ShootingModeOf(ui.MonoMultiVue->itemIndex());
}

int PreviewSizeItem(const Ui::TBase& ui) {
    return ui.DimPreView->itemIndex() == orka::kLargePreviewItem ? orka::kLargePreviewItem
                                                                 : orka::kSmallPreviewItem;
}
