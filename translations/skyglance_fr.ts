<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>CollectionTexts</name>
    <message>
        <source>Collection Saved with date and time info on:</source>
        <translation>Votre Collection a été faite en toute sécurité:</translation>
    </message>
    <message>
        <source>Collection NOT saved: this file could not be written:</source>
        <translation>Collection NON enregistrée : impossible d&apos;écrire le fichier :</translation>
    </message>
    <message>
        <source>Table reloaded, Please restart Skyglance to trim exact time for every picture</source>
        <translation>Table reloaded, Please restart Skyglance to trim exact time for every picture</translation>
    </message>
</context>
<context>
    <name>Connection</name>
    <message>
        <source>The proxy password contains the character &quot;%1&quot;, which cannot be saved.
Please choose another password.</source>
        <translation>Le mot de passe du proxy contient le caractère &quot;%1&quot;, qui ne peut pas être enregistré.
Veuillez choisir un autre mot de passe.</translation>
    </message>
    <message>
        <source>Internet Connection: Adsl, Wi-Fi, Modem, Lan</source>
        <translation>Connexion Internet: Adsl, Wi-Fi, Modem, Lan</translation>
    </message>
    <message>
        <source>Internet Connection: Proxy Server</source>
        <translation>Connexion Internet: serveur proxy</translation>
    </message>
</context>
<context>
    <name>DisplayModes</name>
    <message>
        <source>Full_Screen</source>
        <translation>Plein_écran</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
</context>
<context>
    <name>DownloadCycle</name>
    <message>
        <source>Error: you have to check at least one Image from list!</source>
        <translation>Erreur : vous devez sélectionner au moins une image dans la liste !</translation>
    </message>
    <message>
        <source>Waiting Internet Connection......??????</source>
        <translation>Attente de la connexion à Internet......??????</translation>
    </message>
</context>
<context>
    <name>HelpBoxes</name>
    <message>
        <source>DISPLAY TIMERS<byte value="xd"/>
 <byte value="xd"/>
_Download Images Timer<byte value="xd"/>
_Slide Show Timer<byte value="xd"/>
_Display Mode</source>
        <translation>Intervalle d&apos;affichage<byte value="xd"/>
 <byte value="xd"/>
_Intervalle de téléchargement<byte value="xd"/>
_Intervalle entre les images<byte value="xd"/>
_Mode d&apos;affichage</translation>
    </message>
    <message>
        <source>RUN EXIT:<byte value="xd"/>
 <byte value="xd"/>
_Start Slide Show<byte value="xd"/>
_Save Configuration<byte value="xd"/>
_Quit Program<byte value="xd"/>
_Status Bar Info</source>
        <translation>DÉMARRER ARRÊTER:<byte value="xd"/>
 <byte value="xd"/>
_Lancer le diaporama<byte value="xd"/>
_Sauvegarder Configuration<byte value="xd"/>
_Quitter le programme<byte value="xd"/>
_Informations de la barre d&apos;état</translation>
    </message>
    <message>
        <source>TOOLS AVAILABLE:<byte value="xd"/>
 <byte value="xd"/>
_Display Timers: select your preferred slide show time and connection to download new images.<byte value="xd"/>
_Picture Selection: select Image to display from database.<byte value="xd"/>
_Run-Exit: Start slide show or exit from program.</source>
        <translation>OUTILS:<byte value="xd"/>
 <byte value="xd"/>
_Intervalle d&apos;affichage : choisissez l&apos;intervalle de temps entre deux images du diaporama et l&apos;intervalle de téléchargement.<byte value="xd"/>
_Choix des images : sélectionnez les images à afficher à partir de la base de données.<byte value="xd"/>
_Démarrer-arrêter : lancer le diaporama ou quitter le programme.</translation>
    </message>
