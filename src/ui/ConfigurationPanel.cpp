#include "ui/ConfigurationPanel.h"

#include "platform/Twips.h"
#include "platform/Widgets.h"
#include "state/RunState.h"
#include "ui/LanguageTables.h"
#include "ui/PanelLayout.h"
#include "ui/PanelTabs.h"
#include "ui/Translations.h"

#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <type_traits>

using PanelLayout::kPicturesTab;
using PanelLayout::kRunExitTab;
using PanelLayout::kSetupTab;
using PanelLayout::kTimersTab;
using platform::named;
using platform::setGeometryTwips;

namespace {

// A style sheet from the ui library's resources; empty if it is missing.
QString styleSheet(const QString& resource) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

QString englishCaption(const QString& name) {
    return LanguageTables::captionFor(name, LanguageTables::kEnglish);
}

// The words an element shows before a language is applied: the language
// tables' English caption, or the panel's own for the few they leave to it.
QString englishWords(const QString& name) {
    if (name == QLatin1String("Connection")) {
        return PanelTexts::connectionCaption(1);
    }
    if (name == QLatin1String("LabelYourTown")) {
        return PanelTexts::townCaption(1);
    }
    if (name == QLatin1String("LabelLanguage")) {
        return QStringLiteral("Language");
    }
    if (name == QLatin1String("SSTCfg_LblinserisciImg")) {
        return QString(""); // filled from the settings file
    }
    return englishCaption(name);
}

bool isKnownLanguage(int lingua) {
    return lingua >= LanguageTables::kEnglish && lingua <= LanguageTables::kSpanish;
}

// Icon-and-caption pairs that tell a click by one of the panel's signals;
// icon and caption emit the same one. A pair without a caption is an icon alone.
struct ActionPair {
    const char* icon;
    const char* caption;
    void (ConfigurationPanel::*clicked)();
};

const ActionPair kActionPairs[] = {
    {"dyMode", "dyMode2", &ConfigurationPanel::displayModeClicked},
    {"Cleanup", "Cleanup2", &ConfigurationPanel::cleanupClicked},
    {"ConnectionIco", "Connection", &ConfigurationPanel::connectionClicked},
    // The backup caption carries words only; its icon saves.
    {"SSTCfg_BackUpcnf", nullptr, &ConfigurationPanel::backupClicked},
    {"SSTCfg_Loadcnf", "SSTCfg_Loadconf", &ConfigurationPanel::loadClicked},
    {"SSTCfg_FileUser", "SSTCfg_FileUser2", &ConfigurationPanel::ownPictureClicked},
    {"SSTCfg_resetUserImg", "SSTCfg_resetUserImg2", &ConfigurationPanel::resetOwnPictureClicked},
    {"SSTCfg_cmdConferma", "SSTCfg_cmdConferma2", &ConfigurationPanel::startClicked},
    {"SSTCfg_ExitProgram", "SSTCfg_ExitProgram2", &ConfigurationPanel::quitClicked},
    // Stands in for the quit icon while a download cycle runs; quitting
    // stays possible.
    {"SSTCfg_ExitProgram_BW", nullptr, &ConfigurationPanel::quitClicked},
    {"SSTCfg_salvaConfig", "SSTCfg_salvaConfig2", &ConfigurationPanel::saveClicked},
    {"YourTownIco", "LabelYourTown", &ConfigurationPanel::townClicked},
    {"infoStatusBar", "infoStatusBar2", &ConfigurationPanel::infoClicked},
    {"RunTeamViewer", "IcoHelpTools2", &ConfigurationPanel::remoteHelpClicked},
    {"IcoSwapSST6", "LabelLanguage", &ConfigurationPanel::languageClicked},
    {"helpTime", "helpTime2", &ConfigurationPanel::timersHelpClicked},
    {"helpImg", "helpImg2", &ConfigurationPanel::picturesHelpClicked},
    {"helpEsegui", "helpEsegui2", &ConfigurationPanel::runExitHelpClicked},
};

} // namespace

// ---- Building ------------------------------------------------------------------

