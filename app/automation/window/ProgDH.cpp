#include "ProgDH.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimeEdit>
#include <QTreeWidget>

#include "HelpViewer.h"

namespace {

constexpr int kDayRole = Qt::UserRole;
constexpr int kChildRole = Qt::UserRole + 1;
QString Caption() {
    return QCoreApplication::translate("ProgDH", "Programmateur Date et Heure");
}

// The tree's and the lamp's images, drawn here: a calendar leaf for dates, a
// clock for slot bounds (each with a highlighted variant when selected), and
// a grey or green lamp.
QPixmap DatePixmap(bool selected) {
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setPen(Qt::darkGray);
    p.setBrush(selected ? QColor(255, 250, 200) : Qt::white);
    p.drawRect(1, 2, 13, 12);
    p.fillRect(2, 3, 12, 3, QColor(200, 40, 40));
    p.setPen(Qt::black);
    for (int y = 8; y <= 12; y += 2)
        p.drawLine(4, y, 11, y);
    return pix;
}

QPixmap ClockPixmap(bool selected) {
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::darkBlue, 1.2));
    p.setBrush(selected ? QColor(255, 250, 200) : Qt::white);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.drawLine(QPointF(8, 8), QPointF(8, 4));
    p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
    return pix;
}

QPixmap LampPixmap(bool on) {
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(on ? QColor(40, 220, 40) : QColor(110, 110, 110));
    p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    return pix;
}

QIcon TwoStateIcon(const QPixmap& normal, const QPixmap& selected) {
    QIcon icon(normal);
    icon.addPixmap(selected, QIcon::Selected);
    return icon;
}

QPushButton* MakeButton(const QString& name, const QString& text, QWidget* parent, QRect geometry) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TParamPgm::TParamPgm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      clock_([] { return QDateTime::currentDateTime(); }),
      dateIcon_(TwoStateIcon(DatePixmap(false), DatePixmap(true))),
      timeIcon_(TwoStateIcon(ClockPixmap(false), ClockPixmap(true))),
      lampOff_(LampPixmap(false)),
      lampOn_(LampPixmap(true)) {
    setObjectName(QStringLiteral("ParamPgm"));
    setWindowTitle(Caption());
    setModal(true);
    setFixedSize(386, 216);

    SelectDH = new QTreeWidget(this);
    SelectDH->setObjectName(QStringLiteral("SelectDH"));
    SelectDH->setGeometry(5, 10, 156, 161);
    SelectDH->setColumnCount(1);
    SelectDH->setHeaderHidden(true);
    SelectDH->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SelectDH->setSelectionMode(QAbstractItemView::SingleSelection);
    SelectDH->setIconSize(QSize(16, 16));
    SelectDH->installEventFilter(this);

    GroupDate = new QGroupBox(QCoreApplication::translate("ProgDH", " Date "), this);
    GroupDate->setGeometry(170, 5, 210, 62);
    NouvDate = MakeButton(QStringLiteral("NouvDate"),
                          QCoreApplication::translate("ProgDH", "Nouvelle date"), GroupDate,
                          QRect(8, 20, 108, 25));

    GroupHeure = new QGroupBox(QCoreApplication::translate("ProgDH", " Tranche horaire "), this);
    GroupHeure->setGeometry(170, 75, 210, 100);
    NouvHeure = MakeButton(QStringLiteral("NouvHeure"),
                           QCoreApplication::translate("ProgDH", "Nouvelle tranche horaire"),
                           GroupHeure, QRect(10, 22, 190, 25));
    NouvHeure->setEnabled(false);

    Valider =
        MakeButton(QCoreApplication::translate("ProgDH", "Valider"),
                   QCoreApplication::translate("ProgDH", "Valider"), this, QRect(146, 184, 75, 25));
    Valider->setDefault(true);
    Aide = MakeButton(QCoreApplication::translate("ProgDH", "Aide"),
                      QCoreApplication::translate("ProgDH", "Aide"), this, QRect(226, 184, 75, 25));
    Annuler =
        MakeButton(QCoreApplication::translate("ProgDH", "Annuler"),
                   QCoreApplication::translate("ProgDH", "Annuler"), this, QRect(306, 184, 75, 25));

    ImgActif = new QLabel(this);
    ImgActif->setObjectName(QStringLiteral("ImgActif"));
    ImgActif->setGeometry(15, 189, 16, 16);
    ImgActif->setPixmap(lampOff_);

    Timer.setInterval(1000);
    connect(&Timer, &QTimer::timeout, this, &TParamPgm::TimerTimer);
    connect(NouvDate, &QPushButton::clicked, this, &TParamPgm::NouvDateClick);
    connect(NouvHeure, &QPushButton::clicked, this, &TParamPgm::NouvHeureClick);
    connect(Valider, &QPushButton::clicked, this, &TParamPgm::ValiderClick);
    connect(Annuler, &QPushButton::clicked, this, &TParamPgm::AnnulerClick);
    connect(Aide, &QPushButton::clicked, this, &TParamPgm::AideClick);
    // The dialog is modal: its help opens in a window of its own.
    connect(this, &TParamPgm::helpRequested, this, [this] { THelpViewer::ShowProgDHHelp(this); });
}

