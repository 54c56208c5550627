#include "catalogue/SelectionTable.h"
#include "catalogue/VendorServices.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/Twips.h"
#include "settings/HomeTown.h"
#include "settings/SettingsFile.h"
#include "state/RunState.h"
#include "ui/ConfigurationPanel.h"
#include "ui/LanguageTables.h"
#include "ui/OnlineHelp.h"
#include "ui/PanelLayout.h"

#include <QCheckBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

namespace {

struct Fixture {
    Fixture(int lingua = LanguageTables::kEnglish, QSize screen = {1920, 1080}) {
        window.resize(screen);
        window.setAutoFillBackground(true);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, QColor(0x22, 0x3A, 0x5E));
        window.setPalette(palette);
        state = std::make_unique<RunState>();
        state->Lingua = static_cast<int16_t>(lingua);
        panel = std::make_unique<ConfigurationPanel>(&window, *state);
        platform::setGeometryTwips(panel->SSTCfg, 300, 300, 100, 100);
        panel->LayoutPanel();
        panel->PlaceWizardFrame();
        panel->SSTCfg->show();
        panel->FrameWizard->show();
        window.show();
    }
    QWidget* element(const QString& name) const { return window.findChild<QWidget*>(name); }
    void click(QWidget* widget) const {
        panel->ShowTab(panel->tabOf(widget));
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    }
    void hover(const QString& name) const {
        QWidget* widget = element(name);
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), widget->mapToGlobal(QPointF(3, 3)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }
    void saveShot(const QString& name) {
        const QString folder = qEnvironmentVariable("SKYGLANCE_TEST_SHOTS");
        if (folder.isEmpty()) {
            return;
        }
        QDir().mkpath(folder);
        QVERIFY(window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png"))));
    }

    QWidget window;
    std::unique_ptr<RunState> state;
    std::unique_ptr<ConfigurationPanel> panel;
};

} // namespace

class TestConfigurationPanel : public QObject {
    Q_OBJECT
private slots:
    void everyElementSitsOnItsTab();
    void toolsGridAndFramesAtTheirPlaces();
    void layoutTableKeepsElementsApart();
    void labelsDoWhatTheirIconsDo();
    void navigationShowsItsTab();
    void tabChangeFollowsUnsavedChanges();
    void hoverHelpFillsTheHelpFrame();
    void cuesAreDrawnThroughTheStyleSheet();
    void screenshots();
};

