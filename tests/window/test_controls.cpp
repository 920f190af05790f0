// The main window's controls as its code sets them up: the lists and track
// bars filled from the value tables, the start states, the layout following
// the preview size, the radio groups' click semantics, the tabs' help
// contexts, F1, the tooltip switch and the about box.
#include <QSignalSpy>
#include <QTest>
#include <QtWidgets>

#include "InfosPgm.h"
#include "RadioGroup.h"
#include "WindowTest.h"

class TestControls : public TWindowTest {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() {
        QLocale::setDefault(QLocale::French);
        QVERIFY(OpenWindow());
    }
    void cleanupTestCase() { DeleteWindow(); }

    // The small preview narrows the window by 224 pixels; the right-hand
    // controls keep their distance to the right edge; the strip of pictures
    // moves into the room under the small preview.
    void widthFollowsPreviewSize() {
        QCOMPARE(base->size(),
                 QSize(911, 586 + TBase::kStripHeight));  // the strip under the design
        QCOMPARE(base->minimumSize(), base->maximumSize());
        const QPoint tabs = get<QWidget>("CommandeAPN")->pos();
        const QPoint error = get<QWidget>("InfoErreur")->pos();
        get<TRadioGroup>("DimPreView")->item(0)->click();  // the small preview
        QCOMPARE(base->width(), 687);
        QCOMPARE(get<QWidget>("CommandeAPN")->pos(), tabs - QPoint(224, 0));
        QCOMPARE(get<QWidget>("InfoErreur")->pos(), error - QPoint(224, TBase::kStripHeight));
        QCOMPARE(get<QWidget>("InfoStatut")->width(), 377);
        QCOMPARE(get<QWidget>("ViewBox")->pos(), QPoint(11, 10));
        QCOMPARE(base->height(), 586);
        QCOMPARE(get<QWidget>("InfoStatut")->y(), 566);
        const QRect strip = Strip()->geometry();
        QVERIFY(strip.top() > get<QWidget>("ViewBox")->geometry().bottom());
        QVERIFY(strip.bottom() < 566 && strip.height() > 150);
        get<TRadioGroup>("DimPreView")->item(1)->click();
        QCOMPARE(base->size(), QSize(911, 586 + TBase::kStripHeight));
        QCOMPARE(get<QWidget>("InfoStatut")->y(), 566 + TBase::kStripHeight);
        QCOMPARE(Strip()->geometry(), QRect(0, 566, 911, TBase::kStripHeight));
        QCOMPARE(get<QWidget>("CommandeAPN")->pos(), tabs);
        QCOMPARE(get<QWidget>("InfoStatut")->width(), 601);
    }

    void tabs() {
        auto* tabs = get<QTabWidget>("CommandeAPN");
        const std::tuple<const char*, const char*, int> expected[] = {
            {"Reg", "Réglages", 10},
            {"Comps", "Compensations", 20},
            {"Autos", "Automatismes", 30},
            {"PresAff", "Présentation", 40},
            {"Parametres", "Paramétrages", 50},
        };
        QCOMPARE(tabs->count(), 5);
        for (int i = 0; i < 5; ++i) {
            const auto& [name, caption, context] = expected[i];
            QCOMPARE(tabs->widget(i)->objectName(), QLatin1String(name));
            QCOMPARE(tabs->tabText(i), QString::fromUtf8(caption));
            QCOMPARE(tabs->widget(i)->property("helpContext").toInt(), context);
        }
        // Every caption is readable at once, without scrolling the tab bar.
        auto* bar = tabs->findChild<QTabBar*>();
        QVERIFY(bar->sizeHint().width() <= tabs->width());
    }