ConfigurationPanel::ConfigurationPanel(QWidget* window, RunState& state, QObject* parent)
    : QObject(parent), window_(window), state_(state) {
    buildTabs();
    buildWizardFrame();
    buildWaitFrame();
    for (const QString& name : PanelTexts::hoverElements()) {
        if (auto* element = SSTCfg->findChild<QWidget*>(name)) {
            watchHover(element);
        }
    }
    placeElements();
    applyEnglishCaptions();
    if (isKnownLanguage(state_.Lingua)) {
        LanguageTables::ApplyLanguage(window_, state_);
    }
    ApplyOwnTexts();
    connect(SSTCfg, &QTabWidget::currentChanged, this, [this] {
        if (!layingOut_) {
            SSTCfg_Click();
        }
    });
    SSTCfg->hide();
}

void ConfigurationPanel::buildTabs() {
    SSTCfg = named<PanelTabs>(window_, QStringLiteral("SSTCfg"));
    SSTCfg->setStyleSheet(styleSheet(QStringLiteral(":/ui/panel.qss")));
    setGeometryTwips(SSTCfg, 0, 0, kPanelWidth, kPanelHeight);
    for (int tab = 0; tab < kTabCount; ++tab) {
        auto* page = new QWidget(SSTCfg);
        page->setObjectName(QStringLiteral("SSTCfgTab%1").arg(tab));
        SSTCfg->addTab(page, LanguageTables::tabCaption(tab, LanguageTables::kEnglish));
        canvases_[tab] = newCanvas(tab);
    }
    buildElements();
    bindElements();
    txtDisplay->setText(QStringLiteral("Full_Screen"));
    connectActions();
}

// The canvas keeps the tab control's origin, so elements take their twips
// from the layout table as they stand; it follows its page wherever the tab
// row ends.
QWidget* ConfigurationPanel::newCanvas(int tab) {
    QWidget* page = SSTCfg->widget(tab);
    auto* canvas = new QWidget(page);
    canvas->setObjectName(QStringLiteral("SSTCfgCanvas%1").arg(tab));
    canvas->setGeometry(0, -platform::twipsToPixels(kTabTop), platform::twipsToPixels(kPanelWidth),
                        platform::twipsToPixels(kPanelHeight));
    page->installEventFilter(this);
    return canvas;
}

// Every element of the layout table, on its tab's canvas, back to front.
void ConfigurationPanel::buildElements() {
    for (const PanelLayout::Element& element : PanelLayout::elements()) {
        if (QWidget* widget = PanelLayout::create(element, canvases_[element.tab])) {
            elements_.insert(element.name, widget);
        }
    }
}

