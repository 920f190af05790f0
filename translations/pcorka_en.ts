<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr_FR">
<context>
    <name>AVICompression</name>
    <message>
        <source>Format vidéo non pris en charge</source>
        <translation>Video format not supported</translation>
    </message>
    <message>
        <source>Impossible de créer le fichier vidéo </source>
        <translation>Cannot create the video file </translation>
    </message>
    <message>
        <source>Erreur d&apos;écriture du fichier vidéo </source>
        <translation>Error writing the video file </translation>
    </message>
    <message>
        <source>Image trop grande pour le fichier vidéo </source>
        <translation>Picture too large for the video file </translation>
    </message>
</context>
<context>
    <name>ColourControls</name>
    <message>
        <source>Filtre monochrome</source>
        <translation>Monochrome filter</translation>
    </message>
    <message>
        <source>Filtre de couleur</source>
        <translation>Colour filter</translation>
    </message>
    <message>
        <source>RVB = %1 ,%2 ,%3</source>
        <translation>RGB = %1, %2, %3</translation>
    </message>
</context>
<context>
    <name>Connection</name>
    <message>
        <source>APN non connecté</source>
        <translation>Camera not connected</translation>
    </message>
    <message>
        <source>L&apos;APN a été rebranché : il est de nouveau connecté.</source>
        <translation>The camera was plugged in again: it is connected again.</translation>
    </message>
    <message>
        <source>Essai de connexion … (%1/%2) — Échap pour annuler</source>
        <translation>Trying to connect … (%1/%2) — Esc to cancel</translation>
    </message>
    <message>
        <source>Essai de connexion ...</source>
        <translation>Trying to connect ...</translation>
    </message>
    <message>
        <source>Echec de la connexion</source>
        <translation>Connection failed</translation>
    </message>
    <message>
        <source>Connexion annulée.</source>
        <translation>Connection cancelled.</translation>
    </message>
    <message>
        <source>APN connecté</source>
        <translation>Camera connected</translation>
    </message>
    <message>
        <source> La fenêtre le cherche toutes les %1 s et se connectera dès qu&apos;il sera là (Échap ou clic sur le bouton de connexion pour arrêter).</source>
        <translation> The window looks for it every %1 s and connects as soon as it is there (Esc or a click on the connection button to stop).</translation>
    </message>
    <message>
        <source>L&apos;APN a été débranché.</source>
        <translation>The camera was unplugged.</translation>
    </message>
    <message>
        <source>Recherche de l&apos;APN</source>
        <translation>Looking for the camera</translation>
    </message>
    <message>
        <source>Recherche de l&apos;APN arrêtée : cliquez sur le bouton de connexion pour la reprendre.</source>
        <translation>Search for the camera stopped: click the connection button to resume it.</translation>
    </message>
    <message>
        <source>Réception du dernier fichier …</source>
        <translation>Receiving the last file …</translation>
    </message>
    <message>
        <source>Réception de %1 fichiers …</source>
        <translation>Receiving %1 files …</translation>
    </message>
    <message>
        <source> — Échap pour déconnecter sans attendre</source>
        <translation> — Esc to disconnect without waiting</translation>
    </message>
    <message>
        <source>1 fichier</source>
        <translation>1 file</translation>
    </message>
    <message>
        <source>%1 fichiers</source>
        <translation>%1 files</translation>
    </message>
    <message>
        <source>L&apos;appareil doit encore transmettre %1, et aucun n&apos;est arrivé depuis 30 secondes.</source>
        <translation>The camera still has %1 to send, and none has arrived for 30 seconds.</translation>
    </message>
    <message>
        <source>Continuer d&apos;attendre, ou déconnecter quand même ? Les fichiers qui n&apos;auront pas été transmis seront perdus.</source>
        <translation>Keep waiting, or disconnect anyway? Files not yet sent will be lost.</translation>
    </message>
    <message>
        <source>Continuer d&apos;attendre</source>
        <translation>Keep waiting</translation>
    </message>
    <message>
        <source>Déconnecter quand même</source>
        <translation>Disconnect anyway</translation>
    </message>
    <message>
        <source>Attente des fichiers annulée : %1 fichier(s) non reçu(s).</source>
        <translation>Wait for the files cancelled: %1 file(s) not received.</translation>
    </message>
</context>
<context>
    <name>ConnectionDiagnosis</name>
    <message>
        <source>Aucun Orka n&apos;est branché : vérifiez le câble USB et que l&apos;appareil est allumé.</source>
        <translation>No Orka is plugged in: check the USB cable and that the camera is switched on.</translation>
    </message>
    <message>
        <source>Un Orka est branché, mais l&apos;accès à l&apos;appareil%1 est refusé. Installez la règle udev avec la commande :
%2
puis débranchez et rebranchez l&apos;appareil.</source>
        <translation>An Orka is plugged in, but access to the device%1 is denied. Install the udev rule with the command:
%2
then unplug the camera and plug it in again.</translation>
    </message>
    <message>
        <source>Un Orka est branché, mais un autre programme l&apos;utilise%1. Les importateurs de photos du bureau s&apos;emparent souvent des appareils : fermez ce programme, puis réessayez.</source>
        <translation>An Orka is plugged in, but another program is using it%1. Desktop photo importers often grab cameras: close that program, then try again.</translation>
    </message>
    <message>
        <source>Un Orka est branché, mais il ne s&apos;est pas rendu disponible : débranchez-le et rebranchez-le, puis réessayez.</source>
        <translation>An Orka is plugged in, but it did not make itself available: unplug it and plug it in again, then try again.</translation>
    </message>
    <message>
        <source>L&apos;accès USB est indisponible sur cet ordinateur : l&apos;Orka ne peut pas être cherché.</source>
        <translation>USB access is unavailable on this computer: the Orka cannot be looked for.</translation>
    </message>
    <message>
        <source>L&apos;Orka est branché mais ne répond pas : éteignez-le et rallumez-le, puis réessayez.</source>
        <translation>The Orka is plugged in but does not answer: switch it off and on again, then try again.</translation>
    </message>
</context>
<context>
    <name>DepthOfField</name>
    <message>
        <source>Inf.</source>
        <translation>Inf.</translation>
    </message>
</context>
<context>
    <name>EventPump</name>
    <message>
        <source>Configuration Orka (*.cfg)</source>
        <translation>Orka configuration (*.cfg)</translation>
    </message>
</context>
<context>
    <name>FchConf</name>
    <message>
        <source>Accès refusé</source>
        <translation>Access denied</translation>
    </message>
    <message>
        <source>Impossible d&apos;ouvrir le fichier</source>
        <translation>Cannot open the file</translation>
    </message>
    <message>
        <source>Erreur de lecture du fichier</source>
        <translation>Error reading the file</translation>
    </message>
    <message>
        <source>Erreur d&apos;écriture du fichier</source>
        <translation>Error writing the file</translation>
    </message>
    <message>
        <source>Espace disque ou ressources insuffisants</source>
        <translation>Not enough disk space or resources</translation>
    </message>
    <message>
        <source>Impossible de remplacer le fichier</source>
        <translation>Cannot replace the file</translation>
    </message>
    <message>
        <source>Erreur d&apos;entrée/sortie</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <source>Fichier inexistant</source>
        <translation>File does not exist</translation>
    </message>
    <message>
        <source>Fichier de configuration invalide</source>
        <translation>Invalid configuration file</translation>
    </message>
    <message>
        <source>Lecture au-delà de la fin de fichier</source>
        <translation>Read beyond the end of the file</translation>
    </message>
</context>
<context>
    <name>HelpViewer</name>
    <message>
        <source>Aide de PC &lt;--&gt; Orka</source>
        <translation>PC &lt;--&gt; Orka Help</translation>
    </message>
    <message>
        <source>&lt; Précédent</source>
        <translation>&lt; Previous</translation>
    </message>
    <message>
        <source>Suivant &gt;</source>
        <translation>Next &gt;</translation>
    </message>
    <message>
        <source>Sommaire</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>Fermer</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>&lt;p&gt;La page d&apos;aide &lt;code&gt;%1&lt;/code&gt; est introuvable.&lt;/p&gt;</source>
        <translation>&lt;p&gt;The help page &lt;code&gt;%1&lt;/code&gt; cannot be found.&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>Histogram</name>
    <message>
        <source> - Système de mesure en surexposition, </source>
        <translation> - Metering system overexposed, </translation>
    </message>
    <message>
        <source> - Système de mesure en sousexposition, </source>
        <translation> - Metering system underexposed, </translation>
    </message>
    <message>
        <source> - Hors domaine d&apos;exposition automatique, </source>
        <translation> - Outside the automatic exposure range, </translation>
    </message>
    <message>
        <source> - Système Anti-bougé hors domaine, </source>
        <translation> - Image stabiliser out of range, </translation>
    </message>
    <message>
        <source> - Utilisation du Flash conseillé, </source>
        <translation> - Flash recommended, </translation>
    </message>
    <message>
        <source> - Flash anti-yeux rouges activé, </source>
        <translation> - Red-eye reduction flash on, </translation>
    </message>
    <message>
        <source> - Le Flash va être déclenché, </source>
        <translation> - The flash will fire, </translation>
    </message>
    <message>
        <source> - Exposition automatique verrouillée.</source>
        <translation> - Automatic exposure locked.</translation>
    </message>
</context>
<context>
    <name>IdleRefresh</name>
    <message>
        <source>FLASH INACTIF</source>
        <translation>FLASH OFF</translation>
    </message>
    <message>
        <source>FLASH ACTIF</source>
        <translation>FLASH ON</translation>
    </message>
    <message>
        <source>MODE MACRO</source>
        <translation>MACRO MODE</translation>
    </message>
    <message>
        <source>Infini</source>
        <translation>Infinity</translation>
    </message>
</context>
<context>
    <name>InfosPgm</name>
    <message>
        <source>© Les auteurs de PCOrka</source>
        <translation>© The PCOrka authors</translation>
    </message>
