#include "AccessibleNames.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QString>
#include <QWidget>

#include <iterator>

#include "ui_OrkaCapture.h"

namespace {

struct Naming {
    const char* object;  // the control's object name
    const char* name;    // null: the control's own text names it
    const char* description;
};

#define N(object, name, description)                      \
    Naming {                                              \
        object, QT_TRANSLATE_NOOP("TAccessible", name),   \
            QT_TRANSLATE_NOOP("TAccessible", description) \
    }

// In the order of the window: the preview, the five tabs, the right column,
// the status bar, the strip.
const Naming kNamings[] = {
    N("LiveView", "Aperçu", "Image du capteur en direct pendant la visée"),
    N("CommandeAPN", "Onglets des réglages",
      "Réglages, Compensations, Automatismes, "
      "Présentation, Paramétrages (Ctrl+1 à Ctrl+5)"),
    // Réglages
    N("QualImg", "Qualité", "Qualité de l'image enregistrée"),
    N("DefImg", "Dimensions", "Dimensions de l'image en pixels"),
    N("ISOImg", "Sensibilité", "Sensibilité ISO"),
    N("ModeAPN", "Mode d'exposition", "Programme, priorité ou manuel"),
    N("MesAPN", "Type de mesure", "Mesure de la lumière"),
    N("VitAPN", "Vitesse", "Vitesse d'obturation"),
    N("OuvAPN", "Ouverture", "Ouverture du diaphragme"),
    N("OuvMax", "Ouverture maximale", "Plus grande ouverture de l'objectif"),
    N("CompExp", "Compensation d'exposition", "Correction de l'exposition en IL"),
    N("MFlashAPN", "Mode flash", "Fonctionnement du flash"),
    N("CFlashAPN", "Contrôle flash", "Mesure du flash"),
    N("CompFlash", "Compensation flash", "Correction de la puissance du flash en IL"),
    N("lbFLASH", "État du flash", "Flash actif ou inactif"),
    N("NivFlash", "Charge du flash", "Niveau de charge du flash"),
    N("ModeAF", "Auto Focus", "Mise au point automatique"),
    N("ModeMF", "Mise au point manuelle", "Mise au point réglée à la main"),
    N("FocM", "Mise au point plus proche", "Réduit la distance de mise au point"),
    N("FocP", "Mise au point plus loin", "Augmente la distance de mise au point"),
    N("FocusCentr", "Focus central", "Mise au point sur le centre de l'image"),
    N("ModeFFP", "Point de focus libre", "Mise au point sur le point choisi dans l'aperçu"),
    N("FFPetSpotAE", "Zones focus et expo liées", "La mesure suit le point de mise au point"),
    N("MemoFocus", "Mémo focus", "Garde la mise au point trouvée pour les photos suivantes"),
    N("DistFoc", "Distance de mise au point", "Distance en mètres"),
    N("lbMACRO", "Macro", "Mode macro de l'objectif"),
    N("eDProc", "Netteté depuis", "Début de la zone de netteté en mètres"),
    N("eDLoin", "Netteté jusqu'à", "Fin de la zone de netteté en mètres"),
    N("eDFoc", "Focale", "Focale équivalente en 24 x 36, en millimètres"),
    // Compensations
    N("RCouleur", "Rendu des couleurs", "Rendu des couleurs de l'image"),
    N("RNettete", "Netteté", "Accentuation de l'image"),
    N("FCoul", "Filtre de couleur", "Filtre de couleur appliqué à l'image"),
    N("eFCoul", "Valeur du filtre de couleur", "Valeur choisie avec le curseur"),
    N("Sat", "Saturation", "Saturation des couleurs"),
    N("eSat", "Valeur de saturation", "Valeur choisie avec le curseur"),
    N("Contr", "Contraste", "Contraste de l'image"),
    N("eContr", "Valeur de contraste", "Valeur choisie avec le curseur"),
    N("BalBlanc", "Balance des blancs", "Préréglage de balance des blancs"),
    N("TCoul", "Température de couleur", "Température de couleur en kelvins"),
    N("eTCoul", "Valeur de température de couleur", "Valeur choisie avec le curseur"),
    N("ICC", "Correction vert magenta", "Correction de teinte de la balance"),
    N("eICC", "Valeur de correction", "Valeur choisie avec le curseur"),
    N("DefWB", "Mesurer la balance", "Mesure la balance des blancs sur un point gris"),
    N("Appliquer", "Appliquer la balance", "Envoie la balance mesurée à l'appareil"),
    // Automatismes
    N("MonoMultiVue", "Mode de prise de vues",
      "Image unique, bracketing, intervallomètre, "
      "évènement, retardateur ou vidéo"),
    N("RetDecl", "Délai du retardateur", "Secondes avant le déclenchement"),
    N("eNbImgT", "Nombre d'images", "Nombre d'images de l'intervallomètre"),
    N("eInterImg", "Intervalle", "Secondes entre deux images"),
    N("eDepImg", "Départ", "Secondes avant la première image"),
    N("SeqInterV", "Lancer l'intervallomètre", "Démarre ou arrête la série"),
    N("eNbImgP", "Images prises", "Nombre d'images déjà prises dans la série"),
    N("eDureeVideo", "Durée de la vidéo", "Durée de la séquence en secondes"),
    N("eDepVideo", "Départ de la vidéo", "Secondes avant le début de la séquence"),
    N("SeqVideo", "Lancer la vidéo", "Démarre ou arrête l'enregistrement de l'aperçu"),
    N("AffZoneDetect", "Zone de détection", "La zone surveillée pour le mouvement"),
    N("Seuil", "Seuil de détection", "Sensibilité au mouvement"),
    N("lbSeuil", "Valeur du seuil", "Seuil choisi"),
    N("AffdImg", "Mouvement mesuré", "Écart mesuré entre deux images"),
    N("DetectEvent", "Lancer la détection", "Démarre ou arrête la prise sur évènement"),
    N("BeepDecl", "Bip au déclenchement", "Un son à chaque déclenchement sur évènement"),
    N("PrgmEvent", "Programmateur", "Tranches de dates et d'heures de la détection"),
    N("InfoPgmEv", "Programmation", "Résumé de la programmation"),
    N("LampProg", "Voyant du programmateur", "Allumé pendant une tranche programmée"),
    // Présentation
    N("ImgVertG", "Aperçu vertical à gauche", "Tourne l'aperçu d'un quart de tour à gauche"),
    N("ImgHorz0", "Aperçu horizontal", "Aperçu sans rotation"),
    N("ImgVertD", "Aperçu vertical à droite", "Tourne l'aperçu d'un quart de tour à droite"),
    N("ImgHorz1", "Aperçu horizontal retourné", "Aperçu tourné d'un demi-tour"),
    N("DimPreView", "Taille de l'aperçu", "Petite ou grande image de visée"),
    N("PreVisuActif", "Visée en direct", "Affiche l'image du capteur en direct"),
    N("PostVisuActif", "Visualisation après la prise",
      "Montre chaque photo et demande s'il faut la garder"),
    N("TestProfChamp", "Test de profondeur de champ", "Diaphragme fermé pendant la demi-pression"),
    N("VisuInfoBulle", "Bulles d'aide", "Affiche les bulles d'aide"),
    N("Reticule", "Réticule", "Croix au centre de l'aperçu"),
    N("Grille", "Grille", "Grille des tiers sur l'aperçu"),
    N("FocusPeaking", "Aide à la mise au point", "Colore les contours nets de l'aperçu"),
    N("PeakCouleur", "Couleur des contours", "Couleur de l'aide à la mise au point"),
    N("PeakSeuil", "Seuil des contours", "Sensibilité de l'aide à la mise au point"),
    N("PeakValeur", "Valeur du seuil des contours", "Seuil choisi"),
    N("AlerteHL", "Alerte hautes lumières", "Signale les zones surexposées"),
    N("NiveauHL", "Niveau des hautes lumières", "Niveau à partir duquel l'alerte s'affiche"),
    N("StyleAlerte", "Style de l'alerte", "Façon de marquer les zones"),
    N("AlerteOmbres", "Alerte ombres", "Signale les zones bouchées"),
    N("NiveauOmbres", "Niveau des ombres", "Niveau au-dessous duquel l'alerte s'affiche"),
    N("HistoRVB", "Histogramme RVB", "Histogramme par couleur"),
    // Paramétrages
    N("SynchroNow", "Synchroniser l'heure", "Met l'appareil à l'heure de l'ordinateur"),
    N("DateHeure", "Date et heure de l'appareil", "Date et heure lues dans l'appareil"),
    N("NomRep", "Dossier des images", "Dossier où les photos sont enregistrées"),
    N("PrefixImg", "Préfixe des images", "Début du nom des fichiers image"),
    N("PrefixVideo", "Préfixe des vidéos", "Début du nom des fichiers vidéo"),
    N("SonMap", "Son de mise au point", "Son de l'appareil à la mise au point"),
    N("SonDecl", "Son du déclenchement", "Son de l'appareil au déclenchement"),
    N("ModDefaut", "Modèle par défaut", "Charge ce modèle à la connexion"),
    N("ModCour", "Modèle en cours", "Nom du modèle de configuration chargé"),
    N("EnrgModele", "Enregistrer le modèle", "Enregistre les réglages dans un fichier"),
    N("OuvrModele", "Ouvrir un modèle", "Charge des réglages depuis un fichier"),
    N("APropos", "À propos", "Version du programme et de l'appareil"),
    N("Aide", "Aide", "Ouvre l'aide de l'onglet affiché (F1)"),
    // The right column and the status bar.
    N("CamInfos", "Informations de prise de vue", "Vitesse, ouverture et mesures de l'appareil"),
    N("ImgHisto", "Histogramme", "Répartition des luminosités de l'aperçu"),
    N("PriseVue", "Déclencheur",
      "Une première pression (F5, Espace ou Entrée) presse à "
      "mi-course, une seconde déclenche ; Échap relâche"),
    N("ConnectAPN", "Connexion de l'appareil", "Connecte ou déconnecte l'appareil photo"),
    // Named by its text, which readers announce as it changes.
    N("InfoConnect", nullptr, "État de la connexion de l'appareil"),
    N("InfoStatut", "Zone d'état", "Derniers messages du programme"),
    N("FreqImg", "Images par seconde", "Cadence de l'aperçu"),
    N("InfoBatterie", "Batterie", "Charge de la batterie de l'appareil"),
    N("InfoErreur", "Voyant d'erreur", "Rouge après une erreur de l'appareil ; un clic l'éteint"),
    // The strip.
    N("BandeImages", "Bande des images", "Les photos de la séance"),
    N("Vignettes", "Images de la séance",
      "Flèches pour parcourir, Alt+flèche depuis la "
      "fenêtre ; double clic pour ouvrir"),
    N("OuvrirDossier", "Ouvrir le dossier", "Ouvre le dossier de la dernière image"),
    N("Revoir", "Revoir", "Revoit l'image choisie en grand (Entrée ou R)"),
    // The schedule of the event trigger and the about box, made with the window.
    N("ParamPgm/SelectDH", "Dates et tranches programmées",
      "Les dates et tranches horaires où la détection est active"),
    N("ParamPgm/NouvDate", "Nouvelle date", "Ajoute une date à la programmation"),
    N("ParamPgm/NouvHeure", "Nouvelle tranche horaire",
      "Ajoute une tranche horaire à la date choisie"),
    N("ParamPgm/Valider", "Valider", "Garde la programmation et ferme"),
    N("ParamPgm/Aide", "Aide", "Ouvre l'aide du programmateur"),
    N("ParamPgm/Annuler", "Annuler", "Ferme sans rien changer"),
    N("InfosPgm/Ok", "OK", "Ferme la fenêtre À propos"),
};

#undef N

QString Tr(const char* text) {
    if (!text)
        return {};
    return QCoreApplication::translate("TAccessible", text);
}

// A button that toggles with its state (the connection): assistive
// technology's only action on such a button is "toggle", which flips the
// state without running what a click runs. This one offers "press", a click.
class TClickedToggle : public QAccessibleWidget {
  public:
    explicit TClickedToggle(QAbstractButton* button)
        : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = Button()->isChecked();
        return state;
    }
    QStringList actionNames() const override {
        return widget()->isEnabled() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& action) override {
        // Later, as the toolkit's own buttons do: what the click runs may
        // wait for the camera, and the caller waits for this answer.
        if (action == pressAction() && widget()->isEnabled())
            QMetaObject::invokeMethod(Button(), &QAbstractButton::click, Qt::QueuedConnection);
    }

