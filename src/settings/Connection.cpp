#include "settings/Connection.h"

#include "platform/Dialogs.h"
#include "platform/SafeFiles.h"
#include "platform/Timing.h"
#include "platform/Twips.h"
#include "platform/Widgets.h"
#include "settings/SettingsFormat.h"
#include "state/RunState.h"
#include "ui/LanguageTables.h"
#include "ui/Translations.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

using platform::named;

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");
constexpr int kProxyFileLines = 5;
constexpr int kWaitStepMs = 200;

// Room for the two options and four labelled boxes at the default font,
// small enough for a 1280x720 screen.
constexpr int kFrameWidthTwips = 8100;
constexpr int kFrameHeightTwips = 3750;

const char kDesignNoProxyCaption[] = "Connect to Internet through Adsl, Wi-Fi, Modem";
const char kDesignProxyCaption[] = "Connect to Internet through Proxy Server - Lan";

// The colours of the status bar, so the frame reads as part of the program.
const char kFrameStyle[] =
    "QFrame#Frame_Select_Connection { background-color: #0d1f3c;"
    " border: 1px solid #dce8f5; }"
    "QLabel, QRadioButton { color: #dce8f5; background: transparent; }"
    "QLabel:disabled { color: #6f7f99; }"
    "QLabel#Frame_Select_ConnectionCaption { color: #ffffff; font-weight: bold; }"
    "QRadioButton::indicator { width: 10px; height: 10px;"
    " border: 1px solid #dce8f5; border-radius: 6px; background-color: #0d1f3c; }"
    "QRadioButton::indicator:checked { background-color: #ffffff; }"
    "QLineEdit { background-color: #ffffff; color: #0d1f3c;"
    " border: 1px solid #7d93e6; padding: 1px 3px; }"
    "QLineEdit:disabled { background-color: #33415c; color: #9aa7bd; }"
    "QPushButton { background-color: #dce8f5; color: #0d1f3c; border: 1px solid #7d93e6;"
    " padding: 3px 10px; }"
    "QPushButton:default { background-color: #ffffff; font-weight: bold; }";

bool isLineBreakOrNul(char32_t code) {
    return code == U'\r' || code == U'\n' || code == 0;
}

bool knownLanguage(int lingua) {
    return Translations::isLanguage(lingua);
}

// The proxy file holds a password: only its owner may read it.
bool writeOwnerOnlyFile(const QString& path, const QByteArray& bytes) {
    return platform::WriteFileReplacing(path, bytes, true, 0600);
}

QList<QByteArray> rawLines(const QByteArray& bytes, int count) {
    QList<QByteArray> lines = bytes.split('\n').mid(0, count);
    for (QByteArray& line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    while (lines.size() < count) {
        lines.append(QByteArray());
    }
    return lines;
}

QString textLine(const QByteArray& line) {
    return splitIntoLines(line).value(0);
}

} // namespace

QString TransformPassword(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        if (c.unicode() <= 0xFF) {
            c = QChar(static_cast<char16_t>(0xFF - c.unicode()));
        }
    }
    return out;
}

std::optional<QString> unstorablePasswordChar(const QString& password) {
    for (const char32_t code : password.toUcs4()) {
        if (code > 0xFF || isLineBreakOrNul(0xFF - code)) {
            return QString::fromUcs4(&code, 1);
        }
    }
    return std::nullopt;
}

QByteArray formatProxyFile(const platform::ProxySetting& setting) {
    const platform::ProxySetting values = setting.enabled ? setting : platform::ProxySetting{};
    QByteArray out;
    out += values.address.toUtf8() + kLineEnd;
    out += values.port.toUtf8() + kLineEnd;
    out += values.userName.toUtf8() + kLineEnd;
    out += TransformPassword(values.password).toLatin1() + kLineEnd;
    out += (setting.enabled ? QByteArrayLiteral("1") : QByteArrayLiteral("0")) + kLineEnd;
    return out;
}

platform::ProxySetting parseProxyFile(const QByteArray& bytes) {
    const QList<QByteArray> lines = rawLines(bytes, kProxyFileLines);
    platform::ProxySetting setting;
    setting.address = textLine(lines[0]);
    setting.port = textLine(lines[1]);
    setting.userName = textLine(lines[2]);
    // Not trimmed: a blank there is a transformed character of the password.
    setting.password = TransformPassword(QString::fromLatin1(lines[3]));
    setting.enabled = textLine(lines[4]) == QLatin1String("1");
    return setting;
}

QString passwordRefusedText(const QString& character, int lingua) {
    return Translations::in(lingua)
        .translate("Connection",
                   "The proxy password contains the character \"%1\", which cannot be saved.\n"
                   "Please choose another password.")
        .arg(character);
}