void TestConfigurationPanel::everyElementSitsOnItsTab() {
    Fixture f;
    const QList<QPair<int, QStringList>> tabs = {
        {0,
         {"SSTCfg_timeRefresh",
          "SSTCfg_timeDwLoad",
          "SSTCfg_Aggiorna",
          "SSTCfg_Aggiorna2",
          "SSTCfg_Download",
          "SSTCfg_Download2",
          "textSeconds",
          "TextMinuts",
          "dyMode",
          "dyMode2",
          "txtDisplay",
          "txtDisplay2",
          "helpTime",
          "helpTime2",
          "Box_Help_Display_Timer",
          "TextDisplayTimers",
          "LittleTool00",
          "LittleTool01",
          "LittleTool02",
          "LittleTool03",
          "TextDisplayTimers0",
          "TextPictureSelection0",
          "TextRunExit0",
          "TextTool4"}},
        {1,
         {"Cleanup", "Cleanup2", "Connection", "LittleTool10", "LittleTool11", "LittleTool12",
          "LittleTool13", "TextDisplayTimers1", "TextPictureSelection1", "TextRunExit1",
          "TextTool1"}},
        {2,
         {"Tabella_Mappe_Selezionate", "ClearListDB", "SSTCfg_BackUpcnf", "SSTCfg_Backupconf",
          "SSTCfg_Loadcnf", "SSTCfg_Loadconf", "Wait_Ico", "SSTCfg_FileUser", "SSTCfg_FileUser2",
          "SSTCfg_resetUserImg", "SSTCfg_resetUserImg2", "LabelOwnerImage",
          "SSTCfg_LblinserisciImg", "helpImg", "helpImg2", "Image3", "TextTool2",
          "TextPictureSelection"}},
        {3,
         {"SSTCfg_cmdConferma",
          "SSTCfg_cmdConferma_BW",
          "SSTCfg_cmdConferma2",
          "SSTCfg_ExitProgram",
          "SSTCfg_ExitProgram_BW",
          "SSTCfg_ExitProgram2",
          "SSTCfg_salvaConfig",
          "SSTCfg_salvaConfig2",
          "YourTownIco",
          "infoStatusBar",
          "infoStatusBar2",
          "helpEsegui",
          "helpEsegui2",
          "BarSaveAllBG",
          "BarSaveAllFG",
          "Box_Help_Run_Exit",
          "LittleTool30",
          "LittleTool31",
          "LittleTool32",
          "LittleTool33",
          "TextDisplayTimers3",
          "TextPictureSelection3",
          "TextRunExit3",
          "TextTool3",
          "TextRunExit"}},
        {4,
         {"IcoSwapSST0", "IcoSwapSST02", "IcoSwapSST1", "IcoSwapSST12", "IcoSwapSST2",
          "IcoSwapSST22", "IcoSwapSST3", "IcoSwapSST32", "RunTeamViewer", "IcoHelpTools2",
          "IcoSwapSST6", "LabelLanguage", "LeftTipText", "TextTool5", "TextTools"}},
    };
    for (const auto& [tab, names] : tabs) {
        for (const QString& name : names) {
            QWidget* widget = f.element(name);
            QVERIFY2(widget != nullptr, qPrintable(name));
            QCOMPARE(f.window.findChildren<QWidget*>(name).size(), 1);
            QVERIFY2(f.panel->tabOf(widget) == tab, qPrintable(name));
        }
    }
    for (const char* name :
         {"FrameWizard", "WizardText", "WizardPicture", "FormWait", "LabelWait", "SSTCfg"}) {
        QVERIFY2(f.element(QLatin1String(name)) != nullptr, name);
    }
    QVERIFY(qobject_cast<QLineEdit*>(f.element("SSTCfg_timeRefresh")));
    QVERIFY(qobject_cast<QLineEdit*>(f.element("SSTCfg_timeDwLoad")));
    QVERIFY(qobject_cast<QLineEdit*>(f.element("txtDisplay2")));
    QVERIFY(qobject_cast<QListWidget*>(f.element("Tabella_Mappe_Selezionate")));
    QCOMPARE(f.panel->SSTCfg->count(), 5);
    QVERIFY(f.panel->txtDisplay->isHidden());
    QVERIFY(f.panel->SSTCfg_cmdConferma_BW->isHidden());
    QCOMPARE(f.panel->Connection->text(), QStringLiteral("Modif. Connection"));
    QCOMPARE(f.panel->SSTCfg->tabText(2), QStringLiteral("Picture   Selection"));
    QCOMPARE(f.panel->SSTCfg_cmdConferma2->text(), QStringLiteral("Start Slide Show"));
    // Every icon shows a picture, and the hover help has one to show for it.
    for (QPushButton* icon : f.panel->SSTCfg->findChildren<QPushButton*>()) {
        QVERIFY2(!icon->icon().isNull(), qPrintable(icon->objectName()));
    }
    QVERIFY(!f.panel->pictureOf("SSTCfg_Aggiorna").isNull());

    // The selection table's own elements join the picture tab where it
    // created them.
    auto* unselect = new QLabel(f.panel->SSTCfg->widget(2));
    unselect->setObjectName("Label11");
    f.panel->LayoutPanel();
    QCOMPARE(unselect->parentWidget(), f.panel->tabCanvas(2));
    QCOMPARE(platform::geometryTwips(unselect).topLeft(), QPoint(600, 3890));
}

