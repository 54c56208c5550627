#include "settings/HomeTown.h"

#include "platform/Dialogs.h"
#include "platform/Twips.h"
#include "platform/Widgets.h"
#include "settings/SettingsFormat.h"
#include "state/RunState.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

using platform::named;

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

// Large enough for fourteen labelled boxes in two columns at the default
// font, small enough for a 1280x720 screen.
constexpr int kFrameWidthTwips = 9900;
constexpr int kFrameHeightTwips = 4500;
constexpr int kSiteRows = 6;

const char* const kDefaults[kTownParamCount] = {
    "Courmayeur", "New+York", "ny",      "us",      "Naples",  "Italy",   "OPTION1",
    "OPTION2",    "OPTION3",  "OPTION4", "OPTION5", "OPTION6", "OPTION7", "OPTION8"};

const char* const kSiteLabels[kSiteRows] = {"Your Town (site 1)",  "Your Place (site 2)",
                                            "Your State (site 2)", "Your Country (site 2)",
                                            "Your Place (site 3)", "Your Country (site 3)"};

const char kCaption[] =
    "Town - Place - State - Country   File Skyglance4_Work\\Skyglance4_MyTown.dat";
const char kReadError[] = "Error FileTown - Cleanup Please";

// The colours of the status bar, so the frame reads as part of the program.
const char kFrameStyle[] = "QFrame#FormYourTown { background-color: #0d1f3c;"
                           " border: 1px solid #dce8f5; }"
                           "QLabel, QRadioButton { color: #dce8f5; background: transparent; }"
                           "QLabel#FormYourTownCaption { color: #ffffff; font-weight: bold; }"
                           "QRadioButton::indicator { width: 10px; height: 10px;"
                           " border: 1px solid #dce8f5; border-radius: 6px;"
                           " background-color: #0d1f3c; }"
                           "QRadioButton::indicator:checked { background-color: #ffffff; }"
                           "QLineEdit { background-color: #ffffff; color: #0d1f3c;"
                           " border: 1px solid #7d93e6; padding: 1px 3px; }";

bool isTextByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x20 || c == '\t' || c == '\r' || c == '\n';
}

QString paramLabel(int index) {
    if (index < kSiteRows) {
        return QLatin1String(kSiteLabels[index]);
    }
    return QStringLiteral("Your OPTION%1").arg(index - kSiteRows + 1);
}

} // namespace

TownValues defaultTownValues() {
    TownValues values;
    for (int i = 0; i < kTownParamCount; ++i) {
        values.params[i] = QLatin1String(kDefaults[i]);
    }
    values.fahrenheit = true;
    return values;
}

QByteArray formatTownFile(const TownValues& values) {
    QByteArray out;
    for (const QString& value : values.params) {
        out += value.toUtf8() + kLineEnd;
    }
    out += (values.fahrenheit ? QByteArrayLiteral("F") : QByteArrayLiteral("C")) + kLineEnd;
    for (int i = 0; i < 3; ++i) {
        out += ' ' + kLineEnd;
    }
    return out;
}

TownFileRead parseTownFile(const QByteArray& bytes) {
    TownFileRead read;
    if (!std::all_of(bytes.cbegin(), bytes.cend(), isTextByte)) {
        read.text = false;
        return read;
    }
    const QStringList lines = splitIntoLines(bytes);
    read.params = lines.mid(0, kTownParamCount);
    if (lines.size() > kTownParamCount) {
        read.fahrenheit = lines.at(kTownParamCount) == QLatin1String("F");
    }
    return read;
}

TownValues completedTownValues(const TownFileRead& read) {
    TownValues values = defaultTownValues();
    for (qsizetype i = 0; i < read.params.size() && i < kTownParamCount; ++i) {
        values.params[static_cast<size_t>(i)] = read.params.at(i);
    }
    values.fahrenheit = read.fahrenheit.value_or(values.fahrenheit);
    return values;
}

HomeTown::HomeTown(RunState& state, platform::Dialogs& dialogs, QFrame* FormYourTown,
                   QObject* parent)
    : QObject(parent), state_(state), dialogs_(dialogs), frame_(FormYourTown) {
    createControls();
    applyDefaults();
}