// The public element pointers, from the elements' control names.
void ConfigurationPanel::bindElements() {
    const auto bind = [this](auto*& member, const char* name) {
        using Widget = std::remove_pointer_t<std::remove_reference_t<decltype(member)>>;
        member = qobject_cast<Widget*>(elements_.value(QLatin1String(name)));
    };
    bind(TextDisplayTimers, "TextDisplayTimers");
    bind(SSTCfg_Aggiorna, "SSTCfg_Aggiorna");
    bind(SSTCfg_Aggiorna2, "SSTCfg_Aggiorna2");
    bind(SSTCfg_timeRefresh, "SSTCfg_timeRefresh");
    bind(textSeconds, "textSeconds");
    bind(SSTCfg_Download, "SSTCfg_Download");
    bind(SSTCfg_Download2, "SSTCfg_Download2");
    bind(SSTCfg_timeDwLoad, "SSTCfg_timeDwLoad");
    bind(TextMinuts, "TextMinuts");
    bind(dyMode, "dyMode");
    bind(dyMode2, "dyMode2");
    bind(txtDisplay, "txtDisplay");
    bind(txtDisplay2, "txtDisplay2");
    bind(helpTime, "helpTime");
    bind(helpTime2, "helpTime2");
    bind(Box_Help_Display_Timer, "Box_Help_Display_Timer");
    bind(TextSetup, "TextSetup");
    bind(Cleanup, "Cleanup");
    bind(Cleanup2, "Cleanup2");
    bind(ConnectionIco, "ConnectionIco");
    bind(Connection, "Connection");
    bind(Box_Help_Setup, "Box_Help_Setup");
    bind(TextPictureSelection, "TextPictureSelection");
    bind(Tabella_Mappe_Selezionate, "Tabella_Mappe_Selezionate");
    bind(ClearListDB, "ClearListDB");
    bind(SSTCfg_BackUpcnf, "SSTCfg_BackUpcnf");
    bind(SSTCfg_Backupconf, "SSTCfg_Backupconf");
    bind(SSTCfg_Loadcnf, "SSTCfg_Loadcnf");
    bind(SSTCfg_Loadconf, "SSTCfg_Loadconf");
    bind(Wait_Ico, "Wait_Ico");
    bind(SSTCfg_FileUser, "SSTCfg_FileUser");
    bind(SSTCfg_FileUser2, "SSTCfg_FileUser2");
    bind(SSTCfg_resetUserImg, "SSTCfg_resetUserImg");
    bind(SSTCfg_resetUserImg2, "SSTCfg_resetUserImg2");
    bind(LabelOwnerImage, "LabelOwnerImage");
    bind(SSTCfg_LblinserisciImg, "SSTCfg_LblinserisciImg");
    bind(helpImg, "helpImg");
    bind(helpImg2, "helpImg2");
    bind(Image3, "Image3");
    bind(TextRunExit, "TextRunExit");
    bind(SSTCfg_cmdConferma, "SSTCfg_cmdConferma");
    bind(SSTCfg_cmdConferma_BW, "SSTCfg_cmdConferma_BW");
    bind(SSTCfg_cmdConferma2, "SSTCfg_cmdConferma2");
    bind(SSTCfg_ExitProgram, "SSTCfg_ExitProgram");
    bind(SSTCfg_ExitProgram_BW, "SSTCfg_ExitProgram_BW");
    bind(SSTCfg_ExitProgram2, "SSTCfg_ExitProgram2");
    bind(SSTCfg_salvaConfig, "SSTCfg_salvaConfig");
    bind(SSTCfg_salvaConfig2, "SSTCfg_salvaConfig2");
    bind(YourTownIco, "YourTownIco");
    bind(LabelYourTown, "LabelYourTown");
    bind(infoStatusBar, "infoStatusBar");
    bind(infoStatusBar2, "infoStatusBar2");
    bind(helpEsegui, "helpEsegui");
    bind(helpEsegui2, "helpEsegui2");
    bind(BarSaveAllBG, "BarSaveAllBG");
    bind(BarSaveAllFG, "BarSaveAllFG");
    bind(Box_Help_Run_Exit, "Box_Help_Run_Exit");
    bind(TextTools, "TextTools");
    bind(TextTool5, "TextTool5");
    bind(IcoSwapSST0, "IcoSwapSST0");
    bind(IcoSwapSST02, "IcoSwapSST02");
    bind(IcoSwapSST1, "IcoSwapSST1");
    bind(IcoSwapSST12, "IcoSwapSST12");
    bind(IcoSwapSST2, "IcoSwapSST2");
    bind(IcoSwapSST22, "IcoSwapSST22");
    bind(IcoSwapSST3, "IcoSwapSST3");
    bind(IcoSwapSST32, "IcoSwapSST32");
    bind(RunTeamViewer, "RunTeamViewer");
    bind(IcoHelpTools2, "IcoHelpTools2");
    bind(IcoSwapSST6, "IcoSwapSST6");
    bind(LabelLanguage, "LabelLanguage");
    bind(LeftTipText, "LeftTipText");
}

// Navigation elements show their tab; action pairs emit their signals.
void ConfigurationPanel::connectActions() {
    const auto find = [this](const char* name) { return elements_.value(QLatin1String(name)); };
    for (const PanelLayout::Element& element : PanelLayout::elements()) {
        if (element.shows >= 0) {
            connectNavigation(elements_.value(element.name), element.shows);
        }
    }
    for (const ActionPair& pair : kActionPairs) {
        auto* icon = qobject_cast<QPushButton*>(find(pair.icon));
        const auto run = [this, clicked = pair.clicked] { emit(this->*clicked)(); };
        if (pair.caption != nullptr) {
            connectPair(icon, qobject_cast<QLabel*>(find(pair.caption)), run);
        } else {
            connect(icon, &QPushButton::clicked, this, run);
        }
    }
}