void TestConfigurationPanel::toolsGridAndFramesAtTheirPlaces() {
    Fixture f;
    const struct {
        const char* name;
        int left, top;
    } grid[] = {
        {"IcoSwapSST0", 3721, 845},    {"IcoSwapSST02", 3451, 1545}, {"IcoSwapSST1", 5021, 845},
        {"IcoSwapSST12", 4751, 1545},  {"IcoSwapSST2", 3721, 2345},  {"IcoSwapSST22", 3451, 3045},
        {"IcoSwapSST3", 5021, 2345},   {"IcoSwapSST32", 4751, 3045}, {"RunTeamViewer", 3721, 3845},
        {"IcoHelpTools2", 3451, 4545}, {"IcoSwapSST6", 5021, 3845},  {"LabelLanguage", 4751, 4545},
        {"LeftTipText", 234, 1521},    {"TextTool5", 300, 650},      {"TextTools", 3480, 530},
    };
    for (const auto& cell : grid) {
        const QRect at = platform::geometryTwips(f.element(QLatin1String(cell.name)));
        QCOMPARE(at.topLeft(), QPoint(cell.left, cell.top));
        if (qobject_cast<QLabel*>(f.element(QLatin1String(cell.name))) &&
            QByteArray(cell.name).startsWith("Ico")) {
            QCOMPARE(at.width(), 1200);
        }
    }
    // Twips count from the tab control's top-left, tab row included.
    const QPoint iconOnScreen = f.panel->IcoSwapSST0->mapTo(f.panel->SSTCfg, QPoint(0, 0));
    QCOMPARE(iconOnScreen, QPoint(platform::twipsToPixels(3721), platform::twipsToPixels(845)));

    QCOMPARE(platform::geometryTwips(f.panel->SSTCfg), QRect(300, 300, 7095, 5055));
    QCOMPARE(platform::geometryTwips(f.panel->FrameWizard).topLeft(),
             QPoint(300, 300 + 5055 + 200));
    QCOMPARE(platform::geometryTwips(f.panel->FrameWizard).width(), 7095);

    f.panel->ShowWaitFrame();
    QCOMPARE(platform::geometryTwips(f.panel->FormWait).topLeft(),
             QPoint(1920 * 15 / 3, 1080 * 15 / 2));
    QVERIFY(f.panel->FormWait->isVisible());
    QCOMPARE(f.panel->LabelWait->text(), QStringLiteral("Loading Database, wait..."));
    QCOMPARE(f.panel->TextPictureSelection->text(), QStringLiteral("Picture preview"));
}

// Every element of the layout table lies on its tab below the tab row, and
// no two that show from the start overlap. Stand-ins hidden until they
// replace an element, the tabs' backgrounds and the catalogue notice over
// the list may; so may edges by up to 30 twips (two pixels), as the
// centred captions of the picture tab's left column reach 20 twips into the
// list's edge, where their words never go.
void TestConfigurationPanel::layoutTableKeepsElementsApart() {
    Fixture f;
    const QRect tabArea(0, ConfigurationPanel::kTabTop, ConfigurationPanel::kPanelWidth,
                        ConfigurationPanel::kBackgroundHeight);
    constexpr int kEdge = 30;
    QList<const PanelLayout::Element*> shown;
    for (const PanelLayout::Element& element : PanelLayout::elements()) {
        const QRect at(element.left, element.top, element.width, element.height);
        QVERIFY2(tabArea.contains(at), qPrintable(element.name));
        if (QWidget* widget = f.element(element.name)) {
            QVERIFY2(f.panel->tabOf(widget) == element.tab, qPrintable(element.name));
        }
        if (element.kind == PanelLayout::Kind::Background ||
            (element.flags & PanelLayout::kHidden) != 0 ||
            element.name == QLatin1String("CatalogueUnavailable")) {
            continue;
        }
        for (const PanelLayout::Element* other : shown) {
            const QRect common =
                at.intersected(QRect(other->left, other->top, other->width, other->height));
            QVERIFY2(other->tab != element.tab || common.width() <= kEdge ||
                         common.height() <= kEdge,
                     qPrintable(element.name + QLatin1String(" overlaps ") + other->name));
        }
        shown << &element;
    }
}