</context>
<context>
    <name>InterfaceOrka</name>
    <message>
        <source>Très fin</source>
        <translation>Extra fine</translation>
    </message>
    <message>
        <source>Fin</source>
        <translation>Fine</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Mode Programme</source>
        <translation>Program mode</translation>
    </message>
    <message>
        <source>Priorité Ouverture</source>
        <translation>Aperture priority</translation>
    </message>
    <message>
        <source>Priorité Vitesse</source>
        <translation>Shutter priority</translation>
    </message>
    <message>
        <source>Mode Manuel</source>
        <translation>Manual mode</translation>
    </message>
    <message>
        <source>Multi-segment</source>
        <translation>Multi-segment</translation>
    </message>
    <message>
        <source>Centrale pondérée</source>
        <translation>Centre-weighted</translation>
    </message>
    <message>
        <source>Mesure ponctuelle</source>
        <translation>Spot metering</translation>
    </message>
    <message>
        <source>Flash normal</source>
        <translation>Normal flash</translation>
    </message>
    <message>
        <source>Réduction yeux rouges</source>
        <translation>Red-eye reduction</translation>
    </message>
    <message>
        <source>Synchro second rideau</source>
        <translation>Rear-curtain sync</translation>
    </message>
    <message>
        <source>Flash Télécommandé</source>
        <translation>Remote flash</translation>
    </message>
    <message>
        <source>Distance</source>
        <translation>Distance</translation>
    </message>
    <message>
        <source>Manuel (Puissance max)</source>
        <translation>Manual (full power)</translation>
    </message>
    <message>
        <source>Manuel (1/2 puissance)</source>
        <translation>Manual (1/2 power)</translation>
    </message>
    <message>
        <source>Manuel (1/4 puissance)</source>
        <translation>Manual (1/4 power)</translation>
    </message>
    <message>
        <source>Manuel (1/8 puissance)</source>
        <translation>Manual (1/8 power)</translation>
    </message>
    <message>
        <source>Manuel (1/16 puissance)</source>
        <translation>Manual (1/16 power)</translation>
    </message>
    <message>
        <source>Saturé sRVB</source>
        <translation>Vivid sRGB</translation>
    </message>
    <message>
        <source>Naturel sRVB</source>
        <translation>Natural sRGB</translation>
    </message>
    <message>
        <source>Adobe RVB</source>
        <translation>Adobe RGB</translation>
    </message>
    <message>
        <source>Profil Adobe RVB</source>
        <translation>Adobe RGB profile</translation>
    </message>
    <message>
        <source>Noir et Blanc</source>
        <translation>Black and white</translation>
    </message>
    <message>
        <source>Solarisation</source>
        <translation>Solarisation</translation>
    </message>
    <message>
        <source>Accentuée</source>
        <translation>Hard</translation>
    </message>
    <message>
        <source>Normale</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Adoucie</source>
        <translation>Soft</translation>
    </message>
    <message>
        <source>Automatique</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>Lumière du jour</source>
        <translation>Daylight</translation>
    </message>
    <message>
        <source>Ciel nuageux</source>
        <translation>Cloudy</translation>
    </message>
    <message>
        <source>Lampe tungstène</source>
        <translation>Tungsten</translation>
    </message>
    <message>
        <source>Personnalisé</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>Ombre</source>
        <translation>Shade</translation>
    </message>
    <message>
        <source>Fluo blanc</source>
        <translation>White fluorescent</translation>
    </message>
    <message>
        <source>Fluo blanc froid</source>
        <translation>Cool white fluorescent</translation>
    </message>
    <message>
        <source>Fluo blanc froid 3 bandes</source>
        <translation>Cool white tri-band fluorescent</translation>
    </message>
    <message>
        <source>Fluo lumière du jour 3 bandes</source>
        <translation>Daylight tri-band fluorescent</translation>
    </message>
    <message>
        <source>Fluo lumière du jour</source>
        <translation>Daylight fluorescent</translation>
    </message>
    <message>
        <source>Fluo blanc chaud 3 bandes</source>
        <translation>Warm white tri-band fluorescent</translation>
    </message>
    <message>
        <source>Fluo froid 3 bandes</source>
        <translation>Cool tri-band fluorescent</translation>
    </message>
    <message>
        <source>Pas de son</source>
        <translation>No sound</translation>
    </message>
    <message>
        <source>Son N° 1</source>
        <translation>Sound no. 1</translation>
    </message>
    <message>
        <source>Son N° 2</source>
        <translation>Sound no. 2</translation>
    </message>
</context>
<context>
    <name>IntervalSequence</name>
    <message>
        <source>Stopper la séquence</source>
        <translation>Stop the sequence</translation>
    </message>
    <message>
        <source>Lancer la séquence</source>
        <translation>Start the sequence</translation>
    </message>
    <message>
        <source>Séquence d&apos;intervalles arrêtée après %1 prise(s) sur %2</source>
        <translation>Interval sequence stopped after %1 shot(s) of %2</translation>
    </message>
    <message>
        <source> : l&apos;APN a été déconnecté.</source>
        <translation>: the camera was disconnected.</translation>
    </message>
</context>
<context>
    <name>LiveAssist</name>
    <message>
        <source>%1 % de la netteté des contours les plus nets</source>
        <translation>%1 % of the sharpness of the sharpest edges</translation>
    </message>
</context>
<context>
    <name>LiveView</name>
    <message>
        <source>Sensibilité du focus peaking : marque les contours d&apos;au moins %1</source>
        <translation>Focus peaking sensitivity: marks edges of at least %1</translation>
    </message>
</context>
<context>
    <name>LiveViewMath</name>
    <message>
        <source> Img/s</source>
        <translation> fps</translation>
    </message>
</context>
<context>
    <name>MotionTrigger</name>
    <message>
        <source>Désactiver la détection</source>
        <translation>Stop detection</translation>
    </message>
    <message>
        <source>Activer la détection</source>
        <translation>Start detection</translation>
    </message>
</context>
<context>
    <name>NumericEdit</name>
    <message>
        <source>Avertissement</source>
        <translation>Warning</translation>
    </message>
</context>
<context>
    <name>PictureFolder</name>
    <message>
        <source>Dossier des images créé : %1</source>
        <translation>Picture folder created: %1</translation>
    </message>
    <message>
        <source>Impossible de créer le dossier %1 : les images iront dans Documents</source>
        <translation>Cannot create the folder %1: pictures will go to Documents</translation>
    </message>
</context>
<context>
    <name>PictureNotes</name>
    <message>
        <source>Image enregistrée : %1</source>
        <translation>Picture saved: %1</translation>
    </message>
    <message>
        <source>Image incomplète conservée : %1</source>
        <translation>Incomplete picture kept: %1</translation>
    </message>
    <message>
        <source> (dans Documents : le dossier choisi n&apos;était pas utilisable)</source>
        <translation> (in Documents: the chosen folder could not be used)</translation>
    </message>
    <message>
        <source> (numéros du préfixe épuisés : nom en « 99999~ »)</source>
        <translation> (prefix numbers used up: name ending in “99999~”)</translation>
    </message>
    <message>
        <source>L&apos;appareil photo a été déconnecté.</source>
        <translation>The camera was disconnected.</translation>
    </message>
    <message>
        <source> Image incomplète conservée : %1</source>
        <translation> Incomplete picture kept: %1</translation>
    </message>
</context>
<context>
    <name>PictureReview</name>
    <message>
        <source>Note de %1 non enregistrée : %2</source>
        <translation>Rating of %1 not saved: %2</translation>
    </message>
</context>
<context>
    <name>ProgDH</name>
    <message>
        <source>Programmateur Date et Heure</source>
        <translation>Date and Time Scheduler</translation>
    </message>
    <message>
        <source> Date </source>
        <translation> Date </translation>
    </message>
    <message>
        <source>Nouvelle date</source>
        <translation>New date</translation>
    </message>
    <message>
        <source> Tranche horaire </source>
        <translation> Time slot </translation>
    </message>
    <message>
        <source>Nouvelle tranche horaire</source>
        <translation>New time slot</translation>
    </message>
    <message>
        <source>Valider</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>Aide</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Avertissement</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Valider la date</source>
        <translation>Confirm the date</translation>
    </message>
    <message>
        <source>Valider l&apos;heure de Début</source>
        <translation>Confirm the start time</translation>
    </message>
    <message>
        <source>Valider l&apos;heure de Fin</source>
        <translation>Confirm the end time</translation>
    </message>
    <message>
        <source>Date à programmer</source>
        <translation>Date to schedule</translation>
    </message>
    <message>
        <source>Heure de la tranche</source>
        <translation>Time of the slot</translation>
    </message>
    <message>
        <source>La date où la détection sera active ; « Valider la date » la garde</source>
        <translation>The date on which detection will be active; “Confirm the date” keeps it</translation>
    </message>
    <message>
        <source>L&apos;heure de début, puis l&apos;heure de fin de la tranche horaire ; le bouton de validation la garde</source>
        <translation>The start time, then the end time of the time slot; the confirm button keeps it</translation>
    </message>
</context>
<context>
    <name>RememberedChoices</name>
    <message>
        <source>Le dossier des images %1 n&apos;existe plus : les images iront dans %2.</source>
        <translation>The picture folder %1 no longer exists: pictures will go to %2.</translation>
    </message>
</context>
<context>
    <name>ReviewDecoder</name>
    <message>
        <source>Image tronquée : seules les %1 premières lignes sur %2 sont dans le fichier, le reste est gris.</source>
        <translation>Truncated picture: only the first %1 lines of %2 are in the file, the rest is grey.</translation>
    </message>
    <message>
        <source>Image tronquée : les dernières passes manquent, l&apos;image est moins nette qu&apos;elle ne devrait.</source>
        <translation>Truncated picture: the last scans are missing, the picture is less sharp than it should be.</translation>
    </message>
    <message>
        <source>Image endommagée : lisible jusqu&apos;à la ligne %1 sur %2, le reste est gris.</source>
        <translation>Damaged picture: readable up to line %1 of %2, the rest is grey.</translation>
    </message>
    <message>
        <source>Image endommagée : des données sont corrompues, des blocs peuvent être faux.</source>
        <translation>Damaged picture: some data is corrupt, some blocks may be wrong.</translation>
    </message>
    <message>
        <source>Ce fichier n&apos;est pas une image JPEG.</source>
        <translation>This file is not a JPEG picture.</translation>
    </message>
    <message>
        <source>Image illisible.</source>
        <translation>Unreadable picture.</translation>
    </message>
    <message>
        <source>Image illisible (%1).</source>
        <translation>Unreadable picture (%1).</translation>
    </message>
    <message>
        <source>Fichier trop gros pour une image (au plus %1 Mo).</source>
        <translation>File too large for a picture (at most %1 MB).</translation>
    </message>
    <message>
        <source>Image trop grande pour la vue à 100 % : %1 pixels (au plus %2 millions).</source>
        <translation>Picture too large for the 100 % view: %1 pixels (at most %2 million).</translation>
    </message>
    <message>
        <source>Image trop grande : %1 pixels annoncés (au plus %2 millions).</source>
        <translation>Picture too large: %1 pixels announced (at most %2 million).</translation>
    </message>
    <message>
        <source>Image progressive de plus de %1 passes : décodage arrêté.</source>
        <translation>Progressive picture with more than %1 scans: decoding stopped.</translation>
    </message>
    <message>
        <source>Mémoire insuffisante pour décoder cette image (%1 pixels).</source>
        <translation>Not enough memory to decode this picture (%1 pixels).</translation>
    </message>
    <message>
        <source>image en CMJN</source>
        <translation>CMYK picture</translation>
    </message>
</context>
<context>
    <name>ReviewLoader</name>
    <message>
        <source>Fichier introuvable : %1.</source>
        <translation>File not found: %1.</translation>
    </message>
    <message>
        <source>Impossible de lire %1 : %2.</source>
        <translation>Cannot read %1: %2.</translation>
    </message>
