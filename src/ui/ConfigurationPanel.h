#pragma once

#include "ui/PanelTexts.h"

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QWidget;
struct RunState;

// The configuration panel: the tab control SSTCfg with its five tabs over
// the main window, the help frame FrameWizard below it and the wait frame
// FormWait. Builds every element with its control name, places them, and
// routes clicks: the navigation shows tabs itself, every other click is
// told by a signal that the window connects.
//
// Element positions are twips in the tab control's coordinates (the tab row
// included), as the table of PanelLayout sets them; each tab's elements live
// on a canvas that keeps that origin (tabCanvas).
class ConfigurationPanel : public QObject {
    Q_OBJECT
public:
    static constexpr int kPanelWidth = 7095;
    static constexpr int kPanelHeight = 5055;
    static constexpr int kTabTop = 500;
    static constexpr int kBackgroundHeight = 4555;
    static constexpr int kWizardGap = 200;
    static constexpr int kWizardHeight = 1500;
    static constexpr int kTabCount = 5;

    ConfigurationPanel(QWidget* window, RunState& state, QObject* parent = nullptr);

    // The widget that holds tab `tab`'s elements (origin at the tab
    // control's top-left); hand it to parts that add elements of their own.
    QWidget* tabCanvas(int tab) const;
    // The tab (0 to 4) an element sits on, -1 if it is not on the panel.
    int tabOf(const QWidget* element) const;

    // Hides SSTCfg and the preview views, places every element of every tab
    // (also Label11 and PreViewEnabled when another part created them on the
    // picture tab) and gives the tab control its design size, keeping its
    // left and top. The panel's own texts follow the current language.
    void LayoutPanel();
    // FrameWizard at the tab control's left, its width, 200 twips below it.
    void PlaceWizardFrame();
    // The first step of btHelp_Click: hover help on, the help frame shown
    // with its first text. The window then lets events run and opens.
    void ShowHelpFrame();
    // FormWait filled in the current language, at a third of the window's
    // width and half its height, in front; TextPictureSelection takes the
    // preview caption.
    void ShowWaitFrame();
    // Shows and enables SSTCfg_Loadcnf, SSTCfg_BackUpcnf, SSTCfg_Loadconf and
    // SSTCfg_Backupconf.
    void EnableCollectionElements();
    // Runs on every change of the shown tab.
    void SSTCfg_Click();
    // Whether the settings have changed since they were saved, as the
    // settings file tells it: the save pair follows it at a tab change.
    void setSettingsUnsaved(bool unsaved) { settingsUnsaved_ = unsaved; }
    // Shows tab `tab`; SSTCfg_Click follows.
    void ShowTab(int tab);
    // The language tables' captions, then the texts that belong to the panel.
    void ApplyLanguage();
    // Only the panel's own texts (set-up tab, connection, town).
    void ApplyOwnTexts();
    // Hover help for one element, as a mouse move over it does.
    void ShowHoverHelp(const QString& objectName);
    // The picture an element shows (its icon), null if it has none.
    QPixmap pictureOf(const QString& objectName) const;

signals:
    // ---- Clicks on the icon-and-label pairs; icon and label tell the same.
    void startClicked();           // SSTCfg_cmdConferma, 2
    void quitClicked();            // SSTCfg_ExitProgram, 2, _BW
    void saveClicked();            // SSTCfg_salvaConfig, 2
    void cleanupClicked();         // Cleanup, Cleanup2
    void connectionClicked();      // Connection, ConnectionIco
    void languageClicked();        // IcoSwapSST6, LabelLanguage
    void townClicked();            // YourTownIco, LabelYourTown
    void backupClicked();          // SSTCfg_BackUpcnf (its label: none)
    void loadClicked();            // SSTCfg_Loadcnf, SSTCfg_Loadconf
    void ownPictureClicked();      // SSTCfg_FileUser, 2
    void resetOwnPictureClicked(); // SSTCfg_resetUserImg, 2
    void timersHelpClicked();      // helpTime, 2
    void picturesHelpClicked();    // helpImg, 2
    void runExitHelpClicked();     // helpEsegui, 2
    void remoteHelpClicked();      // RunTeamViewer, IcoHelpTools2
    void infoClicked();            // infoStatusBar, 2
    void displayModeClicked();     // dyMode, dyMode2

    // ---- A tab change (SSTCfg_Click), before the save pair follows the
    // unsaved changes: the interval boxes' lost-focus checks hang here.
    void tabChanged();
    // The same tab change, when the settings have unsaved changes (the
    // show's per-picture tables may be reset here).
    void tabChangedWhileUnsaved();

public:
    // ---- Elements, by control name.
    QTabWidget* SSTCfg = nullptr;