QWidget* ConfigurationPanel::tabCanvas(int tab) const {
    return tab >= 0 && tab < kTabCount ? canvases_[tab] : nullptr;
}

int ConfigurationPanel::tabOf(const QWidget* element) const {
    for (const QWidget* w = element; w != nullptr; w = w->parentWidget()) {
        for (int tab = 0; tab < kTabCount; ++tab) {
            if (w == canvases_[tab] || w == SSTCfg->widget(tab)) {
                return tab;
            }
        }
    }
    return -1;
}

void ConfigurationPanel::buildWizardFrame() {
    FrameWizard = named<QFrame>(window_, QStringLiteral("FrameWizard"));
    FrameWizard->setStyleSheet(styleSheet(QStringLiteral(":/ui/panel-frames.qss")));
    WizardPicture = named<QLabel>(FrameWizard, QStringLiteral("WizardPicture"));
    WizardPicture->setScaledContents(true);
    WizardPicture->setPixmap(PanelLayout::picture(QStringLiteral("PanelHelp")));
    WizardText = named<QLabel>(FrameWizard, QStringLiteral("WizardText"));
    WizardText->setWordWrap(true);
    WizardText->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setGeometryTwips(WizardPicture, 240, 300, 900, 900);
    setGeometryTwips(WizardText, 1380, 120, kPanelWidth - 1380 - 200, kWizardHeight - 240);
    setGeometryTwips(FrameWizard, 0, kPanelHeight + kWizardGap, kPanelWidth, kWizardHeight);
    FrameWizard->hide();
}

void ConfigurationPanel::buildWaitFrame() {
    FormWait = named<QFrame>(window_, QStringLiteral("FormWait"));
    FormWait->setStyleSheet(styleSheet(QStringLiteral(":/ui/panel-frames.qss")));
    auto* hourglass = named<QLabel>(FormWait, QStringLiteral("FormWaitPicture"));
    hourglass->setScaledContents(true);
    hourglass->setPixmap(PanelLayout::picture(QStringLiteral("Wait_Ico")));
    LabelWait = named<QLabel>(FormWait, QStringLiteral("LabelWait"));
    LabelWait->setWordWrap(true);
    LabelWait->setText(PanelTexts::waitCaption(1));
    setGeometryTwips(FormWait, 0, 0, 5400, 1020);
    setGeometryTwips(hourglass, 180, 180, 660, 660);
    setGeometryTwips(LabelWait, 1020, 60, 4200, 900);
    FormWait->hide();
}

// ---- Clicks and hover ----------------------------------------------------------

void ConfigurationPanel::connectPair(QPushButton* iconButton, QLabel* caption,
                                     std::function<void()> action) {
    connect(iconButton, &QPushButton::clicked, this, action);
    makeClickable(caption, std::move(action));
}

void ConfigurationPanel::connectNavigation(QWidget* element, int tab) {
    auto show = [this, tab] { ShowTab(tab); };
    if (auto* button = qobject_cast<QPushButton*>(element)) {
        connect(button, &QPushButton::clicked, this, show);
    } else if (auto* caption = qobject_cast<QLabel*>(element)) {
        makeClickable(caption, show);
    }
}

void ConfigurationPanel::makeClickable(QLabel* caption, std::function<void()> action) {
    caption->setCursor(Qt::PointingHandCursor);
    caption->setProperty("clickable", true);
    caption->installEventFilter(this);
    labelActions_.emplace_back(caption, std::move(action));
}

void ConfigurationPanel::watchHover(QWidget* element) {
    element->setMouseTracking(true);
    element->installEventFilter(this);
}