</context>
<context>
    <name>ReviewWindow</name>
    <message>
        <source>Rejetée</source>
        <translation>Rejected</translation>
    </message>
    <message>
        <source>Sans note</source>
        <translation>No rating</translation>
    </message>
    <message>
        <source>Chargement de l&apos;image entière…</source>
        <translation>Loading the full picture…</translation>
    </message>
    <message>
        <source>Aucune image.</source>
        <translation>No picture.</translation>
    </message>
    <message>
        <source>Chargement…</source>
        <translation>Loading…</translation>
    </message>
    <message>
        <source>Revue des images</source>
        <translation>Picture review</translation>
    </message>
    <message>
        <source>Une image plus récente est arrivée (Fin pour y aller).</source>
        <translation>A newer picture has arrived (End to go to it).</translation>
    </message>
    <message>
        <source>← → Home Fin : images · 1-5 0 X : note · Z : 100 % au point de mise au point · F : masque de netteté · C : écrêtage</source>
        <translation>← → Home End: pictures · 1-5 0 X: rating · Z: 100 % at the focus point · F: sharpness mask · C: clipping</translation>
    </message>
    <message>
        <source>Image brute : pas encore d&apos;aperçu (ni JPEG ni .thm).</source>
        <translation>Raw picture: no preview yet (neither JPEG nor .thm).</translation>
    </message>
    <message>
        <source>Image brute : affichée par son compagnon %1.</source>
        <translation>Raw picture: shown through its companion %1.</translation>
    </message>
    <message>
        <source>Fichier coupé pendant le transfert (.partiel) : l&apos;image s&apos;arrête là où les données s&apos;arrêtent.</source>
        <translation>File cut off during the transfer (.partiel): the picture stops where the data stops.</translation>
    </message>
    <message>
        <source>Réglages de la prise inconnus.</source>
        <translation>Shooting settings unknown.</translation>
    </message>
    <message>
        <source>Revue des images — %1 (%2 / %3)</source>
        <translation>Picture review — %1 (%2 / %3)</translation>
    </message>
    <message>
        <source>Note : %1</source>
        <translation>Rating: %1</translation>
    </message>
</context>
<context>
    <name>Safekeeping</name>
    <message>
        <source>L&apos;image « %1 » ne peut pas être lue (%2) : sa copie attend.</source>
        <translation>The picture “%1” cannot be read (%2): its copy is waiting.</translation>
    </message>
    <message>
        <source>Le dossier de sauvegarde « %1 » est absent (support débranché ?) : les copies attendent son retour.</source>
        <translation>The backup folder “%1” is missing (drive unplugged?): the copies are waiting for it to come back.</translation>
    </message>
    <message>
        <source>Le dossier de sauvegarde « %1 » est en lecture seule : les copies attendent.</source>
        <translation>The backup folder “%1” is read-only: the copies are waiting.</translation>
    </message>
    <message>
        <source>Le dossier de sauvegarde « %1 » refuse l&apos;écriture (droits insuffisants) : les copies attendent.</source>
        <translation>The backup folder “%1” refuses writing (insufficient permissions): the copies are waiting.</translation>
    </message>
    <message>
        <source>Le dossier de sauvegarde « %1 » est plein : les copies attendent de la place.</source>
        <translation>The backup folder “%1” is full: the copies are waiting for space.</translation>
    </message>
    <message>
        <source>Le dossier de sauvegarde « %1 » a une erreur d&apos;écriture (support défectueux ?) : les copies attendent.</source>
        <translation>The backup folder “%1” has a write error (faulty drive?): the copies are waiting.</translation>
    </message>
    <message>
        <source>Le dossier de sauvegarde « %1 » ne prend pas la copie (%2) : les copies attendent.</source>
        <translation>The backup folder “%1” does not take the copy (%2): the copies are waiting.</translation>
    </message>
    <message>
        <source>copie de sécurité désactivée</source>
        <translation>backup copy turned off</translation>
    </message>
    <message>
        <source>L&apos;image « %1 » a disparu de son dossier avant sa copie de sécurité.</source>
        <translation>The picture “%1” disappeared from its folder before its backup copy.</translation>
    </message>
    <message>
        <source>La copie de « %1 » relue ne correspond pas à l&apos;image (support de sauvegarde défectueux ?).</source>
        <translation>The copy of “%1”, read back, does not match the picture (faulty backup drive?).</translation>
    </message>
    <message>
        <source>%1,%2 Mo</source>
        <translation>%1.%2 MB</translation>
    </message>
    <message>
        <source>La commande après chaque image n&apos;a pas pu être lancée : %1.</source>
        <translation>The command after each picture could not be started: %1.</translation>
    </message>
    <message>
        <source>La commande après « %1 » a été arrêtée : elle tournait encore après le délai permis.</source>
        <translation>The command after “%1” was stopped: it was still running after the time allowed.</translation>
    </message>
    <message>
        <source>La commande après « %1 » s&apos;est terminée sur le signal %2.</source>
        <translation>The command after “%1” ended on signal %2.</translation>
    </message>
    <message>
        <source>La commande après « %1 » a échoué (code de sortie %2).</source>
        <translation>The command after “%1” failed (exit code %2).</translation>
    </message>
    <message>
        <source>La commande après « %1 » a échoué (code de sortie %2) : %3.</source>
        <translation>The command after “%1” failed (exit code %2): %3.</translation>
    </message>
    <message>
        <source>image</source>
        <translation>picture</translation>
    </message>
    <message>
        <source>images</source>
        <translation>pictures</translation>
    </message>
    <message>
        <source>Le fichier « %1 » ne peut pas être lu (%2).</source>
        <translation>The file “%1” cannot be read (%2).</translation>
    </message>
    <message>
        <source>Plus assez de place dans « %1 » : il reste %2 et une image en demande environ %3. Libérez de la place ou choisissez un autre dossier avant de déclencher.</source>
        <translation>Not enough space left in “%1”: %2 remain and a picture needs about %3. Free some space or choose another folder before shooting.</translation>
    </message>
    <message>
        <source>La séquence de %1 ne tient pas dans « %2 » : il y a place pour environ %3.</source>
        <translation>The sequence of %1 does not fit in “%2”: there is room for about %3.</translation>
    </message>
    <message>
        <source>Les copies de sécurité de la séquence ne tiendront pas dans « %1 » : place pour environ %2.</source>
        <translation>The backup copies of the sequence will not fit in “%1”: room for about %2.</translation>
    </message>
    <message>
        <source>copie en attente.</source>
        <translation>copy waiting.</translation>
    </message>
    <message>
        <source>copies en attente.</source>
        <translation>copies waiting.</translation>
    </message>
    <message>
        <source>Copie de sécurité en cours : %1</source>
        <translation>Backup copy under way: %1</translation>
    </message>
    <message>
        <source>fichier en attente.</source>
        <translation>file waiting.</translation>
    </message>
    <message>
        <source>fichiers en attente.</source>
        <translation>files waiting.</translation>
    </message>
    <message>
        <source>Copie de sécurité à jour : %1 dans « %2 ».</source>
        <translation>Backup copy up to date: %1 in “%2”.</translation>
    </message>
    <message>
        <source>fichier en double</source>
        <translation>file saved twice</translation>
    </message>
    <message>
        <source>fichiers en double</source>
        <translation>files saved twice</translation>
    </message>
    <message>
        <source>fichier n&apos;a pas sa copie : </source>
        <translation>file has no copy: </translation>
    </message>
    <message>
        <source>fichiers n&apos;ont pas leur copie ; le dernier : </source>
        <translation>files have no copy; the last one: </translation>
    </message>
    <message>
        <source>Place pour environ %1</source>
        <translation>Room for about %1</translation>
    </message>
    <message>
        <source>Sauvegarde : place pour environ %1</source>
        <translation>Backup: room for about %1</translation>
    </message>
    <message>
        <source> (sauvegarde : %1)</source>
        <translation> (backup: %1)</translation>
    </message>
    <message>
        <source>Attention, bientôt plus de place : %1.</source>
        <translation>Warning, space is running out: %1.</translation>
    </message>
    <message>
        <source>Le journal de la séance n&apos;a pas de dossier des images où s&apos;écrire.</source>
        <translation>The session journal has no picture folder to be written in.</translation>
    </message>
    <message>
        <source>Le journal de la séance ne peut pas être créé dans « %1 » : %2.</source>
        <translation>The session journal cannot be created in “%1”: %2.</translation>
    </message>
    <message>
        <source>Le journal de la séance ne peut plus être écrit (%1) : les événements sont gardés et écrits dès que possible.</source>
        <translation>The session journal can no longer be written (%1): the events are kept and written as soon as possible.</translation>
    </message>
    <message>
        <source>La séance précédente ne s&apos;est pas terminée normalement (journal « %1 »). </source>
        <translation>The previous session did not end normally (journal “%1”). </translation>
    </message>
    <message>
        <source>La séance précédente (journal « %1 ») a laissé des copies à faire. </source>
        <translation>The previous session (journal “%1”) left copies to make. </translation>
    </message>
    <message>
        <source>fichier enregistré y est noté</source>
        <translation>saved file is listed in it</translation>
    </message>
    <message>
        <source>fichiers enregistrés y sont notés</source>
        <translation>saved files are listed in it</translation>
    </message>
    <message>
        <source> ; %1 dans « %2 »</source>
        <translation>; %1 in “%2”</translation>
    </message>
    <message>
        <source>copie de sécurité reste à faire : elle va être faite</source>
        <translation>backup copy is still owed: it will be made now</translation>
    </message>
    <message>
        <source>copies de sécurité restent à faire : elles vont être faites</source>
        <translation>backup copies are still owed: they will be made now</translation>
    </message>
    <message>
        <source> Le journal n&apos;a pu être lu que jusqu&apos;à sa ligne %1 (ligne coupée ou abîmée).</source>
        <translation> The journal could be read only up to its line %1 (line cut off or damaged).</translation>
    </message>
</context>
<context>
    <name>SavedPictures</name>
    <message>
        <source>Vidéo enregistrée : %1</source>
        <translation>Video saved: %1</translation>
    </message>
    <message>
        <source>Vidéo enregistrée en %2 fichiers : %1</source>
        <translation>Video saved in %2 files: %1</translation>
    </message>
    <message>
        <source>Aucun programme installé n&apos;ouvre %1</source>
        <translation>No installed program opens %1</translation>
    </message>
    <message>
        <source>Aucun programme installé sur cet ordinateur n&apos;ouvre « %1 ».</source>
        <translation>No program installed on this computer opens “%1”.</translation>
    </message>
    <message>
        <source>Le fichier est dans le dossier %1.</source>
        <translation>The file is in the folder %1.</translation>
    </message>
    <message>
        <source>Ouvrir le dossier</source>
        <translation>Open the folder</translation>
    </message>
    <message>
        <source>Fermer</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Le dossier %1 n&apos;a pas pu être ouvert non plus.</source>
        <translation>The folder %1 could not be opened either.</translation>
    </message>
</context>
<context>
    <name>Schedule</name>
    <message>
        <source>Le </source>
        <translation>On </translation>
    </message>
    <message>
        <source>Début : </source>
        <translation>Start: </translation>
    </message>
    <message>
        <source>Fin : </source>
        <translation>End: </translation>
    </message>
    <message>
        <source>La date du </source>
        <translation>The date </translation>
    </message>
    <message>
        <source> est déjà utilisée.</source>
        <translation> is already used.</translation>
    </message>
    <message>
        <source> En choisir une autre.</source>
        <translation> Choose another one.</translation>
    </message>
    <message>
        <source>Le début d&apos;une nouvelle tranche horaire ne doit pas être à l&apos;intérieur d&apos;une tranche existante :
