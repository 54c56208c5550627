<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it" sourcelanguage="en">
<context>
    <name>CollectionTexts</name>
    <message>
        <source>Collection Saved with date and time info on:</source>
        <translation>Collection salvata con data e ora su:</translation>
    </message>
    <message>
        <source>Collection NOT saved: this file could not be written:</source>
        <translation>Collection NON salvata: impossibile scrivere il file:</translation>
    </message>
    <message>
        <source>Table reloaded, Please restart Skyglance to trim exact time for every picture</source>
        <translation>Tabella ricaricata, riavviare il programma per ripristinare i tempi corretti ad ogni immagine</translation>
    </message>
</context>
<context>
    <name>Connection</name>
    <message>
        <source>The proxy password contains the character &quot;%1&quot;, which cannot be saved.
Please choose another password.</source>
        <translation>La password del proxy contiene il carattere &quot;%1&quot;, che non può essere salvato.
Scegliere un&apos;altra password.</translation>
    </message>
    <message>
        <source>Internet Connection: Adsl, Wi-Fi, Modem, Lan</source>
        <translation>Connessione via Adsl, Wi-Fi, Modem, Lan</translation>
    </message>
    <message>
        <source>Internet Connection: Proxy Server</source>
        <translation>Connessione via Proxy Server</translation>
    </message>
</context>
<context>
    <name>DisplayModes</name>
    <message>
        <source>Full_Screen</source>
        <translation>Tutto_schermo</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>In_scala</translation>
    </message>
</context>
<context>
    <name>DownloadCycle</name>
    <message>
        <source>Error: you have to check at least one Image from list!</source>
        <translation>Errore: occorre selezionare almeno una immagine dalla lista!</translation>
    </message>
    <message>
        <source>Waiting Internet Connection......??????</source>
        <translation>Attesa di connessione ad Internet.....??????</translation>
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
        <translation>DISPLAY TIMERS<byte value="xd"/>
 <byte value="xd"/>
_Tempo Ricarica Immagini<byte value="xd"/>
_Tempo Proiezione Immagini<byte value="xd"/>
_Modo Visualizz. Immagini</translation>
    </message>
    <message>
        <source>RUN EXIT:<byte value="xd"/>
 <byte value="xd"/>
_Start Slide Show<byte value="xd"/>
_Save Configuration<byte value="xd"/>
_Quit Program<byte value="xd"/>
_Status Bar Info</source>
        <translation>ESEGUI ESCI:<byte value="xd"/>
_Inizia Proiezione Immagini<byte value="xd"/>
_Salva tutte le Impostazioni<byte value="xd"/>
_Esci dal programma.<byte value="xd"/>
_Visualizza informazioni barra</translation>
    </message>
    <message>
        <source>TOOLS AVAILABLE:<byte value="xd"/>
 <byte value="xd"/>
_Display Timers: select your preferred slide show time and connection to download new images.<byte value="xd"/>
_Picture Selection: select Image to display from database.<byte value="xd"/>
_Run-Exit: Start slide show or exit from program.</source>
        <translation>TOOLS DISPONIBILI:<byte value="xd"/>
 <byte value="xd"/>
_Display Timers: imposta tempi per connessione, aggiornamento, velocità e modo di visualizzazione.<byte value="xd"/>
_Picture Selection: selezione di quali immagini visualizzare<byte value="xd"/>
_Run-Exit: Encamina visualización o salida por el programa</translation>
    </message>
</context>
<context>
    <name>LastGood</name>
    <message>
        <source>Picture of %1 - waiting for the network</source>
        <translation>Immagine del %1 - in attesa della rete</translation>
    </message>
    <message>
        <source>Picture of %1</source>
        <translation>Immagine del %1</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Unselect All Pictures</source>
        <translation>Deseleziona Tutte Immagini</translation>
    </message>
    <message>
        <source>Warning!</source>
        <translation>Attenzione!</translation>
    </message>
    <message>
        <source>Invalid Download Time.</source>
        <translation>Tempo Download non valido.</translation>
    </message>
    <message>
        <source>Download Timer too small.</source>
        <translation>Tempo Download troppo corto.</translation>
    </message>
    <message>
        <source>Slide Show Timer not valid.</source>
        <translation>Timer Slide Show non valido.</translation>
    </message>
    <message>
        <source>Slide Show Timer too small.</source>
        <translation>Timer Slde Show troppo corto.</translation>
    </message>
    <message>
        <source>ERROR WRITING CONFIGURATION FILES!</source>
        <translation>ERRORE DURANTE LA SCRITTURA DEL FILE DI CONFIGURAZIONE!</translation>
    </message>
    <message>
        <source>The local system is not connected to a network!</source>
        <translation>Non è presente una connessione alla rete!</translation>
    </message>
    <message>
        <source>The local system is connected to a </source>
        <translation>Il sistema è connesso a una rete </translation>
    </message>
    <message>
        <source> network!</source>
        <translation> !</translation>
    </message>
    <message>
        <source>Program ended <byte value="xd"/>
 The sponsors page will open.</source>
        <translation>Programma Terminato<byte value="xd"/>