TParamPgm::~TParamPgm() = default;

void TParamPgm::NouvDateClick() {
    if (!schedule_.Editing()) {
        if (!schedule_.BeginDate())
            return;
        DatePicker = new QDateEdit(clock_().date(), GroupDate);
        DatePicker->setObjectName(QStringLiteral("DatePicker"));
        DatePicker->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        DatePicker->setCalendarPopup(true);
        DatePicker->setAccessibleName(QCoreApplication::translate("ProgDH", "Date à programmer"));
        DatePicker->setAccessibleDescription(QCoreApplication::translate(
            "ProgDH", "La date où la détection sera active ; « Valider la date » la garde"));
        DatePicker->setGeometry(120, 22, 80, 21);
        DatePicker->show();
        DatePicker->setFocus();
        UpdateControls();
        return;
    }
    if (schedule_.CurrentEntry() != orka::Schedule::Entry::Date || !DatePicker)
        return;
    const QDate date = DatePicker->date();
    const orka::ScheduleStep step = schedule_.CommitDate(date);
    if (!step.Warning.isEmpty())
        Warn(step.Warning);
    if (!step.Done)
        return;
    delete DatePicker;
    DatePicker = nullptr;
    RebuildTree(date, -1);
    UpdateControls();
}

void TParamPgm::NouvHeureClick() {
    int child = -1;
    const QDate selected = SelectedDate(&child);
    const bool dateSelected = selected.isValid() && child < 0;
    switch (schedule_.CurrentEntry()) {
        case orka::Schedule::Entry::None: {
            if (!dateSelected || !schedule_.BeginSlot())
                return;
            const QTime now = clock_().time();
            TimePicker = new QTimeEdit(QTime(now.hour(), now.minute(), now.second()), GroupHeure);
            TimePicker->setObjectName(QStringLiteral("TimePicker"));
            TimePicker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
            TimePicker->setAccessibleName(
                QCoreApplication::translate("ProgDH", "Heure de la tranche"));
            TimePicker->setAccessibleDescription(QCoreApplication::translate(
                "ProgDH",
                "L'heure de début, puis l'heure de fin de la tranche horaire ; le bouton de "
                "validation la garde"));
            TimePicker->setGeometry(65, 60, 80, 21);
            TimePicker->show();
            TimePicker->setFocus();
            UpdateControls();
            return;
        }
        case orka::Schedule::Entry::SlotStart: {
            if (!dateSelected || !TimePicker)
                return;
            const orka::ScheduleStep step = schedule_.CommitStart(selected, TimePicker->time());
            if (!step.Warning.isEmpty())
                Warn(step.Warning);
            if (step.Done) {
                RebuildTree(selected, -1);
                UpdateControls();
            }
            return;
        }
        case orka::Schedule::Entry::SlotEnd: {
            // The end goes under the date of its start, whatever is selected now.
            if (!TimePicker)
                return;
            const QDate day = schedule_.PendingDay();
            const orka::ScheduleStep step = schedule_.CommitEnd(TimePicker->time());
            if (!step.Warning.isEmpty())
                Warn(step.Warning);
            if (!step.Done)
                return;
            delete TimePicker;
            TimePicker = nullptr;
            RebuildTree(day, -1);
            UpdateControls();
            return;
        }
        case orka::Schedule::Entry::Date:
            return;
    }
}

void TParamPgm::SelectDHKeyUp(int key) {
    if (key != Qt::Key_Delete || schedule_.Days().empty() || schedule_.Editing())
        return;
    int child = -1;
    const QDate day = SelectedDate(&child);
    if (!day.isValid() || !schedule_.Remove(day, child))
        return;
    RebuildTree(child >= 0 ? day : QDate(), -1);
    UpdateControls();
}