<byte value="xd"/>
<byte value="xd"/></source>
        <translation>The start of a new time slot must not fall inside an existing time slot:
<byte value="xd"/>
<byte value="xd"/></translation>
    </message>
    <message>
        <source>Le fin d&apos;une nouvelle tranche horaire ne doit pas empiéter sur la tranche suivante :
<byte value="xd"/>
<byte value="xd"/></source>
        <translation>The end of a new time slot must not overlap the next time slot:
<byte value="xd"/>
<byte value="xd"/></translation>
    </message>
    <message>
        <source>L&apos;heure de Fin de tranche horaire doit être supérieure à l&apos;heure de début.</source>
        <translation>The end time of a time slot must be later than its start time.</translation>
    </message>
    <message>
        <source> à </source>
        <translation> to </translation>
    </message>
</context>
<context>
    <name>SessionSafety</name>
    <message>
        <source>%1 copie(s) de sécurité encore à faire, notées dans le journal %2 : elles seront terminées au prochain démarrage.</source>
        <translation>%1 backup copy(ies) still to make, noted in the journal %2: they will be finished at the next start.</translation>
    </message>
    <message>
        <source> Séquence non lancée.</source>
        <translation> Sequence not started.</translation>
    </message>
    <message>
        <source>Déclenchement sur mouvement : </source>
        <translation>Release on movement: </translation>
    </message>
    <message>
        <source>Dossier de la copie de sécurité</source>
        <translation>Backup copy folder</translation>
    </message>
    <message>
        <source>La copie de sécurité doit aller dans un autre dossier que les images (de préférence sur un autre disque).</source>
        <translation>The backup copy must go into a folder other than the pictures&apos; (preferably on another disk).</translation>
    </message>
    <message>
        <source> Les copies en attente sont faites.</source>
        <translation> The pending copies are made.</translation>
    </message>
    <message>
        <source> Des copies n&apos;ont pas pu être faites : voir la copie de sécurité.</source>
        <translation> Some copies could not be made: see the backup copy.</translation>
    </message>
    <message>
        <source>Fin des copies de sécurité en cours (au plus %1 s)…</source>
        <translation>Finishing the backup copies under way (at most %1 s)…</translation>
    </message>
</context>
<context>
    <name>SessionStrip</name>
    <message>
        <source>incomplète</source>
        <translation>incomplete</translation>
    </message>
    <message>
        <source>vidéo</source>
        <translation>video</translation>
    </message>
    <message>
        <source>Ouvrir le
dossier</source>
        <translation>Open the
folder</translation>
    </message>
    <message>
        <source>Ouvre le dossier de la dernière image</source>
        <translation>Opens the folder of the latest picture</translation>
    </message>
    <message>
        <source>Ouvrir le dossier</source>
        <translation>Open the folder</translation>
    </message>
    <message>
        <source>%1
image incomplète : la transmission a été interrompue, les octets reçus sont conservés</source>
        <translation>%1
incomplete picture: the transfer was interrupted, the bytes received are kept</translation>
    </message>
    <message>
        <source>%1
vidéo enregistrée par la fenêtre</source>
        <translation>%1
video recorded by the window</translation>
    </message>
    <message>
        <source>Images de la séance : Entrée ou R pour revoir, double clic pour ouvrir</source>
        <translation>Pictures of the session: Enter or R to review, double-click to open</translation>
    </message>
    <message>
        <source>Revoir</source>
        <translation>Review</translation>
    </message>
    <message>
        <source>Revoit l&apos;image choisie en grand (Entrée ou R)</source>
        <translation>Reviews the chosen picture full size (Enter or R)</translation>
    </message>
    <message>
        <source>enregistrée deux fois (copie vérifiée)</source>
        <translation>saved twice (copy verified)</translation>
    </message>
    <message>
        <source>enregistrée une fois, copie de sécurité en attente</source>
        <translation>saved once, backup copy pending</translation>
    </message>
    <message>
        <source>copie de sécurité impossible</source>
        <translation>backup copy impossible</translation>
    </message>
    <message>
        <source>enregistrée une fois</source>
        <translation>saved once</translation>
    </message>
</context>
<context>
    <name>SettingsTab</name>
    <message>
        <source>Répertoire des images</source>
        <translation>Picture folder</translation>
    </message>
    <message>
        <source>Langue de la fenêtre et de l&apos;aide : s&apos;applique au prochain démarrage</source>
        <translation>Language of the window and of the help: applies at the next start</translation>
    </message>
    <message>
        <source>Langue</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Langue : %1.</source>
        <translation>Language: %1.</translation>
    </message>
    <message>
        <source>Langue choisie : %1. Elle s&apos;appliquera au prochain démarrage de PCOrka.</source>
        <translation>Language chosen: %1. It will apply at the next start of PCOrka.</translation>
    </message>
</context>
<context>
    <name>ShootingModes</name>
    <message>
        <source>PC &lt;--&gt; Orka         en mode de Prise de vue unique</source>
        <translation>PC &lt;--&gt; Orka         in Single shot mode</translation>
    </message>
    <message>
        <source>PC &lt;--&gt; Orka         en mode Séquence décalée de ± 0,3</source>
        <translation>PC &lt;--&gt; Orka         in Bracketing ± 0.3 mode</translation>
    </message>
    <message>
        <source>PC &lt;--&gt; Orka         en mode Intervallomètre</source>
        <translation>PC &lt;--&gt; Orka         in Intervalometer mode</translation>
    </message>
    <message>
        <source>PC &lt;--&gt; Orka         en mode Déclenchement sur évènement</source>
        <translation>PC &lt;--&gt; Orka         in Trigger on event mode</translation>
    </message>
    <message>
        <source>PC &lt;--&gt; Orka         en mode Séquence décalée de ± 0,5</source>
        <translation>PC &lt;--&gt; Orka         in Bracketing ± 0.5 mode</translation>
    </message>
    <message>
        <source>PC &lt;--&gt; Orka         en mode Retardateur</source>
        <translation>PC &lt;--&gt; Orka         in Self-timer mode</translation>
    </message>
    <message>
        <source>PC &lt;--&gt; Orka    en mode Séquence Vidéo</source>
        <translation>PC &lt;--&gt; Orka    in Video sequence mode</translation>
    </message>
</context>
<context>
    <name>ShotFacts</name>
    <message>
        <source>%1 : %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>manuelle (MF)</source>
        <translation>manual (MF)</translation>
    </message>
    <message>
        <source>autofocus (AF), point %1, %2</source>
        <translation>autofocus (AF), point %1, %2</translation>
    </message>
    <message>
        <source>autofocus (AF), zone centrale</source>
        <translation>autofocus (AF), centre area</translation>
    </message>
    <message>
        <source>Vitesse</source>
        <translation>Shutter</translation>
    </message>
    <message>
        <source>Ouverture</source>
        <translation>Aperture</translation>
    </message>
    <message>
        <source>Sensibilité</source>
        <translation>ISO</translation>
    </message>
    <message>
        <source>Correction</source>
        <translation>Compensation</translation>
    </message>
    <message>
        <source>Balance des blancs</source>
        <translation>White balance</translation>
    </message>
    <message>
        <source>Mise au point</source>
        <translation>Focus</translation>
    </message>
    <message>
        <source>Qualité</source>
        <translation>Quality</translation>
    </message>
    <message>
        <source>Définition</source>
        <translation>Resolution</translation>
    </message>
    <message>
        <source>taille inconnue</source>
        <translation>unknown size</translation>
    </message>
    <message>
        <source> Ko</source>
        <translation> KB</translation>
    </message>
    <message>
        <source> Mo</source>
        <translation> MB</translation>
    </message>
    <message>
        <source>Fichier</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Taille</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Dossier</source>
        <translation>Folder</translation>
    </message>
</context>
<context>
    <name>ShotRecords</name>
    <message>
        <source>à l&apos;écran en %1,%2 s</source>
        <translation>on screen in %1.%2 s</translation>
    </message>
</context>
<context>
    <name>Shutter</name>
    <message>
        <source>Foc mémorisée</source>
        <translation>Focus held</translation>
    </message>
    <message>
        <source>Pas de prise de vue : l&apos;APN n&apos;est pas connecté (bouton de connexion en haut à droite).</source>
        <translation>No shot: the camera is not connected (connection button at the top right).</translation>
    </message>
    <message>
        <source>Retardateur : déclenchement dans %1 s (Échap ou clic pour annuler)</source>
        <translation>Self-timer: shutter release in %1 s (Esc or click to cancel)</translation>
    </message>
    <message>
        <source>Retardateur annulé : aucune photo prise.</source>
        <translation>Self-timer cancelled: no picture taken.</translation>
    </message>
    <message>
        <source>Retardateur interrompu : l&apos;APN a été débranché, aucune photo prise.</source>
        <translation>Self-timer interrupted: the camera was unplugged, no picture taken.</translation>
    </message>
    <message>
        <source>Image prise : la question suit dans %1 s</source>
        <translation>Picture taken: the question follows in %1 s</translation>
    </message>
    <message>
        <source>Enregistrer cette image ?</source>
        <translation>Save this picture?</translation>
    </message>
    <message>
        <source>Oui</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Non</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Mémo focus</source>
        <translation>Hold focus</translation>
    </message>
