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

// QT_TRANSLATE_NOOP marks the texts for the translation tools; NameControls
// translates them.
const Naming kNamings[] = {
    {"LiveView", QT_TRANSLATE_NOOP("TAccessible", "Aperçu"),
     QT_TRANSLATE_NOOP("TAccessible", "Image du capteur en direct pendant la visée")},
    {"CommandeAPN", QT_TRANSLATE_NOOP("TAccessible", "Onglets des réglages"),
     QT_TRANSLATE_NOOP("TAccessible",
                       "Réglages, Compensations, Automatismes, "
                       "Présentation, Paramétrages (Ctrl+1 à Ctrl+5)")},
    // Réglages
    {"QualImg", QT_TRANSLATE_NOOP("TAccessible", "Qualité"),
     QT_TRANSLATE_NOOP("TAccessible", "Qualité de l'image enregistrée")},
    {"DefImg", QT_TRANSLATE_NOOP("TAccessible", "Dimensions"),
     QT_TRANSLATE_NOOP("TAccessible", "Dimensions de l'image en pixels")},
    {"ISOImg", QT_TRANSLATE_NOOP("TAccessible", "Sensibilité"),
     QT_TRANSLATE_NOOP("TAccessible", "Sensibilité ISO")},
    {"ModeAPN", QT_TRANSLATE_NOOP("TAccessible", "Mode d'exposition"),
     QT_TRANSLATE_NOOP("TAccessible", "Programme, priorité ou manuel")},
    {"MesAPN", QT_TRANSLATE_NOOP("TAccessible", "Type de mesure"),
     QT_TRANSLATE_NOOP("TAccessible", "Mesure de la lumière")},
    {"VitAPN", QT_TRANSLATE_NOOP("TAccessible", "Vitesse"),
     QT_TRANSLATE_NOOP("TAccessible", "Vitesse d'obturation")},
    {"OuvAPN", QT_TRANSLATE_NOOP("TAccessible", "Ouverture"),
     QT_TRANSLATE_NOOP("TAccessible", "Ouverture du diaphragme")},
    {"OuvMax", QT_TRANSLATE_NOOP("TAccessible", "Ouverture maximale"),
     QT_TRANSLATE_NOOP("TAccessible", "Plus grande ouverture de l'objectif")},
    {"CompExp", QT_TRANSLATE_NOOP("TAccessible", "Compensation d'exposition"),
     QT_TRANSLATE_NOOP("TAccessible", "Correction de l'exposition en IL")},
    {"MFlashAPN", QT_TRANSLATE_NOOP("TAccessible", "Mode flash"),
     QT_TRANSLATE_NOOP("TAccessible", "Fonctionnement du flash")},
    {"CFlashAPN", QT_TRANSLATE_NOOP("TAccessible", "Contrôle flash"),
     QT_TRANSLATE_NOOP("TAccessible", "Mesure du flash")},
    {"CompFlash", QT_TRANSLATE_NOOP("TAccessible", "Compensation flash"),
     QT_TRANSLATE_NOOP("TAccessible", "Correction de la puissance du flash en IL")},
    {"lbFLASH", QT_TRANSLATE_NOOP("TAccessible", "État du flash"),
     QT_TRANSLATE_NOOP("TAccessible", "Flash actif ou inactif")},
    {"NivFlash", QT_TRANSLATE_NOOP("TAccessible", "Charge du flash"),
     QT_TRANSLATE_NOOP("TAccessible", "Niveau de charge du flash")},
    {"ModeAF", QT_TRANSLATE_NOOP("TAccessible", "Auto Focus"),
     QT_TRANSLATE_NOOP("TAccessible", "Mise au point automatique")},
    {"ModeMF", QT_TRANSLATE_NOOP("TAccessible", "Mise au point manuelle"),
     QT_TRANSLATE_NOOP("TAccessible", "Mise au point réglée à la main")},
    {"FocM", QT_TRANSLATE_NOOP("TAccessible", "Mise au point plus proche"),
     QT_TRANSLATE_NOOP("TAccessible", "Réduit la distance de mise au point")},
    {"FocP", QT_TRANSLATE_NOOP("TAccessible", "Mise au point plus loin"),
     QT_TRANSLATE_NOOP("TAccessible", "Augmente la distance de mise au point")},
    {"FocusCentr", QT_TRANSLATE_NOOP("TAccessible", "Focus central"),
     QT_TRANSLATE_NOOP("TAccessible", "Mise au point sur le centre de l'image")},
    {"ModeFFP", QT_TRANSLATE_NOOP("TAccessible", "Point de focus libre"),
     QT_TRANSLATE_NOOP("TAccessible", "Mise au point sur le point choisi dans l'aperçu")},
    {"FFPetSpotAE", QT_TRANSLATE_NOOP("TAccessible", "Zones focus et expo liées"),
     QT_TRANSLATE_NOOP("TAccessible", "La mesure suit le point de mise au point")},
    {"MemoFocus", QT_TRANSLATE_NOOP("TAccessible", "Mémo focus"),
     QT_TRANSLATE_NOOP("TAccessible", "Garde la mise au point trouvée pour les photos suivantes")},
    {"DistFoc", QT_TRANSLATE_NOOP("TAccessible", "Distance de mise au point"),
     QT_TRANSLATE_NOOP("TAccessible", "Distance en mètres")},
    {"lbMACRO", QT_TRANSLATE_NOOP("TAccessible", "Macro"),
     QT_TRANSLATE_NOOP("TAccessible", "Mode macro de l'objectif")},
    {"eDProc", QT_TRANSLATE_NOOP("TAccessible", "Netteté depuis"),
     QT_TRANSLATE_NOOP("TAccessible", "Début de la zone de netteté en mètres")},
    {"eDLoin", QT_TRANSLATE_NOOP("TAccessible", "Netteté jusqu'à"),
     QT_TRANSLATE_NOOP("TAccessible", "Fin de la zone de netteté en mètres")},
    {"eDFoc", QT_TRANSLATE_NOOP("TAccessible", "Focale"),
     QT_TRANSLATE_NOOP("TAccessible", "Focale équivalente en 24 x 36, en millimètres")},
    // Compensations
    {"RCouleur", QT_TRANSLATE_NOOP("TAccessible", "Rendu des couleurs"),
     QT_TRANSLATE_NOOP("TAccessible", "Rendu des couleurs de l'image")},
    {"RNettete", QT_TRANSLATE_NOOP("TAccessible", "Netteté"),
     QT_TRANSLATE_NOOP("TAccessible", "Accentuation de l'image")},
    {"FCoul", QT_TRANSLATE_NOOP("TAccessible", "Filtre de couleur"),
     QT_TRANSLATE_NOOP("TAccessible", "Filtre de couleur appliqué à l'image")},
    {"eFCoul", QT_TRANSLATE_NOOP("TAccessible", "Valeur du filtre de couleur"),
     QT_TRANSLATE_NOOP("TAccessible", "Valeur choisie avec le curseur")},
    {"Sat", QT_TRANSLATE_NOOP("TAccessible", "Saturation"),
     QT_TRANSLATE_NOOP("TAccessible", "Saturation des couleurs")},
    {"eSat", QT_TRANSLATE_NOOP("TAccessible", "Valeur de saturation"),
     QT_TRANSLATE_NOOP("TAccessible", "Valeur choisie avec le curseur")},
    {"Contr", QT_TRANSLATE_NOOP("TAccessible", "Contraste"),
     QT_TRANSLATE_NOOP("TAccessible", "Contraste de l'image")},
    {"eContr", QT_TRANSLATE_NOOP("TAccessible", "Valeur de contraste"),
     QT_TRANSLATE_NOOP("TAccessible", "Valeur choisie avec le curseur")},
    {"BalBlanc", QT_TRANSLATE_NOOP("TAccessible", "Balance des blancs"),
     QT_TRANSLATE_NOOP("TAccessible", "Préréglage de balance des blancs")},
    {"TCoul", QT_TRANSLATE_NOOP("TAccessible", "Température de couleur"),
     QT_TRANSLATE_NOOP("TAccessible", "Température de couleur en kelvins")},
    {"eTCoul", QT_TRANSLATE_NOOP("TAccessible", "Valeur de température de couleur"),
     QT_TRANSLATE_NOOP("TAccessible", "Valeur choisie avec le curseur")},
    {"ICC", QT_TRANSLATE_NOOP("TAccessible", "Correction vert magenta"),
     QT_TRANSLATE_NOOP("TAccessible", "Correction de teinte de la balance")},
    {"eICC", QT_TRANSLATE_NOOP("TAccessible", "Valeur de correction"),
     QT_TRANSLATE_NOOP("TAccessible", "Valeur choisie avec le curseur")},
    {"DefWB", QT_TRANSLATE_NOOP("TAccessible", "Mesurer la balance"),
     QT_TRANSLATE_NOOP("TAccessible", "Mesure la balance des blancs sur un point gris")},
    {"Appliquer", QT_TRANSLATE_NOOP("TAccessible", "Appliquer la balance"),
     QT_TRANSLATE_NOOP("TAccessible", "Envoie la balance mesurée à l'appareil")},
    // Automatismes
    {"MonoMultiVue", QT_TRANSLATE_NOOP("TAccessible", "Mode de prise de vues"),
     QT_TRANSLATE_NOOP("TAccessible",
                       "Image unique, bracketing, intervallomètre, "
                       "évènement, retardateur ou vidéo")},
    {"RetDecl", QT_TRANSLATE_NOOP("TAccessible", "Délai du retardateur"),
     QT_TRANSLATE_NOOP("TAccessible", "Secondes avant le déclenchement")},
    {"eNbImgT", QT_TRANSLATE_NOOP("TAccessible", "Nombre d'images"),
     QT_TRANSLATE_NOOP("TAccessible", "Nombre d'images de l'intervallomètre")},
    {"eInterImg", QT_TRANSLATE_NOOP("TAccessible", "Intervalle"),
     QT_TRANSLATE_NOOP("TAccessible", "Secondes entre deux images")},
    {"eDepImg", QT_TRANSLATE_NOOP("TAccessible", "Départ"),
     QT_TRANSLATE_NOOP("TAccessible", "Secondes avant la première image")},
    {"SeqInterV", QT_TRANSLATE_NOOP("TAccessible", "Lancer l'intervallomètre"),
     QT_TRANSLATE_NOOP("TAccessible", "Démarre ou arrête la série")},
    {"eNbImgP", QT_TRANSLATE_NOOP("TAccessible", "Images prises"),
     QT_TRANSLATE_NOOP("TAccessible", "Nombre d'images déjà prises dans la série")},
    {"eDureeVideo", QT_TRANSLATE_NOOP("TAccessible", "Durée de la vidéo"),
     QT_TRANSLATE_NOOP("TAccessible", "Durée de la séquence en secondes")},
    {"eDepVideo", QT_TRANSLATE_NOOP("TAccessible", "Départ de la vidéo"),
     QT_TRANSLATE_NOOP("TAccessible", "Secondes avant le début de la séquence")},
    {"SeqVideo", QT_TRANSLATE_NOOP("TAccessible", "Lancer la vidéo"),
     QT_TRANSLATE_NOOP("TAccessible", "Démarre ou arrête l'enregistrement de l'aperçu")},
    {"AffZoneDetect", QT_TRANSLATE_NOOP("TAccessible", "Zone de détection"),
     QT_TRANSLATE_NOOP("TAccessible", "La zone surveillée pour le mouvement")},
    {"Seuil", QT_TRANSLATE_NOOP("TAccessible", "Seuil de détection"),
     QT_TRANSLATE_NOOP("TAccessible", "Sensibilité au mouvement")},
    {"lbSeuil", QT_TRANSLATE_NOOP("TAccessible", "Valeur du seuil"),
     QT_TRANSLATE_NOOP("TAccessible", "Seuil choisi")},
    {"AffdImg", QT_TRANSLATE_NOOP("TAccessible", "Mouvement mesuré"),
     QT_TRANSLATE_NOOP("TAccessible", "Écart mesuré entre deux images")},
    {"DetectEvent", QT_TRANSLATE_NOOP("TAccessible", "Lancer la détection"),
     QT_TRANSLATE_NOOP("TAccessible", "Démarre ou arrête la prise sur évènement")},
    {"BeepDecl", QT_TRANSLATE_NOOP("TAccessible", "Bip au déclenchement"),
     QT_TRANSLATE_NOOP("TAccessible", "Un son à chaque déclenchement sur évènement")},
    {"PrgmEvent", QT_TRANSLATE_NOOP("TAccessible", "Programmateur"),
     QT_TRANSLATE_NOOP("TAccessible", "Tranches de dates et d'heures de la détection")},
    {"InfoPgmEv", QT_TRANSLATE_NOOP("TAccessible", "Programmation"),
     QT_TRANSLATE_NOOP("TAccessible", "Résumé de la programmation")},
    {"LampProg", QT_TRANSLATE_NOOP("TAccessible", "Voyant du programmateur"),
     QT_TRANSLATE_NOOP("TAccessible", "Allumé pendant une tranche programmée")},
    // Présentation
    {"ImgVertG", QT_TRANSLATE_NOOP("TAccessible", "Aperçu vertical à gauche"),
     QT_TRANSLATE_NOOP("TAccessible", "Tourne l'aperçu d'un quart de tour à gauche")},
    {"ImgHorz0", QT_TRANSLATE_NOOP("TAccessible", "Aperçu horizontal"),
     QT_TRANSLATE_NOOP("TAccessible", "Aperçu sans rotation")},
    {"ImgVertD", QT_TRANSLATE_NOOP("TAccessible", "Aperçu vertical à droite"),
     QT_TRANSLATE_NOOP("TAccessible", "Tourne l'aperçu d'un quart de tour à droite")},
    {"ImgHorz1", QT_TRANSLATE_NOOP("TAccessible", "Aperçu horizontal retourné"),
     QT_TRANSLATE_NOOP("TAccessible", "Aperçu tourné d'un demi-tour")},
    {"DimPreView", QT_TRANSLATE_NOOP("TAccessible", "Taille de l'aperçu"),
     QT_TRANSLATE_NOOP("TAccessible", "Petite ou grande image de visée")},
    {"PreVisuActif", QT_TRANSLATE_NOOP("TAccessible", "Visée en direct"),
     QT_TRANSLATE_NOOP("TAccessible", "Affiche l'image du capteur en direct")},
    {"PostVisuActif", QT_TRANSLATE_NOOP("TAccessible", "Visualisation après la prise"),
     QT_TRANSLATE_NOOP("TAccessible", "Montre chaque photo et demande s'il faut la garder")},
    {"TestProfChamp", QT_TRANSLATE_NOOP("TAccessible", "Test de profondeur de champ"),
     QT_TRANSLATE_NOOP("TAccessible", "Diaphragme fermé pendant la demi-pression")},
    {"VisuInfoBulle", QT_TRANSLATE_NOOP("TAccessible", "Bulles d'aide"),
     QT_TRANSLATE_NOOP("TAccessible", "Affiche les bulles d'aide")},
    {"Reticule", QT_TRANSLATE_NOOP("TAccessible", "Réticule"),
     QT_TRANSLATE_NOOP("TAccessible", "Croix au centre de l'aperçu")},
    {"Grille", QT_TRANSLATE_NOOP("TAccessible", "Grille"),
     QT_TRANSLATE_NOOP("TAccessible", "Grille des tiers sur l'aperçu")},
    {"FocusPeaking", QT_TRANSLATE_NOOP("TAccessible", "Aide à la mise au point"),
     QT_TRANSLATE_NOOP("TAccessible", "Colore les contours nets de l'aperçu")},
    {"PeakCouleur", QT_TRANSLATE_NOOP("TAccessible", "Couleur des contours"),
     QT_TRANSLATE_NOOP("TAccessible", "Couleur de l'aide à la mise au point")},
    {"PeakSeuil", QT_TRANSLATE_NOOP("TAccessible", "Seuil des contours"),
     QT_TRANSLATE_NOOP("TAccessible", "Sensibilité de l'aide à la mise au point")},
    {"PeakValeur", QT_TRANSLATE_NOOP("TAccessible", "Valeur du seuil des contours"),
     QT_TRANSLATE_NOOP("TAccessible", "Seuil choisi")},
    {"AlerteHL", QT_TRANSLATE_NOOP("TAccessible", "Alerte hautes lumières"),
     QT_TRANSLATE_NOOP("TAccessible", "Signale les zones surexposées")},
    {"NiveauHL", QT_TRANSLATE_NOOP("TAccessible", "Niveau des hautes lumières"),
     QT_TRANSLATE_NOOP("TAccessible", "Niveau à partir duquel l'alerte s'affiche")},
    {"StyleAlerte", QT_TRANSLATE_NOOP("TAccessible", "Style de l'alerte"),
     QT_TRANSLATE_NOOP("TAccessible", "Façon de marquer les zones")},
    {"AlerteOmbres", QT_TRANSLATE_NOOP("TAccessible", "Alerte ombres"),
     QT_TRANSLATE_NOOP("TAccessible", "Signale les zones bouchées")},
    {"NiveauOmbres", QT_TRANSLATE_NOOP("TAccessible", "Niveau des ombres"),
     QT_TRANSLATE_NOOP("TAccessible", "Niveau au-dessous duquel l'alerte s'affiche")},
    {"HistoRVB", QT_TRANSLATE_NOOP("TAccessible", "Histogramme RVB"),
     QT_TRANSLATE_NOOP("TAccessible", "Histogramme par couleur")},
    // Paramétrages
    {"SynchroNow", QT_TRANSLATE_NOOP("TAccessible", "Synchroniser l'heure"),
     QT_TRANSLATE_NOOP("TAccessible", "Met l'appareil à l'heure de l'ordinateur")},
    {"DateHeure", QT_TRANSLATE_NOOP("TAccessible", "Date et heure de l'appareil"),
     QT_TRANSLATE_NOOP("TAccessible", "Date et heure lues dans l'appareil")},
    {"NomRep", QT_TRANSLATE_NOOP("TAccessible", "Dossier des images"),
     QT_TRANSLATE_NOOP("TAccessible", "Dossier où les photos sont enregistrées")},
    {"PrefixImg", QT_TRANSLATE_NOOP("TAccessible", "Préfixe des images"),
     QT_TRANSLATE_NOOP("TAccessible", "Début du nom des fichiers image")},
    {"PrefixVideo", QT_TRANSLATE_NOOP("TAccessible", "Préfixe des vidéos"),
     QT_TRANSLATE_NOOP("TAccessible", "Début du nom des fichiers vidéo")},
    {"DossierSauvegarde", QT_TRANSLATE_NOOP("TAccessible", "Dossier de la copie de sécurité"),
     QT_TRANSLATE_NOOP("TAccessible",
                       "Chaque image y est copiée puis relue et comparée ; vide : pas de copie. "
                       "Un clic pour choisir")},
    {"SansSauvegarde", QT_TRANSLATE_NOOP("TAccessible", "Plus de copie de sécurité"),
     QT_TRANSLATE_NOOP("TAccessible", "Arrête la seconde copie des images")},
    {"CommandeImage", QT_TRANSLATE_NOOP("TAccessible", "Commande après chaque image"),
     QT_TRANSLATE_NOOP("TAccessible",
                       "Lancée avec le chemin de chaque image et de chaque copie ; vide : aucune")},
    {"SonMap", QT_TRANSLATE_NOOP("TAccessible", "Son de mise au point"),
     QT_TRANSLATE_NOOP("TAccessible", "Son de l'appareil à la mise au point")},
    {"SonDecl", QT_TRANSLATE_NOOP("TAccessible", "Son du déclenchement"),
     QT_TRANSLATE_NOOP("TAccessible", "Son de l'appareil au déclenchement")},
    {"ModDefaut", QT_TRANSLATE_NOOP("TAccessible", "Modèle par défaut"),
     QT_TRANSLATE_NOOP("TAccessible", "Charge ce modèle à la connexion")},
    {"ModCour", QT_TRANSLATE_NOOP("TAccessible", "Modèle en cours"),
     QT_TRANSLATE_NOOP("TAccessible", "Nom du modèle de configuration chargé")},
    {"EnrgModele", QT_TRANSLATE_NOOP("TAccessible", "Enregistrer le modèle"),
     QT_TRANSLATE_NOOP("TAccessible", "Enregistre les réglages dans un fichier")},
    {"OuvrModele", QT_TRANSLATE_NOOP("TAccessible", "Ouvrir un modèle"),
     QT_TRANSLATE_NOOP("TAccessible", "Charge des réglages depuis un fichier")},
    {"APropos", QT_TRANSLATE_NOOP("TAccessible", "À propos"),
     QT_TRANSLATE_NOOP("TAccessible", "Version du programme et de l'appareil")},
    {"Aide", QT_TRANSLATE_NOOP("TAccessible", "Aide"),
     QT_TRANSLATE_NOOP("TAccessible", "Ouvre l'aide de l'onglet affiché (F1)")},
    // The right column and the status bar.
    {"CamInfos", QT_TRANSLATE_NOOP("TAccessible", "Informations de prise de vue"),
     QT_TRANSLATE_NOOP("TAccessible", "Vitesse, ouverture et mesures de l'appareil")},
    {"ImgHisto", QT_TRANSLATE_NOOP("TAccessible", "Histogramme"),
     QT_TRANSLATE_NOOP("TAccessible", "Répartition des luminosités de l'aperçu")},
    {"PriseVue", QT_TRANSLATE_NOOP("TAccessible", "Déclencheur"),
     QT_TRANSLATE_NOOP("TAccessible",
                       "Une première pression (F5, Espace ou Entrée) presse à "
                       "mi-course, une seconde déclenche ; Échap relâche")},
    {"ConnectAPN", QT_TRANSLATE_NOOP("TAccessible", "Connexion de l'appareil"),
     QT_TRANSLATE_NOOP("TAccessible", "Connecte ou déconnecte l'appareil photo")},
    // Named by its text, which readers announce as it changes.
    {"InfoConnect", nullptr,
     QT_TRANSLATE_NOOP("TAccessible", "État de la connexion de l'appareil")},
    {"InfoStatut", QT_TRANSLATE_NOOP("TAccessible", "Zone d'état"),
     QT_TRANSLATE_NOOP("TAccessible", "Derniers messages du programme")},
    {"FreqImg", QT_TRANSLATE_NOOP("TAccessible", "Images par seconde"),
     QT_TRANSLATE_NOOP("TAccessible", "Cadence de l'aperçu")},
    {"InfoBatterie", QT_TRANSLATE_NOOP("TAccessible", "Batterie"),
     QT_TRANSLATE_NOOP("TAccessible", "Charge de la batterie de l'appareil")},
    {"InfoErreur", QT_TRANSLATE_NOOP("TAccessible", "Voyant d'erreur"),
     QT_TRANSLATE_NOOP("TAccessible", "Rouge après une erreur de l'appareil ; un clic l'éteint")},
    // The strip.
    {"BandeImages", QT_TRANSLATE_NOOP("TAccessible", "Bande des images"),
     QT_TRANSLATE_NOOP("TAccessible", "Les photos de la séance")},
    {"Vignettes", QT_TRANSLATE_NOOP("TAccessible", "Images de la séance"),
     QT_TRANSLATE_NOOP("TAccessible",
                       "Flèches pour parcourir, Alt+flèche depuis la fenêtre ; Entrée ou R pour "
                       "revoir, double clic pour ouvrir")},
    {"OuvrirDossier", QT_TRANSLATE_NOOP("TAccessible", "Ouvrir le dossier"),
     QT_TRANSLATE_NOOP("TAccessible", "Ouvre le dossier de la dernière image")},
    {"Revoir", QT_TRANSLATE_NOOP("TAccessible", "Revoir"),
     QT_TRANSLATE_NOOP("TAccessible", "Revoit l'image choisie en grand (Entrée ou R)")},
    // The schedule of the event trigger and the about box, made with the window.
    {"ParamPgm/SelectDH", QT_TRANSLATE_NOOP("TAccessible", "Dates et tranches programmées"),
     QT_TRANSLATE_NOOP("TAccessible", "Les dates et tranches horaires où la détection est active")},
    {"ParamPgm/NouvDate", QT_TRANSLATE_NOOP("TAccessible", "Nouvelle date"),
     QT_TRANSLATE_NOOP("TAccessible", "Ajoute une date à la programmation")},
    {"ParamPgm/NouvHeure", QT_TRANSLATE_NOOP("TAccessible", "Nouvelle tranche horaire"),
     QT_TRANSLATE_NOOP("TAccessible", "Ajoute une tranche horaire à la date choisie")},
    {"ParamPgm/Valider", QT_TRANSLATE_NOOP("TAccessible", "Valider"),
     QT_TRANSLATE_NOOP("TAccessible", "Garde la programmation et ferme")},
    {"ParamPgm/Aide", QT_TRANSLATE_NOOP("TAccessible", "Aide"),
     QT_TRANSLATE_NOOP("TAccessible", "Ouvre l'aide du programmateur")},
    {"ParamPgm/Annuler", QT_TRANSLATE_NOOP("TAccessible", "Annuler"),
     QT_TRANSLATE_NOOP("TAccessible", "Ferme sans rien changer")},
    {"InfosPgm/Ok", QT_TRANSLATE_NOOP("TAccessible", "OK"),
     QT_TRANSLATE_NOOP("TAccessible", "Ferme la fenêtre À propos")},
};

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