  private:
    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

constexpr const char* kClickedToggle = "orkaClickedToggle";
constexpr const char* kNotification = "orkaNotification";

QAccessibleInterface* OrkaFactory(const QString&, QObject* object) {
    auto* button = qobject_cast<QAbstractButton*>(object);
    if (button && button->property(kClickedToggle).toBool())
        return new TClickedToggle(button);
    // Screen readers speak a notification as it shows, wherever the focus is.
    if (object->isWidgetType() && object->property(kNotification).toBool())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    return nullptr;
}

// Before the controls concerned get their interfaces (any name set, any
// message shown may make them).
void InstallFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(OrkaFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace

void NameControls(Ui::TBase& ui) {
    InstallFactory();
    ui.ConnectAPN->setProperty(kClickedToggle, true);

    QWidget* const window = ui.CommandeAPN->window();
    for (const Naming& naming : kNamings) {
        const QString object = QString::fromLatin1(naming.object);
        QWidget* control = nullptr;
        if (const qsizetype slash = object.indexOf(u'/'); slash > 0) {
            if (QWidget* dialog = window->findChild<QWidget*>(object.left(slash)))
                control = dialog->findChild<QWidget*>(object.mid(slash + 1));
        } else {
            // The window's own control, not a dialog's of the same name.
            for (QWidget* w : window->findChildren<QWidget*>(object))
                if (w->window() == window) {
                    control = w;
                    break;
                }
        }
        if (!control)
            continue;
        if (naming.name)
            control->setAccessibleName(Tr(naming.name));
        control->setAccessibleDescription(Tr(naming.description));
    }
}

void AnnounceStatus(QWidget* panel, const QString& oldText, const QString& newText) {
    InstallFactory();
    panel->setAccessibleDescription(newText.isEmpty() ? Tr("Derniers messages du programme")
                                                      : newText);
    // The notification: a pixel of the panel that shows anew with each
    // message, named by it. Nothing to see or click.
    static const QString kAnnouncer = QStringLiteral("AnnonceEtat");
    auto* announcer = panel->findChild<QWidget*>(kAnnouncer, Qt::FindDirectChildrenOnly);
    if (!announcer) {
        announcer = new QWidget(panel);
        announcer->setObjectName(kAnnouncer);
        announcer->setProperty(kNotification, true);
        announcer->setAttribute(Qt::WA_TransparentForMouseEvents);
        announcer->setFocusPolicy(Qt::NoFocus);
        announcer->setGeometry(0, 0, 1, 1);
    }
    announcer->hide();
    announcer->setAccessibleName(newText);
    if (!newText.isEmpty() && panel->isVisible())
        announcer->show();
    if (!QAccessible::isActive())
        return;
    QAccessibleTextUpdateEvent update(panel, 0, oldText, newText);
    QAccessible::updateAccessibility(&update);
}