</context>
<context>
    <name>TAccessible</name>
    <message>
        <source>Aperçu</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>Image du capteur en direct pendant la visée</source>
        <translation>Live sensor image while framing</translation>
    </message>
    <message>
        <source>Onglets des réglages</source>
        <translation>Settings tabs</translation>
    </message>
    <message>
        <source>Réglages, Compensations, Automatismes, Présentation, Paramétrages (Ctrl+1 à Ctrl+5)</source>
        <translation>Settings, Adjustments, Automation, Display, Preferences (Ctrl+1 to Ctrl+5)</translation>
    </message>
    <message>
        <source>Qualité</source>
        <translation>Quality</translation>
    </message>
    <message>
        <source>Qualité de l&apos;image enregistrée</source>
        <translation>Quality of the saved picture</translation>
    </message>
    <message>
        <source>Dimensions</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Dimensions de l&apos;image en pixels</source>
        <translation>Picture size in pixels</translation>
    </message>
    <message>
        <source>Sensibilité</source>
        <translation>ISO</translation>
    </message>
    <message>
        <source>Sensibilité ISO</source>
        <translation>ISO sensitivity</translation>
    </message>
    <message>
        <source>Mode d&apos;exposition</source>
        <translation>Exposure mode</translation>
    </message>
    <message>
        <source>Programme, priorité ou manuel</source>
        <translation>Program, priority or manual</translation>
    </message>
    <message>
        <source>Type de mesure</source>
        <translation>Metering</translation>
    </message>
    <message>
        <source>Mesure de la lumière</source>
        <translation>Light metering</translation>
    </message>
    <message>
        <source>Vitesse</source>
        <translation>Shutter</translation>
    </message>
    <message>
        <source>Vitesse d&apos;obturation</source>
        <translation>Shutter speed</translation>
    </message>
    <message>
        <source>Ouverture</source>
        <translation>Aperture</translation>
    </message>
    <message>
        <source>Ouverture du diaphragme</source>
        <translation>Lens aperture</translation>
    </message>
    <message>
        <source>Ouverture maximale</source>
        <translation>Widest aperture</translation>
    </message>
    <message>
        <source>Plus grande ouverture de l&apos;objectif</source>
        <translation>Widest aperture of the lens</translation>
    </message>
    <message>
        <source>Compensation d&apos;exposition</source>
        <translation>Exposure compensation</translation>
    </message>
    <message>
        <source>Correction de l&apos;exposition en IL</source>
        <translation>Exposure correction in EV</translation>
    </message>
    <message>
        <source>Mode flash</source>
        <translation>Flash mode</translation>
    </message>
    <message>
        <source>Fonctionnement du flash</source>
        <translation>How the flash fires</translation>
    </message>
    <message>
        <source>Contrôle flash</source>
        <translation>Flash control</translation>
    </message>
    <message>
        <source>Mesure du flash</source>
        <translation>Flash metering</translation>
    </message>
    <message>
        <source>Compensation flash</source>
        <translation>Flash compensation</translation>
    </message>
    <message>
        <source>Correction de la puissance du flash en IL</source>
        <translation>Flash power correction in EV</translation>
    </message>
    <message>
        <source>État du flash</source>
        <translation>Flash state</translation>
    </message>
    <message>
        <source>Flash actif ou inactif</source>
        <translation>Flash on or off</translation>
    </message>
    <message>
        <source>Charge du flash</source>
        <translation>Flash charge</translation>
    </message>
    <message>
        <source>Niveau de charge du flash</source>
        <translation>Flash charge level</translation>
    </message>
    <message>
        <source>Auto Focus</source>
        <translation>Autofocus</translation>
    </message>
    <message>
        <source>Mise au point automatique</source>
        <translation>Autofocus</translation>
    </message>
    <message>
        <source>Mise au point manuelle</source>
        <translation>Manual focus</translation>
    </message>
    <message>
        <source>Mise au point réglée à la main</source>
        <translation>Focus set by hand</translation>
    </message>
    <message>
        <source>Mise au point plus proche</source>
        <translation>Focus closer</translation>
    </message>
    <message>
        <source>Réduit la distance de mise au point</source>
        <translation>Brings the focus distance closer</translation>
    </message>
    <message>
        <source>Mise au point plus loin</source>
        <translation>Focus further</translation>
    </message>
    <message>
        <source>Augmente la distance de mise au point</source>
        <translation>Moves the focus distance further</translation>
    </message>
    <message>
        <source>Focus central</source>
        <translation>Centre focus</translation>
    </message>
    <message>
        <source>Mise au point sur le centre de l&apos;image</source>
        <translation>Focus on the centre of the picture</translation>
    </message>
    <message>
        <source>Point de focus libre</source>
        <translation>Movable focus point</translation>
    </message>
    <message>
        <source>Mise au point sur le point choisi dans l&apos;aperçu</source>
        <translation>Focus on the point chosen in the preview</translation>
    </message>
    <message>
        <source>Zones focus et expo liées</source>
        <translation>Focus and exposure areas linked</translation>
    </message>
    <message>
        <source>La mesure suit le point de mise au point</source>
        <translation>Metering follows the focus point</translation>
    </message>
    <message>
        <source>Mémo focus</source>
        <translation>Hold focus</translation>
    </message>
    <message>
        <source>Garde la mise au point trouvée pour les photos suivantes</source>
        <translation>Keeps the focus found for the next pictures</translation>
    </message>
    <message>
        <source>Distance de mise au point</source>
        <translation>Focus distance</translation>
    </message>
    <message>
        <source>Distance en mètres</source>
        <translation>Distance in metres</translation>
    </message>
    <message>
        <source>Macro</source>
        <translation>Macro</translation>
    </message>
    <message>
        <source>Mode macro de l&apos;objectif</source>
        <translation>Macro mode of the lens</translation>
    </message>
    <message>
        <source>Netteté depuis</source>
        <translation>Sharp from</translation>
    </message>
    <message>
        <source>Début de la zone de netteté en mètres</source>
        <translation>Near limit of the sharp zone in metres</translation>
    </message>
    <message>
        <source>Netteté jusqu&apos;à</source>
        <translation>Sharp to</translation>
    </message>
    <message>
        <source>Fin de la zone de netteté en mètres</source>
        <translation>Far limit of the sharp zone in metres</translation>
    </message>
    <message>
        <source>Focale</source>
        <translation>Focal length</translation>
    </message>
    <message>
        <source>Focale équivalente en 24 x 36, en millimètres</source>
        <translation>35 mm equivalent focal length, in millimetres</translation>
    </message>
    <message>
        <source>Rendu des couleurs</source>
        <translation>Colour rendering</translation>
    </message>
    <message>
        <source>Rendu des couleurs de l&apos;image</source>
        <translation>Colour rendering of the picture</translation>
    </message>
    <message>
        <source>Netteté</source>
        <translation>Sharpness</translation>
    </message>
    <message>
        <source>Accentuation de l&apos;image</source>
        <translation>Picture sharpening</translation>
    </message>
    <message>
        <source>Filtre de couleur</source>
        <translation>Colour filter</translation>
    </message>
    <message>
        <source>Filtre de couleur appliqué à l&apos;image</source>
        <translation>Colour filter applied to the picture</translation>
    </message>
    <message>
        <source>Valeur du filtre de couleur</source>
        <translation>Colour filter value</translation>
    </message>
    <message>
        <source>Valeur choisie avec le curseur</source>
        <translation>Value chosen with the slider</translation>
    </message>
    <message>
        <source>Saturation</source>
        <translation>Saturation</translation>
    </message>
    <message>
        <source>Saturation des couleurs</source>
        <translation>Colour saturation</translation>
    </message>
    <message>
        <source>Valeur de saturation</source>
        <translation>Saturation value</translation>
    </message>
    <message>
        <source>Contraste</source>
        <translation>Contrast</translation>
    </message>
    <message>
        <source>Contraste de l&apos;image</source>
        <translation>Picture contrast</translation>
    </message>
    <message>
        <source>Valeur de contraste</source>
        <translation>Contrast value</translation>
    </message>
    <message>
        <source>Balance des blancs</source>
        <translation>White balance</translation>
    </message>
    <message>
        <source>Préréglage de balance des blancs</source>
        <translation>White balance preset</translation>
    </message>
    <message>
        <source>Température de couleur</source>
        <translation>Colour temperature</translation>
    </message>
    <message>
        <source>Température de couleur en kelvins</source>
        <translation>Colour temperature in kelvins</translation>
    </message>
    <message>
        <source>Valeur de température de couleur</source>
        <translation>Colour temperature value</translation>
    </message>
    <message>
        <source>Correction vert magenta</source>
        <translation>Green magenta correction</translation>
    </message>
    <message>
        <source>Correction de teinte de la balance</source>
        <translation>Tint correction of the balance</translation>
    </message>
    <message>
        <source>Valeur de correction</source>
        <translation>Correction value</translation>
    </message>
    <message>
        <source>Mesurer la balance</source>
        <translation>Measure the balance</translation>
    </message>
    <message>
        <source>Mesure la balance des blancs sur un point gris</source>
        <translation>Measures the white balance on a grey point</translation>
    </message>
    <message>
        <source>Appliquer la balance</source>
        <translation>Apply the balance</translation>
    </message>
    <message>
        <source>Envoie la balance mesurée à l&apos;appareil</source>
        <translation>Sends the measured balance to the camera</translation>
    </message>
    <message>
        <source>Mode de prise de vues</source>
        <translation>Shooting mode</translation>
    </message>
    <message>
        <source>Image unique, bracketing, intervallomètre, évènement, retardateur ou vidéo</source>
        <translation>Single picture, bracketing, intervalometer, event, self-timer or video</translation>
    </message>
    <message>
        <source>Délai du retardateur</source>
        <translation>Self-timer delay</translation>
    </message>
    <message>
        <source>Secondes avant le déclenchement</source>
        <translation>Seconds before the release</translation>
    </message>
    <message>
        <source>Nombre d&apos;images</source>
        <translation>Number of pictures</translation>
    </message>
    <message>
        <source>Nombre d&apos;images de l&apos;intervallomètre</source>
        <translation>Number of pictures of the intervalometer</translation>
    </message>
    <message>
        <source>Intervalle</source>
        <translation>Interval</translation>
    </message>
    <message>
        <source>Secondes entre deux images</source>
        <translation>Seconds between two pictures</translation>
    </message>
    <message>
        <source>Départ</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Secondes avant la première image</source>
        <translation>Seconds before the first picture</translation>
    </message>
    <message>
        <source>Lancer l&apos;intervallomètre</source>
        <translation>Start the intervalometer</translation>
    </message>
    <message>
        <source>Démarre ou arrête la série</source>
        <translation>Starts or stops the series</translation>
    </message>
    <message>
        <source>Images prises</source>
        <translation>Pictures taken</translation>
    </message>
    <message>
        <source>Nombre d&apos;images déjà prises dans la série</source>
        <translation>Number of pictures already taken in the series</translation>
    </message>
    <message>
        <source>Durée de la vidéo</source>
        <translation>Video length</translation>
    </message>
    <message>
        <source>Durée de la séquence en secondes</source>
        <translation>Sequence length in seconds</translation>
    </message>
    <message>
        <source>Départ de la vidéo</source>
        <translation>Video start</translation>
    </message>
    <message>
        <source>Secondes avant le début de la séquence</source>
        <translation>Seconds before the sequence starts</translation>
    </message>
    <message>
        <source>Lancer la vidéo</source>
        <translation>Start the video</translation>
    </message>
    <message>
        <source>Démarre ou arrête l&apos;enregistrement de l&apos;aperçu</source>
        <translation>Starts or stops recording the preview</translation>
    </message>
    <message>
        <source>Zone de détection</source>
        <translation>Detection area</translation>
    </message>
    <message>
        <source>La zone surveillée pour le mouvement</source>
        <translation>The area watched for movement</translation>
    </message>
    <message>
        <source>Seuil de détection</source>
        <translation>Detection threshold</translation>
    </message>
    <message>
        <source>Sensibilité au mouvement</source>
        <translation>Sensitivity to movement</translation>
    </message>
    <message>
        <source>Valeur du seuil</source>
        <translation>Threshold value</translation>
    </message>
    <message>
        <source>Seuil choisi</source>
        <translation>Chosen threshold</translation>
    </message>
    <message>
        <source>Mouvement mesuré</source>
        <translation>Measured movement</translation>
    </message>
    <message>
        <source>Écart mesuré entre deux images</source>
        <translation>Difference measured between two frames</translation>
    </message>
    <message>
        <source>Lancer la détection</source>
        <translation>Start detection</translation>
    </message>
    <message>
        <source>Démarre ou arrête la prise sur évènement</source>
        <translation>Starts or stops shooting on event</translation>
    </message>
    <message>
        <source>Bip au déclenchement</source>
        <translation>Beep on release</translation>
    </message>
    <message>
        <source>Un son à chaque déclenchement sur évènement</source>
        <translation>A sound at each release on event</translation>
    </message>
    <message>
        <source>Programmateur</source>
        <translation>Scheduler</translation>
    </message>
    <message>
        <source>Tranches de dates et d&apos;heures de la détection</source>
        <translation>Date and time slots of the detection</translation>
    </message>
    <message>
        <source>Programmation</source>
        <translation>Schedule</translation>
    </message>
    <message>
        <source>Résumé de la programmation</source>
        <translation>Schedule summary</translation>
    </message>
    <message>
        <source>Voyant du programmateur</source>
        <translation>Scheduler lamp</translation>
    </message>
    <message>
        <source>Allumé pendant une tranche programmée</source>
        <translation>Lit during a scheduled slot</translation>
    </message>
    <message>
        <source>Aperçu vertical à gauche</source>
        <translation>Preview vertical, left</translation>
    </message>
    <message>
        <source>Tourne l&apos;aperçu d&apos;un quart de tour à gauche</source>
        <translation>Turns the preview a quarter turn to the left</translation>
    </message>
    <message>
        <source>Aperçu horizontal</source>
        <translation>Preview horizontal</translation>
    </message>
    <message>
        <source>Aperçu sans rotation</source>
        <translation>Preview not turned</translation>
    </message>
    <message>
        <source>Aperçu vertical à droite</source>
        <translation>Preview vertical, right</translation>
    </message>
    <message>
        <source>Tourne l&apos;aperçu d&apos;un quart de tour à droite</source>
        <translation>Turns the preview a quarter turn to the right</translation>
    </message>
    <message>
        <source>Aperçu horizontal retourné</source>
        <translation>Preview upside down</translation>
    </message>
    <message>
        <source>Aperçu tourné d&apos;un demi-tour</source>
        <translation>Preview turned half a turn</translation>
    </message>
    <message>
        <source>Taille de l&apos;aperçu</source>
        <translation>Preview size</translation>
    </message>
    <message>
        <source>Petite ou grande image de visée</source>
        <translation>Small or large framing image</translation>
    </message>
    <message>
        <source>Visée en direct</source>
        <translation>Live view</translation>
    </message>
    <message>
        <source>Affiche l&apos;image du capteur en direct</source>
        <translation>Shows the live sensor image</translation>
    </message>
    <message>
        <source>Visualisation après la prise</source>
        <translation>Review after the shot</translation>
    </message>
    <message>
        <source>Montre chaque photo et demande s&apos;il faut la garder</source>
        <translation>Shows each picture and asks whether to keep it</translation>
    </message>
    <message>
        <source>Test de profondeur de champ</source>
        <translation>Depth of field preview</translation>
    </message>
    <message>
        <source>Diaphragme fermé pendant la demi-pression</source>
        <translation>Lens stopped down during the half-press</translation>
    </message>
    <message>
        <source>Bulles d&apos;aide</source>
        <translation>Tooltips</translation>
    </message>
    <message>
        <source>Affiche les bulles d&apos;aide</source>
        <translation>Shows the tooltips</translation>
    </message>
    <message>
        <source>Réticule</source>
        <translation>Reticle</translation>
    </message>
    <message>
        <source>Croix au centre de l&apos;aperçu</source>
        <translation>Cross in the centre of the preview</translation>
    </message>
    <message>
        <source>Grille</source>
        <translation>Grid</translation>
    </message>
    <message>
        <source>Grille des tiers sur l&apos;aperçu</source>
        <translation>Rule-of-thirds grid on the preview</translation>
    </message>
    <message>
        <source>Aide à la mise au point</source>
        <translation>Focus aid</translation>
    </message>
    <message>
        <source>Colore les contours nets de l&apos;aperçu</source>
        <translation>Colours the sharp edges of the preview</translation>
    </message>
    <message>
        <source>Couleur des contours</source>
        <translation>Edge colour</translation>
    </message>
    <message>
        <source>Couleur de l&apos;aide à la mise au point</source>
        <translation>Colour of the focus aid</translation>
    </message>
    <message>
        <source>Seuil des contours</source>
        <translation>Edge threshold</translation>
    </message>
    <message>
        <source>Sensibilité de l&apos;aide à la mise au point</source>
        <translation>Sensitivity of the focus aid</translation>
    </message>
    <message>
        <source>Valeur du seuil des contours</source>
        <translation>Edge threshold value</translation>
    </message>
    <message>
        <source>Alerte hautes lumières</source>
        <translation>Highlight warning</translation>
    </message>
    <message>
        <source>Signale les zones surexposées</source>
        <translation>Marks the overexposed areas</translation>
    </message>
    <message>
        <source>Niveau des hautes lumières</source>
        <translation>Highlight level</translation>
    </message>
    <message>
        <source>Niveau à partir duquel l&apos;alerte s&apos;affiche</source>
        <translation>Level from which the warning shows</translation>
    </message>
    <message>
        <source>Style de l&apos;alerte</source>
        <translation>Warning style</translation>
    </message>
    <message>
        <source>Façon de marquer les zones</source>
        <translation>How the areas are marked</translation>
    </message>
    <message>
        <source>Alerte ombres</source>
        <translation>Shadow warning</translation>
    </message>
    <message>
        <source>Signale les zones bouchées</source>
        <translation>Marks the blocked shadows</translation>
    </message>
    <message>
        <source>Niveau des ombres</source>
        <translation>Shadow level</translation>
    </message>
    <message>
        <source>Niveau au-dessous duquel l&apos;alerte s&apos;affiche</source>
        <translation>Level below which the warning shows</translation>
    </message>
    <message>
        <source>Histogramme RVB</source>
        <translation>RGB histogram</translation>
    </message>
    <message>
        <source>Histogramme par couleur</source>
        <translation>Histogram per colour</translation>
    </message>
    <message>
        <source>Synchroniser l&apos;heure</source>
        <translation>Synchronise the time</translation>
    </message>
    <message>
        <source>Met l&apos;appareil à l&apos;heure de l&apos;ordinateur</source>
        <translation>Sets the camera to the computer&apos;s time</translation>
    </message>
    <message>
        <source>Date et heure de l&apos;appareil</source>
        <translation>Camera date and time</translation>
    </message>
    <message>
        <source>Date et heure lues dans l&apos;appareil</source>
        <translation>Date and time read from the camera</translation>
    </message>
    <message>
        <source>Dossier des images</source>
        <translation>Picture folder</translation>
    </message>
    <message>
        <source>Dossier où les photos sont enregistrées</source>
        <translation>Folder where the pictures are saved</translation>
    </message>
    <message>
        <source>Préfixe des images</source>
        <translation>Picture prefix</translation>
    </message>
    <message>
        <source>Début du nom des fichiers image</source>
        <translation>Beginning of the picture file names</translation>
    </message>
    <message>
        <source>Préfixe des vidéos</source>
        <translation>Video prefix</translation>
    </message>
    <message>
        <source>Début du nom des fichiers vidéo</source>
        <translation>Beginning of the video file names</translation>
    </message>
    <message>
        <source>Dossier de la copie de sécurité</source>
        <translation>Backup copy folder</translation>
    </message>
    <message>
        <source>Chaque image y est copiée puis relue et comparée ; vide : pas de copie. Un clic pour choisir</source>
        <translation>Each picture is copied there, then read back and compared; empty: no copy. A click to choose</translation>
    </message>
    <message>
        <source>Plus de copie de sécurité</source>
        <translation>No more backup copy</translation>
    </message>
    <message>
        <source>Arrête la seconde copie des images</source>
        <translation>Stops the second copy of the pictures</translation>
    </message>
    <message>
        <source>Commande après chaque image</source>
        <translation>Command after each picture</translation>
    </message>
    <message>
        <source>Lancée avec le chemin de chaque image et de chaque copie ; vide : aucune</source>
        <translation>Run with the path of each picture and of each copy; empty: none</translation>
    </message>
    <message>
        <source>Son de mise au point</source>
        <translation>Focus sound</translation>
    </message>
    <message>
        <source>Son de l&apos;appareil à la mise au point</source>
        <translation>The camera&apos;s sound on focusing</translation>
    </message>
    <message>
        <source>Son du déclenchement</source>
        <translation>Shutter release sound</translation>
    </message>
    <message>
        <source>Son de l&apos;appareil au déclenchement</source>
        <translation>The camera&apos;s sound on release</translation>
    </message>
    <message>
        <source>Modèle par défaut</source>
        <translation>Default template</translation>
    </message>
    <message>
        <source>Charge ce modèle à la connexion</source>
        <translation>Loads this template at connection</translation>
    </message>
    <message>
        <source>Modèle en cours</source>
        <translation>Current template</translation>
    </message>
    <message>
        <source>Nom du modèle de configuration chargé</source>
        <translation>Name of the loaded configuration template</translation>
    </message>
    <message>
        <source>Enregistrer le modèle</source>
        <translation>Save the template</translation>
    </message>
    <message>
        <source>Enregistre les réglages dans un fichier</source>
        <translation>Saves the settings to a file</translation>
    </message>
    <message>
        <source>Ouvrir un modèle</source>
        <translation>Open a template</translation>
    </message>
    <message>
        <source>Charge des réglages depuis un fichier</source>
        <translation>Loads settings from a file</translation>
    </message>
    <message>
        <source>À propos</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Version du programme et de l&apos;appareil</source>
        <translation>Version of the program and of the camera</translation>
    </message>
    <message>
        <source>Aide</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Ouvre l&apos;aide de l&apos;onglet affiché (F1)</source>
        <translation>Opens the help of the tab shown (F1)</translation>
    </message>
    <message>
        <source>Informations de prise de vue</source>
        <translation>Shooting information</translation>
    </message>
    <message>
        <source>Vitesse, ouverture et mesures de l&apos;appareil</source>
        <translation>Shutter speed, aperture and the camera&apos;s readings</translation>
    </message>
    <message>
        <source>Histogramme</source>
        <translation>Histogram</translation>
    </message>
    <message>
        <source>Répartition des luminosités de l&apos;aperçu</source>
        <translation>Brightness spread of the preview</translation>
    </message>
    <message>
        <source>Déclencheur</source>
        <translation>Shutter</translation>
    </message>
    <message>
        <source>Une première pression (F5, Espace ou Entrée) presse à mi-course, une seconde déclenche ; Échap relâche</source>
        <translation>A first press (F5, Space or Enter) half-presses, a second one releases; Esc lets go</translation>
    </message>
    <message>
        <source>Connexion de l&apos;appareil</source>
        <translation>Camera connection</translation>
    </message>
    <message>
        <source>Connecte ou déconnecte l&apos;appareil photo</source>
        <translation>Connects or disconnects the camera</translation>
    </message>
    <message>
        <source>État de la connexion de l&apos;appareil</source>
        <translation>State of the camera connection</translation>
    </message>
    <message>
        <source>Zone d&apos;état</source>
        <translation>Status area</translation>
    </message>
    <message>
        <source>Derniers messages du programme</source>
        <translation>Latest messages of the program</translation>
    </message>
    <message>
        <source>Images par seconde</source>
        <translation>Frames per second</translation>
    </message>
    <message>
        <source>Cadence de l&apos;aperçu</source>
        <translation>Preview frame rate</translation>
    </message>
    <message>
        <source>Batterie</source>
        <translation>Battery</translation>
    </message>
    <message>
        <source>Charge de la batterie de l&apos;appareil</source>
        <translation>Charge of the camera&apos;s battery</translation>
    </message>
    <message>
        <source>Voyant d&apos;erreur</source>
        <translation>Error indicator</translation>
    </message>
    <message>
        <source>Rouge après une erreur de l&apos;appareil ; un clic l&apos;éteint</source>
        <translation>Red after a camera error; a click clears it</translation>
    </message>
    <message>
        <source>Bande des images</source>
        <translation>Picture strip</translation>
    </message>
    <message>
        <source>Les photos de la séance</source>
        <translation>The pictures of the session</translation>
    </message>
    <message>
        <source>Images de la séance</source>
        <translation>Session pictures</translation>
    </message>
    <message>
        <source>Flèches pour parcourir, Alt+flèche depuis la fenêtre ; Entrée ou R pour revoir, double clic pour ouvrir</source>
        <translation>Arrows to browse, Alt+arrow from the window; Enter or R to review, double-click to open</translation>
    </message>
    <message>
        <source>Ouvrir le dossier</source>
        <translation>Open the folder</translation>
    </message>
    <message>
        <source>Ouvre le dossier de la dernière image</source>
        <translation>Opens the folder of the latest picture</translation>
    </message>
    <message>
        <source>Revoir</source>
        <translation>Review</translation>
    </message>
    <message>
        <source>Revoit l&apos;image choisie en grand (Entrée ou R)</source>
        <translation>Reviews the chosen picture full size (Enter or R)</translation>
    </message>
    <message>
        <source>Dates et tranches programmées</source>
        <translation>Scheduled dates and slots</translation>
    </message>
    <message>
        <source>Les dates et tranches horaires où la détection est active</source>
        <translation>The dates and time slots when the detection is active</translation>
    </message>
    <message>
        <source>Nouvelle date</source>
        <translation>New date</translation>
    </message>
    <message>
        <source>Ajoute une date à la programmation</source>
        <translation>Adds a date to the schedule</translation>
    </message>
    <message>
        <source>Nouvelle tranche horaire</source>
        <translation>New time slot</translation>
    </message>
    <message>
        <source>Ajoute une tranche horaire à la date choisie</source>
        <translation>Adds a time slot to the chosen date</translation>
    </message>
    <message>
        <source>Valider</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>Garde la programmation et ferme</source>
        <translation>Keeps the schedule and closes</translation>
    </message>
    <message>
        <source>Ouvre l&apos;aide du programmateur</source>
        <translation>Opens the scheduler&apos;s help</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Ferme sans rien changer</source>
        <translation>Closes without changing anything</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Ferme la fenêtre À propos</source>
        <translation>Closes the About window</translation>
    </message>