    // Tab 0: display timers.
    QLabel* TextDisplayTimers = nullptr;
    QLabel* SSTCfg_Aggiorna = nullptr;
    QLabel* SSTCfg_Aggiorna2 = nullptr;
    QLineEdit* SSTCfg_timeRefresh = nullptr;
    QLabel* textSeconds = nullptr;
    QLabel* SSTCfg_Download = nullptr;
    QLabel* SSTCfg_Download2 = nullptr;
    QLineEdit* SSTCfg_timeDwLoad = nullptr;
    QLabel* TextMinuts = nullptr;
    QPushButton* dyMode = nullptr;
    QLabel* dyMode2 = nullptr;
    QLineEdit* txtDisplay = nullptr; // hidden: holds "Full_Screen" or "Normal"
    QLineEdit* txtDisplay2 = nullptr;
    QPushButton* helpTime = nullptr;
    QLabel* helpTime2 = nullptr;
    QPlainTextEdit* Box_Help_Display_Timer = nullptr;

    // Tab 1: set-up.
    QLabel* TextSetup = nullptr;
    QPushButton* Cleanup = nullptr;
    QLabel* Cleanup2 = nullptr;
    QPushButton* ConnectionIco = nullptr;
    QLabel* Connection = nullptr;
    QPlainTextEdit* Box_Help_Setup = nullptr;

    // Tab 2: picture selection.
    QLabel* TextPictureSelection = nullptr;
    QListWidget* Tabella_Mappe_Selezionate = nullptr;
    QPushButton* ClearListDB = nullptr;
    QPushButton* SSTCfg_BackUpcnf = nullptr;
    QLabel* SSTCfg_Backupconf = nullptr;
    QPushButton* SSTCfg_Loadcnf = nullptr;
    QLabel* SSTCfg_Loadconf = nullptr;
    QLabel* Wait_Ico = nullptr;
    QPushButton* SSTCfg_FileUser = nullptr;
    QLabel* SSTCfg_FileUser2 = nullptr;
    QPushButton* SSTCfg_resetUserImg = nullptr;
    QLabel* SSTCfg_resetUserImg2 = nullptr;
    QLabel* LabelOwnerImage = nullptr;
    QLabel* SSTCfg_LblinserisciImg = nullptr;
    QPushButton* helpImg = nullptr;
    QLabel* helpImg2 = nullptr;
    QPushButton* Image3 = nullptr;

    // Tab 3: run / exit.
    QLabel* TextRunExit = nullptr;
    QPushButton* SSTCfg_cmdConferma = nullptr;
    QPushButton* SSTCfg_cmdConferma_BW = nullptr;
    QLabel* SSTCfg_cmdConferma2 = nullptr;
    QPushButton* SSTCfg_ExitProgram = nullptr;
    QPushButton* SSTCfg_ExitProgram_BW = nullptr;
    QLabel* SSTCfg_ExitProgram2 = nullptr;
    QPushButton* SSTCfg_salvaConfig = nullptr;
    QLabel* SSTCfg_salvaConfig2 = nullptr;
    QPushButton* YourTownIco = nullptr;
    QLabel* LabelYourTown = nullptr;
    QPushButton* infoStatusBar = nullptr;
    QLabel* infoStatusBar2 = nullptr;
    QPushButton* helpEsegui = nullptr;
    QLabel* helpEsegui2 = nullptr;
    QFrame* BarSaveAllBG = nullptr;
    QFrame* BarSaveAllFG = nullptr;
    QPlainTextEdit* Box_Help_Run_Exit = nullptr;

    // Tab 4: tools - language.
    QLabel* TextTools = nullptr;
    QLabel* TextTool5 = nullptr;
    QPushButton* IcoSwapSST0 = nullptr;
    QLabel* IcoSwapSST02 = nullptr;
    QPushButton* IcoSwapSST1 = nullptr;
    QLabel* IcoSwapSST12 = nullptr;
    QPushButton* IcoSwapSST2 = nullptr;
    QLabel* IcoSwapSST22 = nullptr;
    QPushButton* IcoSwapSST3 = nullptr;
    QLabel* IcoSwapSST32 = nullptr;
    QPushButton* RunTeamViewer = nullptr;
    QLabel* IcoHelpTools2 = nullptr;
    QPushButton* IcoSwapSST6 = nullptr;
    QLabel* LabelLanguage = nullptr;
    QPlainTextEdit* LeftTipText = nullptr;

    // Help frame and wait frame, children of the window.
    QFrame* FrameWizard = nullptr;
    QLabel* WizardText = nullptr;
    QLabel* WizardPicture = nullptr;
    QFrame* FormWait = nullptr;
    QLabel* LabelWait = nullptr;

private:
    void buildTabs();
    QWidget* newCanvas(int tab);
    void buildElements();
    void bindElements();
    void connectActions();
    void buildWizardFrame();
    void buildWaitFrame();
    void connectPair(QPushButton* iconButton, QLabel* caption, std::function<void()> action);
    void connectNavigation(QWidget* element, int tab);
    void makeClickable(QLabel* caption, std::function<void()> action);
    void watchHover(QWidget* element);
    void placeElements();
    void placeSelectionTableParts();
    void alignCanvases();
    void applyEnglishCaptions();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QWidget* window_;
    RunState& state_;
    QWidget* canvases_[kTabCount] = {};
    // Every element the panel created from its layout table, by name.
    QHash<QString, QWidget*> elements_;
    std::vector<std::pair<QObject*, std::function<void()>>> labelActions_;
    bool layingOut_ = false;
    bool settingsUnsaved_ = false;
};
