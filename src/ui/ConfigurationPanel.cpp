#include "ui/ConfigurationPanel.h"

#include "platform/Twips.h"
#include "platform/Widgets.h"
#include "state/RunState.h"
#include "ui/LanguageTables.h"
#include "ui/Translations.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>
#include <QTabWidget>
#include <array>

using platform::named;
using platform::setGeometryTwips;

// ---- Texts -------------------------------------------------------------------

namespace PanelTexts {
namespace {

// The English texts; the other languages are in the translation catalogues
// under the context kContext. A language may keep the English text as its
// own.
constexpr const char* kContext = "PanelTexts";

struct HoverRow {
    const char* element;
    const char* text;
};

constexpr HoverRow kHover[] = {
    {"IcoSwapSST0",
     QT_TRANSLATE_NOOP("PanelTexts", "Opens the TIMERS page related to the slide show speed and "
                                     "the ONLINE pictures update rate.")},
    {"IcoSwapSST1",
     QT_TRANSLATE_NOOP(
         "PanelTexts",
         "Opens the SETUP page: internet connection, proxy and clean-up of the configuration.")},
    {"IcoSwapSST2",
     QT_TRANSLATE_NOOP("PanelTexts",
                       "Open the DATABASE page, to select which weather pictures to add to the "
                       "slide show. It is also possible to add up to 10 own pictures to the slide "
                       "show, to create an advertisement intercalated to the weather pictures.")},
    {"IcoSwapSST3",
     QT_TRANSLATE_NOOP("PanelTexts", "Open the page to start the SLIDE-SHOW or quit Skyglance.")},
    {"RunTeamViewer",
     QT_TRANSLATE_NOOP("PanelTexts",
                       "Open TeamViewer for remote assistance from Skyglance staff (you must first "
                       "agree on the date and time using the contact page.")},
    {"IcoSwapSST6", QT_TRANSLATE_NOOP("PanelTexts", "Change Language.")},
    {"SSTCfg_cmdConferma",
     QT_TRANSLATE_NOOP("PanelTexts", "Start the slide show with the selected pictures of the "
                                     "database. After the start will be automatic.")},
    {"SSTCfg_salvaConfig",
     QT_TRANSLATE_NOOP("PanelTexts", "Create a BACKUP file of the selected picture list.")},
    {"SSTCfg_ExitProgram", QT_TRANSLATE_NOOP("PanelTexts", "Quit Skyglance")},
    {"infoStatusBar", QT_TRANSLATE_NOOP("PanelTexts", "Information about Skyglance version.")},
    {"helpEsegui", QT_TRANSLATE_NOOP("PanelTexts", "Open the online help.")},
    {"helpTime", QT_TRANSLATE_NOOP("PanelTexts", "Open the online help.")},
    {"helpImg", QT_TRANSLATE_NOOP("PanelTexts", "Open the help online.")},
    {"YourTownIco", QT_TRANSLATE_NOOP("PanelTexts", "Set up your city for parametric forecast.")},
    {"SSTCfg_FileUser",
     QT_TRANSLATE_NOOP("PanelTexts",
                       "Add to the slide show up to 10 of your own pictures, to create an "
                       "advertisement intercalated to the weather pictures.")},
    {"SSTCfg_resetUserImg",
     QT_TRANSLATE_NOOP("PanelTexts", "Delete your personal pictures from the slide show")},
    {"SSTCfg_BackUpcnf", QT_TRANSLATE_NOOP("PanelTexts", "Create a configuration backup.")},
    {"SSTCfg_Loadcnf", QT_TRANSLATE_NOOP("PanelTexts", "Restore the configuration from a Backup.")},
    {"LabelOwnerImage",
     QT_TRANSLATE_NOOP("PanelTexts", "List of Local Images vsualized in the slide show.")},
    {"Cleanup",
     QT_TRANSLATE_NOOP(
         "PanelTexts",
         "All configuration files will be deleted (useful in case of unresolvable errors).")},
    {"SSTCfg_Download",
     QT_TRANSLATE_NOOP("PanelTexts", "Set the time (in minutes) for updating pictures ONLINE.")},
    {"SSTCfg_Aggiorna",
     QT_TRANSLATE_NOOP("PanelTexts",
                       "Set the slide show speed (seconds of persistence of each picture).")},
    {"dyMode",
     QT_TRANSLATE_NOOP("PanelTexts", "Swap the display mode between full screen and real size.")},
    {"ClearListDB",
     QT_TRANSLATE_NOOP("PanelTexts", "Delete all the pictures selected by the DATABASE.")},
};

QString inLanguage(const char* source, int lingua) {
    return Translations::in(lingua).translate(kContext, source);
}

} // namespace

QString hoverText(const QString& objectName, int lingua) {
    for (const HoverRow& row : kHover) {
        if (objectName == QLatin1String(row.element)) {
            return inLanguage(row.text, lingua);
        }
    }
    return {};
}

QStringList hoverElements() {
    QStringList names;
    for (const HoverRow& row : kHover) {
        names << QLatin1String(row.element);
    }
    return names;
}

QString wizardIntroText(int lingua) {
    return Translations::in(lingua).translate(
        "PanelTexts", "Hover your mouse over the configuration panel icons to read their meaning "
                      "here");
}

QString waitToolTip(int lingua) {
    return Translations::in(lingua).translate("PanelTexts", "Wait Please");
}
QString waitCaption(int lingua) {
    return Translations::in(lingua).translate("PanelTexts", "Loading Database, wait...");
}
QString previewTitle(int lingua) {
    return Translations::in(lingua).translate("PanelTexts", "Picture preview");
}
QString setupTitle(int lingua) {
    const QString caption = LanguageTables::tabCaption(1, lingua);
    return caption.isNull() ? LanguageTables::tabCaption(1, LanguageTables::kEnglish) : caption;
}
QString connectionCaption(int lingua) {
    return Translations::in(lingua).translate("PanelTexts", "Modif. Connection");
}
QString townCaption(int lingua) {
    return Translations::in(lingua).translate("PanelTexts", "My Town");
}
QString setupHelpText(int lingua) {
    return Translations::in(lingua).translate(
        "PanelTexts", "SETUP:\r\n \r\n_Connection: direct or through a proxy.\r\n_Cleanup "
                      "Config.: delete every configuration file and start again.");
}

} // namespace PanelTexts

