#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
struct RunState;

// Where the bar's elements go, in twips, for a screen and aspect ratio.
struct BarLayout {
    double barH = 0;
    double k = 0;
    QRect backWhoWeAre;
    QRect btSetup;   // btWait shares it
    QRect btTermina; // btHelp shares it
    QRect btAnimation;
    QRect whoWeAre;
    QRect btLogo;
    QRect connectStatus;
    int timerflagTop = 0;
    double whoWeAreFontPoints = 0;
};

// The bar along the bottom edge: 4 % of the screen height; the widths follow
// the screen width through the aspect ratio.
BarLayout layOutBar(int screenWidthTwips, int screenHeightTwips, float ratioXY);

// A status line as shown: its first 95 characters.
QString cutStatusLine(const QString& line);

// The status bar with its buttons, status text, logo and connection icon,
// and the three lines above it.
class StatusBar : public QObject {
    Q_OBJECT
public:
    StatusBar(QWidget* window, RunState& state);

    QLabel* BackWhoWeAre = nullptr;
    QPushButton* btSetup = nullptr;
    QLabel* btWait = nullptr;
    QPushButton* btTermina = nullptr;
    QPushButton* btHelp = nullptr;
    QLabel* BtAnimation = nullptr;
    QLabel* whoWeAre = nullptr;
    QLabel* btLogo = nullptr;
    QLabel* connectStatus = nullptr;
    QLabel* lCountDown = nullptr;
    QLabel* lGeneric = nullptr;
    QLabel* lblMsgUser = nullptr;
    QLineEdit* timerflag = nullptr;

    void Disegna_Barra2(int screenWidthTwips, int screenHeightTwips);
    void placeLinesAboveBar(int screenWidthTwips, int screenHeightTwips);
    void ShowStatusText();
    void Nascondi_Barra();
    // Brings the whole bar in front of a slide that covers the screen.
    void raiseBar();
    void Esponi_Barra();

    // The connection icon: true shows ImageConnesso, false ImageDisconnesso.
    void showConnection(bool connected);

private:
    std::array<QWidget*, 10> hideableElements() const;
    void loadPictures();

    RunState& state_;
    std::array<bool, 10> savedVisible_{};
};
