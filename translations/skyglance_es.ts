<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>CollectionTexts</name>
    <message>
        <source>Collection Saved with date and time info on:</source>
        <translation>Su Colección se hizo fuerte:</translation>
    </message>
    <message>
        <source>Collection NOT saved: this file could not be written:</source>
        <translation>Colección NO guardada: no se pudo escribir el archivo:</translation>
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
        <translation>La contraseña del proxy contiene el carácter &quot;%1&quot;, que no se puede guardar.
Elija otra contraseña.</translation>
    </message>
    <message>
        <source>Internet Connection: Adsl, Wi-Fi, Modem, Lan</source>
        <translation>Conexión a Internet: Adsl, Wi-Fi, Modem, Lan</translation>
    </message>
    <message>
        <source>Internet Connection: Proxy Server</source>
        <translation>Conexión a Internet: Servidor Proxy</translation>
    </message>
</context>
<context>
    <name>DisplayModes</name>
    <message>
        <source>Full_Screen</source>
        <translation>Pleno_Video</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Dimensión Original</translation>
    </message>
</context>
<context>
    <name>DownloadCycle</name>
    <message>
        <source>Error: you have to check at least one Image from list!</source>
        <translation>Error: hace falta seleccionar al menos una imagen de la lista!</translation>
    </message>
    <message>
        <source>Waiting Internet Connection......??????</source>
        <translation>Espera de conexión a Internet.....??????</translation>
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
        <translation>Proyección Temporizador<byte value="xd"/>
 <byte value="xd"/>
_Tiempo Recarga Imágenes<byte value="xd"/>
_Tiempo Proyección Imágenes<byte value="xd"/>
_Modo Visualizz. Imágenes</translation>
    </message>
    <message>
        <source>RUN EXIT:<byte value="xd"/>
 <byte value="xd"/>
_Start Slide Show<byte value="xd"/>
_Save Configuration<byte value="xd"/>
_Quit Program<byte value="xd"/>
_Status Bar Info</source>
        <translation>EJECUTAS SALES:<byte value="xd"/>
_Inicia Proyección Imaginas<byte value="xd"/>
_Salva todas las Impostaciones<byte value="xd"/>
_Sales del programa.<byte value="xd"/>
_Visualiza informaciones barra</translation>
    </message>
    <message>
        <source>TOOLS AVAILABLE:<byte value="xd"/>
 <byte value="xd"/>
_Display Timers: select your preferred slide show time and connection to download new images.<byte value="xd"/>
_Picture Selection: select Image to display from database.<byte value="xd"/>
_Run-Exit: Start slide show or exit from program.</source>
        <translation>Regulación Disponible:<byte value="xd"/>
 <byte value="xd"/>
_Visual. Temporz.: impuesto tiempos por conexión, puesta al día, velocidad&apos; y modo de visualización.<byte value="xd"/>
_Imaginas Selección: selección de cuál imaginas visualizar<byte value="xd"/>
_Inicio-Fin: Inicio visualización o bien acabar programa</translation>
    </message>
