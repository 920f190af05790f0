// The widgets of the schedule dialog, found by the names it gives them.
#pragma once

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>

#include "ProgDH.h"

// The schedule dialog's widgets, found by their names.
inline QTreeWidget* Tree(const TParamPgm& dlg) {
    return dlg.findChild<QTreeWidget*>(QStringLiteral("SelectDH"));
}
inline QDateEdit* DatePicker(const TParamPgm& dlg) {
    return dlg.findChild<QDateEdit*>(QStringLiteral("DatePicker"));
}
inline QTimeEdit* TimePicker(const TParamPgm& dlg) {
    return dlg.findChild<QTimeEdit*>(QStringLiteral("TimePicker"));
}
inline QLabel* Lamp(const TParamPgm& dlg) {
    return dlg.findChild<QLabel*>(QStringLiteral("ImgActif"));
}
inline QPushButton* Button(const TParamPgm& dlg, const char* name) {
    return dlg.findChild<QPushButton*>(QLatin1String(name));
}
