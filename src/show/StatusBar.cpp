#include "show/StatusBar.h"

#include "platform/Twips.h"
#include "platform/Widgets.h"
#include "state/RunState.h"

#include <QFile>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <cmath>

using platform::named;

namespace {

constexpr double kDesignButtonHeight = 32.0;
constexpr int kLineAboveBarHeight = 360;
constexpr int kMessageLabelHeight = 900;
constexpr double kStatusTextPoints = 10.0;

int toTwips(double value) {
    return platform::roundHalfEvenToInt(value);
}

QRect twipsRect(double left, double top, double width, double height) {
    return {toTwips(left), toTwips(top), toTwips(width), toTwips(height)};
}

void place(QWidget* widget, const QRect& twips) {
    platform::setGeometryTwips(widget, twips.x(), twips.y(), twips.width(), twips.height());
}

QPixmap barPicture(const char* name) {
    return QPixmap(QStringLiteral(":/pictures/%1.png").arg(QLatin1String(name)));
}

void setLabelPicture(QLabel* label, const char* name) {
    const QPixmap picture = barPicture(name);
    if (!picture.isNull()) {
        label->setPixmap(picture);
        label->setScaledContents(true);
    }
}

void setButtonPicture(QPushButton* button, const char* name) {
    const QPixmap picture = barPicture(name);
    if (!picture.isNull()) {
        button->setText(QString());
        button->setIcon(QIcon(picture));
        button->setFlat(true);
        button->setStyleSheet(
            QStringLiteral("QPushButton { border: none; padding: 0; background: transparent; }"));
    }
}

// A line over the slides: light words on a dark backing just behind them,
// readable over a white page as over a dark map; no text, no backing.
class LineOverSlides : public QLabel {
public:
    explicit LineOverSlides(QWidget* parent) : QLabel(parent) {
        setStyleSheet(QStringLiteral("color: #ffffff; background: transparent;"));
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        if (!text().isEmpty()) {
            const int flags = static_cast<int>(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
            const QRect words =
                style()->itemTextRect(fontMetrics(), contentsRect(), flags, isEnabled(), text());
            const int pad = fontMetrics().height() / 3;
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0x0d, 0x1f, 0x3c, 225));
            painter.drawRoundedRect(words.adjusted(-pad, -1, pad, 1).intersected(rect()), pad, pad);
        }
        QLabel::paintEvent(event);
    }
};

} // namespace

BarLayout layOutBar(int screenWidthTwips, int screenHeightTwips, float ratioXY) {
    BarLayout bar;
    // Single precision, as the bar was always computed.
    const float barH = static_cast<float>(screenHeightTwips) / 100.0F * 4.0F;
    const float k = ratioXY / 1.6F;
    bar.barH = barH;
    bar.k = k;
    const double screenH = screenHeightTwips;
    const double squareW = static_cast<double>(k * barH);
    const double setupW = static_cast<double>(k * 94.0F * (barH / 32.0F));
    const double logoW = static_cast<double>(k * 210.0F * (barH / 32.0F));
    const int setupWidth = toTwips(setupW);
    const int squareWidth = toTwips(squareW);
    const int logoWidth = toTwips(logoW);
    const int height = toTwips(barH);
    const int whoWidth = screenWidthTwips - (setupWidth + squareWidth + logoWidth + squareWidth);
    const double top = screenH - height;

    bar.backWhoWeAre = twipsRect(0, screenH - height, screenWidthTwips, height);
    bar.btSetup = twipsRect(0, top, setupWidth, height);
    bar.btTermina = twipsRect(setupWidth, top, squareWidth, height);
    bar.btAnimation = twipsRect(setupWidth + squareWidth, top, squareWidth, height);
    bar.whoWeAre = twipsRect(setupWidth + squareWidth, top, whoWidth, height);
    bar.btLogo = twipsRect(setupWidth + squareWidth + whoWidth, top, logoWidth, height);
    bar.connectStatus =
        twipsRect(setupWidth + squareWidth + whoWidth + logoWidth, top, squareWidth, height);
    bar.timerflagTop = toTwips(top) - height;
    // Twips to points: 20 twips make a point.
    bar.whoWeAreFontPoints = 0.3 * ((height - height / 5.0) / 20.0);
    return bar;
}

QString cutStatusLine(const QString& line) {
    return line.left(95);
}

StatusBar::StatusBar(QWidget* window, RunState& state) : QObject(window), state_(state) {
    BackWhoWeAre = named<QLabel>(window, "BackWhoWeAre");
    BackWhoWeAre->setAutoFillBackground(true);
    BackWhoWeAre->setStyleSheet(QStringLiteral("background-color: #0d1f3c;"));
    btSetup = named<QPushButton>(window, "btSetup");
    btSetup->setText(QStringLiteral("Setup"));
    btWait = named<QLabel>(window, "btWait");
    btTermina = named<QPushButton>(window, "btTermina");
    btTermina->setText(QStringLiteral("Quit"));
    btHelp = named<QPushButton>(window, "btHelp");
    btHelp->setText(QStringLiteral("Help"));
    BtAnimation = named<QLabel>(window, "BtAnimation");
    whoWeAre = named<QLabel>(window, "whoWeAre");
    whoWeAre->setStyleSheet(QStringLiteral("color: #dce8f5; background: transparent;"));
    btLogo = named<QLabel>(window, "btLogo");
    connectStatus = named<QLabel>(window, "connectStatus");
    lCountDown = named<LineOverSlides>(window, "lCountDown");
    lGeneric = named<LineOverSlides>(window, "lGeneric");
    lblMsgUser = named<LineOverSlides>(window, "lblMsgUser");
    lblMsgUser->setAlignment(Qt::AlignCenter);
    timerflag = named<QLineEdit>(window, "timerflag");
    timerflag->setReadOnly(true);
    timerflag->setFocusPolicy(Qt::NoFocus);
    platform::setGeometryTwips(timerflag, 0, 0, 300, 300);
    btWait->hide();
    btHelp->hide();
    BtAnimation->hide();
    loadPictures();
}