</context>
<context>
    <name>LastGood</name>
    <message>
        <source>Picture of %1 - waiting for the network</source>
        <translation>Image du %1 - en attente du réseau</translation>
    </message>
    <message>
        <source>Picture of %1</source>
        <translation>Image du %1</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Unselect All Pictures</source>
        <translation>Unselect All Pictures</translation>
    </message>
    <message>
        <source>Warning!</source>
        <translation>Attention !</translation>
    </message>
    <message>
        <source>Invalid Download Time.</source>
        <translation>Intervalle de téléchargement invalide.</translation>
    </message>
    <message>
        <source>Download Timer too small.</source>
        <translation>Intervalle de téléchargement trop court.</translation>
    </message>
    <message>
        <source>Slide Show Timer not valid.</source>
        <translation>Intervalle entre les images invalide.</translation>
    </message>
    <message>
        <source>Slide Show Timer too small.</source>
        <translation>Intervalle entre les images trop court.</translation>
    </message>
    <message>
        <source>ERROR WRITING CONFIGURATION FILES!</source>
        <translation>ERREUR D&apos;ÉCRITURE SUR LES FICHIERS DE CONFIGURATION!</translation>
    </message>
    <message>
        <source>The local system is not connected to a network!</source>
        <translation>L&apos;ordinateur n&apos;est pas connecté à un réseau !</translation>
    </message>
    <message>
        <source>The local system is connected to a </source>
        <translation>L&apos;ordinateur est connecté à un </translation>
    </message>
    <message>
        <source> network!</source>
        <translation> network!</translation>
    </message>
    <message>
        <source>Program ended <byte value="xd"/>
 The sponsors page will open.</source>
        <translation>Le programme a pris fin <byte value="xd"/>
 La page des sponsors s&apos;ouvrira.</translation>
    </message>
    <message>
        <source>You can add up 9 .jpg own pictures.<byte value="xd"/>
Put files in folder </source>
        <translation>You can add up 9 .jpg own pictures.<byte value="xd"/>
Put files in folder </translation>
    </message>
</context>
<context>
    <name>OnlineHelp</name>
    <message>
        <source>You are incoming to run TeamViewer, a Remote Control software.<byte value="xd"/>
It is freeware fon no profit use. <byte value="xd"/>
You have to be connected by phone with our operator that <byte value="xd"/>
try to hel you for Skyglance configuration, and under your authorization,<byte value="xd"/>
try to remote control your computer.</source>
        <translation>You are incoming to run TeamViewer, a Remote Control software.<byte value="xd"/>