void TestConfigurationPanel::labelsDoWhatTheirIconsDo() {
    Fixture f;
    f.panel->setSettingsUnsaved(true); // keeps the save pair enabled
    QStringList fired;
    ConfigurationPanel& p = *f.panel;
    auto record = [&fired](const char* what) { return [&fired, what] { fired << what; }; };
    QObject::connect(&p, &ConfigurationPanel::startClicked, record("start"));
    QObject::connect(&p, &ConfigurationPanel::quitClicked, record("quit"));
    QObject::connect(&p, &ConfigurationPanel::saveClicked, record("save"));
    QObject::connect(&p, &ConfigurationPanel::cleanupClicked, record("cleanup"));
    QObject::connect(&p, &ConfigurationPanel::connectionClicked, record("connection"));
    QObject::connect(&p, &ConfigurationPanel::languageClicked, record("language"));
    QObject::connect(&p, &ConfigurationPanel::townClicked, record("town"));
    QObject::connect(&p, &ConfigurationPanel::backupClicked, record("backup"));
    QObject::connect(&p, &ConfigurationPanel::loadClicked, record("load"));
    QObject::connect(&p, &ConfigurationPanel::ownPictureClicked, record("own"));
    QObject::connect(&p, &ConfigurationPanel::resetOwnPictureClicked, record("reset own"));
    QObject::connect(&p, &ConfigurationPanel::remoteHelpClicked, record("remote"));
    QObject::connect(&p, &ConfigurationPanel::infoClicked, record("info"));
    QObject::connect(&p, &ConfigurationPanel::displayModeClicked, record("display mode"));
    QObject::connect(&p, &ConfigurationPanel::timersHelpClicked, record("helpTime"));
    QObject::connect(&p, &ConfigurationPanel::picturesHelpClicked, record("helpImg"));
    QObject::connect(&p, &ConfigurationPanel::runExitHelpClicked, record("helpEsegui"));

    const QList<QPair<QWidget*, QWidget*>> pairs = {
        {p.SSTCfg_cmdConferma, p.SSTCfg_cmdConferma2},
        {p.SSTCfg_ExitProgram, p.SSTCfg_ExitProgram2},
        {p.SSTCfg_salvaConfig, p.SSTCfg_salvaConfig2},
        {p.Cleanup, p.Cleanup2},
        {p.ConnectionIco, p.Connection},
        {p.IcoSwapSST6, p.LabelLanguage},
        {p.YourTownIco, p.LabelYourTown},
        {p.SSTCfg_Loadcnf, p.SSTCfg_Loadconf},
        {p.SSTCfg_FileUser, p.SSTCfg_FileUser2},
        {p.SSTCfg_resetUserImg, p.SSTCfg_resetUserImg2},
        {p.RunTeamViewer, p.IcoHelpTools2},
        {p.infoStatusBar, p.infoStatusBar2},
        {p.dyMode, p.dyMode2},
        {p.helpTime, p.helpTime2},
        {p.helpImg, p.helpImg2},
        {p.helpEsegui, p.helpEsegui2},
    };
    for (const auto& [icon, caption] : pairs) {
        fired.clear();
        f.click(icon);
        f.click(caption);
        QVERIFY2(fired.size() == 2 && fired.at(0) == fired.at(1),
                 qPrintable(icon->objectName() + ": " + fired.join(", ")));
    }
    // The backup label carries a caption only; its icon saves.
    fired.clear();
    f.click(p.SSTCfg_Backupconf);
    QVERIFY(fired.isEmpty());
    f.click(p.SSTCfg_BackUpcnf);
    QCOMPARE(fired, QStringList{"backup"});
    // A press that ends outside the label is no click.
    fired.clear();
    QTest::mousePress(p.SSTCfg_cmdConferma2, Qt::LeftButton);
    QTest::mouseRelease(p.SSTCfg_cmdConferma2, Qt::LeftButton, {}, QPoint(-5, -5));
    QVERIFY(fired.isEmpty());
}

