#include "ui/PanelLayout.h"

#include "platform/Twips.h"
#include "platform/Widgets.h"
#include "ui/ConfigurationPanel.h"

#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <array>

namespace PanelLayout {
namespace {

using platform::named;

// An icon is 660 twips square; its caption, 1200 by 480, starts 270 to the
// left of it and 40 below it, so that it stands centred under the icon.
const std::vector<Element> kFixedElements = {
    // Display timers: three settings, each a picture with its caption and
    // box; the help box at the right.
    {"TextDisplayTimers", kTimersTab, 300, 600, 4200, 360, Kind::Title},
    {"SSTCfg_Aggiorna", kTimersTab, 300, 1080, 600, 600, Kind::Picture},
    {"SSTCfg_Aggiorna2", kTimersTab, 1050, 1050, 2700, 300, Kind::Caption, {}, kLeft | kOneLine},
    {"SSTCfg_timeRefresh", kTimersTab, 1050, 1370, 800, 330, Kind::Field},
    {"textSeconds", kTimersTab, 1950, 1385, 1800, 300, Kind::Caption, {}, kLeft | kOneLine | kUnit},
    {"SSTCfg_Download", kTimersTab, 300, 1930, 600, 600, Kind::Picture},
    {"SSTCfg_Download2", kTimersTab, 1050, 1900, 2700, 300, Kind::Caption, {}, kLeft | kOneLine},
    {"SSTCfg_timeDwLoad", kTimersTab, 1050, 2220, 800, 330, Kind::Field},
    {"TextMinuts", kTimersTab, 1950, 2235, 1800, 300, Kind::Caption, {}, kLeft | kOneLine | kUnit},
    {"dyMode", kTimersTab, 300, 2780, 600, 600, Kind::Icon},
    {"dyMode2", kTimersTab, 1050, 2750, 2700, 300, Kind::Caption, {}, kLeft},
    // txtDisplay holds "Full_Screen" or "Normal"; txtDisplay2 shows it in
    // the current language.
    {"txtDisplay", kTimersTab, 1050, 3070, 2300, 330, Kind::Field, {}, kHidden},
    {"txtDisplay2", kTimersTab, 1050, 3070, 2300, 330, Kind::Field, {}, kReadOnly},
    {"helpTime", kTimersTab, 3900, 3260, 540, 540, Kind::Icon, "PanelHelp"},
    {"helpTime2", kTimersTab, 4530, 3380, 1800, 300, Kind::Caption, {}, kLeft},
    {"Box_Help_Display_Timer", kTimersTab, 3900, 1050, 2950, 2100, Kind::HelpBox},

    // Set-up: two actions and their explanation.
    {"TextSetup", kSetupTab, 300, 600, 4200, 360, Kind::Title},
    {"Cleanup", kSetupTab, 800, 1350, 660, 660, Kind::Icon},
    {"Cleanup2", kSetupTab, 530, 2050, 1200, 480, Kind::Caption},
    {"ConnectionIco", kSetupTab, 2300, 1350, 660, 660, Kind::Icon, "Connection"},
    {"Connection", kSetupTab, 2030, 2050, 1200, 480, Kind::Caption},
    {"Box_Help_Setup", kSetupTab, 3900, 1050, 2950, 2100, Kind::HelpBox},

    // Picture selection: the list at the left, the actions in a grid of two
    // columns at the right.
    {"TextPictureSelection", kPicturesTab, 520, 600, 4000, 360, Kind::Title},
    {"Tabella_Mappe_Selezionate", kPicturesTab, 200, 1000, 4300, 2800, Kind::List},
    // Beside Label11 only to explain it (through its tooltip and hover
    // text); Label11 does the unticking.
    {"ClearListDB", kPicturesTab, 200, 3875, 330, 330, Kind::Icon, {}, kArrowCursor},
    {"SSTCfg_BackUpcnf", kPicturesTab, 4750, 720, 660, 660, Kind::Icon},
    {"SSTCfg_Backupconf", kPicturesTab, 4480, 1420, 1200, 480, Kind::Caption},
    {"SSTCfg_Loadcnf", kPicturesTab, 5950, 720, 660, 660, Kind::Icon},
    {"SSTCfg_Loadconf", kPicturesTab, 5680, 1420, 1200, 480, Kind::Caption},
    // Shown while the catalogue loads.
    {"Wait_Ico", kPicturesTab, 5570, 860, 390, 390, Kind::Still, {}, kHidden},
    {"SSTCfg_FileUser", kPicturesTab, 4750, 1950, 660, 660, Kind::Icon},
    {"SSTCfg_FileUser2", kPicturesTab, 4480, 2650, 1200, 480, Kind::Caption},
    {"SSTCfg_resetUserImg", kPicturesTab, 5950, 1950, 660, 660, Kind::Icon},
    {"SSTCfg_resetUserImg2", kPicturesTab, 5680, 2650, 1200, 480, Kind::Caption},
    {"LabelOwnerImage", kPicturesTab, 200, 4300, 1100, 300, Kind::Caption, {}, kLeft | kUnit},
    {"SSTCfg_LblinserisciImg",
     kPicturesTab,
     1300,
     4300,
     3200,
     300,
     Kind::Caption,
     {},
     kLeft | kOneLine},
    {"helpImg", kPicturesTab, 4750, 3180, 660, 660, Kind::Icon, "PanelHelp"},
    {"helpImg2", kPicturesTab, 4480, 3880, 1200, 480, Kind::Caption},
    {"Image3", kPicturesTab, 5950, 3180, 660, 660, Kind::Icon, {}, 0, kToolsTab},
    {"TextTool2", kPicturesTab, 5680, 3880, 1200, 480, Kind::Caption, {}, 0, kToolsTab},
    // The selection table's tick box for the preview, its "untick all"
    // words and its notice over the list when the catalogue is unavailable.
    {"PreViewEnabled", kPicturesTab, 200, 630, 300, 300, Kind::Guest},
    {"Label11", kPicturesTab, 600, 3890, 3900, 300, Kind::Guest},
    {"CatalogueUnavailable", kPicturesTab, 400, 1600, 3900, 1300, Kind::Guest},

    // Run / exit: two rows of three actions, the save bar under them, the
    // help box at the right. The black-and-white icons stand in for start
    // and quit while a download cycle runs.
    {"TextRunExit", kRunExitTab, 300, 600, 4200, 360, Kind::Title},
    {"SSTCfg_cmdConferma", kRunExitTab, 520, 1080, 660, 660, Kind::Icon},
    {"SSTCfg_cmdConferma_BW",
     kRunExitTab,
     520,
     1080,
     660,
     660,
     Kind::Icon,
     {},
     kHidden | kArrowCursor},
    {"SSTCfg_cmdConferma2", kRunExitTab, 250, 1780, 1200, 480, Kind::Caption},
    {"SSTCfg_ExitProgram", kRunExitTab, 3120, 1080, 660, 660, Kind::Icon},
    {"SSTCfg_ExitProgram_BW", kRunExitTab, 3120, 1080, 660, 660, Kind::Icon, {}, kHidden},
    {"SSTCfg_ExitProgram2", kRunExitTab, 2850, 1780, 1200, 480, Kind::Caption},
    {"SSTCfg_salvaConfig", kRunExitTab, 1820, 1080, 660, 660, Kind::Icon},
    {"SSTCfg_salvaConfig2", kRunExitTab, 1550, 1780, 1200, 480, Kind::Caption},
    {"YourTownIco", kRunExitTab, 520, 2430, 660, 660, Kind::Icon},
    {"LabelYourTown", kRunExitTab, 250, 3130, 1200, 480, Kind::Caption},
    {"infoStatusBar", kRunExitTab, 1820, 2430, 660, 660, Kind::Icon},
    {"infoStatusBar2", kRunExitTab, 1550, 3130, 1200, 480, Kind::Caption},
    {"helpEsegui", kRunExitTab, 3120, 2430, 660, 660, Kind::Icon, "PanelHelp"},
    {"helpEsegui2", kRunExitTab, 2850, 3130, 1200, 480, Kind::Caption},
    {"BarSaveAllBG", kRunExitTab, 700, 3700, 2000, 150, Kind::Bar, {}, kHidden},
    {"BarSaveAllFG", kRunExitTab, 700, 3700, 1, 150, Kind::Bar, {}, kHidden},
    {"Box_Help_Run_Exit", kRunExitTab, 4250, 1050, 2650, 2650, Kind::HelpBox},

    // Tools - language: the tip at the left, the hub grid of two columns at
    // the right; its first four icons show the other tabs.
    {"TextTools", kToolsTab, 3480, 530, 3300, 300, Kind::Title, {}, kCentred},
    {"TextTool5", kToolsTab, 300, 650, 2800, 360, Kind::Title, {}, 0, kToolsTab},
    {"LeftTipText", kToolsTab, 234, 1521, 3000, 3300, Kind::HelpBox},
    {"IcoSwapSST0", kToolsTab, 3721, 845, 660, 660, Kind::Icon, {}, 0, kTimersTab},
    {"IcoSwapSST02", kToolsTab, 3451, 1545, 1200, 480, Kind::Caption, {}, 0, kTimersTab},
    {"IcoSwapSST1", kToolsTab, 5021, 845, 660, 660, Kind::Icon, {}, 0, kSetupTab},
    {"IcoSwapSST12", kToolsTab, 4751, 1545, 1200, 480, Kind::Caption, {}, 0, kSetupTab},
    {"IcoSwapSST2", kToolsTab, 3721, 2345, 660, 660, Kind::Icon, {}, 0, kPicturesTab},
    {"IcoSwapSST22", kToolsTab, 3451, 3045, 1200, 480, Kind::Caption, {}, 0, kPicturesTab},
    {"IcoSwapSST3", kToolsTab, 5021, 2345, 660, 660, Kind::Icon, {}, 0, kRunExitTab},
    {"IcoSwapSST32", kToolsTab, 4751, 3045, 1200, 480, Kind::Caption, {}, 0, kRunExitTab},
    {"RunTeamViewer", kToolsTab, 3721, 3845, 660, 660, Kind::Icon},
    {"IcoHelpTools2", kToolsTab, 3451, 4545, 1200, 480, Kind::Caption},
    {"IcoSwapSST6", kToolsTab, 5021, 3845, 660, 660, Kind::Icon},
    {"LabelLanguage", kToolsTab, 4751, 4545, 1200, 480, Kind::Caption},
};

// Each tab's picture fills it below the tab row.
void addBackgrounds(std::vector<Element>& table) {
    for (int tab = 0; tab < ConfigurationPanel::kTabCount; ++tab) {
        table.push_back({QStringLiteral("TabBackground%1").arg(tab), tab, 0,
                         ConfigurationPanel::kTabTop, ConfigurationPanel::kPanelWidth,
                         ConfigurationPanel::kBackgroundHeight, Kind::Background,
                         QStringLiteral("PanelTab%1").arg(tab)});
    }
}

// The navigation strip of the display-timers, set-up and run/exit tabs:
// five slots along the bottom, one per tab, the tools tab's as a link.
// LittleTool<on><shown> is the icon on tab `on` that shows tab `shown`.
void addNavigationStrip(std::vector<Element>& table, int tab) {
    constexpr int kSlotWidth = ConfigurationPanel::kPanelWidth / 5;
    constexpr int kStripIcon = 480;
    for (int shown = 0; shown < 4; ++shown) {
        const int slot = shown * kSlotWidth;
        const unsigned flags = kStrip | (shown == tab ? kCurrent : 0U);
        table.push_back({QStringLiteral("LittleTool%1%2").arg(tab).arg(shown), tab,
                         slot + (kSlotWidth - kStripIcon) / 2, 4080, kStripIcon, kStripIcon,
                         Kind::Icon, QStringLiteral("IcoSwapSST%1").arg(shown), flags, shown});
        table.push_back({stripLabelName(shown, tab), tab, slot + 40, 4590, kSlotWidth - 80, 420,
                         Kind::Caption, QString(), flags, shown});
    }
    table.push_back({toolsLinkName(tab), tab, 4 * kSlotWidth + 150, 4330, kSlotWidth - 300, 400,
                     Kind::Caption, QString(), kPill, kToolsTab});
}

std::vector<Element> buildTable() {
    std::vector<Element> table;
    addBackgrounds(table);
    table.insert(table.end(), kFixedElements.begin(), kFixedElements.end());
    for (int tab : {kTimersTab, kSetupTab, kRunExitTab}) {
        addNavigationStrip(table, tab);
    }
    return table;
}

QString pictureName(const Element& element) {
    return element.picture.isEmpty() ? element.name : element.picture;
}

QWidget* createIcon(const Element& element, QWidget* canvas) {
    auto* button = named<QPushButton>(canvas, element.name);
    button->setProperty("picture", pictureName(element));
    button->setIcon(QIcon(picture(pictureName(element))));
    button->setFlat(true);
    button->setCursor((element.flags & kArrowCursor) != 0 ? Qt::ArrowCursor
                                                          : Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    if ((element.flags & kStrip) != 0) {
        button->setProperty("current", (element.flags & kCurrent) != 0);
    }
    return button;
}

// Titles and captions; the style sheet tells them apart by their role.
QWidget* createWords(const Element& element, QWidget* canvas) {
    auto* words = named<QLabel>(canvas, element.name);
    const unsigned flags = element.flags;
    const bool title = element.kind == Kind::Title;
    const char* role = title                   ? "title"
                       : (flags & kUnit) != 0  ? "unit"
                       : (flags & kStrip) != 0 ? "strip"
                       : (flags & kPill) != 0  ? "pill"
                                               : "caption";
    words->setProperty("role", QLatin1String(role));
    if ((flags & kStrip) != 0) {
        words->setProperty("current", (flags & kCurrent) != 0);
    }
    Qt::Alignment alignment = Qt::AlignHCenter | Qt::AlignTop;
    if ((flags & kCentred) != 0 || (flags & kPill) != 0) {
        alignment = Qt::AlignCenter;
    } else if (title || (flags & kLeft) != 0) {
        alignment = Qt::AlignLeft | Qt::AlignVCenter;
    }
    words->setAlignment(alignment);
    words->setWordWrap(!title && (flags & kOneLine) == 0);
    return words;
}

// A picture scaled to its label; a Picture also names it for the hover help
// and shows the hand, as a click on it focuses its box.
QWidget* createPicture(const Element& element, QWidget* canvas) {
    auto* label = named<QLabel>(canvas, element.name);
    if (element.kind == Kind::Picture) {
        label->setProperty("picture", pictureName(element));
        label->setCursor(Qt::PointingHandCursor);
    }
    label->setPixmap(picture(pictureName(element)));
    label->setScaledContents(true);
    return label;
}

QWidget* createField(const Element& element, QWidget* canvas) {
    auto* field = named<QLineEdit>(canvas, element.name);
    if ((element.flags & kReadOnly) != 0) {
        field->setReadOnly(true);
        field->setFocusPolicy(Qt::NoFocus);
    }
    return field;
}

QWidget* createHelpBox(const Element& element, QWidget* canvas) {
    auto* box = named<QPlainTextEdit>(canvas, element.name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setTextInteractionFlags(Qt::NoTextInteraction);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->viewport()->setCursor(Qt::ArrowCursor);
    return box;
}

QWidget* createWidget(const Element& element, QWidget* canvas) {
    switch (element.kind) {
    case Kind::Background:
    case Kind::Picture:
    case Kind::Still:
        return createPicture(element, canvas);
    case Kind::Title:
    case Kind::Caption:
        return createWords(element, canvas);
    case Kind::Icon:
        return createIcon(element, canvas);
    case Kind::Field:
        return createField(element, canvas);
    case Kind::HelpBox:
        return createHelpBox(element, canvas);
    case Kind::List:
        return named<QListWidget>(canvas, element.name);
    case Kind::Bar:
        return named<QFrame>(canvas, element.name);
    case Kind::Guest:
        break;
    }
    return nullptr;
}

} // namespace

const std::vector<Element>& elements() {
    static const std::vector<Element> table = buildTable();
    return table;
}

const Element* find(const QString& name) {
    for (const Element& element : elements()) {
        if (element.name == name) {
            return &element;
        }
    }
    return nullptr;
}

QString stripLabelName(int shownTab, int onTab) {
    static const std::array<const char*, 4> prefixes{"TextDisplayTimers", "TextSetup",
                                                     "TextPictureSelection", "TextRunExit"};
    return QLatin1String(prefixes[static_cast<std::size_t>(shownTab)]) + QString::number(onTab);
}

QString toolsLinkName(int onTab) {
    // The display-timers tab's link carries the number 4: the numbers 1 to 3
    // name the tab the link sits on, and 5 is the tools tab's own title.
    return QStringLiteral("TextTool%1").arg(onTab == kTimersTab ? 4 : onTab);
}

QPixmap picture(const QString& name) {
    return QPixmap(QStringLiteral(":/pictures/%1.png").arg(name));
}

QWidget* create(const Element& element, QWidget* canvas) {
    QWidget* widget = createWidget(element, canvas);
    if (widget != nullptr && (element.flags & kHidden) != 0) {
        widget->hide();
    }
    return widget;
}

void place(QWidget* widget, const Element& element) {
    if (widget == nullptr) {
        return;
    }
    platform::setGeometryTwips(widget, element.left, element.top, element.width, element.height);
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setIconSize(button->size());
    } else if (auto* label = qobject_cast<QLabel*>(widget); label && label->hasScaledContents()) {
        label->setPixmap(label->pixmap());
    }
    if (element.kind == Kind::Background) {
        widget->lower();
    }
}

} // namespace PanelLayout
