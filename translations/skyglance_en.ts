<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>CollectionTexts</name>
    <message>
        <source>Collection Saved with date and time info on:</source>
        <translation>Collection Saved with date and time info on:</translation>
    </message>
    <message>
        <source>Collection NOT saved: this file could not be written:</source>
        <translation>Collection NOT saved: this file could not be written:</translation>
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
        <translation>The proxy password contains the character &quot;%1&quot;, which cannot be saved.
Please choose another password.</translation>
    </message>
    <message>
        <source>Internet Connection: Adsl, Wi-Fi, Modem, Lan</source>
        <translation>Internet Connection: Adsl, Wi-Fi, Modem, Lan</translation>
    </message>
    <message>
        <source>Internet Connection: Proxy Server</source>
        <translation>Internet Connection: Proxy Server</translation>
    </message>
</context>
<context>
    <name>DisplayModes</name>
    <message>
        <source>Full_Screen</source>
        <translation>Full_Screen</translation>
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
        <translation>Error: you have to check at least one Image from list!</translation>
    </message>
    <message>
        <source>Waiting Internet Connection......??????</source>
        <translation>Waiting Internet Connection......??????</translation>
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
_Download Images Timer<byte value="xd"/>
_Slide Show Timer<byte value="xd"/>
_Display Mode</translation>
    </message>
    <message>
        <source>RUN EXIT:<byte value="xd"/>
 <byte value="xd"/>
_Start Slide Show<byte value="xd"/>
_Save Configuration<byte value="xd"/>
_Quit Program<byte value="xd"/>
_Status Bar Info</source>
        <translation>RUN EXIT:<byte value="xd"/>
 <byte value="xd"/>
_Start Slide Show<byte value="xd"/>
_Save Configuration<byte value="xd"/>
_Quit Program<byte value="xd"/>
_Status Bar Info</translation>
    </message>
    <message>
        <source>TOOLS AVAILABLE:<byte value="xd"/>
 <byte value="xd"/>
_Display Timers: select your preferred slide show time and connection to download new images.<byte value="xd"/>
_Picture Selection: select Image to display from database.<byte value="xd"/>
_Run-Exit: Start slide show or exit from program.</source>
        <translation>TOOLS AVAILABLE:<byte value="xd"/>
 <byte value="xd"/>
_Display Timers: select your preferred slide show time and connection to download new images.<byte value="xd"/>
_Picture Selection: select Image to display from database.<byte value="xd"/>
_Run-Exit: Start slide show or exit from program.</translation>
    </message>
</context>
<context>
    <name>LastGood</name>
    <message>
        <source>Picture of %1 - waiting for the network</source>
        <translation>Picture of %1 - waiting for the network</translation>
    </message>
    <message>
        <source>Picture of %1</source>
        <translation>Picture of %1</translation>
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
        <translation>Warning!</translation>
    </message>
    <message>
        <source>Invalid Download Time.</source>
        <translation>Invalid Download Time.</translation>
    </message>
    <message>
        <source>Download Timer too small.</source>
        <translation>Download Timer too small.</translation>
    </message>
    <message>
        <source>Slide Show Timer not valid.</source>
        <translation>Slide Show Timer not valid.</translation>
    </message>
    <message>
        <source>Slide Show Timer too small.</source>
        <translation>Slide Show Timer too small.</translation>
    </message>
    <message>
        <source>ERROR WRITING CONFIGURATION FILES!</source>
        <translation>ERROR WRITING CONFIGURATION FILES!</translation>
    </message>
    <message>
        <source>The local system is not connected to a network!</source>
        <translation>The local system is not connected to a network!</translation>
    </message>
    <message>
        <source>The local system is connected to a </source>
        <translation>The local system is connected to a </translation>
    </message>
    <message>
        <source> network!</source>
        <translation> network!</translation>
    </message>
    <message>
        <source>Program ended <byte value="xd"/>
 The sponsors page will open.</source>
        <translation>Program ended <byte value="xd"/>
 The sponsors page will open.</translation>
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
        <translation>The remote assistance program TeamViewer was not found.<byte value="xd"/>
Put TeamViewerEng in the Skyglance folder or install teamviewer, then try again.</translation>
    </message>
    <message>
        <source>TeamViewer could not be started.<byte value="xd"/>