</context>
<context>
    <name>TBase</name>
    <message>
        <source>PC &lt;--&gt; Orka</source>
        <translation>PC &lt;--&gt; Orka</translation>
    </message>
    <message>
        <source>Réglages</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source> Image </source>
        <translation> Picture </translation>
    </message>
    <message>
        <source>Qualité</source>
        <translation>Quality</translation>
    </message>
    <message>
        <source>Dimensions</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Sensibilité</source>
        <translation>ISO</translation>
    </message>
    <message>
        <source> Exposition </source>
        <translation> Exposure </translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Type de mesure</source>
        <translation>Metering</translation>
    </message>
    <message>
        <source>Vitesse</source>
        <translation>Shutter</translation>
    </message>
    <message>
        <source>Ouverture  ...  Max</source>
        <translation>Aperture  ...  Max</translation>
    </message>
    <message>
        <source>Compensation</source>
        <translation>Compensation</translation>
    </message>
    <message>
        <source> Flash </source>
        <translation> Flash </translation>
    </message>
    <message>
        <source>Mode Flash</source>
        <translation>Flash mode</translation>
    </message>
    <message>
        <source>Contrôle Flash</source>
        <translation>Flash control</translation>
    </message>
    <message>
        <source>FLASH INACTIF</source>
        <translation>FLASH OFF</translation>
    </message>
    <message>
        <source>Charge</source>
        <translation>Charge</translation>
    </message>
    <message>
        <source> Focalisation </source>
        <translation> Focusing </translation>
    </message>
    <message>
        <source>Auto Focus</source>
        <translation>Autofocus</translation>
    </message>
    <message>
        <source>Manuelle</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>&lt;&lt;</source>
        <translation>&lt;&lt;</translation>
    </message>
    <message>
        <source>Réduit la distance de mise au point</source>
        <translation>Brings the focus distance closer</translation>
    </message>
    <message>
        <source>&gt;&gt;</source>
        <translation>&gt;&gt;</translation>
    </message>
    <message>
        <source>Augmente la distance de mise au point</source>
        <translation>Moves the focus distance further</translation>
    </message>
    <message>
        <source>Focus Central</source>
        <translation>Centre focus</translation>
    </message>
    <message>
        <source>FFP</source>
        <translation>FFP</translation>
    </message>
    <message>
        <source>Zones Focus et Expo liées</source>
        <translation>Focus and exposure areas linked</translation>
    </message>
    <message>
        <source>Mémo focus</source>
        <translation>Hold focus</translation>
    </message>
    <message>
        <source>(m)</source>
        <translation>(m)</translation>
    </message>
    <message>
        <source>Zone de netteté </source>
        <translation>Sharp zone </translation>
    </message>
    <message>
        <source>Profondeur de champ pour