// ---- Look ----------------------------------------------------------------------

namespace {

constexpr int kTimersTab = 0;
constexpr int kSetupTab = 1;
constexpr int kPicturesTab = 2;
constexpr int kRunExitTab = 3;
constexpr int kToolsTab = 4;

// The picture file of each tab's hub icon; the strip's small icons reuse them.
const std::array<const char*, ConfigurationPanel::kTabCount> kTabIcon{
    "IcoSwapSST0", "IcoSwapSST1", "IcoSwapSST2", "IcoSwapSST3", "Image3"};

// The palette of the program's pictures: dark navy, white and light-blue
// words, sky-blue edges.
const QString kStyle = QStringLiteral(R"(
QTabWidget#SSTCfg::pane { border: 1px solid #3C6CA8; background: #0D1F3C; top: -1px; }
QTabWidget#SSTCfg QTabBar::tab {
  background: #17335C; border: 1px solid #3C6CA8; border-bottom: none;
  border-top-left-radius: 6px; border-top-right-radius: 6px; margin-right: 1px; }
QTabWidget#SSTCfg QTabBar::tab:selected { background: #274E83; }
QTabWidget#SSTCfg QTabBar::tab:hover { background: #1F4474; }
QTabWidget#SSTCfg QLabel { color: #EEF4FB; background: transparent;
  font-family: "DejaVu Sans"; font-size: 11px; }
QTabWidget#SSTCfg QLabel[role="title"] { font-size: 15px; font-weight: bold; color: #FFFFFF; }
QTabWidget#SSTCfg QLabel[role="caption"] { font-size: 11px; }
QTabWidget#SSTCfg QLabel[role="strip"] { font-size: 10px; color: #A6D6FF; }
QTabWidget#SSTCfg QLabel[role="strip"][current="true"] { color: #FFC845; font-weight: bold; }
QTabWidget#SSTCfg QLabel[role="pill"] { font-size: 11px; font-weight: bold; color: #FFFFFF;
  border: 1px solid #5BB8FF; border-radius: 9px; background: #274E83; }
QTabWidget#SSTCfg QLabel[role="pill"]:hover { background: #3C6CA8; }
QTabWidget#SSTCfg QLabel[role="unit"] { color: #A6D6FF; }
QTabWidget#SSTCfg QLabel[clickable="true"]:hover { color: #FFC845; }
QTabWidget#SSTCfg QLineEdit { background: #FFFFFF; color: #0D1F3C; border: 1px solid #5BB8FF;
  border-radius: 3px; font-family: "DejaVu Sans"; font-size: 13px; font-weight: bold;
  padding: 0px 4px; }
QTabWidget#SSTCfg QLineEdit:read-only { background: #DDEBF8; }
QTabWidget#SSTCfg QListWidget { background: #FFFFFF; color: #0D1F3C; border: 1px solid #5BB8FF;
  font-family: "DejaVu Sans"; font-size: 11px; }
QTabWidget#SSTCfg QPlainTextEdit { background: rgba(10, 25, 50, 190); color: #EEF4FB;
  border: 1px solid #3C6CA8; border-radius: 6px; font-family: "DejaVu Sans"; font-size: 11px;
  padding: 4px; }
QTabWidget#SSTCfg QCheckBox { color: #EEF4FB; background: transparent; }
QTabWidget#SSTCfg QPushButton { border: none; background: transparent; padding: 0px; }
QTabWidget#SSTCfg QPushButton:hover { background: rgba(91, 184, 255, 45); border-radius: 8px; }
QTabWidget#SSTCfg QPushButton:pressed { background: rgba(91, 184, 255, 90); border-radius: 8px; }
QTabWidget#SSTCfg QPushButton[current="true"] { background: rgba(255, 200, 69, 55);
  border-radius: 8px; }
QTabWidget#SSTCfg QLabel#CatalogueUnavailable { color: #0D1F3C; background: #FFE9A8;
  border: 2px solid #FFC845; border-radius: 6px; font-size: 12px; font-weight: bold;
  padding: 6px; }
QTabWidget#SSTCfg QFrame#BarSaveAllBG { background: #17335C; border: 1px solid #3C6CA8; }
QTabWidget#SSTCfg QFrame#BarSaveAllFG { background: #3DD686; border: none; }
)");

const QString kFrameStyle = QStringLiteral(R"(
QFrame#FrameWizard, QFrame#FormWait { background: #0D1F3C; border: 2px solid #5BB8FF;
  border-radius: 8px; }