void StatusBar::loadPictures() {
    setButtonPicture(btSetup, "btSetup");
    setButtonPicture(btTermina, "btTermina");
    setButtonPicture(btHelp, "btHelp");
    setLabelPicture(btWait, "btWait");
    setLabelPicture(BtAnimation, "BtAnimation");
    setLabelPicture(btLogo, "btLogo");
    showConnection(false);
}

void StatusBar::showConnection(bool connected) {
    setLabelPicture(connectStatus, connected ? "ImageConnesso" : "ImageDisconnesso");
    connectStatus->setProperty("connected", connected);
}

void StatusBar::Disegna_Barra2(int screenWidthTwips, int screenHeightTwips) {
    const BarLayout bar = layOutBar(screenWidthTwips, screenHeightTwips, state_.Ratio_X_Y);
    place(BackWhoWeAre, bar.backWhoWeAre);
    BackWhoWeAre->lower();
    place(btSetup, bar.btSetup);
    place(btWait, bar.btSetup);
    place(btTermina, bar.btTermina);
    place(btHelp, bar.btTermina);
    place(BtAnimation, bar.btAnimation);
    place(whoWeAre, bar.whoWeAre);
    // The animation sign sits over the start of the status text: the text
    // begins beside it, so the sign never hides the first words.
    whoWeAre->setIndent(BtAnimation->width() + BtAnimation->width() / 4);
    place(btLogo, bar.btLogo);
    place(connectStatus, bar.connectStatus);
    for (QPushButton* button : {btSetup, btTermina, btHelp}) {
        button->setIconSize(button->size());
    }
    const QRect flag = platform::geometryTwips(timerflag);
    platform::setGeometryTwips(timerflag, 0, bar.timerflagTop, flag.width(), flag.height());
    timerflag->raise();
    // The supervisor's first tick sets 10 points for the program's life; the
    // size from the bar's height would hold only until then.
    QFont font = whoWeAre->font();
    font.setPointSizeF(kStatusTextPoints);
    whoWeAre->setFont(font);

    state_.statusLine1 = state_.weAre + state_.Aggiornare.toString() + state_.LastUpdate.toString();
    state_.statusLine2 = QStringLiteral(". . . ");
    ShowStatusText();

    btSetup->setEnabled(false);
    for (QWidget* w : {static_cast<QWidget*>(btSetup), static_cast<QWidget*>(btWait),
                       static_cast<QWidget*>(btTermina), static_cast<QWidget*>(btHelp),
                       static_cast<QWidget*>(btLogo)}) {
        w->raise();
    }
}

void StatusBar::placeLinesAboveBar(int screenWidthTwips, int screenHeightTwips) {
    const int barHeight = platform::geometryTwips(whoWeAre).height();
    const int top = screenHeightTwips - barHeight - kLineAboveBarHeight;
    platform::setGeometryTwips(lCountDown, 0, top, screenWidthTwips, kLineAboveBarHeight);
    platform::setGeometryTwips(lGeneric, 0, top, screenWidthTwips, kLineAboveBarHeight);
    QFont font = lCountDown->font();
    font.setFamily(whoWeAre->font().family());
    lCountDown->setFont(font);
    lGeneric->setFont(font);
    // The run-state marker sits at the left end of these lines: the words
    // begin beside it.
    for (QLabel* line : {lCountDown, lGeneric}) {
        line->setIndent(timerflag->width() + timerflag->width() / 3);
    }
    const int messageTop = (screenHeightTwips - kMessageLabelHeight) / 2;
    platform::setGeometryTwips(lblMsgUser, 0, messageTop, screenWidthTwips, kMessageLabelHeight);
}

void StatusBar::ShowStatusText() {
    state_.statusLine1 = cutStatusLine(state_.statusLine1);
    state_.statusLine2 = cutStatusLine(state_.statusLine2);
    whoWeAre->setText(state_.statusLine1 + QLatin1Char('\n') + state_.statusLine2);
}

std::array<QWidget*, 10> StatusBar::hideableElements() const {
    return {BackWhoWeAre, btSetup,       btTermina, BtAnimation, btHelp,
            btLogo,       connectStatus, whoWeAre,  btWait,      lCountDown};
}

void StatusBar::raiseBar() {
    // The background first, so that every element lands in front of it.
    for (QWidget* element : hideableElements()) {
        element->raise();
    }
    timerflag->raise();
}

void StatusBar::Nascondi_Barra() {
    const auto elements = hideableElements();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        savedVisible_[i] = elements[i]->isVisibleTo(elements[i]->parentWidget());
        elements[i]->hide();
    }
}

void StatusBar::Esponi_Barra() {
    const auto elements = hideableElements();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        elements[i]->setVisible(savedVisible_[i]);
    }
}