void TestConfigurationPanel::navigationShowsItsTab() {
    Fixture f;
    const QList<QPair<int, QStringList>> shows = {
        {0,
         {"LittleTool00", "LittleTool10", "LittleTool30", "TextDisplayTimers0",
          "TextDisplayTimers1", "TextDisplayTimers3", "IcoSwapSST0", "IcoSwapSST02"}},
        {1, {"LittleTool01", "LittleTool11", "LittleTool31", "IcoSwapSST1", "IcoSwapSST12"}},
        {2,
         {"LittleTool02", "LittleTool12", "LittleTool32", "TextPictureSelection0",
          "TextPictureSelection1", "TextPictureSelection3", "IcoSwapSST2", "IcoSwapSST22"}},
        {3,
         {"LittleTool03", "LittleTool13", "LittleTool33", "TextRunExit0", "TextRunExit1",
          "TextRunExit3", "IcoSwapSST3", "IcoSwapSST32"}},
        {4, {"TextTool1", "TextTool2", "TextTool3", "TextTool4", "TextTool5", "Image3"}},
    };
    for (const auto& [tab, names] : shows) {
        for (const QString& name : names) {
            QWidget* widget = f.element(name);
            f.panel->ShowTab(f.panel->tabOf(widget));
            QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
            QVERIFY2(f.panel->SSTCfg->currentIndex() == tab, qPrintable(name));
        }
    }
    // Titles do nothing.
    for (const char* title :
         {"TextTools", "TextDisplayTimers", "TextPictureSelection", "TextRunExit"}) {
        QWidget* widget = f.element(QLatin1String(title));
        const int tab = f.panel->tabOf(widget);
        f.panel->ShowTab(tab);
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
        QCOMPARE(f.panel->SSTCfg->currentIndex(), tab);
    }
}

void TestConfigurationPanel::tabChangeFollowsUnsavedChanges() {
    Fixture f;
    int checks = 0;
    int resets = 0;
    QObject::connect(f.panel.get(), &ConfigurationPanel::tabChanged, [&checks] { ++checks; });
    QObject::connect(f.panel.get(), &ConfigurationPanel::tabChangedWhileUnsaved,
                     [&resets] { ++resets; });
    f.panel->SSTCfg_Loadcnf->setEnabled(false);
    f.panel->SSTCfg_Backupconf->hide();

    f.panel->setSettingsUnsaved(false);
    f.panel->ShowTab(4);
    f.panel->ShowTab(0);
    QCOMPARE(checks, 2);
    QCOMPARE(resets, 0);
    QVERIFY(!f.panel->SSTCfg_salvaConfig->isEnabled());
    QVERIFY(!f.panel->SSTCfg_salvaConfig2->isEnabled());
    QVERIFY(f.panel->SSTCfg_Loadcnf->isEnabled());
    QVERIFY(!f.panel->SSTCfg_Backupconf->isHidden());

    f.panel->setSettingsUnsaved(true);
    f.panel->ShowTab(3);
    QCOMPARE(resets, 1);
    QVERIFY(f.panel->SSTCfg_salvaConfig->isEnabled());
    QVERIFY(f.panel->SSTCfg_salvaConfig2->isEnabled());
}

