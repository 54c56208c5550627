#include "settings/LanguageChoice.h"

#include "platform/Environment.h"
#include "platform/Timing.h"
#include "platform/Twips.h"
#include "platform/Widgets.h"
#include "settings/SettingsFormat.h"
#include "state/RunState.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

using platform::named;

namespace {

constexpr int kWaitStepMs = 200;
constexpr int kOffsetFromPanelTwips = 250;
constexpr int kFrameWidthTwips = 3300;
constexpr int kFrameHeightTwips = 2400;

// Light blue (red 192, green 192, blue 255), bold 10.5-point Verdana.
const char kFrameStyle[] =
    "QFrame#Frame_Select_Language { background-color: #c0c0ff; border: 1px solid #0d1f3c; }"
    "QLabel, QRadioButton { color: #0d1f3c; background: transparent;"
    " font-family: Verdana; font-size: 10.5pt; font-weight: bold; }"
    "QRadioButton::indicator { width: 10px; height: 10px; border: 1px solid #0d1f3c;"
    " border-radius: 6px; background-color: #ffffff; }"
    "QRadioButton::indicator:checked { background-color: #0d1f3c; }";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

QByteArray formatLanguageFile(int16_t lingua) {
    const QByteArray digits = QByteArray::number(lingua);
    return lingua < 0 ? digits : ' ' + digits;
}

std::optional<int16_t> parseLanguageFile(const QByteArray& bytes) {
    const auto end = bytes.cend();
    auto at = std::find_if_not(bytes.cbegin(), end, isBlank);
    const bool negative = at != end && *at == '-';
    if (at != end && (*at == '-' || *at == '+')) {
        ++at;
    }
    const auto digitsEnd = std::find_if(at, end, [](char c) { return c < '0' || c > '9'; });
    if (digitsEnd == at) {
        return std::nullopt;
    }
    int value = 0;
    for (; at != digitsEnd; ++at) {
        value = value * 10 + (*at - '0');
        if (value > std::numeric_limits<int16_t>::max() + 1) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int16_t>(value);
}

LanguageChoice::LanguageChoice(RunState& state, QFrame* Frame_Select_Language, QObject* parent)
    : QObject(parent), state_(state), frame_(Frame_Select_Language) {
    createControls();
}

void LanguageChoice::createControls() {
    frame_->setStyleSheet(QLatin1String(kFrameStyle));
    frame_->setToolTip(QStringLiteral("Click on your Language to continue"));
    const QRect at = platform::geometryTwips(frame_);
    platform::setGeometryTwips(frame_, at.x(), at.y(), kFrameWidthTwips, kFrameHeightTwips);

    auto* layout = new QVBoxLayout(frame_);
    layout->setContentsMargins(14, 8, 14, 10);
    layout->setSpacing(6);
    Frame_Select_LanguageCaption =
        named<QLabel>(frame_, QStringLiteral("Frame_Select_LanguageCaption"));
    Frame_Select_LanguageCaption->setText(QStringLiteral("Select Language"));
    layout->addWidget(Frame_Select_LanguageCaption);

    const auto option = [this, layout](const char* name, const QString& caption) {
        auto* button = named<QRadioButton>(frame_, QLatin1String(name));
        button->setText(caption);
        layout->addWidget(button);
        return button;
    };
    English_01 = option("English_01", QStringLiteral("English"));
    Italian_02 = option("Italian_02", QStringLiteral("Italiano"));
    French_03 = option("French_03", QStringLiteral("French"));
    Spanish_04 = option("Spanish_04", QStringLiteral("Español"));
    Default_Language = option("Default_Language", QStringLiteral("Invisible-Default"));
    Default_Language->hide();
    Default_Language->setChecked(true);
    layout->addStretch();

    connect(English_01, &QRadioButton::clicked, this, &LanguageChoice::English_01_Click);
    connect(Italian_02, &QRadioButton::clicked, this, &LanguageChoice::Italian_02_Click);
    connect(French_03, &QRadioButton::clicked, this, &LanguageChoice::French_03_Click);
    connect(Spanish_04, &QRadioButton::clicked, this, &LanguageChoice::Spanish_04_Click);
}

QString LanguageChoice::languageFilePath() const {
    return state_.WORK_PATH_FILE_LIST + QLatin1String(kLanguageFileName);
}

std::optional<int16_t> LanguageChoice::storedLanguage() const {
    const std::optional<QByteArray> bytes = readSmallFile(languageFilePath());
    return bytes ? parseLanguageFile(*bytes) : std::nullopt;
}

// An empty or unreadable file is no choice: asking beats running without captions.
void LanguageChoice::LoadLanguage() {
    if (!storedLanguage()) {
        AskLanguage();
    }
    ReadLanguageFile();
    emit languageLoaded();
    state_.helpFile = platform::programDataFile(state_.appPath, QStringLiteral("Skyglance.html"));
}

void LanguageChoice::placeFrame() {
    const QRect size = platform::geometryTwips(frame_);
    const QWidget* parent = frame_->parentWidget();
    const int parentWidth = parent ? parent->width() * platform::kTwipsPerPixel : size.width();
    const int parentHeight = parent ? parent->height() * platform::kTwipsPerPixel : size.height();
    int left = (parentWidth - size.width()) / 2;
    int top = (parentHeight - size.height()) / 2;
    if (!SSTCfg.isNull() && SSTCfg->parentWidget() == parent) {
        const QRect panel = platform::geometryTwips(SSTCfg);
        left = panel.x() - kOffsetFromPanelTwips;
        top = panel.y() - kOffsetFromPanelTwips;
    }
    // Never outside the window, whatever the panel's place.
    left = std::clamp(left, 0, std::max(0, parentWidth - size.width()));
    top = std::clamp(top, 0, std::max(0, parentHeight - size.height()));
    platform::setGeometryTwips(frame_, left, top, size.width(), size.height());
}

bool LanguageChoice::waitIsOver() const {
    return state_.Lingua != kNoLanguage || frame_.isNull() || state_.ExitToProgram == kTrue;
}

void LanguageChoice::AskLanguage() {
    placeFrame();
    frame_->show();
    frame_->raise();
    if (QWidget* window = frame_->window(); window != frame_ && !window->isVisible()) {
        window->show();
    }
    while (!waitIsOver()) {
        platform::pauseLettingEventsRun(kWaitStepMs);
    }
    if (!frame_.isNull()) {
        frame_->hide();
    }
    if (state_.Lingua != kNoLanguage) {
        WriteLanguageFile();
    }
}

bool LanguageChoice::WriteLanguageFile() {
    return writeFileAtomically(languageFilePath(), formatLanguageFile(state_.Lingua));
}

bool LanguageChoice::ReadLanguageFile() {
    const std::optional<int16_t> lingua = storedLanguage();
    if (lingua) {
        state_.Lingua = *lingua;
    }
    return lingua.has_value();
}

void LanguageChoice::English_01_Click() {
    state_.Lingua = 1;
}

void LanguageChoice::Italian_02_Click() {
    state_.Lingua = 2;
}

void LanguageChoice::French_03_Click() {
    state_.Lingua = 3;
}

void LanguageChoice::Spanish_04_Click() {
    state_.Lingua = 4;
}

void LanguageChoice::IcoSwapSST6_Click() {
    Default_Language->setChecked(true);
    state_.Lingua = kNoLanguage;
    AskLanguage();
    LoadLanguage();
}

void LanguageChoice::LabelLanguage_Click() {
    IcoSwapSST6_Click();
}