QFrame#FrameWizard QLabel, QFrame#FormWait QLabel { color: #EEF4FB; background: transparent;
  border: none; font-family: "DejaVu Sans"; font-size: 13px; }
)");

QPixmap panelPicture(const QString& name) {
    return QPixmap(QStringLiteral(":/pictures/%1.png").arg(name));
}

QString englishCaption(const QString& name) {
    return LanguageTables::captionFor(name, LanguageTables::kEnglish);
}

void place(QWidget* widget, int left, int top, int width, int height) {
    if (widget == nullptr) {
        return;
    }
    setGeometryTwips(widget, left, top, width, height);
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setIconSize(button->size());
    } else if (auto* label = qobject_cast<QLabel*>(widget); label && label->hasScaledContents()) {
        label->setPixmap(label->pixmap());
    }
}

// An icon 660 twips square with its 1200-wide label under it.
void placeIconAndLabel(QWidget* icon, QWidget* caption, int iconLeft, int iconTop) {
    constexpr int kIcon = 660;
    constexpr int kLabelWidth = 1200;
    constexpr int kLabelGap = 40;
    constexpr int kLabelHeight = 480;
    place(icon, iconLeft, iconTop, kIcon, kIcon);
    place(caption, iconLeft + kIcon / 2 - kLabelWidth / 2, iconTop + kIcon + kLabelGap, kLabelWidth,
          kLabelHeight);
}

bool isKnownLanguage(int lingua) {
    return lingua >= LanguageTables::kEnglish && lingua <= LanguageTables::kSpanish;
}

// Navigation strip of tabs 0, 1 and 3: five slots along the bottom.
constexpr int kSlotWidth = ConfigurationPanel::kPanelWidth / 5;
constexpr int kStripIcon = 480;
constexpr int kStripIconTop = 4080;
constexpr int kStripLabelTop = 4590;

QString stripLabelName(int shownTab, int onTab) {
    static const std::array<const char*, 4> prefixes{"TextDisplayTimers", "TextSetup",
                                                     "TextPictureSelection", "TextRunExit"};
    return QLatin1String(prefixes[static_cast<std::size_t>(shownTab)]) + QString::number(onTab);
}

QString toolsLinkName(int onTab) {
    // Tab 0's link carries the number 4: the numbers 1 to 3 name the tab the
    // link sits on, and 5 is the tools tab's own label.
    return QStringLiteral("TextTool%1").arg(onTab == kTimersTab ? 4 : onTab);
}

} // namespace

// The tab row: every caption stays whole. Tabs take their captions' widths
// while the row has room; otherwise they share the row in proportion and
// the captions wrap onto two lines.
class PanelTabBar : public QTabBar {
public:
    explicit PanelTabBar(QWidget* parent) : QTabBar(parent) {
        setUsesScrollButtons(false);
        setDrawBase(false);
        setExpanding(false);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(11);
        font.setBold(true);
        setFont(font);
    }

protected:
    QSize tabSizeHint(int index) const override {
        const int room = platform::twipsToPixels(ConfigurationPanel::kPanelWidth) - 2;
        int natural = 0;
        int narrowest = 0;
        for (int tab = 0; tab < count(); ++tab) {
            natural += naturalWidth(tab);
            narrowest += narrowestWidth(tab);
        }
        int width = naturalWidth(index);
        if (natural > room) {
            // Every tab keeps its longest word; the rest of the row goes to
            // the tabs in proportion to what wrapping took from them.
            const int spare = qMax(0, room - narrowest);
            const int wrapped = qMax(1, natural - narrowest);
            width = narrowestWidth(index) +
                    (naturalWidth(index) - narrowestWidth(index)) * spare / wrapped;
        }
        return {width, platform::twipsToPixels(ConfigurationPanel::kTabTop)};
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }

    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        for (int tab = 0; tab < count(); ++tab) {
            QStyleOptionTab option;
            initStyleOption(&option, tab);
            const QString caption = option.text;
            option.text.clear();
            painter.drawControl(QStyle::CE_TabBarTabShape, option);
            const bool current = tab == currentIndex();
            painter.setPen(current ? QColor(0xFF, 0xFF, 0xFF) : QColor(0xA6, 0xD6, 0xFF));
            painter.drawText(option.rect.adjusted(kPadding, 2, -kPadding, 0),
                             Qt::AlignCenter | Qt::TextWordWrap, caption);
        }
    }

private:
    static constexpr int kPadding = 5;
    int naturalWidth(int index) const {
        return fontMetrics().horizontalAdvance(tabText(index)) + 2 * kPadding + 4;
    }
    int narrowestWidth(int index) const {
        int longest = 0;
        for (const QString& word : tabText(index).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            longest = qMax(longest, fontMetrics().horizontalAdvance(word));
        }
        return longest + 2 * kPadding + 4;
    }
};