void TParamPgm::TimerTimer() {
    const QDateTime now = clock_();
    schedule_.Tick(orka::ToWallTime(now));
    if (!DialogVisible)
        return;
    ImgActif->setPixmap(schedule_.InScheduledSlot() ? lampOn_ : lampOff_);
    setWindowTitle(Caption() + QStringLiteral("    ") +
                   now.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")));
}

void TParamPgm::ValiderClick() {
    schedule_.Validate();
    SyncTimer();
    accept();
}

void TParamPgm::AnnulerClick() {
    schedule_.Cancel();
    SyncTimer();
    QDialog::reject();
}

void TParamPgm::reject() {
    AnnulerClick();
}

void TParamPgm::AideClick() {
    Q_EMIT helpRequested(QStringLiteral("ProgDH"));
}

void TParamPgm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!centred_ && screen()) {
        move(screen()->availableGeometry().center() - rect().center());
        centred_ = true;
    }
    DialogVisible = true;
    schedule_.Show();
    SyncTimer();
    TimerTimer();  // caption and lamp at once rather than a second later
}

void TParamPgm::hideEvent(QHideEvent* event) {
    DialogVisible = false;
    QDialog::hideEvent(event);
}

bool TParamPgm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == SelectDH && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            SelectDHKeyUp(key->key());
    }
    return QDialog::eventFilter(watched, event);
}

void TParamPgm::Warn(const QString& text) {
    if (warn_)
        warn_(text);
    else
        QMessageBox::warning(this, QCoreApplication::translate("ProgDH", "Avertissement"), text);
}

void TParamPgm::RebuildTree(QDate selectDay, int selectChild) {
    SelectDH->clear();
    QTreeWidgetItem* toSelect = nullptr;
    for (const orka::ScheduleDay& day : schedule_.Days()) {
        auto* dateItem = new QTreeWidgetItem(SelectDH, {orka::ScheduleDateNodeText(day.Date)});
        dateItem->setIcon(0, dateIcon_);
        dateItem->setData(0, kDayRole, day.Date);
        dateItem->setData(0, kChildRole, -1);
        if (day.Date == selectDay && selectChild < 0)
            toSelect = dateItem;
        int child = 0;
        auto addChild = [&](const QString& text) {
            auto* item = new QTreeWidgetItem(dateItem, {text});
            item->setIcon(0, timeIcon_);
            item->setData(0, kDayRole, day.Date);
            item->setData(0, kChildRole, child);
            if (day.Date == selectDay && child == selectChild)
                toSelect = item;
            ++child;
        };
        for (const orka::ScheduleSlot& slot : day.Slots) {
            addChild(orka::ScheduleStartNodeText(orka::WallTimeOfDay(slot.Start)));
            addChild(orka::ScheduleEndNodeText(orka::WallTimeOfDay(slot.End)));
        }
        if (schedule_.PendingStart() && schedule_.PendingDay() == day.Date)
            addChild(orka::ScheduleStartNodeText(orka::WallTimeOfDay(*schedule_.PendingStart())));
        dateItem->setExpanded(true);
    }
    if (toSelect)
        SelectDH->setCurrentItem(toSelect);
}

void TParamPgm::UpdateControls() {
    using Entry = orka::Schedule::Entry;
    const Entry entry = schedule_.CurrentEntry();
    NouvDate->setText(entry == Entry::Date
                          ? QCoreApplication::translate("ProgDH", "Valider la date")
                          : QCoreApplication::translate("ProgDH", "Nouvelle date"));
    NouvDate->setEnabled(entry == Entry::None || entry == Entry::Date);
    if (entry == Entry::SlotStart)
        NouvHeure->setText(QCoreApplication::translate("ProgDH", "Valider l'heure de Début"));
    else if (entry == Entry::SlotEnd)
        NouvHeure->setText(QCoreApplication::translate("ProgDH", "Valider l'heure de Fin"));
    else
        NouvHeure->setText(QCoreApplication::translate("ProgDH", "Nouvelle tranche horaire"));
    NouvHeure->setEnabled(entry == Entry::SlotStart || entry == Entry::SlotEnd ||
                          (entry == Entry::None && !schedule_.Days().empty()));
}

void TParamPgm::SyncTimer() {
    if (schedule_.EvaluationRunning() && !Timer.isActive())
        Timer.start();
    else if (!schedule_.EvaluationRunning() && Timer.isActive())
        Timer.stop();
}

QDate TParamPgm::SelectedDate(int* child) const {
    const QTreeWidgetItem* item = SelectDH->currentItem();
    if (!item || !item->isSelected())
        return QDate();
    if (child)
        *child = item->data(0, kChildRole).toInt();
    return item->data(0, kDayRole).toDate();
}