It is freeware fon no profit use. <byte value="xd"/>
You have to be connected by phone with our operator that <byte value="xd"/>
try to hel you for Skyglance configuration, and under your authorization,<byte value="xd"/>
try to remote control your computer.</translation>
    </message>
    <message>
        <source>Open TeamViewer for remote assistance from Skyglance staff (you must first agree on the date and time using the contact page.</source>
        <translation>Open TeamViewer for remote assistance from Skyglance staff (you must first agree on the date and time using the contact page.</translation>
    </message>
    <message>
        <source>The remote assistance program TeamViewer was not found.<byte value="xd"/>
Put TeamViewerEng in the Skyglance folder or install teamviewer, then try again.</source>
        <translation>Le programme d&apos;assistance à distance TeamViewer est introuvable.<byte value="xd"/>
Placez TeamViewerEng dans le dossier de Skyglance ou installez teamviewer, puis réessayez.</translation>
    </message>
    <message>
        <source>TeamViewer could not be started.<byte value="xd"/>
</source>
        <translation>Impossible de lancer TeamViewer.<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>PanelCaptions</name>
    <message>
        <source>Local I.</source>
        <translation>I. local</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Outils</translation>
    </message>
    <message>
        <source>Save Configur.</source>
        <translation>Enregistr. configurat.</translation>
    </message>
    <message>
        <source>Display Timers</source>
        <translation>Intervalle d&apos;affichage</translation>
    </message>
    <message>
        <source>Display Timer</source>
        <translation>Intervalle-affichage</translation>
    </message>
    <message>
        <source>Slide Show Img. Timer</source>
        <translation>Intervalle d&apos;affichage</translation>
    </message>
    <message>
        <source>(seconds)</source>
        <translation>(secondes)</translation>
    </message>
    <message>
        <source>Download Img. Times</source>
        <translation>Intervalle connexion</translation>
    </message>
    <message>
        <source>(minuts)</source>
        <translation>(minutes)</translation>
    </message>
    <message>
        <source>Display Picture Mode</source>
        <translation>Mode d&apos;affichage</translation>
    </message>
    <message>
        <source>Start Slide Show</source>
        <translation>Lancer diaporama </translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>Picture Selection</source>
        <translation>Choix des images</translation>
    </message>
    <message>
        <source>Run - Exit</source>
        <translation>Démarrer arrêter</translation>
    </message>
    <message>
        <source>Help TeamViewer</source>
        <translation>Aide TeamViewer</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Quit Program</source>
        <translation>Quitter programme</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Cleanup Config.</source>
        <translation>Cleanup Configurat.</translation>
    </message>
    <message>
        <source>Add Owner Image</source>
        <translation>Ajout Image personnali.</translation>
    </message>
    <message>
        <source>Remove Own. Img.</source>
        <translation>Enlever Image pers.</translation>
    </message>
    <message>
        <source>Backup Collection</source>
        <translation>Backup Collection</translation>
    </message>
    <message>
        <source>Load_File Collection</source>
        <translation>Load_File Collection</translation>
    </message>
</context>
<context>
    <name>PanelTabs</name>
    <message>
        <source>Display Timers</source>
        <translation>Intervalle d&apos;affichage</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>Picture   Selection</source>
        <translation>Choix des images</translation>
    </message>
    <message>
        <source>Run / Exit</source>
        <translation>Démarrer arrêter</translation>
    </message>
    <message>
        <source>Tools - Language</source>
        <translation>Outils - Language</translation>
    </message>
</context>
<context>
    <name>PanelTexts</name>
    <message>
        <source>Opens the TIMERS page related to the slide show speed and the ONLINE pictures update rate.</source>
        <translation>Opens the TIMERS page related to the slide show speed and the ONLINE pictures update rate.</translation>
    </message>
    <message>
        <source>Opens the SETUP page: internet connection, proxy and clean-up of the configuration.</source>
        <translation>Ouvre la page CONFIGURATION : connexion internet, proxy et nettoyage de la configuration.</translation>
    </message>
    <message>
        <source>Open the DATABASE page, to select which weather pictures to add to the slide show. It is also possible to add up to 10 own pictures to the slide show, to create an advertisement intercalated to the weather pictures.</source>
        <translation>Open the DATABASE page, to select which weather pictures to add to the slide show. It is also possible to add up to 10 own pictures to the slide show, to create an advertisement intercalated to the weather pictures.</translation>
    </message>
    <message>
        <source>Open the page to start the SLIDE-SHOW or quit Skyglance.</source>
        <translation>Open the page to start the SLIDE-SHOW or quit Skyglance.</translation>
    </message>
    <message>
        <source>Open TeamViewer for remote assistance from Skyglance staff (you must first agree on the date and time using the contact page.</source>
        <translation>Open TeamViewer for remote assistance from Skyglance staff (you must first agree on the date and time using the contact page.</translation>
    </message>
    <message>
        <source>Change Language.</source>
        <translation>Change Language.</translation>
    </message>
    <message>
        <source>Start the slide show with the selected pictures of the database. After the start will be automatic.</source>
        <translation>Start the slide show with the selected pictures of the database. After the start will be automatic.</translation>
    </message>
    <message>
        <source>Create a BACKUP file of the selected picture list.</source>
        <translation>Create a BACKUP file of the selected picture list.</translation>
    </message>
    <message>
        <source>Quit Skyglance</source>
        <translation>Quit Skyglance</translation>
    </message>
    <message>
        <source>Information about Skyglance version.</source>
        <translation>Information about Skyglance version.</translation>
    </message>
    <message>
        <source>Open the online help.</source>
        <translation>Open the online help.</translation>
    </message>
    <message>
        <source>Open the help online.</source>
        <translation>Open the help online.</translation>
    </message>
    <message>
        <source>Set up your city for parametric forecast.</source>
        <translation>Set up your city for parametric forecast.</translation>
    </message>
    <message>
        <source>Add to the slide show up to 10 of your own pictures, to create an advertisement intercalated to the weather pictures.</source>
        <translation>Add to the slide show up to 10 of your own pictures, to create an advertisement intercalated to the weather pictures.</translation>
    </message>
    <message>
        <source>Delete your personal pictures from the slide show</source>
        <translation>Delete your personal pictures from the slide show</translation>
    </message>
    <message>
        <source>Create a configuration backup.</source>
        <translation>Create a configuration backup.</translation>
    </message>
    <message>
        <source>Restore the configuration from a Backup.</source>
        <translation>Restore the configuration from a Backup.</translation>
    </message>
    <message>
        <source>List of Local Images vsualized in the slide show.</source>
        <translation>Liste des images locales converties en diaporama.</translation>
    </message>
    <message>
        <source>All configuration files will be deleted (useful in case of unresolvable errors).</source>
        <translation>Tous les fichiers de configuration seront supprimés (utile en cas d&apos;erreurs insolubles).</translation>
    </message>
    <message>
        <source>Set the time (in minutes) for updating pictures ONLINE.</source>
        <translation>Set the time (in minutes) for updating pictures ONLINE.</translation>
    </message>
    <message>
        <source>Set the slide show speed (seconds of persistence of each picture).</source>
        <translation>Set the slide show speed (seconds of persistence of each picture).</translation>
    </message>
    <message>
        <source>Swap the display mode between full screen and real size.</source>
        <translation>Swap the display mode between full screen and real size.</translation>
    </message>
    <message>
        <source>Delete all the pictures selected by the DATABASE.</source>
        <translation>Delete all the pictures selected by the DATABASE.</translation>
    </message>
    <message>
        <source>Hover your mouse over the configuration panel icons to read their meaning here</source>
        <translation>Hover your mouse over the configuration panel icons to read their meaning here</translation>
    </message>
    <message>
        <source>Wait Please</source>
        <translation>Attendere</translation>
    </message>
    <message>
        <source>Loading Database, wait...</source>
        <translation>Chargement de la base de données, veuillez patienter ...</translation>
    </message>
    <message>
        <source>Picture preview</source>
        <translation>Aperçu des images</translation>
    </message>
    <message>
        <source>Modif. Connection</source>
        <translation>Modif. Connexion</translation>
    </message>
    <message>
        <source>My Town</source>
        <translation>Ma Ville</translation>
    </message>
    <message>
        <source>SETUP:<byte value="xd"/>
 <byte value="xd"/>
_Connection: direct or through a proxy.<byte value="xd"/>
_Cleanup Config.: delete every configuration file and start again.</source>
        <translation>CONFIGURATION :<byte value="xd"/>
 <byte value="xd"/>
_Connexion : directe ou par un proxy.<byte value="xd"/>
_Cleanup Configurat. : supprime tous les fichiers de configuration.</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Langue</translation>
    </message>
</context>
<context>
    <name>Scheduler</name>
    <message>
        <source>The work folder %1 cannot be written.
The pictures on show stay; the download is tried again at the next cycle.</source>
        <translation>Impossible d&apos;écrire dans le dossier de travail %1.
Les images restent affichées ; le téléchargement sera retenté au prochain cycle.</translation>
    </message>
    <message>
        <source>picture reduced to fit the picture memory</source>
        <translation>image réduite pour la mémoire des images</translation>
    </message>
    <message>
        <source>picture too large for the picture memory</source>
        <translation>image trop grande pour la mémoire des images</translation>
    </message>
</context>
<context>
    <name>SelectionTable</name>
    <message>
        <source>List cleaned - please select min. 2 pictures or load collection</source>
        <translation>List cleaned - please select min. 2 pictures or load collection</translation>
    </message>
    <message>
        <source>The picture catalogue cannot be reached now. Your saved selection is kept as it is, and Start goes on showing it.</source>
        <translation>Le catalogue des images est injoignable pour le moment. Votre sélection enregistrée reste telle quelle, et Démarrer continue de l&apos;afficher.</translation>
    </message>
</context>
<context>
    <name>SettingsTexts</name>
    <message>
        <source>WARNING!</source>
        <translation>ATTENTION!!</translation>
    </message>
    <message>
        <source>If you confirm, all configuration files will be deleted</source>
        <translation> Si vous confirmez, tous les fichiers de configuration seront supprimés</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>ATTENTION</translation>
    </message>
    <message>
        <source>Configuration cleaned, please restart Skyglance</source>
        <translation>Configuration cleaned, please restart Skyglance</translation>
    </message>
    <message>
        <source>Restart Not executed</source>
        <translation>Restart Not executed</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>c&apos;est un dossier</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>permission refusée</translation>
    </message>
    <message>
        <source>it is too large</source>
        <translation>il est trop grand</translation>
    </message>
    <message>
        <source>read error</source>
        <translation>erreur de lecture</translation>
    </message>
    <message>
        <source>Cannot read the file %1: %2.
The other configuration files are kept.</source>
        <translation>Impossible de lire le fichier %1 : %2.
Les autres fichiers de configuration sont conservés.</translation>
    </message>
</context>
<context>
    <name>StatusBarToolTips</name>
    <message>
        <source>Wait...&quot;</source>
        <translation>Veuillez patienter...&quot;</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Connection Broken</source>
        <translation>Connexion coupée</translation>
    </message>
    <message>
        <source>Connection Active</source>
        <translation>Connexion activê</translation>
    </message>
</context>
<context>
    <name>Supervisor</name>
    <message>
        <source>Waiting for Internet connection (have to be active!).....</source>
        <translation>Attente de la connexion à Internet (doit être active !).....</translation>
    </message>
    <message>
        <source>Loading Pictures from WEB...</source>
        <translation>Téléchargement des images à partir du web...</translation>
    </message>
    <message>
        <source> of </source>
        <translation> du </translation>
    </message>
</context>
<context>
    <name>VersionUpdateTexts</name>
    <message>
        <source>Collections Upgraded - Automatic collections-files extraction</source>
        <translation>Collections Upgraded - Automatic collections-files extraction</translation>
    </message>
</context>
</TS>