</context>
<context>
    <name>LastGood</name>
    <message>
        <source>Picture of %1 - waiting for the network</source>
        <translation>Imagen del %1 - esperando la red</translation>
    </message>
    <message>
        <source>Picture of %1</source>
        <translation>Imagen del %1</translation>
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
        <translation>Atención!</translation>
    </message>
    <message>
        <source>Invalid Download Time.</source>
        <translation>Intervalo Descargue no vadeo.</translation>
    </message>
    <message>
        <source>Download Timer too small.</source>
        <translation>Intervalo Descargue demasiado corto.</translation>
    </message>
    <message>
        <source>Slide Show Timer not valid.</source>
        <translation>Temporizador Slide Espectáculo no vadea.</translation>
    </message>
    <message>
        <source>Slide Show Timer too small.</source>
        <translation>Temporizador Slde Espectáculo demasiado corto.</translation>
    </message>
    <message>
        <source>ERROR WRITING CONFIGURATION FILES!</source>
        <translation>ERROR DURANTE LA ESCRITURA DEL EXPEDIENTE DE CONFIGURACIÓN!</translation>
    </message>
    <message>
        <source>The local system is not connected to a network!</source>
        <translation>No y&apos; presiente una conexión a la internet!</translation>
    </message>
    <message>
        <source>The local system is connected to a </source>
        <translation>El sistema y&apos; conexo a una red </translation>
    </message>
    <message>
        <source> network!</source>
        <translation> !</translation>
    </message>
    <message>
        <source>Program ended <byte value="xd"/>
 The sponsors page will open.</source>
        <translation>El programa finalizó <byte value="xd"/>
 Se abrirá la página de patrocinadores.</translation>
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
        <translation>No se ha encontrado el programa de asistencia remota TeamViewer.<byte value="xd"/>
Copie TeamViewerEng en la carpeta de Skyglance o instale teamviewer y vuelva a intentarlo.</translation>
    </message>
    <message>
        <source>TeamViewer could not be started.<byte value="xd"/>
</source>
        <translation>No se puede iniciar TeamViewer.<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>PanelCaptions</name>
    <message>
        <source>Local I.</source>
        <translation>I. locales</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Utensilio</translation>
    </message>
    <message>
        <source>Save Configur.</source>
        <translation>Recordar Impostac.</translation>
    </message>
    <message>
        <source>Display Timers</source>
        <translation>Timer Diapositive</translation>
    </message>
    <message>
        <source>Display Timer</source>
        <translation>Temporiz. Imaginas</translation>
    </message>
    <message>
        <source>Slide Show Img. Timer</source>
        <translation>Temporiz. Imaginas</translation>
    </message>
    <message>
        <source>(seconds)</source>
        <translation>(segundo)</translation>
    </message>
    <message>
        <source>Download Img. Times</source>
        <translation>Temporiz. Conexión </translation>
    </message>
    <message>
        <source>(minuts)</source>
        <translation>(minuto)</translation>
    </message>
    <message>
        <source>Display Picture Mode</source>
        <translation>Modos visualización</translation>
    </message>
    <message>
        <source>Start Slide Show</source>
        <translation>Inicia Proyección</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Picture Selection</source>
        <translation>Selección Imágenes</translation>
    </message>
    <message>
        <source>Run - Exit</source>
        <translation>Inicio Finir</translation>
    </message>
    <message>
        <source>Help TeamViewer</source>
        <translation>Ayudante TeamViewer</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Ayudante</translation>
    </message>
    <message>
        <source>Quit Program</source>
        <translation>Concluir programa</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Detalle</translation>
    </message>
    <message>
        <source>Cleanup Config.</source>
        <translation>Cancelar configurac.</translation>
    </message>
    <message>
        <source>Add Owner Image</source>
        <translation>Imaginas Personale</translation>
    </message>
    <message>
        <source>Remove Own. Img.</source>
        <translation>Eliminar Imm. Pers.</translation>
    </message>
    <message>
        <source>Backup Collection</source>
        <translation>Backup Colección .</translation>
    </message>
    <message>
        <source>Load_File Collection</source>
        <translation>Load_File Colección </translation>
    </message>