bool ConfigurationPanel::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (mouse->button() != Qt::LeftButton || widget == nullptr ||
            !widget->rect().contains(mouse->position().toPoint())) {
            break;
        }
        for (const auto& [label, action] : labelActions_) {
            if (label == watched) {
                action();
                return true;
            }
        }
        break;
    }
    case QEvent::MouseMove:
        ShowHoverHelp(watched->objectName());
        break;
    case QEvent::Move:
    case QEvent::Resize:
        if (watched->objectName().startsWith(QLatin1String("SSTCfgTab"))) {
            alignCanvases();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void ConfigurationPanel::ShowHoverHelp(const QString& objectName) {
    if (state_.WizardActive == kFalse) {
        return;
    }
    const QString text = PanelTexts::hoverText(objectName, state_.Lingua);
    if (text.isNull()) {
        return;
    }
    WizardText->setText(text);
    const QPixmap picture = pictureOf(objectName);
    if (!picture.isNull()) {
        WizardPicture->setPixmap(picture);
    }
}

QPixmap ConfigurationPanel::pictureOf(const QString& objectName) const {
    const auto* element = SSTCfg->findChild<QWidget*>(objectName);
    if (element == nullptr || !element->property("picture").isValid()) {
        return {};
    }
    return PanelLayout::picture(element->property("picture").toString());
}

// ---- Layout --------------------------------------------------------------------

void ConfigurationPanel::alignCanvases() {
    for (int tab = 0; tab < kTabCount; ++tab) {
        const QPoint offset = SSTCfg->widget(tab)->mapTo(SSTCfg, QPoint(0, 0));
        canvases_[tab]->setGeometry(-offset.x(), -offset.y(), SSTCfg->width(), SSTCfg->height());
    }
}

void ConfigurationPanel::placeElements() {
    for (const PanelLayout::Element& element : PanelLayout::elements()) {
        PanelLayout::place(elements_.value(element.name), element);
    }
    placeSelectionTableParts();
}

// Label11, PreViewEnabled and CatalogueUnavailable belong to the selection
// table, which creates them on the picture tab; they join the canvas there.
void ConfigurationPanel::placeSelectionTableParts() {
    QWidget* page = SSTCfg->widget(kPicturesTab);
    QWidget* canvas = canvases_[kPicturesTab];
    const auto placeGuest = [](QWidget* guest) {
        PanelLayout::place(guest, *PanelLayout::find(guest->objectName()));
    };
    if (auto* unselect = page->findChild<QLabel*>(QStringLiteral("Label11"))) {
        if (unselect->parentWidget() != canvas) {
            unselect->setParent(canvas);
            unselect->show();
        }
        unselect->setProperty("clickable", true);
        placeGuest(unselect);
    }
    if (auto* preview = page->findChild<QCheckBox*>(QStringLiteral("PreViewEnabled"))) {
        if (preview->parentWidget() != canvas) {
            preview->setParent(canvas);
            preview->show();
        }
        placeGuest(preview);
    }
    if (auto* unavailable = page->findChild<QLabel*>(QStringLiteral("CatalogueUnavailable"))) {
        if (unavailable->parentWidget() != canvas) {
            const bool shown = unavailable->isVisibleTo(page);
            unavailable->setParent(canvas);
            unavailable->setVisible(shown);
        }
        placeGuest(unavailable);
        unavailable->raise();
    }
}

void ConfigurationPanel::LayoutPanel() {
    layingOut_ = true;
    SSTCfg->hide();
    for (const char* name : {"ImgPreview", "FrameDescPreview", "DescPreview"}) {
        if (auto* view = window_->findChild<QWidget*>(QLatin1String(name))) {
            view->hide();
        }
    }
    placeElements();
    const QRect at = platform::geometryTwips(SSTCfg);
    setGeometryTwips(SSTCfg, at.x(), at.y(), kPanelWidth, kPanelHeight);
    alignCanvases();
    ApplyOwnTexts();
    layingOut_ = false;
}

void ConfigurationPanel::PlaceWizardFrame() {
    const QRect panel = platform::geometryTwips(SSTCfg);
    setGeometryTwips(FrameWizard, panel.x(), panel.y() + panel.height() + kWizardGap, panel.width(),
                     kWizardHeight);
}

void ConfigurationPanel::ShowHelpFrame() {
    state_.WizardActive = kTrue;
    PlaceWizardFrame();
    FrameWizard->raise();
    FrameWizard->show();
    WizardText->setText(PanelTexts::wizardIntroText(state_.Lingua));
    WizardText->show();
    WizardText->raise();
}

void ConfigurationPanel::ShowWaitFrame() {
    const int lingua = state_.Lingua;
    FormWait->setToolTip(PanelTexts::waitToolTip(lingua));
    LabelWait->setText(PanelTexts::waitCaption(lingua));
    TextPictureSelection->setText(PanelTexts::previewTitle(lingua));
    const QRect frame = platform::geometryTwips(FormWait);
    const int screenWidth = window_->width() * platform::kTwipsPerPixel;
    const int screenHeight = window_->height() * platform::kTwipsPerPixel;
    setGeometryTwips(FormWait, screenWidth / 3, screenHeight / 2, frame.width(), frame.height());
    FormWait->show();
    FormWait->raise();
}

void ConfigurationPanel::EnableCollectionElements() {
    for (QWidget* element : std::initializer_list<QWidget*>{SSTCfg_Loadcnf, SSTCfg_BackUpcnf,
                                                            SSTCfg_Loadconf, SSTCfg_Backupconf}) {
        element->show();
        element->setEnabled(true);
    }
}

void ConfigurationPanel::SSTCfg_Click() {
    EnableCollectionElements();
    emit tabChanged();
    const bool unsaved = settingsUnsaved_;
    if (unsaved) {
        emit tabChangedWhileUnsaved();
    }
    SSTCfg_salvaConfig->setEnabled(unsaved);
    SSTCfg_salvaConfig2->setEnabled(unsaved);
}

void ConfigurationPanel::ShowTab(int tab) {
    SSTCfg->setCurrentIndex(tab);
}

// ---- Texts on the elements ------------------------------------------------------

void ConfigurationPanel::applyEnglishCaptions() {
    for (const PanelLayout::Element& element : PanelLayout::elements()) {
        if (auto* words = qobject_cast<QLabel*>(elements_.value(element.name));
            words != nullptr && (element.kind == PanelLayout::Kind::Title ||
                                 element.kind == PanelLayout::Kind::Caption)) {
            words->setText(englishWords(element.name));
        }
    }
    for (int tab = 0; tab < kTabCount; ++tab) {
        SSTCfg->setTabText(tab, LanguageTables::tabCaption(tab, LanguageTables::kEnglish));
    }
    for (QPlainTextEdit* box : {Box_Help_Display_Timer, Box_Help_Run_Exit, LeftTipText}) {
        box->setPlainText(LanguageTables::helpText(box->objectName(), LanguageTables::kEnglish));
    }
    txtDisplay2->setText(
        LanguageTables::displayModeName(txtDisplay->text(), LanguageTables::kEnglish));
}

void ConfigurationPanel::ApplyLanguage() {
    LanguageTables::ApplyLanguage(window_, state_);
    ApplyOwnTexts();
}

void ConfigurationPanel::ApplyOwnTexts() {
    const int lingua = state_.Lingua;
    if (!isKnownLanguage(lingua) && !TextSetup->text().isEmpty()) {
        return;
    }
    TextSetup->setText(PanelTexts::setupTitle(lingua));
    for (int tab : {kTimersTab, kSetupTab, kRunExitTab}) {
        if (auto* link = SSTCfg->findChild<QLabel*>(PanelLayout::stripLabelName(kSetupTab, tab))) {
            link->setText(PanelTexts::setupTitle(lingua));
        }
    }
    Connection->setText(PanelTexts::connectionCaption(lingua));
    LabelYourTown->setText(PanelTexts::townCaption(lingua));
    LabelLanguage->setText(Translations::in(lingua).translate("PanelTexts", "Language"));
    Box_Help_Setup->setPlainText(PanelTexts::setupHelpText(lingua));
}