void TestConfigurationPanel::hoverHelpFillsTheHelpFrame() {
    Fixture f(LanguageTables::kFrench);
    f.panel->ShowHelpFrame();
    QCOMPARE(f.state->WizardActive, kTrue);
    QCOMPARE(f.panel->WizardText->text(),
             QStringLiteral("Hover your mouse over the configuration panel icons to read their "
                            "meaning here"));

    // French has its own texts for two elements only.
    f.hover("IcoSwapSST0");
    QCOMPARE(f.panel->WizardText->text(),
             QStringLiteral("Opens the TIMERS page related to the slide show speed and the "
                            "ONLINE pictures update rate."));
    QCOMPARE(f.panel->WizardPicture->pixmap().toImage(),
             f.panel->pictureOf("IcoSwapSST0").toImage());
    f.hover("Cleanup");
    QVERIFY(f.panel->WizardText->text().startsWith(QStringLiteral("Tous les fichiers")));
    // A label without a picture leaves the picture as it is.
    f.hover("LabelOwnerImage");
    QCOMPARE(f.panel->WizardText->text(),
             QStringLiteral("Liste des images locales converties en diaporama."));
    QCOMPARE(f.panel->WizardPicture->pixmap().toImage(), f.panel->pictureOf("Cleanup").toImage());

    f.state->Lingua = LanguageTables::kItalian;
    f.hover("helpImg");
    QCOMPARE(f.panel->WizardText->text(), QStringLiteral("Apre l'help online.\""));
    f.hover("helpTime");
    QCOMPARE(f.panel->WizardText->text(), QStringLiteral("Apre l'help online."));
    QVERIFY(PanelTexts::hoverText("SSTCfg_Download", 2).endsWith(QStringLiteral("ONLINE.\"")));
    QVERIFY(PanelTexts::hoverText("IcoSwapSST2", 2).contains(QStringLiteral("proprie  allo")));

    f.state->WizardActive = kFalse;
    f.hover("dyMode");
    QCOMPARE(f.panel->WizardText->text(), QStringLiteral("Apre l'help online."));
}

namespace {

// The colour drawn at the right end of a box, away from its text and border.
QColor drawnFill(QWidget* box) {
    const QImage shot = box->grab().toImage();
    return shot.pixelColor(shot.width() - 5, shot.height() / 2);
}

// The number of pixels close to colour in the grab of widget.
int pixelsNear(QWidget* widget, const QColor& colour) {
    const QImage shot = widget->grab().toImage();
    int count = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            count += qAbs(c.red() - colour.red()) + qAbs(c.green() - colour.green()) +
                         qAbs(c.blue() - colour.blue()) <
                     60;
        }
    }
    return count;
}

} // namespace