Si aprirà la pagina degli sponsor.</translation>
    </message>
    <message>
        <source>You can add up 9 .jpg own pictures.<byte value="xd"/>
Put files in folder </source>
        <translation>Puoi aggiungere fino a 9 altre immagini personali .jpg<byte value="xd"/>
Copiale nella cartella </translation>
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
        <translation>Stai per lanciare il software di assistenza Remota TeamViewer<byte value="xd"/>
Il software è freeware per usi non professionali <byte value="xd"/>
E&apos; necessario essere in collegamento telefonico con un operatore che <byte value="xd"/>
provvederà ad aiutarti a configurare Skyglance e su tua autorizzazione,<byte value="xd"/>
prenderà il controllo remoto del tuo computer.</translation>
    </message>
    <message>
        <source>Open TeamViewer for remote assistance from Skyglance staff (you must first agree on the date and time using the contact page.</source>
        <translation>Apre TeamViewer per avere assistenza remota da parte dello staff di Skyglance (occorre concordare preventivamente data e ora usando la pagina dei contatti.</translation>
    </message>
    <message>
        <source>The remote assistance program TeamViewer was not found.<byte value="xd"/>
Put TeamViewerEng in the Skyglance folder or install teamviewer, then try again.</source>
        <translation>Il programma di assistenza remota TeamViewer non è stato trovato.<byte value="xd"/>
Copia TeamViewer nella cartella di Skyglance oppure installa teamviewer, poi riprova.</translation>
    </message>
    <message>
        <source>TeamViewer could not be started.<byte value="xd"/>
</source>
        <translation>Impossibile avviare TeamViewer.<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>PanelCaptions</name>
    <message>
        <source>Local I.</source>
        <translation>I. locali</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>Save Configur.</source>
        <translation>Salva Configur.</translation>
    </message>
    <message>
        <source>Display Timers</source>
        <translation>Timer Diapositive</translation>
    </message>
    <message>
        <source>Display Timer</source>
        <translation>Timer Diapositive</translation>
    </message>
    <message>
        <source>Slide Show Img. Timer</source>
        <translation>Timer Diapositive</translation>
    </message>
    <message>
        <source>(seconds)</source>
        <translation>(secondi)</translation>
    </message>
    <message>
        <source>Download Img. Times</source>
        <translation>Tempo Riconnessione</translation>
    </message>
    <message>
        <source>(minuts)</source>
        <translation>(minuti)</translation>
    </message>
    <message>
        <source>Display Picture Mode</source>
        <translation>Modo Visualizz.</translation>
    </message>
    <message>
        <source>Start Slide Show</source>
        <translation>Inizia Proiezione</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Impostazioni</translation>
    </message>
    <message>
        <source>Picture Selection</source>
        <translation>Scelta Immagini</translation>
    </message>
    <message>
        <source>Run - Exit</source>
        <translation>Avvio Termina</translation>
    </message>
    <message>
        <source>Help TeamViewer</source>
        <translation>Help TeamViewer</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Quit Program</source>
        <translation>Termina Programma</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Cleanup Config.</source>
        <translation>Reset Configuraz.</translation>
    </message>
    <message>
        <source>Add Owner Image</source>
        <translation>Immagi. Personale</translation>
    </message>
    <message>
        <source>Remove Own. Img.</source>
        <translation>Elimina Imm. Pers.</translation>
    </message>
    <message>
        <source>Backup Collection</source>
        <translation>Salva Collection</translation>
    </message>
    <message>
        <source>Load_File Collection</source>
        <translation>Carica Collection</translation>
    </message>
</context>
<context>
    <name>PanelTabs</name>
    <message>
        <source>Display Timers</source>
        <translation>Timer Diapositive</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Impostazioni</translation>
    </message>
    <message>
        <source>Picture   Selection</source>
        <translation>Scelta   Immagini</translation>
    </message>
    <message>
        <source>Run / Exit</source>
        <translation>Avvio Termina</translation>
    </message>
    <message>
        <source>Tools - Language</source>
        <translation>Tools - Lingua</translation>
    </message>
</context>
<context>
    <name>PanelTexts</name>
    <message>
        <source>Opens the TIMERS page related to the slide show speed and the ONLINE pictures update rate.</source>
        <translation>Apre la pagina dei TIMERS relativi alla velocità dello slide-show, ed alla frequenza di aggiornamento ONLINE delle immagini.</translation>
    </message>
    <message>
        <source>Opens the SETUP page: internet connection, proxy and clean-up of the configuration.</source>
        <translation>Apre la pagina delle IMPOSTAZIONI: connessione internet, proxy e azzeramento della configurazione.</translation>
    </message>
    <message>
        <source>Open the DATABASE page, to select which weather pictures to add to the slide show. It is also possible to add up to 10 own pictures to the slide show, to create an advertisement intercalated to the weather pictures.</source>
        <translation>Apre la pagina del DATABASE, per selezionare quali immagini meteo aggiungere allo slide-show. E&apos; anche possibile aggiungere fino a 10 immagini proprie  allo slide-show, per creare una pubblicità intercalata alle immagini meteo.</translation>
    </message>
    <message>
        <source>Open the page to start the SLIDE-SHOW or quit Skyglance.</source>
        <translation>Apre la pagina per l&apos;avvio dello SLIDE-SHOW o l&apos;uscita da Skyglance.</translation>
    </message>
    <message>
        <source>Open TeamViewer for remote assistance from Skyglance staff (you must first agree on the date and time using the contact page.</source>
        <translation>Apre TeamViewer per avere assistenza remota da parte dello staff di Skyglance (occorre concordare preventivamente data e ora usando la pagina dei contatti.</translation>
    </message>
    <message>
        <source>Change Language.</source>
        <translation>Cambia lingua dei menù.</translation>
    </message>
    <message>
        <source>Start the slide show with the selected pictures of the database. After the start will be automatic.</source>
        <translation>Avvia lo slide show con le immagini selezionate del database. L&apos;avvio sarà successivamente automatico.</translation>
    </message>
    <message>
        <source>Create a BACKUP file of the selected picture list.</source>
        <translation>Crea un file di BACKUP della configurazione immagini desiderate.</translation>
    </message>
    <message>
        <source>Quit Skyglance</source>
        <translation>Chiude Skyglance.</translation>
    </message>
    <message>
        <source>Information about Skyglance version.</source>
        <translation>Informazioni sulla versione di Skyglance.</translation>
    </message>
    <message>
        <source>Open the online help.</source>
        <translation>Apre l&apos;help online.</translation>
    </message>
    <message>
        <source>Open the help online.</source>
        <translation>Apre l&apos;help online.&quot;</translation>
    </message>
    <message>
        <source>Set up your city for parametric forecast.</source>
        <translation>Imposta la tua città per le previsioni parametriche.</translation>
    </message>
    <message>
        <source>Add to the slide show up to 10 of your own pictures, to create an advertisement intercalated to the weather pictures.</source>
        <translation>Aggiunge allo slide show fino a 10 immagini proprie, per creare una pubblicità intercalata alle immagini meteo.</translation>
    </message>
    <message>
        <source>Delete your personal pictures from the slide show</source>
        <translation>Elimina dallo slide show le tue immagini personali.</translation>
    </message>
    <message>
        <source>Create a configuration backup.</source>
        <translation>Fa una copia di backup della configurazione.</translation>
    </message>
    <message>
        <source>Restore the configuration from a Backup.</source>
        <translation>Ripristina la configurazione da un Backup.</translation>
    </message>
    <message>
        <source>List of Local Images vsualized in the slide show.</source>
        <translation>Elenco delle Immagini Locali vsualizzate nello slide show.</translation>
    </message>
    <message>
        <source>All configuration files will be deleted (useful in case of unresolvable errors).</source>
        <translation>Azzera la configurazione per ripartire da zero (utile in caso di errori non risolvibili).</translation>
    </message>
    <message>
        <source>Set the time (in minutes) for updating pictures ONLINE.</source>
        <translation>Imposta il tempo (in minuti) di aggiornamento delle immagini ONLINE.&quot;</translation>
    </message>
    <message>
        <source>Set the slide show speed (seconds of persistence of each picture).</source>
        <translation>Imposta la velocità dello slide show (secondi di persistenza di ogni immagine).</translation>
    </message>
    <message>
        <source>Swap the display mode between full screen and real size.</source>
        <translation>Commuta la modalità di visualizzazione tra full screen e dimensone reale.</translation>
    </message>
    <message>
        <source>Delete all the pictures selected by the DATABASE.</source>
        <translation>Elimina tutte le immagini selezionate dal DATABASE.</translation>
    </message>
    <message>
        <source>Hover your mouse over the configuration panel icons to read their meaning here</source>
        <translation>Passa il mouse sulle icone del pannello di configurazione per leggere qui il loro significato.</translation>
    </message>
    <message>
        <source>Wait Please</source>
        <translation>Attendere</translation>
    </message>
    <message>
        <source>Loading Database, wait...</source>
        <translation>Caricamento Database in corso, attendere...</translation>
    </message>
    <message>
        <source>Picture preview</source>
        <translation>Anteprima immagini</translation>
    </message>
    <message>
        <source>Modif. Connection</source>
        <translation>Modif. Connessione</translation>
    </message>
    <message>
        <source>My Town</source>
        <translation>La mia Città</translation>
    </message>
    <message>
        <source>SETUP:<byte value="xd"/>
 <byte value="xd"/>
_Connection: direct or through a proxy.<byte value="xd"/>
_Cleanup Config.: delete every configuration file and start again.</source>
        <translation>IMPOSTAZIONI:<byte value="xd"/>
 <byte value="xd"/>
_Connessione: diretta o tramite proxy.<byte value="xd"/>
_Reset Configuraz.: cancella tutti i file di configurazione e riparte da zero.</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Lingua</translation>
    </message>
</context>
<context>
    <name>Scheduler</name>
    <message>
        <source>The work folder %1 cannot be written.
The pictures on show stay; the download is tried again at the next cycle.</source>
        <translation>Impossibile scrivere nella cartella di lavoro %1.
Le immagini restano in mostra; lo scaricamento sarà ritentato al prossimo ciclo.</translation>
    </message>
    <message>
        <source>picture reduced to fit the picture memory</source>
        <translation>immagine ridotta per la memoria delle immagini</translation>
    </message>
    <message>
        <source>picture too large for the picture memory</source>
        <translation>immagine troppo grande per la memoria delle immagini</translation>
    </message>
</context>
<context>
    <name>SelectionTable</name>
    <message>
        <source>List cleaned - please select min. 2 pictures or load collection</source>
        <translation>Lista cancellata - prego selezionare minimo 2 immagini o caricare una collection</translation>
    </message>
    <message>
        <source>The picture catalogue cannot be reached now. Your saved selection is kept as it is, and Start goes on showing it.</source>
        <translation>Il catalogo delle immagini non è raggiungibile ora. La selezione salvata resta com&apos;è, e Avvia continua a mostrarla.</translation>
    </message>
</context>
<context>
    <name>SettingsTexts</name>
    <message>
        <source>WARNING!</source>
        <translation>Attenzione!</translation>
    </message>
    <message>
        <source>If you confirm, all configuration files will be deleted</source>
        <translation>Se confermi verranno cancellati tutti i files di configurazione.</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>ATTENZIONE</translation>
    </message>
    <message>
        <source>Configuration cleaned, please restart Skyglance</source>
        <translation>La configurazione è stata azzerata. Rilanciare Skyglance</translation>
    </message>
    <message>
        <source>Restart Not executed</source>
        <translation>Restart annullato</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>è una cartella</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>permesso negato</translation>
    </message>
    <message>
        <source>it is too large</source>
        <translation>è troppo grande</translation>
    </message>
    <message>
        <source>read error</source>
        <translation>errore di lettura</translation>
    </message>
    <message>
        <source>Cannot read the file %1: %2.
The other configuration files are kept.</source>
        <translation>Impossibile leggere il file %1: %2.
Gli altri file di configurazione sono conservati.</translation>
    </message>
</context>
<context>
    <name>StatusBarToolTips</name>
    <message>
        <source>Wait...&quot;</source>
        <translation>Attendere...&quot;</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Configurazione</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Termina</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Connection Broken</source>
        <translation>Connessione Interrotta</translation>
    </message>
    <message>
        <source>Connection Active</source>
        <translation>Connessione Attiva</translation>
    </message>
</context>
<context>
    <name>Supervisor</name>
    <message>
        <source>Waiting for Internet connection (have to be active!).....</source>
        <translation>Attesa di connessione ad Internet (deve essere attiva).....</translation>
    </message>
    <message>
        <source>Loading Pictures from WEB...</source>
        <translation>Caricamento immagini dal WEB...</translation>
    </message>
    <message>
        <source> of </source>
        <translation> di </translation>
    </message>
</context>
<context>
    <name>VersionUpdateTexts</name>
    <message>
        <source>Collections Upgraded - Automatic collections-files extraction</source>
        <translation>Collections Aggiornate - Estrazione automatica dei files collections</translation>
    </message>
</context>
</TS>