un cercle de confusion de 8 µm</source>
        <translation>Depth of field for
a circle of confusion of 8 µm</translation>
    </message>
    <message>
        <source>m   à</source>
        <translation>m   to</translation>
    </message>
    <message>
        <source>m   pour  F</source>
        <translation>m   at  f/</translation>
    </message>
    <message>
        <source>50</source>
        <translation>50</translation>
    </message>
    <message>
        <source>Focale équivalente en 24 x 36</source>
        <translation>35 mm equivalent focal length</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>Compensations</source>
        <translation>Adjustments</translation>
    </message>
    <message>
        <source> Rendus </source>
        <translation> Rendering </translation>
    </message>
    <message>
        <source>Couleurs</source>
        <translation>Colours</translation>
    </message>
    <message>
        <source>Netteté</source>
        <translation>Sharpness</translation>
    </message>
    <message>
        <source> Compensations </source>
        <translation> Adjustments </translation>
    </message>
    <message>
        <source>Filtre de couleur</source>
        <translation>Colour filter</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Saturation</source>
        <translation>Saturation</translation>
    </message>
    <message>
        <source>Contraste</source>
        <translation>Contrast</translation>
    </message>
    <message>
        <source> Balance des blancs </source>
        <translation> White balance </translation>
    </message>
    <message>
        <source>Balance</source>
        <translation>Balance</translation>
    </message>
    <message>
        <source>Temp. de couleur</source>
        <translation>Colour temp.</translation>
    </message>
    <message>
        <source>6000 °K</source>
        <translation>6000 K</translation>
    </message>
    <message>
        <source>Index CC</source>
        <translation>CC index</translation>
    </message>
    <message>
        <source>Prélever</source>
        <translation>Sample</translation>
    </message>
    <message>
        <source>Appliquer</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Automatismes</source>
        <translation>Automation</translation>
    </message>
    <message>
        <source> Mode de prise de vues </source>
        <translation> Shooting mode </translation>
    </message>
    <message>
        <source>Image unique</source>
        <translation>Single picture</translation>
    </message>
    <message>
        <source>3 images décalées ± 0, 3</source>
        <translation>3 pictures bracketed ± 0.3</translation>
    </message>
    <message>
        <source>Intervallomètre</source>
        <translation>Intervalometer</translation>
    </message>
    <message>
        <source>Prise sur évènement</source>
        <translation>Shoot on event</translation>
    </message>
    <message>
        <source>3 images décalées ± 0, 5</source>
        <translation>3 pictures bracketed ± 0.5</translation>
    </message>
    <message>
        <source>Retardateur</source>
        <translation>Self-timer</translation>
    </message>
    <message>
        <source>Séquence vidéo</source>
        <translation>Video sequence</translation>
    </message>
    <message>
        <source> Retardateur </source>
        <translation> Self-timer </translation>
    </message>
    <message>
        <source>Délai avant la prise (1 à 120 s)</source>
        <translation>Delay before the shot (1 to 120 s)</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source> Intervallomètre </source>
        <translation> Intervalometer </translation>
    </message>
    <message>
        <source>Nombre d&apos;images total (2 à 1000)</source>
        <translation>Total number of pictures (2 to 1000)</translation>
    </message>
    <message>
        <source>Intervalle entre images (5 s à 24 h)</source>
        <translation>Interval between pictures (5 s to 24 h)</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>Délai de départ (0 à 60 mn)</source>
        <translation>Delay before start (0 to 60 min)</translation>
    </message>
    <message>
        <source>Lancer la séquence</source>
        <translation>Start the sequence</translation>
    </message>
    <message>
        <source>Prises</source>
        <translation>Shots</translation>
    </message>
    <message>
        <source> Séquence vidéo </source>
        <translation> Video sequence </translation>
    </message>
    <message>
        <source>Durée de la séquence   (0 pour illimitée)</source>
        <translation>Sequence length   (0 for unlimited)</translation>
    </message>
    <message>
        <source> Déclenchement sur évènement </source>
        <translation> Trigger on event </translation>
    </message>
    <message>
        <source>R.O.I.</source>
        <translation>R.O.I.</translation>
    </message>
    <message>
        <source>Définir dans l&apos;image de prévisualisation
le rectangle entourant la zone de détection</source>
        <translation>Draw on the preview image