// What the panel's style sheet once painted over: the interval boxes'
// focus colours, the timer help's marks and the preview tick box.
void TestConfigurationPanel::cuesAreDrawnThroughTheStyleSheet() {
    Fixture f;
    platform::ScriptedDialogs dialogs;
    SettingsControls sc;
    sc.SSTCfg_timeDwLoad = f.panel->SSTCfg_timeDwLoad;
    sc.SSTCfg_timeRefresh = f.panel->SSTCfg_timeRefresh;
    sc.txtDisplay = f.panel->txtDisplay;
    sc.txtDisplay2 = f.panel->txtDisplay2;
    sc.SSTCfg_Aggiorna = f.panel->SSTCfg_Aggiorna;
    sc.SSTCfg_Download = f.panel->SSTCfg_Download;
    SettingsFile settings(*f.state, dialogs, sc);
    settings.installIntervalBoxHandlers();
    f.window.activateWindow();
    const QColor yellow(0xFF, 0xFF, 0x80);
    const QColor blue(0x7D, 0x93, 0xE6);
    f.panel->ShowTab(0);
    QTest::mouseClick(f.panel->SSTCfg_Aggiorna, Qt::LeftButton);
    QCOMPARE(drawnFill(f.panel->SSTCfg_timeRefresh), yellow);
    QCOMPARE(drawnFill(f.panel->SSTCfg_timeDwLoad), blue);
    QCOMPARE(drawnFill(f.panel->txtDisplay2), blue);
    QTest::mouseClick(f.panel->SSTCfg_Download, Qt::LeftButton);
    QCOMPARE(drawnFill(f.panel->SSTCfg_timeDwLoad), yellow);
    QCOMPARE(drawnFill(f.panel->SSTCfg_timeRefresh), blue);

    // The timer help marks its four boxes, the hidden mode box included.
    settings.leaveIntervalBoxes();
    for (QLineEdit* box : {f.panel->SSTCfg_timeDwLoad, f.panel->SSTCfg_timeRefresh}) {
        box->setStyleSheet({});
    }
    RunState& state = *f.state;
    state.Lingua = 0;
    platform::Shell shell;
    const VendorServices vendor;
    OnlineHelp help(state, dialogs, shell, vendor);
    help.setTimerBoxes({f.panel->txtDisplay, f.panel->txtDisplay2, f.panel->SSTCfg_timeDwLoad,
                        f.panel->SSTCfg_timeRefresh});
    help.helpTime_Click();
    for (QLineEdit* box : {f.panel->txtDisplay, f.panel->txtDisplay2, f.panel->SSTCfg_timeDwLoad,
                           f.panel->SSTCfg_timeRefresh}) {
        QCOMPARE(drawnFill(box), blue);
    }

    // The preview tick box shows its tick, and shows an empty box unticked.
    QFrame townFrame;
    HomeTown town(state, dialogs, &townFrame);
    SelectionTable selection(state, dialogs, settings, town, SelectionControls{},
                             f.panel->tabCanvas(2));
    f.panel->LayoutPanel();
    f.panel->SSTCfg->show();
    f.panel->ShowTab(2);
    QCheckBox* preview = selection.PreViewEnabled;
    QVERIFY(preview->isVisible());
    const QColor tick(0x3D, 0xD6, 0x86);
    const QColor box(0xFF, 0xFF, 0xFF);
    preview->setChecked(true);
    QVERIFY(pixelsNear(preview, tick) > 8);
    preview->setChecked(false);
    QCOMPARE(pixelsNear(preview, tick), 0);
    QVERIFY(pixelsNear(preview, box) > 20);

    // The catalogue-unavailable line stands over the table, dark on light.
    selection.ShowCatalogueUnavailable();
    QLabel* line = selection.CatalogueUnavailable;
    QVERIFY(line->isVisible());
    QVERIFY(f.panel->Tabella_Mappe_Selezionate->geometry().contains(line->geometry()));
    QVERIFY(pixelsNear(line, QColor(0x0D, 0x1F, 0x3C)) > 50);
    f.saveShot(QStringLiteral("panel-catalogue-unavailable"));
    state.Lingua = LanguageTables::kItalian;
    selection.ApplyLanguage();
    QCOMPARE(line->text(), CatalogueUnavailableText(LanguageTables::kItalian));
}

void TestConfigurationPanel::screenshots() {
    if (qEnvironmentVariableIsEmpty("SKYGLANCE_TEST_SHOTS")) {
        QSKIP("SKYGLANCE_TEST_SHOTS names no folder");
    }
    {
        Fixture f;
        f.panel->ShowHelpFrame();
        for (int tab = 0; tab < ConfigurationPanel::kTabCount; ++tab) {
            f.panel->ShowTab(tab);
            f.saveShot(QStringLiteral("panel-tab%1-english").arg(tab));
        }
        f.panel->ShowTab(4);
        for (const char* name : {"IcoSwapSST2", "RunTeamViewer", "IcoSwapSST6"}) {
            f.hover(QLatin1String(name));
            f.saveShot(QStringLiteral("panel-hover-%1").arg(QLatin1String(name)));
        }
    }
    const char* languages[] = {"english", "italian", "french", "spanish"};
    for (int lingua = LanguageTables::kEnglish; lingua <= LanguageTables::kSpanish; ++lingua) {
        Fixture f(lingua);
        f.panel->ShowHelpFrame();
        f.panel->ShowTab(4);
        f.saveShot(QStringLiteral("panel-tools-%1").arg(QLatin1String(languages[lingua - 1])));
    }
    Fixture small(LanguageTables::kEnglish, {1280, 720});
    small.panel->ShowTab(2);
    small.saveShot(QStringLiteral("panel-tab2-1280x720"));
}

QTEST_MAIN(TestConfigurationPanel)
#include "test_configuration_panel.moc"