</context>
<context>
    <name>PanelTabs</name>
    <message>
        <source>Display Timers</source>
        <translation>Temporizador Pictures</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Picture   Selection</source>
        <translation>Selección Imaginas </translation>
    </message>
    <message>
        <source>Run / Exit</source>
        <translation>Inicio Fin</translation>
    </message>
    <message>
        <source>Tools - Language</source>
        <translation>Utensilio Idioma</translation>
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
        <translation>Abre la página de CONFIGURACIÓN: conexión a internet, proxy y limpieza de la configuración.</translation>
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
        <translation>Lista de imágenes locales vsualizadas en la presentación de diapositivas.</translation>
    </message>
    <message>
        <source>All configuration files will be deleted (useful in case of unresolvable errors).</source>
        <translation>Todos los archivos de configuración serán borrados (útil en caso de errores no resueltos).</translation>
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
        <translation>Cargando base de datos, por favor espere ...</translation>
    </message>
    <message>
        <source>Picture preview</source>
        <translation>Vista previa de imágenes</translation>
    </message>
    <message>
        <source>Modif. Connection</source>
        <translation>Modif. Conexión</translation>
    </message>
    <message>
        <source>My Town</source>
        <translation>Mi Ciudad</translation>
    </message>
    <message>
        <source>SETUP:<byte value="xd"/>
 <byte value="xd"/>
_Connection: direct or through a proxy.<byte value="xd"/>
_Cleanup Config.: delete every configuration file and start again.</source>
        <translation>CONFIGURACIÓN:<byte value="xd"/>
 <byte value="xd"/>
_Conexión: directa o a través de un proxy.<byte value="xd"/>
_Cancelar configurac.: borra todos los archivos de configuración.</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
</context>
<context>
    <name>Scheduler</name>
    <message>
        <source>The work folder %1 cannot be written.
The pictures on show stay; the download is tried again at the next cycle.</source>
        <translation>No se puede escribir en la carpeta de trabajo %1.
Las imágenes siguen en pantalla; la descarga se reintentará en el próximo ciclo.</translation>
    </message>
    <message>
        <source>picture reduced to fit the picture memory</source>
        <translation>imagen reducida para la memoria de imágenes</translation>
    </message>
    <message>
        <source>picture too large for the picture memory</source>
        <translation>imagen demasiado grande para la memoria de imágenes</translation>
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
        <translation>El catálogo de imágenes no está disponible ahora. Su selección guardada se conserva tal cual, y Iniciar sigue mostrándola.</translation>
    </message>
</context>
<context>
    <name>SettingsTexts</name>
    <message>
        <source>WARNING!</source>
        <translation>¡ADVERTENCIA! !</translation>
    </message>
    <message>
        <source>If you confirm, all configuration files will be deleted</source>
        <translation>Si confirma, todos los archivos de configuración serán borrados.</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>¡ADVERTENCIA</translation>
    </message>
    <message>
        <source>Configuration cleaned, please restart Skyglance</source>
        <translation>La impostación borrarse. Reencaminar Skyglance</translation>
    </message>
    <message>
        <source>Restart Not executed</source>
        <translation>Restart Not executed</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es una carpeta</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>permiso denegado</translation>
    </message>
    <message>
        <source>it is too large</source>
        <translation>es demasiado grande</translation>
    </message>
    <message>
        <source>read error</source>
        <translation>error de lectura</translation>
    </message>
    <message>
        <source>Cannot read the file %1: %2.
The other configuration files are kept.</source>
        <translation>No se puede leer el archivo %1: %2.
Los demás archivos de configuración se conservan.</translation>
    </message>
</context>
<context>
    <name>StatusBarToolTips</name>
    <message>
        <source>Wait...&quot;</source>
        <translation>Esperar...&quot;</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Acaba</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Ayudante</translation>
    </message>
    <message>
        <source>Connection Broken</source>
        <translation>Conexión Interrumpida</translation>
    </message>
    <message>
        <source>Connection Active</source>
        <translation>Conexión Activa</translation>
    </message>
</context>
<context>
    <name>Supervisor</name>
    <message>
        <source>Waiting for Internet connection (have to be active!).....</source>
        <translation>Espera de conexión a Internet (tiene que ser activa!).....</translation>
    </message>
    <message>
        <source>Loading Pictures from WEB...</source>
        <translation>Carga imagina del WEB...</translation>
    </message>
    <message>
        <source> of </source>
        <translation> de </translation>
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