Connection::Connection(RunState& state, platform::Dialogs& dialogs, QFrame* Frame_Select_Connection,
                       QObject* parent)
    : QObject(parent), state_(state), dialogs_(dialogs), frame_(Frame_Select_Connection) {
    createControls();
}

void Connection::createControls() {
    frame_->setStyleSheet(QLatin1String(kFrameStyle));
    frame_->setToolTip(QStringLiteral("Click on your onnection to continue"));
    const QRect at = platform::geometryTwips(frame_);
    platform::setGeometryTwips(frame_, at.x(), at.y(), kFrameWidthTwips, kFrameHeightTwips);

    auto* outer = new QVBoxLayout(frame_);
    outer->setContentsMargins(14, 10, 14, 12);
    outer->setSpacing(6);

    Frame_Select_ConnectionCaption =
        named<QLabel>(frame_, QStringLiteral("Frame_Select_ConnectionCaption"));
    Frame_Select_ConnectionCaption->setText(QStringLiteral("Connection"));
    outer->addWidget(Frame_Select_ConnectionCaption);

    No_Proxy = named<QRadioButton>(frame_, QStringLiteral("No_Proxy"));
    Proxy = named<QRadioButton>(frame_, QStringLiteral("Proxy"));
    outer->addWidget(No_Proxy);
    outer->addWidget(Proxy);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(22, 2, 0, 4);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    grid->setColumnStretch(1, 1);
    const std::array<std::pair<const char*, const char*>, 4> boxes = {
        {{"Proxy_Address", "Address"},
         {"Proxy_Port", "Port"},
         {"Proxy_Username", "User"},
         {"Proxy_Password", "Password"}}};
    std::array<QLineEdit*, 4> edits{};
    for (size_t i = 0; i < boxes.size(); ++i) {
        edits[i] = named<QLineEdit>(frame_, QLatin1String(boxes[i].first));
        auto* label = named<QLabel>(frame_, QLatin1String(boxes[i].first) + QLatin1String("Label"));
        label->setText(QLatin1String(boxes[i].second));
        label->setBuddy(edits[i]);
        grid->addWidget(label, static_cast<int>(i), 0);
        grid->addWidget(edits[i], static_cast<int>(i), 1);
    }
    Proxy_Address = edits[0];
    Proxy_Port = edits[1];
    Proxy_Username = edits[2];
    Proxy_Password = edits[3];
    Proxy_Address->setText(QStringLiteral("proxy.yourcompany.com"));
    Proxy_Port->setText(QStringLiteral("80"));
    Proxy_Port->setMaxLength(5);
    Proxy_Username->setText(QStringLiteral("username"));
    Proxy_Password->setText(QStringLiteral("password"));
    Proxy_Password->setEchoMode(QLineEdit::Password);
    outer->addLayout(grid);
    outer->addStretch();

    TestReadProxy = named<QPushButton>(frame_, QStringLiteral("TestReadProxy"));
    TestReadProxy->setText(QStringLiteral("Test Read Proxy"));
    Connection_Selected = named<QPushButton>(frame_, QStringLiteral("Connection_Selected"));
    Connection_Selected->setText(QStringLiteral("OK - GO!"));
    Connection_Selected->setMinimumWidth(100);
    Connection_Selected->setDefault(true);
    Connection_Selected->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(TestReadProxy);
    buttons->addStretch();
    buttons->addWidget(Connection_Selected);
    outer->addLayout(buttons);

    No_Proxy->setText(QLatin1String(kDesignNoProxyCaption));
    Proxy->setText(QLatin1String(kDesignProxyCaption));

    connect(No_Proxy, &QRadioButton::clicked, this, &Connection::No_Proxy_Click);
    connect(Proxy, &QRadioButton::clicked, this, &Connection::Proxy_Click);
    connect(Connection_Selected, &QPushButton::clicked, this,
            &Connection::Connection_Selected_Click);
    connect(TestReadProxy, &QPushButton::clicked, this, &Connection::TestReadProxy_Click);
}

QString Connection::proxyFilePath() const {
    return state_.WORK_PATH_FILE_LIST + QLatin1String(kProxyFileName);
}

QString Connection::proxyBackupPath() const {
    return state_.WORK_PATH_FILE_LIST + QLatin1String(kProxyBackupFileName);
}

void Connection::CheckConnectionSettings() {
    if (!QFileInfo::exists(proxyFilePath()) || !ReadProxyFile()) {
        ReadProxyBackup();
        AskConnectionType();
    }
    ApplyConnectionSettings();
}