the rectangle around the detection area</translation>
    </message>
    <message>
        <source>Seuil</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>50 %</source>
        <translation>50 %</translation>
    </message>
    <message>
        <source>Activer la détection</source>
        <translation>Start detection</translation>
    </message>
    <message>
        <source>Beep au déclencement</source>
        <translation>Beep on release</translation>
    </message>
    <message>
        <source> Programmation du déclenchement </source>
        <translation> Release schedule </translation>
    </message>
    <message>
        <source>Programmation</source>
        <translation>Schedule</translation>
    </message>
    <message>
        <source>sans</source>
        <translation>without</translation>
    </message>
    <message>
        <source>Présentation</source>
        <translation>Display</translation>
    </message>
    <message>
        <source> Orientation </source>
        <translation> Orientation </translation>
    </message>
    <message>
        <source>⟲  90°</source>
        <translation>⟲  90°</translation>
    </message>
    <message>
        <source>Image verticale, tournée vers la gauche</source>
        <translation>Vertical picture, turned to the left</translation>
    </message>
    <message>
        <source>0°</source>
        <translation>0°</translation>
    </message>
    <message>
        <source>Image horizontale</source>
        <translation>Horizontal picture</translation>
    </message>
    <message>
        <source>⟳  90°</source>
        <translation>⟳  90°</translation>
    </message>
    <message>
        <source>Image verticale, tournée vers la droite</source>
        <translation>Vertical picture, turned to the right</translation>
    </message>
    <message>
        <source>180°</source>
        <translation>180°</translation>
    </message>
    <message>
        <source>Image horizontale retournée</source>
        <translation>Horizontal picture, upside down</translation>
    </message>
    <message>
        <source> Taille de la prévisualisation </source>
        <translation> Preview size </translation>
    </message>
    <message>
        <source>320 x 240</source>
        <translation>320 x 240</translation>
    </message>
    <message>
        <source>544 x 408</source>
        <translation>544 x 408</translation>
    </message>
    <message>
        <source>Prévisualisation active</source>
        <translation>Live preview on</translation>
    </message>
    <message>
        <source>Visualisation des images prises</source>
        <translation>Show the pictures taken</translation>
    </message>
    <message>
        <source>Test de profondeur de champ actif</source>
        <translation>Depth of field preview on</translation>
    </message>
    <message>
        <source>Visualisation des Infos bulles</source>
        <translation>Show tooltips</translation>
    </message>
    <message>
        <source>Affichage d&apos;un réticule</source>
        <translation>Show a reticle</translation>
    </message>
    <message>
        <source>Affichage d&apos;une grille</source>
        <translation>Show a grid</translation>
    </message>
    <message>
        <source> Aide à la visée </source>
        <translation> Framing aids </translation>
    </message>
    <message>
        <source>Focus peaking</source>
        <translation>Focus peaking</translation>
    </message>
    <message>
        <source>Souligne les contours nets de l&apos;image</source>
        <translation>Highlights the sharp edges of the picture</translation>
    </message>
    <message>
        <source>Couleur du focus peaking</source>
        <translation>Focus peaking colour</translation>
    </message>
    <message>
        <source>Rouge</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>Jaune</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>Blanc</source>
        <translation>White</translation>
    </message>
    <message>
        <source>Bleu</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>Sensibilité du focus peaking</source>
        <translation>Focus peaking sensitivity</translation>
    </message>
    <message>
        <source>Alerte hautes lumières</source>
        <translation>Highlight warning</translation>
    </message>
    <message>
        <source>Signale les pixels dont une couleur atteint le niveau choisi</source>
        <translation>Marks the pixels where one colour reaches the chosen level</translation>
    </message>
    <message>
        <source>Niveau des hautes lumières</source>
        <translation>Highlight level</translation>
    </message>
    <message>
        <source>Présentation des alertes</source>
        <translation>Warning style</translation>
    </message>
    <message>
        <source>Zébrures</source>
        <translation>Zebra</translation>
    </message>
    <message>
        <source>Aplat</source>
        <translation>Solid</translation>
    </message>
    <message>
        <source>Alerte ombres</source>
        <translation>Shadow warning</translation>
    </message>
    <message>
        <source>Signale les pixels dont les trois couleurs restent sous le niveau choisi</source>
        <translation>Marks the pixels where all three colours stay below the chosen level</translation>
    </message>
    <message>
        <source>Niveau des ombres</source>
        <translation>Shadow level</translation>
    </message>
    <message>
        <source>Histogramme RVB</source>
        <translation>RGB histogram</translation>
    </message>
    <message>
        <source>Ajoute les courbes rouge, verte et bleue à l&apos;histogramme</source>
        <translation>Adds the red, green and blue curves to the histogram</translation>
    </message>
    <message>
        <source>Paramétrages</source>
        <translation>Preferences</translation>
    </message>
    <message>
        <source> Synchronisation de la date et de l&apos;heure </source>
        <translation> Date and time synchronisation </translation>
    </message>
    <message>
        <source>Synchroniser maintenant</source>
        <translation>Synchronise now</translation>
    </message>
    <message>
        <source> Enregistrement des images </source>
        <translation> Saving pictures </translation>
    </message>
    <message>
        <source>Répertoire</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source> Sons </source>
        <translation> Sounds </translation>
    </message>
    <message>
        <source>Mise au point</source>
        <translation>Focus</translation>
    </message>
    <message>
        <source>Déclenchement</source>
        <translation>Shutter release</translation>
    </message>
    <message>
        <source> Modèles de configuration </source>
        <translation> Configuration templates </translation>
    </message>
    <message>
        <source>Modèle par défaut</source>
        <translation>Default template</translation>
    </message>
    <message>
        <source>Modèle en cours</source>
        <translation>Current template</translation>
    </message>
    <message>
        <source>Enregistrer un modèle</source>
        <translation>Save a template</translation>
    </message>
    <message>
        <source>Ouvrir un modèle</source>
        <translation>Open a template</translation>
    </message>
    <message>
        <source>A propos ...</source>
        <translation>About ...</translation>
    </message>
    <message>
        <source>&amp;Aide</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Histogramme des luminosités (max (R,V, B))</source>
        <translation>Brightness histogram (max (R, G, B))</translation>
    </message>
    <message>
        <source>Souris sur le bouton = Activation Autofocus et mesure Expo
Clic sur le bouton = Prise de vue</source>
        <translation>Mouse over the button = autofocus and exposure metering
Click on the button = take the picture</translation>
    </message>
    <message>
        <source>Connexion de l&apos;APN au PC</source>
        <translation>Connect the camera to the PC</translation>
    </message>
    <message>
        <source>Fréquence de rafraîchissement des images</source>
        <translation>Preview refresh rate</translation>
    </message>
    <message>
        <source>Indicateur de charge de la batterie</source>
        <translation>Battery charge indicator</translation>
    </message>
    <message>
        <source>Préfixes : images</source>
        <translation>Prefixes: pictures</translation>
    </message>
    <message>
        <source>Début du nom des fichiers image</source>
        <translation>Beginning of the picture file names</translation>
    </message>
    <message>
        <source>vidéos</source>
        <translation>videos</translation>
    </message>
    <message>
        <source>Début du nom des fichiers vidéo</source>
        <translation>Beginning of the video file names</translation>
    </message>
    <message>
        <source>Copie</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>aucune (cliquer pour choisir)</source>
        <translation>none (click to choose)</translation>
    </message>
    <message>
        <source>Dossier de la copie de sécurité, de préférence sur un autre disque : chaque image y est copiée puis relue et comparée.
Cliquer pour choisir le dossier ; vide = pas de seconde copie.</source>
        <translation>Backup copy folder, preferably on another disk: each picture is copied there, then read back and compared.
Click to choose the folder; empty = no second copy.</translation>
    </message>
    <message>
        <source>✕</source>
        <translation>✕</translation>
    </message>
    <message>
        <source>Plus de copie de sécurité</source>
        <translation>No more backup copy</translation>
    </message>
    <message>
        <source>Commande</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>aucune</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Commande lancée après chaque image et chaque copie de sécurité, avec le chemin du fichier en argument (« $1 », et ORKA_PICTURE dans l&apos;environnement) ; arrêtée au bout d&apos;une minute. Vide = aucune.</source>
        <translation>Command run after each picture and each backup copy, with the file&apos;s path as argument (“$1”, and ORKA_PICTURE in the environment); stopped after one minute. Empty = none.</translation>
    </message>
</context>
<context>
    <name>TInfosPgm</name>
    <message>
        <source>A propos</source>
        <translation>About</translation>
    </message>
    <message>
        <source>PC &lt;--&gt; Orka</source>
        <translation>PC &lt;--&gt; Orka</translation>
    </message>
    <message>
        <source>Prise de vue connectée pour l&apos;Orka</source>
        <translation>Tethered shooting for the Orka</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TShutter</name>
    <message>
        <source>Demi-pression : appuyez à nouveau pour déclencher, Échap pour relâcher.</source>
        <translation>Half press: press again to release, Esc to let go.</translation>
    </message>
    <message>
        <source>Demi-pression relâchée : aucune photo prise.</source>
        <translation>Half press let go: no picture taken.</translation>
    </message>
</context>
<context>
    <name>Templates</name>
    <message>
        <source>Configuration par défaut</source>
        <translation>Default configuration</translation>
    </message>
</context>
<context>
    <name>Thumbnails</name>
    <message>
        <source>pas une image JPEG</source>
        <translation>not a JPEG picture</translation>
    </message>
    <message>
        <source>fichier trop grand</source>
        <translation>file too large</translation>
    </message>
    <message>
        <source>image trop grande</source>
        <translation>picture too large</translation>
    </message>
    <message>
        <source>image illisible (%1)</source>
        <translation>unreadable picture (%1)</translation>
    </message>
    <message>
        <source>fichier illisible</source>
        <translation>unreadable file</translation>
    </message>
    <message>
        <source>pas de vignette (.thm)</source>
        <translation>no thumbnail (.thm)</translation>
    </message>
</context>
<context>
    <name>TriggerSchedule</name>
    <message>
        <source>sans</source>
        <translation>without</translation>
    </message>
    <message>
        <source>avec</source>
        <translation>with</translation>
    </message>
</context>
<context>
    <name>UtilsOrka</name>
    <message>
        <source>&apos;%1&apos; n&apos;est pas une valeur entière correcte</source>
        <translation>&apos;%1&apos; is not a valid whole number</translation>
    </message>
    <message>
        <source>%1 n&apos;est pas dans l&apos;intervalle spécifié %2..%3</source>
        <translation>%1 is not in the range %2..%3</translation>
    </message>
</context>
<context>
    <name>VideoSequence</name>
    <message>
        <source>Stopper la séquence</source>
        <translation>Stop the sequence</translation>
    </message>
    <message>
        <source>Lancer la séquence</source>
        <translation>Start the sequence</translation>
    </message>
</context>
<context>
    <name>XmpSidecar</name>
    <message>
        <source>Impossible de lire %1 : %2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>%1 est trop grand pour un fichier XMP (%2 Ko).</source>
        <translation>%1 is too large for an XMP file (%2 KB).</translation>
    </message>
    <message>
        <source>Fichier XMP trop grand.</source>
        <translation>XMP file too large.</translation>
    </message>
    <message>
        <source>Ce fichier n&apos;est pas un XMP lisible.</source>
        <translation>This file is not a readable XMP.</translation>
    </message>
    <message>
        <source>%1 n&apos;est pas un fichier XMP lisible.</source>
        <translation>%1 is not a readable XMP file.</translation>
    </message>
    <message>
        <source>Note invalide : %1.</source>
        <translation>Invalid rating: %1.</translation>
    </message>
    <message>
        <source>%1 est l&apos;image elle-même : note non enregistrée.</source>
        <translation>%1 is the picture itself: rating not saved.</translation>
    </message>
    <message>
        <source>%1 existe mais n&apos;est pas un fichier XMP lisible : il n&apos;a pas été modifié et la note n&apos;est pas enregistrée.</source>
        <translation>%1 exists but is not a readable XMP file: it was left unchanged and the rating is not saved.</translation>
    </message>
    <message>
        <source>Impossible de composer le XMP de %1.</source>
        <translation>Cannot compose the XMP of %1.</translation>
    </message>
    <message>
        <source>Impossible d&apos;enregistrer la note dans %1 : %2</source>
        <translation>Cannot save the rating in %1: %2</translation>
    </message>
</context>
</TS>