void HomeTown::createControls() {
    frame_->setStyleSheet(QLatin1String(kFrameStyle));
    const QRect at = platform::geometryTwips(frame_);
    platform::setGeometryTwips(frame_, at.x(), at.y(), kFrameWidthTwips, kFrameHeightTwips);

    auto* outer = new QVBoxLayout(frame_);
    outer->setContentsMargins(12, 10, 12, 10);
    outer->setSpacing(8);

    FormYourTownCaption = named<QLabel>(frame_, QStringLiteral("FormYourTownCaption"));
    FormYourTownCaption->setText(QLatin1String(kCaption));
    outer->addWidget(FormYourTownCaption);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    // Column 2 only keeps the two halves apart.
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    grid->setColumnMinimumWidth(2, 8);
    for (int i = 0; i < kTownParamCount; ++i) {
        PARAM[i] = named<QLineEdit>(frame_, QStringLiteral("PARAM%1").arg(i));
        lblParam[i] = named<QLabel>(frame_, QStringLiteral("lblParam%1").arg(i));
        lblParam[i]->setText(paramLabel(i));
        lblParam[i]->setBuddy(PARAM[i]);
        const bool site = i < kSiteRows;
        const int row = site ? i : i - kSiteRows;
        const int column = site ? 0 : 3;
        grid->addWidget(lblParam[i], row, column);
        grid->addWidget(PARAM[i], row, column + 1);
    }
    PARAM[1]->setToolTip(QStringLiteral("A blank is written as +"));

    Centigradi = named<QRadioButton>(frame_, QStringLiteral("Centigradi"));
    Centigradi->setText(QStringLiteral("Centigradi"));
    Farenaith = named<QRadioButton>(frame_, QStringLiteral("Farenaith"));
    Farenaith->setText(QStringLiteral("Farenaith"));
    auto* unitLabel = named<QLabel>(frame_, QStringLiteral("lblUnit"));
    unitLabel->setText(QStringLiteral("Temperature"));
    auto* units = new QHBoxLayout;
    units->addWidget(Centigradi);
    units->addSpacing(12);
    units->addWidget(Farenaith);
    units->addStretch();
    grid->addWidget(unitLabel, kTownParamCount - kSiteRows - 1, 0);
    grid->addLayout(units, kTownParamCount - kSiteRows - 1, 1);
    outer->addLayout(grid);
    outer->addStretch();

    OkYourTown = named<QPushButton>(frame_, QStringLiteral("OkYourTown"));
    OkYourTown->setText(QStringLiteral("OK"));
    OkYourTown->setMinimumWidth(90);
    OkYourTown->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkYourTown);
    outer->addLayout(buttons);

    connect(OkYourTown, &QPushButton::clicked, this, &HomeTown::OkYourTown_Click);
    for (QLineEdit* box : PARAM) {
        connect(box, &QLineEdit::returnPressed, this, &HomeTown::OkYourTown_Click);
    }
}

void HomeTown::applyDefaults() {
    const TownValues defaults = defaultTownValues();
    for (int i = 0; i < kTownParamCount; ++i) {
        PARAM[i]->setText(defaults.params[i]);
    }
    showUnit(defaults.fahrenheit);
}

QString HomeTown::townFilePath() const {
    return state_.WORK_PATH_FILE_LIST + QLatin1String(kTownFileName);
}

QString HomeTown::param(int index) const {
    if (index < 0 || index >= kTownParamCount) {
        return {};
    }
    return PARAM[index]->text();
}

void HomeTown::showUnit(bool fahrenheit) {
    Farenaith->setChecked(fahrenheit);
    Centigradi->setChecked(!fahrenheit);
}

void HomeTown::showReadError() {
    dialogs_.message(QLatin1String(kReadError), QStringLiteral("Skyglance"));
}

TownValues HomeTown::boxValues() const {
    TownValues values;
    for (int i = 0; i < kTownParamCount; ++i) {
        values.params[i] = PARAM[i]->text();
    }
    values.fahrenheit = Farenaith->isChecked();
    return values;
}

void HomeTown::LoadTown() {
    if (QFileInfo::exists(townFilePath())) {
        ReadTownFile();
        return;
    }
    WriteDefaultTownFile();
    ReadTownFile();
    WriteTownFile();
}

void HomeTown::showValues(const TownValues& values) {
    for (int i = 0; i < kTownParamCount; ++i) {
        PARAM[i]->setText(values.params[i]);
    }
    showUnit(values.fahrenheit);
}

bool HomeTown::ReadTownFile() {
    const std::optional<QByteArray> bytes = readSmallFile(townFilePath());
    const TownFileRead read = bytes ? parseTownFile(*bytes) : TownFileRead{};
    if (!bytes || !read.text) {
        // Not ours to overwrite: the boxes keep their values.
        showReadError();
        return false;
    }
    if (read.complete()) {
        showValues(completedTownValues(read));
        return true;
    }
    // A short file would be asked about at every start on a screen nobody
    // watches: what it holds stays, the rest comes from the defaults.
    showValues(completedTownValues(read));
    const bool saved = WriteTownFile();
    std::fprintf(stderr, "skyglance: %s had %d of %d lines; completed from the defaults%s\n",
                 qPrintable(townFilePath()), static_cast<int>(read.params.size()),
                 kTownParamCount + 1, saved ? " and saved" : " (not saved)");
    return true;
}

bool HomeTown::WriteTownFile() {
    return writeFileAtomically(townFilePath(), formatTownFile(boxValues()));
}

bool HomeTown::WriteDefaultTownFile() {
    return writeFileAtomically(townFilePath(), formatTownFile(defaultTownValues()));
}

void HomeTown::OkYourTown_Click() {
    frame_->hide();
    if (!WriteTownFile()) {
        showReadError();
    }
}

void HomeTown::ShowTownFrame() {
    const QRect size = platform::geometryTwips(frame_);
    int left = 0;
    int top = 0;
    if (const QWidget* window = frame_->parentWidget()) {
        const int windowWidth = window->width() * platform::kTwipsPerPixel;
        const int windowHeight = window->height() * platform::kTwipsPerPixel;
        left = std::max(0, (windowWidth - size.width()) / 2);
        top = std::max(0, (windowHeight - size.height()) / 2);
    }
    platform::setGeometryTwips(frame_, left, top, size.width(), size.height());
    frame_->show();
    frame_->raise();
    PARAM[0]->setFocus(Qt::OtherFocusReason);
    PARAM[0]->selectAll();
}