// A tab control with the panel's tab row.
class PanelTabs : public QTabWidget {
public:
    explicit PanelTabs(QWidget* parent) : QTabWidget(parent) { setTabBar(new PanelTabBar(this)); }
};

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
    SSTCfg->setStyleSheet(kStyle);
    setGeometryTwips(SSTCfg, 0, 0, kPanelWidth, kPanelHeight);
    for (int tab = 0; tab < kTabCount; ++tab) {
        auto* page = new QWidget(SSTCfg);
        page->setObjectName(QStringLiteral("SSTCfgTab%1").arg(tab));
        SSTCfg->addTab(page, LanguageTables::tabCaption(tab, LanguageTables::kEnglish));
        canvases_[tab] = newCanvas(tab);
    }
    buildTimersTab();
    buildSetupTab();
    buildPicturesTab();
    buildRunExitTab();
    buildToolsTab();
    for (int tab : {kTimersTab, kSetupTab, kRunExitTab}) {
        buildNavigationStrip(tab);
    }
}

// The canvas keeps the tab control's origin, so elements take the layout
// rules' twips as they stand; it follows its page wherever the tab row ends.
QWidget* ConfigurationPanel::newCanvas(int tab) {
    QWidget* page = SSTCfg->widget(tab);
    auto* canvas = new QWidget(page);
    canvas->setObjectName(QStringLiteral("SSTCfgCanvas%1").arg(tab));
    canvas->setGeometry(0, -platform::twipsToPixels(kTabTop), platform::twipsToPixels(kPanelWidth),
                        platform::twipsToPixels(kPanelHeight));
    auto* background = named<QLabel>(canvas, QStringLiteral("TabBackground%1").arg(tab));
    background->setScaledContents(true);
    background->setPixmap(panelPicture(QStringLiteral("PanelTab%1").arg(tab)));
    backgrounds_[tab] = background;
    page->installEventFilter(this);
    return canvas;
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

QPushButton* ConfigurationPanel::icon(int tab, const QString& name, const QString& picture) {
    auto* button = named<QPushButton>(canvases_[tab], name);
    const QPixmap pixmap = panelPicture(picture);
    button->setProperty("picture", picture);
    button->setIcon(QIcon(pixmap));
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QLabel* ConfigurationPanel::label(int tab, const QString& name, const QString& english) {
    auto* caption = named<QLabel>(canvases_[tab], name);
    caption->setText(english.isNull() ? englishCaption(name) : english);
    caption->setProperty("role", QStringLiteral("caption"));
    caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    caption->setWordWrap(true);
    return caption;
}

QLabel* ConfigurationPanel::title(int tab, const QString& name) {
    QLabel* heading = label(tab, name);
    heading->setProperty("role", QStringLiteral("title"));
    heading->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    heading->setWordWrap(false);
    return heading;
}

QPlainTextEdit* ConfigurationPanel::helpBox(int tab, const QString& name) {
    auto* box = named<QPlainTextEdit>(canvases_[tab], name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setTextInteractionFlags(Qt::NoTextInteraction);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->viewport()->setCursor(Qt::ArrowCursor);
    return box;
}

void ConfigurationPanel::buildTimersTab() {
    const int t = kTimersTab;
    TextDisplayTimers = title(t, QStringLiteral("TextDisplayTimers"));
    // The interval captions only focus their boxes; the settings part
    // watches them for that.
    auto pictureLabel = [this](const QString& name) {
        auto* picture = named<QLabel>(canvases_[kTimersTab], name);
        picture->setProperty("picture", name);
        picture->setPixmap(panelPicture(name));
        picture->setScaledContents(true);
        picture->setCursor(Qt::PointingHandCursor);
        return picture;
    };
    SSTCfg_Aggiorna = pictureLabel(QStringLiteral("SSTCfg_Aggiorna"));
    SSTCfg_Aggiorna2 = label(t, QStringLiteral("SSTCfg_Aggiorna2"));
    SSTCfg_timeRefresh = named<QLineEdit>(canvases_[t], QStringLiteral("SSTCfg_timeRefresh"));
    textSeconds = label(t, QStringLiteral("textSeconds"));
    SSTCfg_Download = pictureLabel(QStringLiteral("SSTCfg_Download"));
    SSTCfg_Download2 = label(t, QStringLiteral("SSTCfg_Download2"));
    SSTCfg_timeDwLoad = named<QLineEdit>(canvases_[t], QStringLiteral("SSTCfg_timeDwLoad"));
    TextMinuts = label(t, QStringLiteral("TextMinuts"));
    for (QLabel* side : {SSTCfg_Aggiorna2, SSTCfg_Download2, textSeconds, TextMinuts}) {
        side->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        side->setWordWrap(false);
    }
    for (QLabel* unit : {textSeconds, TextMinuts}) {
        unit->setProperty("role", QStringLiteral("unit"));
    }
    dyMode = icon(t, QStringLiteral("dyMode"), QStringLiteral("dyMode"));
    dyMode2 = label(t, QStringLiteral("dyMode2"));
    dyMode2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connectPair(dyMode, dyMode2, [f = &onDisplayMode] {
        if (*f) {
            (*f)();
        }
    });
    txtDisplay = named<QLineEdit>(canvases_[t], QStringLiteral("txtDisplay"));
    txtDisplay->setText(QStringLiteral("Full_Screen"));
    txtDisplay->hide();
    txtDisplay2 = named<QLineEdit>(canvases_[t], QStringLiteral("txtDisplay2"));
    txtDisplay2->setReadOnly(true);
    txtDisplay2->setFocusPolicy(Qt::NoFocus);
    helpTime = icon(t, QStringLiteral("helpTime"), QStringLiteral("PanelHelp"));
    helpTime2 = label(t, QStringLiteral("helpTime2"));
    helpTime2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connectPair(helpTime, helpTime2, [f = &onHelp] {
        if (*f) {
            (*f)(QStringLiteral("helpTime"));
        }
    });
    Box_Help_Display_Timer = helpBox(t, QStringLiteral("Box_Help_Display_Timer"));
}

void ConfigurationPanel::buildSetupTab() {
    const int t = kSetupTab;
    TextSetup = title(t, QStringLiteral("TextSetup"));
    Cleanup = icon(t, QStringLiteral("Cleanup"), QStringLiteral("Cleanup"));
    Cleanup2 = label(t, QStringLiteral("Cleanup2"));
    connectPair(Cleanup, Cleanup2, [f = &onCleanup] {
        if (*f) {
            (*f)();
        }
    });
    ConnectionIco = icon(t, QStringLiteral("ConnectionIco"), QStringLiteral("Connection"));
    Connection = label(t, QStringLiteral("Connection"), PanelTexts::connectionCaption(1));
    connectPair(ConnectionIco, Connection, [f = &onConnection] {
        if (*f) {
            (*f)();
        }
    });
    Box_Help_Setup = helpBox(t, QStringLiteral("Box_Help_Setup"));
}

void ConfigurationPanel::buildPicturesTab() {
    const int t = kPicturesTab;
    TextPictureSelection = title(t, QStringLiteral("TextPictureSelection"));
    Tabella_Mappe_Selezionate =
        named<QListWidget>(canvases_[t], QStringLiteral("Tabella_Mappe_Selezionate"));
    // Beside Label11 only to explain it (through its tooltip and hover text);
    // Label11 does the unticking.
    ClearListDB = icon(t, QStringLiteral("ClearListDB"), QStringLiteral("ClearListDB"));
    ClearListDB->setCursor(Qt::ArrowCursor);

    SSTCfg_BackUpcnf =
        icon(t, QStringLiteral("SSTCfg_BackUpcnf"), QStringLiteral("SSTCfg_BackUpcnf"));
    SSTCfg_Backupconf = label(t, QStringLiteral("SSTCfg_Backupconf"));
    connect(SSTCfg_BackUpcnf, &QPushButton::clicked, this, [this] {
        if (onBackup) {
            onBackup();
        }
    });
    SSTCfg_Loadcnf = icon(t, QStringLiteral("SSTCfg_Loadcnf"), QStringLiteral("SSTCfg_Loadcnf"));
    SSTCfg_Loadconf = label(t, QStringLiteral("SSTCfg_Loadconf"));
    connectPair(SSTCfg_Loadcnf, SSTCfg_Loadconf, [f = &onLoad] {
        if (*f) {
            (*f)();
        }
    });
    Wait_Ico = named<QLabel>(canvases_[t], QStringLiteral("Wait_Ico"));
    Wait_Ico->setPixmap(panelPicture(QStringLiteral("Wait_Ico")));
    Wait_Ico->setScaledContents(true);
    Wait_Ico->hide();

    SSTCfg_FileUser = icon(t, QStringLiteral("SSTCfg_FileUser"), QStringLiteral("SSTCfg_FileUser"));
    SSTCfg_FileUser2 = label(t, QStringLiteral("SSTCfg_FileUser2"));
    connectPair(SSTCfg_FileUser, SSTCfg_FileUser2, [f = &onOwnPicture] {
        if (*f) {
            (*f)();
        }
    });
    SSTCfg_resetUserImg =
        icon(t, QStringLiteral("SSTCfg_resetUserImg"), QStringLiteral("SSTCfg_resetUserImg"));
    SSTCfg_resetUserImg2 = label(t, QStringLiteral("SSTCfg_resetUserImg2"));
    connectPair(SSTCfg_resetUserImg, SSTCfg_resetUserImg2, [f = &onResetOwnPicture] {
        if (*f) {
            (*f)();
        }
    });
    LabelOwnerImage = label(t, QStringLiteral("LabelOwnerImage"));
    LabelOwnerImage->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LabelOwnerImage->setProperty("role", QStringLiteral("unit"));
    SSTCfg_LblinserisciImg = label(t, QStringLiteral("SSTCfg_LblinserisciImg"), QString(""));
    SSTCfg_LblinserisciImg->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SSTCfg_LblinserisciImg->setWordWrap(false);

    helpImg = icon(t, QStringLiteral("helpImg"), QStringLiteral("PanelHelp"));
    helpImg2 = label(t, QStringLiteral("helpImg2"));
    connectPair(helpImg, helpImg2, [f = &onHelp] {
        if (*f) {
            (*f)(QStringLiteral("helpImg"));
        }
    });
    Image3 = icon(t, QStringLiteral("Image3"), QStringLiteral("Image3"));
    connectNavigation(Image3, kToolsTab);
    QLabel* toolsLabel = label(t, QStringLiteral("TextTool2"));
    connectNavigation(toolsLabel, kToolsTab);
}

void ConfigurationPanel::buildRunExitTab() {
    const int t = kRunExitTab;
    TextRunExit = title(t, QStringLiteral("TextRunExit"));
    SSTCfg_cmdConferma =
        icon(t, QStringLiteral("SSTCfg_cmdConferma"), QStringLiteral("SSTCfg_cmdConferma"));
    SSTCfg_cmdConferma_BW =
        icon(t, QStringLiteral("SSTCfg_cmdConferma_BW"), QStringLiteral("SSTCfg_cmdConferma_BW"));
    SSTCfg_cmdConferma_BW->setCursor(Qt::ArrowCursor);
    SSTCfg_cmdConferma_BW->hide();
    SSTCfg_cmdConferma2 = label(t, QStringLiteral("SSTCfg_cmdConferma2"));
    connectPair(SSTCfg_cmdConferma, SSTCfg_cmdConferma2, [f = &onStart] {
        if (*f) {
            (*f)();
        }
    });
    SSTCfg_ExitProgram =
        icon(t, QStringLiteral("SSTCfg_ExitProgram"), QStringLiteral("SSTCfg_ExitProgram"));
    SSTCfg_ExitProgram_BW =
        icon(t, QStringLiteral("SSTCfg_ExitProgram_BW"), QStringLiteral("SSTCfg_ExitProgram_BW"));
    SSTCfg_ExitProgram_BW->hide();
    SSTCfg_ExitProgram2 = label(t, QStringLiteral("SSTCfg_ExitProgram2"));
    const auto quit = [f = &onQuit] {
        if (*f) {
            (*f)();
        }
    };
    connectPair(SSTCfg_ExitProgram, SSTCfg_ExitProgram2, quit);
    // Stands in for the quit icon while a download cycle runs; quitting
    // stays possible.
    connect(SSTCfg_ExitProgram_BW, &QPushButton::clicked, this, quit);
    SSTCfg_salvaConfig =
        icon(t, QStringLiteral("SSTCfg_salvaConfig"), QStringLiteral("SSTCfg_salvaConfig"));
    SSTCfg_salvaConfig2 = label(t, QStringLiteral("SSTCfg_salvaConfig2"));
    connectPair(SSTCfg_salvaConfig, SSTCfg_salvaConfig2, [f = &onSave] {
        if (*f) {
            (*f)();
        }
    });
    YourTownIco = icon(t, QStringLiteral("YourTownIco"), QStringLiteral("YourTownIco"));
    LabelYourTown = label(t, QStringLiteral("LabelYourTown"), PanelTexts::townCaption(1));
    connectPair(YourTownIco, LabelYourTown, [f = &onTown] {
        if (*f) {
            (*f)();
        }
    });
    infoStatusBar = icon(t, QStringLiteral("infoStatusBar"), QStringLiteral("infoStatusBar"));
    infoStatusBar2 = label(t, QStringLiteral("infoStatusBar2"));
    connectPair(infoStatusBar, infoStatusBar2, [f = &onInfo] {
        if (*f) {
            (*f)();
        }
    });
    helpEsegui = icon(t, QStringLiteral("helpEsegui"), QStringLiteral("PanelHelp"));
    helpEsegui2 = label(t, QStringLiteral("helpEsegui2"));
    connectPair(helpEsegui, helpEsegui2, [f = &onHelp] {
        if (*f) {
            (*f)(QStringLiteral("helpEsegui"));
        }
    });
    BarSaveAllBG = named<QFrame>(canvases_[t], QStringLiteral("BarSaveAllBG"));
    BarSaveAllFG = named<QFrame>(canvases_[t], QStringLiteral("BarSaveAllFG"));
    BarSaveAllBG->hide();
    BarSaveAllFG->hide();
    Box_Help_Run_Exit = helpBox(t, QStringLiteral("Box_Help_Run_Exit"));
}

void ConfigurationPanel::buildToolsTab() {
    const int t = kToolsTab;
    TextTools = title(t, QStringLiteral("TextTools"));
    TextTool5 = title(t, QStringLiteral("TextTool5"));
    connectNavigation(TextTool5, kToolsTab);
    LeftTipText = helpBox(t, QStringLiteral("LeftTipText"));

    QPushButton** hubs[] = {&IcoSwapSST0, &IcoSwapSST1, &IcoSwapSST2, &IcoSwapSST3};
    QLabel** hubLabels[] = {&IcoSwapSST02, &IcoSwapSST12, &IcoSwapSST22, &IcoSwapSST32};
    for (int shown = 0; shown < 4; ++shown) {
        const QString name = QStringLiteral("IcoSwapSST%1").arg(shown);
        *hubs[shown] = icon(t, name, QLatin1String(kTabIcon[static_cast<std::size_t>(shown)]));
        *hubLabels[shown] = label(t, name + QLatin1Char('2'));
        connectNavigation(*hubs[shown], shown);
        connectNavigation(*hubLabels[shown], shown);
    }
    RunTeamViewer = icon(t, QStringLiteral("RunTeamViewer"), QStringLiteral("RunTeamViewer"));
    IcoHelpTools2 = label(t, QStringLiteral("IcoHelpTools2"));
    connectPair(RunTeamViewer, IcoHelpTools2, [f = &onRemoteHelp] {
        if (*f) {
            (*f)();
        }
    });
    IcoSwapSST6 = icon(t, QStringLiteral("IcoSwapSST6"), QStringLiteral("IcoSwapSST6"));
    LabelLanguage = label(t, QStringLiteral("LabelLanguage"), QStringLiteral("Language"));
    connectPair(IcoSwapSST6, LabelLanguage, [f = &onLanguage] {
        if (*f) {
            (*f)();
        }
    });
}

// LittleTool<on><shown> icons with their text labels, and a "Tools" link.
void ConfigurationPanel::buildNavigationStrip(int tab) {
    for (int shown = 0; shown < 4; ++shown) {
        auto* little = icon(tab, QStringLiteral("LittleTool%1%2").arg(tab).arg(shown),
                            QLatin1String(kTabIcon[static_cast<std::size_t>(shown)]));
        QLabel* caption = label(tab, stripLabelName(shown, tab));
        caption->setProperty("role", QStringLiteral("strip"));
        const bool current = shown == tab;
        little->setProperty("current", current);
        caption->setProperty("current", current);
        connectNavigation(little, shown);
        connectNavigation(caption, shown);
    }
    QLabel* tools = label(tab, toolsLinkName(tab));
    tools->setProperty("role", QStringLiteral("pill"));
    tools->setAlignment(Qt::AlignCenter);
    connectNavigation(tools, kToolsTab);
}

void ConfigurationPanel::buildWizardFrame() {
    FrameWizard = named<QFrame>(window_, QStringLiteral("FrameWizard"));
    FrameWizard->setStyleSheet(kFrameStyle);
    WizardPicture = named<QLabel>(FrameWizard, QStringLiteral("WizardPicture"));
    WizardPicture->setScaledContents(true);
    WizardPicture->setPixmap(panelPicture(QStringLiteral("PanelHelp")));
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
    FormWait->setStyleSheet(kFrameStyle);
    auto* hourglass = named<QLabel>(FormWait, QStringLiteral("FormWaitPicture"));
    hourglass->setScaledContents(true);
    hourglass->setPixmap(panelPicture(QStringLiteral("Wait_Ico")));
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
    return panelPicture(element->property("picture").toString());
}

// ---- Layout --------------------------------------------------------------------

void ConfigurationPanel::alignCanvases() {
    for (int tab = 0; tab < kTabCount; ++tab) {
        const QPoint offset = SSTCfg->widget(tab)->mapTo(SSTCfg, QPoint(0, 0));
        canvases_[tab]->setGeometry(-offset.x(), -offset.y(), SSTCfg->width(), SSTCfg->height());
    }
}

void ConfigurationPanel::placeElements() {
    for (QLabel* background : backgrounds_) {
        place(background, 0, kTabTop, kPanelWidth, kBackgroundHeight);
        background->lower();
    }

    // Tab 0: three settings, each a picture with its caption and box; the
    // help box at the right.
    place(TextDisplayTimers, 300, 600, 4200, 360);
    place(SSTCfg_Aggiorna, 300, 1080, 600, 600);
    place(SSTCfg_Aggiorna2, 1050, 1050, 2700, 300);
    place(SSTCfg_timeRefresh, 1050, 1370, 800, 330);
    place(textSeconds, 1950, 1385, 1800, 300);
    place(SSTCfg_Download, 300, 1930, 600, 600);
    place(SSTCfg_Download2, 1050, 1900, 2700, 300);
    place(SSTCfg_timeDwLoad, 1050, 2220, 800, 330);
    place(TextMinuts, 1950, 2235, 1800, 300);
    place(dyMode, 300, 2780, 600, 600);
    place(dyMode2, 1050, 2750, 2700, 300);
    place(txtDisplay, 1050, 3070, 2300, 330);
    place(txtDisplay2, 1050, 3070, 2300, 330);
    place(Box_Help_Display_Timer, 3900, 1050, 2950, 2100);
    place(helpTime, 3900, 3260, 540, 540);
    place(helpTime2, 4530, 3380, 1800, 300);

    // Tab 1: two actions and their explanation.
    place(TextSetup, 300, 600, 4200, 360);
    placeIconAndLabel(Cleanup, Cleanup2, 800, 1350);
    placeIconAndLabel(ConnectionIco, Connection, 2300, 1350);
    place(Box_Help_Setup, 3900, 1050, 2950, 2100);

    // Tab 2: the table at the left, the actions in a grid at the right.
    place(TextPictureSelection, 520, 600, 4000, 360);
    place(Tabella_Mappe_Selezionate, 200, 1000, 4300, 2800);
    place(ClearListDB, 200, 3875, 330, 330);
    place(LabelOwnerImage, 200, 4300, 1100, 300);
    place(SSTCfg_LblinserisciImg, 1300, 4300, 3200, 300);
    constexpr int kColumnA = 4750;
    constexpr int kColumnB = 5950;
    placeIconAndLabel(SSTCfg_BackUpcnf, SSTCfg_Backupconf, kColumnA, 720);
    placeIconAndLabel(SSTCfg_Loadcnf, SSTCfg_Loadconf, kColumnB, 720);
    place(Wait_Ico, 5570, 860, 390, 390);
    placeIconAndLabel(SSTCfg_FileUser, SSTCfg_FileUser2, kColumnA, 1950);
    placeIconAndLabel(SSTCfg_resetUserImg, SSTCfg_resetUserImg2, kColumnB, 1950);
    placeIconAndLabel(helpImg, helpImg2, kColumnA, 3180);
    placeIconAndLabel(Image3, SSTCfg->findChild<QLabel*>(QStringLiteral("TextTool2")), kColumnB,
                      3180);
    placeSelectionTableParts();

    // Tab 3: two rows of three actions, the save bar under them.
    place(TextRunExit, 300, 600, 4200, 360);
    constexpr int kRunColumns[] = {520, 1820, 3120};
    placeIconAndLabel(SSTCfg_cmdConferma, SSTCfg_cmdConferma2, kRunColumns[0], 1080);
    place(SSTCfg_cmdConferma_BW, kRunColumns[0], 1080, 660, 660);
    placeIconAndLabel(SSTCfg_salvaConfig, SSTCfg_salvaConfig2, kRunColumns[1], 1080);
    placeIconAndLabel(SSTCfg_ExitProgram, SSTCfg_ExitProgram2, kRunColumns[2], 1080);
    place(SSTCfg_ExitProgram_BW, kRunColumns[2], 1080, 660, 660);
    placeIconAndLabel(YourTownIco, LabelYourTown, kRunColumns[0], 2430);
    placeIconAndLabel(infoStatusBar, infoStatusBar2, kRunColumns[1], 2430);
    placeIconAndLabel(helpEsegui, helpEsegui2, kRunColumns[2], 2430);
    place(BarSaveAllBG, 700, 3700, 2000, 150);
    place(BarSaveAllFG, 700, 3700, 1, 150);
    place(Box_Help_Run_Exit, 4250, 1050, 2650, 2650);

    // Tab 4: the hub grid.
    place(TextTools, 3480, 530, 3300, 300);
    place(TextTool5, 300, 650, 2800, 360);
    place(LeftTipText, 234, 1521, 3000, 3300);
    TextTools->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    const struct {
        QWidget* icon;
        QWidget* label;
        int iconLeft, iconTop, labelLeft, labelTop;
    } grid[] = {
        {IcoSwapSST0, IcoSwapSST02, 3721, 845, 3451, 1545},
        {IcoSwapSST1, IcoSwapSST12, 5021, 845, 4751, 1545},
        {IcoSwapSST2, IcoSwapSST22, 3721, 2345, 3451, 3045},
        {IcoSwapSST3, IcoSwapSST32, 5021, 2345, 4751, 3045},
        {RunTeamViewer, IcoHelpTools2, 3721, 3845, 3451, 4545},
        {IcoSwapSST6, LabelLanguage, 5021, 3845, 4751, 4545},
    };
    for (const auto& cell : grid) {
        place(cell.icon, cell.iconLeft, cell.iconTop, 660, 660);
        place(cell.label, cell.labelLeft, cell.labelTop, 1200, 480);
    }

    // The navigation strips.
    for (int tab : {kTimersTab, kSetupTab, kRunExitTab}) {
        for (int shown = 0; shown < 4; ++shown) {
            const int slot = shown * kSlotWidth;
            place(SSTCfg->findChild<QWidget*>(QStringLiteral("LittleTool%1%2").arg(tab).arg(shown)),
                  slot + (kSlotWidth - kStripIcon) / 2, kStripIconTop, kStripIcon, kStripIcon);
            place(SSTCfg->findChild<QWidget*>(stripLabelName(shown, tab)), slot + 40,
                  kStripLabelTop, kSlotWidth - 80, 420);
        }
        place(SSTCfg->findChild<QWidget*>(toolsLinkName(tab)), 4 * kSlotWidth + 150, 4330,
              kSlotWidth - 300, 400);
    }
}

// Label11 and PreViewEnabled belong to the selection table, which creates
// them on the picture tab; they join the canvas there.
void ConfigurationPanel::placeSelectionTableParts() {
    QWidget* page = SSTCfg->widget(kPicturesTab);
    if (auto* unselect = page->findChild<QLabel*>(QStringLiteral("Label11"))) {
        if (unselect->parentWidget() != canvases_[kPicturesTab]) {
            unselect->setParent(canvases_[kPicturesTab]);
            unselect->show();
        }
        unselect->setProperty("clickable", true);
        place(unselect, 600, 3890, 3900, 300);
    }
    if (auto* preview = page->findChild<QCheckBox*>(QStringLiteral("PreViewEnabled"))) {
        if (preview->parentWidget() != canvases_[kPicturesTab]) {
            preview->setParent(canvases_[kPicturesTab]);
            preview->show();
        }
        place(preview, 200, 630, 300, 300);
    }
    if (auto* unavailable = page->findChild<QLabel*>(QStringLiteral("CatalogueUnavailable"))) {
        if (unavailable->parentWidget() != canvases_[kPicturesTab]) {
            const bool shown = unavailable->isVisibleTo(page);
            unavailable->setParent(canvases_[kPicturesTab]);
            unavailable->setVisible(shown);
        }
        place(unavailable, 400, 1600, 3900, 1300);
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
    if (checkIntervalBoxes) {
        checkIntervalBoxes();
    }
    const bool unsaved = state_.flagConfigChanged == 1;
    if (unsaved && resetShowTables) {
        resetShowTables();
    }
    SSTCfg_salvaConfig->setEnabled(unsaved);
    SSTCfg_salvaConfig2->setEnabled(unsaved);
}

void ConfigurationPanel::ShowTab(int tab) {
    SSTCfg->setCurrentIndex(tab);
}

// ---- Texts on the elements ------------------------------------------------------

void ConfigurationPanel::applyEnglishCaptions() {
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
        if (auto* link = SSTCfg->findChild<QLabel*>(stripLabelName(kSetupTab, tab))) {
            link->setText(PanelTexts::setupTitle(lingua));
        }
    }
    Connection->setText(PanelTexts::connectionCaption(lingua));
    LabelYourTown->setText(PanelTexts::townCaption(lingua));
    LabelLanguage->setText(Translations::in(lingua).translate("PanelTexts", "Language"));
    Box_Help_Setup->setPlainText(PanelTexts::setupHelpText(lingua));
}