    void lists_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("start");
        const std::tuple<const char*, int, const char*> lists[] = {
            {"QualImg", 6, "Très fin"},
            {"DefImg", 6, "3264 x 2448"},
            {"ISOImg", 6, "Auto ISO"},
            {"ModeAPN", 4, "Mode Programme"},
            {"MesAPN", 3, "Mesure ponctuelle"},
            {"VitAPN", 48, "1/160"},
            {"OuvAPN", 13, "F/5,6"},
            {"CompExp", 13, " 0,0 EV"},
            {"CompFlash", 13, " 0,0 EV"},
            {"MFlashAPN", 4, "Flash normal"},
            {"CFlashAPN", 7, "Pre-flash TTL"},
            {"RCouleur", 6, "Naturel sRVB"},
            {"RNettete", 3, "Normale"},
            {"BalBlanc", 14, "Automatique"},
            {"SonMap", 3, "Pas de son"},
            {"SonDecl", 3, "Pas de son"},
        };
        for (const auto& [name, count, start] : lists)
            QTest::newRow(name) << QString::fromLatin1(name) << count << QString::fromUtf8(start);
    }
    void lists() {
        QFETCH(QString, name);
        QFETCH(int, count);
        QFETCH(QString, start);
        auto* box = base->findChild<QComboBox*>(name);
        QVERIFY(box);
        QCOMPARE(box->count(), count);
        QCOMPARE(box->currentText(), start);
        QVERIFY(!box->isEditable());
    }

    void trackBars_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("tick");
        QTest::newRow("FCoul") << "FCoul" << -5 << 5 << 0 << 1;
        QTest::newRow("Sat") << "Sat" << -5 << 5 << 0 << 1;
        QTest::newRow("Contr") << "Contr" << -5 << 5 << 0 << 1;
        QTest::newRow("TCoul") << "TCoul" << 2500 << 10000 << 6000 << 200;
        QTest::newRow("ICC") << "ICC" << -60 << 60 << 0 << 5;
        QTest::newRow("Seuil") << "Seuil" << 0 << 100 << 50 << 10;
    }
    void trackBars() {
        QFETCH(QString, name);
        QFETCH(int, low);
        QFETCH(int, high);
        QFETCH(int, start);
        QFETCH(int, tick);
        auto* bar = base->findChild<QSlider*>(name);
        QVERIFY(bar);
        QCOMPARE(bar->minimum(), low);
        QCOMPARE(bar->maximum(), high);
        QCOMPARE(bar->value(), start);
        QCOMPARE(bar->tickInterval(), tick);
    }

    // The orientation buttons exclude each other.
    void orientationButtons() {
        QTest::mouseClick(get<QToolButton>("ImgVertD"), Qt::LeftButton);
        QVERIFY(!get<QToolButton>("ImgHorz0")->isChecked());
        QTest::mouseClick(get<QToolButton>("ImgHorz0"), Qt::LeftButton);
        QVERIFY(!get<QToolButton>("ImgVertD")->isChecked());
    }

    void radioGroups() {
        auto* modes = get<TRadioGroup>("MonoMultiVue");
        QCOMPARE(modes->title(), QStringLiteral(" Mode de prise de vues "));
        QCOMPARE(modes->items(),
                 QStringList({"Image unique", "3 images décalées ± 0, 3", "Intervallomètre",
                              "Prise sur évènement", "3 images décalées ± 0, 5", "Retardateur",
                              "Séquence vidéo"}));
        QCOMPARE(modes->itemIndex(), 0);
        QCOMPARE(modes->columns(), 2);
        QVERIFY(!modes->isEnabled());
        get<QTabWidget>("CommandeAPN")->setCurrentIndex(3);
        auto* size = get<TRadioGroup>("DimPreView");
        QCOMPARE(size->title(), QStringLiteral(" Taille de la prévisualisation "));
        QCOMPARE(size->items(), QStringList({"320 x 240", "544 x 408"}));
        QCOMPARE(size->itemIndex(), 1);

        // A user's click is reported once, also on the item already chosen;
        // setting the index from code is silent.
        QSignalSpy clicks(size, &TRadioGroup::clicked);
        auto clickItem = [&](int i) {  // on the round mark: the item's text is short
            QTest::mouseClick(size->item(i), Qt::LeftButton, {},
                              QPoint(6, size->item(i)->height() / 2));
        };
        clickItem(1);
        clickItem(0);
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(clicks.at(1).at(0).toInt(), 0);
        size->setItemIndex(1);
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(size->itemIndex(), 1);
        size->setItemIndex(-1);
        QCOMPARE(size->itemIndex(), -1);
        size->setItemIndex(1);
        get<QTabWidget>("CommandeAPN")->setCurrentIndex(0);
    }

    // Captions are red by default; the status panels have their own colours.
    void captionColours() {
        QCOMPARE(get<QLabel>("Label8")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(get<QCheckBox>("MemoFocus")->palette().color(QPalette::WindowText),
                 QColor(255, 0, 0));
        QVERIFY(get<QLabel>("InfoConnect")->palette().color(QPalette::WindowText) !=
                QColor(255, 0, 0));
    }

    void startStates() {
        for (const char* name : {"MonoMultiVue", "FocM", "FocP", "FFPetSpotAE", "DetectEvent",
                                 "Appliquer", "VitAPN", "OuvAPN"})
            QVERIFY2(!get<QWidget>(name)->isEnabled(), name);
        for (const char* name : {"lbCharge", "NivFlash", "DistFoc", "UnitDistFoc", "LampProg",
                                 "Retardateur", "ModeIntervalle", "SequenceVideo", "ClicSurEvent"})
            QVERIFY2(get<QWidget>(name)->isHidden(), name);
        QVERIFY(!get<QToolButton>("ConnectAPN")->icon().isNull());
        QVERIFY(!get<QToolButton>("PriseVue")->icon().isNull());
        for (const QPixmap& glyph : Glyphs())
            QVERIFY(!glyph.isNull());
        QCOMPARE(Glyphs()[TBase::gBattPlein].size(), QSize(32, 16));
        QVERIFY(!ConnectionGlyphs().first.isNull() && !ConnectionGlyphs().second.isNull());
    }

    // Unchecking "Visualisation des Infos bulles" silences every control's
    // tooltip, the shutter and connection buttons included.
    void tooltipSwitch() {
        auto showsTip = [&](QWidget* w) {
            QToolTip::hideText();  // hides after a short delay
            if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
                return true;
            QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(w, &help);
            return QToolTip::isVisible() && QToolTip::text() == w->toolTip();
        };
        auto* box = get<QCheckBox>("VisuInfoBulle");
        QVERIFY(showsTip(get<QWidget>("PriseVue")));
        box->setChecked(false);
        for (const char* name : {"PriseVue", "ConnectAPN", "ImgHisto", "FocM"})
            QVERIFY2(!showsTip(get<QWidget>(name)), name);
        box->setChecked(true);
        QVERIFY(showsTip(get<QWidget>("ConnectAPN")));
        QToolTip::hideText();
    }

    void f1OpensTheActiveTabsHelp() {
        auto* tabs = get<QTabWidget>("CommandeAPN");
        QSignalSpy help(base, &TBase::helpRequested);
        tabs->setCurrentIndex(2);
        QTest::keyClick(base, Qt::Key_F1);
        QTest::keyClick(base, Qt::Key_F2);
        QCOMPARE(help.count(), 1);
        QCOMPARE(help.at(0).at(0).toInt(), 30);
        // From a control with the keyboard focus, too.
        tabs->setCurrentIndex(4);
        QTest::keyClick(get<QWidget>("NomRep"), Qt::Key_F1);
        QCOMPARE(help.last().at(0).toInt(), 50);
        tabs->setCurrentIndex(0);
    }

    void aboutBox() {
        TInfosPgm about(base);
        QCOMPARE(about.windowTitle(), QStringLiteral("A propos"));
        QCOMPARE(about.size(), QSize(214, 123));
        for (const char* name : {"VersionPgm", "CopyRight", "Description"})
            QVERIFY(about.findChild<QLabel*>(name));
        QCOMPARE(about.findChild<QLabel*>("VersionPgm")->width(), 191);
        auto* ok = about.findChild<QPushButton*>("Ok");
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(ok->isDefault());
        about.show();
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }

    // The window's red captions stay in the window: a message box over it
    // writes in the desktop's colour; the shutter's tooltip is French.
    void redCaptionsStayInTheWindow() {
        const QColor red(255, 0, 0);
        auto* caption = get<QCheckBox>("Reticule");
        caption->ensurePolished();
        QCOMPARE(caption->palette().color(QPalette::WindowText), red);
        QMessageBox box(QMessageBox::Warning, QString(), QStringLiteral("Texte"), QMessageBox::Ok,
                        base);
        box.show();
        for (QLabel* label : box.findChildren<QLabel*>()) {
            label->ensurePolished();
            QVERIFY(label->palette().color(QPalette::WindowText) != red);
        }
        QVERIFY(get<QWidget>("PriseVue")
                    ->toolTip()
                    .contains(QStringLiteral("Clic sur le bouton = Prise de vue")));
    }
};

QTEST_MAIN(TestControls)
#include "test_controls.moc"