</source>
        <translation>TeamViewer could not be started.<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>PanelCaptions</name>
    <message>
        <source>Local I.</source>
        <translation>Local I.</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>Save Configur.</source>
        <translation>Save Configur.</translation>
    </message>
    <message>
        <source>Display Timers</source>
        <translation>Display Timers</translation>
    </message>
    <message>
        <source>Display Timer</source>
        <translation>Display Timer</translation>
    </message>
    <message>
        <source>Slide Show Img. Timer</source>
        <translation>Slide Show Img. Timer</translation>
    </message>
    <message>
        <source>(seconds)</source>
        <translation>(seconds)</translation>
    </message>
    <message>
        <source>Download Img. Times</source>
        <translation>Download Img. Times</translation>
    </message>
    <message>
        <source>(minuts)</source>
        <translation>(minuts)</translation>
    </message>
    <message>
        <source>Display Picture Mode</source>
        <translation>Display Picture Mode</translation>
    </message>
    <message>
        <source>Start Slide Show</source>
        <translation>Start Slide Show</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Setup</translation>
    </message>
    <message>
        <source>Picture Selection</source>
        <translation>Picture Selection</translation>
    </message>
    <message>
        <source>Run - Exit</source>
        <translation>Run - Exit</translation>
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
        <translation>Quit Program</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Cleanup Config.</source>
        <translation>Cleanup Config.</translation>
    </message>
    <message>
        <source>Add Owner Image</source>
        <translation>Add Owner Image</translation>
    </message>
    <message>
        <source>Remove Own. Img.</source>
        <translation>Remove Own. Img.</translation>
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
        <translation>Display Timers</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Setup</translation>
    </message>
    <message>
        <source>Picture   Selection</source>
        <translation>Picture   Selection</translation>
    </message>
    <message>
        <source>Run / Exit</source>
        <translation>Run / Exit</translation>
    </message>
    <message>
        <source>Tools - Language</source>
        <translation>Tools - Language</translation>
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
        <translation>Opens the SETUP page: internet connection, proxy and clean-up of the configuration.</translation>
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
        <translation>List of Local Images vsualized in the slide show.</translation>
    </message>
    <message>
        <source>All configuration files will be deleted (useful in case of unresolvable errors).</source>
        <translation>All configuration files will be deleted (useful in case of unresolvable errors).</translation>
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
        <translation>Wait Please</translation>
    </message>
    <message>
        <source>Loading Database, wait...</source>
        <translation>Loading Database, wait...</translation>
    </message>
    <message>
        <source>Picture preview</source>
        <translation>Picture preview</translation>
    </message>
    <message>
        <source>Modif. Connection</source>
        <translation>Modif. Connection</translation>
    </message>
    <message>
        <source>My Town</source>
        <translation>My Town</translation>
    </message>
    <message>
        <source>SETUP:<byte value="xd"/>
 <byte value="xd"/>
_Connection: direct or through a proxy.<byte value="xd"/>
_Cleanup Config.: delete every configuration file and start again.</source>
        <translation>SETUP:<byte value="xd"/>
 <byte value="xd"/>
_Connection: direct or through a proxy.<byte value="xd"/>
_Cleanup Config.: delete every configuration file and start again.</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
</context>
<context>
    <name>Scheduler</name>
    <message>
        <source>The work folder %1 cannot be written.
The pictures on show stay; the download is tried again at the next cycle.</source>
        <translation>The work folder %1 cannot be written.
The pictures on show stay; the download is tried again at the next cycle.</translation>
    </message>
    <message>
        <source>picture reduced to fit the picture memory</source>
        <translation>picture reduced to fit the picture memory</translation>
    </message>
    <message>
        <source>picture too large for the picture memory</source>
        <translation>picture too large for the picture memory</translation>
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
        <translation>The picture catalogue cannot be reached now. Your saved selection is kept as it is, and Start goes on showing it.</translation>
    </message>
</context>
<context>
    <name>SettingsTexts</name>
    <message>
        <source>WARNING!</source>
        <translation>WARNING!</translation>
    </message>
    <message>
        <source>If you confirm, all configuration files will be deleted</source>
        <translation>If you confirm, all configuration files will be deleted</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>WARNING</translation>
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
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>it is too large</source>
        <translation>it is too large</translation>
    </message>
    <message>
        <source>read error</source>
        <translation>read error</translation>
    </message>
    <message>
        <source>Cannot read the file %1: %2.
The other configuration files are kept.</source>
        <translation>Cannot read the file %1: %2.
The other configuration files are kept.</translation>
    </message>
</context>
<context>
    <name>StatusBarToolTips</name>
    <message>
        <source>Wait...&quot;</source>
        <translation>Wait...&quot;</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Connection Broken</source>
        <translation>Connection Broken</translation>
    </message>
    <message>
        <source>Connection Active</source>
        <translation>Connection Active</translation>
    </message>
</context>
<context>
    <name>Supervisor</name>
    <message>
        <source>Waiting for Internet connection (have to be active!).....</source>
        <translation>Waiting for Internet connection (have to be active!).....</translation>
    </message>
    <message>
        <source>Loading Pictures from WEB...</source>
        <translation>Loading Pictures from WEB...</translation>
    </message>
    <message>
        <source> of </source>
        <translation> of </translation>
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