bool Connection::readInto(const QString& path) {
    const std::optional<QByteArray> bytes = readSmallFile(path);
    if (!bytes) {
        return false;
    }
    const platform::ProxySetting setting = parseProxyFile(*bytes);
    Proxy_Address->setText(setting.address);
    Proxy_Port->setText(setting.port);
    Proxy_Username->setText(setting.userName);
    Proxy_Password->setText(setting.password);
    if (setting.enabled) {
        Proxy->setChecked(true);
        Proxy_Click();
    } else {
        No_Proxy->setChecked(true);
        No_Proxy_Click();
    }
    return true;
}

bool Connection::ReadProxyFile() {
    return readInto(proxyFilePath());
}

bool Connection::ReadProxyBackup() {
    return QFileInfo::exists(proxyBackupPath()) && readInto(proxyBackupPath());
}

bool Connection::WriteProxyFile() {
    return writeOwnerOnlyFile(proxyFilePath(), formatProxyFile(currentSetting()));
}

bool Connection::WriteProxyBackup() {
    return writeOwnerOnlyFile(proxyBackupPath(), formatProxyFile(currentSetting()));
}

platform::ProxySetting Connection::currentSetting() const {
    if (Proxy_Enabled == kFalse) {
        return {};
    }
    return {true, Proxy_Address->text(), Proxy_Port->text(), Proxy_Username->text(),
            Proxy_Password->text()};
}

void Connection::showCaptionsForLanguage() {
    if (!knownLanguage(state_.Lingua)) {
        return;
    }
    const Translations::Language language = Translations::in(state_.Lingua);
    No_Proxy->setText(
        language.translate("Connection", "Internet Connection: Adsl, Wi-Fi, Modem, Lan"));
    Proxy->setText(language.translate("Connection", "Internet Connection: Proxy Server"));
}

void Connection::centreFrame() {
    const QRect size = platform::geometryTwips(frame_);
    int left = 0;
    int top = 0;
    if (const QWidget* window = frame_->parentWidget()) {
        left = std::max(0, (window->width() * platform::kTwipsPerPixel - size.width()) / 2);
        top = std::max(0, (window->height() * platform::kTwipsPerPixel - size.height()) / 2);
    }
    platform::setGeometryTwips(frame_, left, top, size.width(), size.height());
}

// The program may end while the frame waits (the exit button of the start).
bool Connection::waitIsOver() const {
    return Wait_Type_Connection != kFalse || frame_.isNull() || state_.ExitToProgram == kTrue;
}

void Connection::AskConnectionType() {
    centreFrame();
    showCaptionsForLanguage();
    frame_->show();
    Wait_Type_Connection = kFalse;
    platform::pauseLettingEventsRun(kWaitStepMs);
    while (!waitIsOver()) {
        frame_->raise();
        frame_->show();
        emit frameRaised();
        platform::pauseLettingEventsRun(kWaitStepMs);
    }
    if (!frame_.isNull()) {
        frame_->hide();
    }
}

bool Connection::passwordRefused() {
    if (Proxy_Enabled == kFalse) {
        return false;
    }
    const std::optional<QString> bad = unstorablePasswordChar(Proxy_Password->text());
    if (!bad) {
        return false;
    }
    const int lingua = knownLanguage(state_.Lingua) ? state_.Lingua : LanguageTables::kEnglish;
    dialogs_.message(passwordRefusedText(*bad, lingua), LanguageTables::warningTitle(lingua),
                     platform::Dialogs::Icon::Warning);
    return true;
}

bool Connection::ApplyConnectionSettings() {
    emit proxyApplied(currentSetting());
    Wait_Type_Connection = kTrue;
    if (passwordRefused()) {
        return false;
    }
    const bool fileWritten = WriteProxyFile();
    return WriteProxyBackup() && fileWritten;
}

void Connection::setProxyBoxesEnabled(bool enabled) {
    for (QLineEdit* box : {Proxy_Address, Proxy_Port, Proxy_Username, Proxy_Password}) {
        box->setEnabled(enabled);
        if (QWidget* label =
                frame_->findChild<QLabel*>(box->objectName() + QLatin1String("Label"))) {
            label->setEnabled(enabled);
        }
    }
}

void Connection::No_Proxy_Click() {
    setProxyBoxesEnabled(false);
    Connection_Selected->show();
    Proxy_Enabled = kFalse;
}

void Connection::Proxy_Click() {
    setProxyBoxesEnabled(true);
    Connection_Selected->show();
    Proxy_Enabled = kTrue;
}

void Connection::Connection_Selected_Click() {
    if (passwordRefused()) {
        Proxy_Password->setFocus(Qt::OtherFocusReason);
        Proxy_Password->selectAll();
        return;
    }
    frame_->hide();
    Wait_Type_Connection = kTrue;
}

void Connection::Connection_Click() {
    ReadProxyFile();
    AskConnectionType();
    ApplyConnectionSettings();
}

void Connection::TestReadProxy_Click() {
    ReadProxyFile();
}
