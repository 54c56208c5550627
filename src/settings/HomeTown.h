#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct RunState;
namespace platform {
class Dialogs;
}

// The town file: the fourteen values that fill the "<p01>".."<p14>" tags of
// forecast addresses, then the temperature unit, then three one-blank lines.

inline constexpr char kTownFileName[] = "Skyglance7_MyTown.dat";
inline constexpr int kTownParamCount = 14;

struct TownValues {
    std::array<QString, kTownParamCount> params;
    bool fahrenheit = true;
};

// What a read of the town file produced. A short or broken file still gives
// the values before the point where it broke off.
struct TownFileRead {
    QStringList params;             // up to kTownParamCount, in file order
    std::optional<bool> fahrenheit; // set when the unit line was there
    bool text = true;               // false for bytes that are not text
    bool complete() const { return fahrenheit.has_value(); }
};

TownValues defaultTownValues();
QByteArray formatTownFile(const TownValues& values);
// Bytes that are not text (a NUL or another control character besides tab,
// CR and LF) give an empty, incomplete read.
TownFileRead parseTownFile(const QByteArray& bytes);
// What a short file read gave, the rest from the defaults.
TownValues completedTownValues(const TownFileRead& read);

// The parameter boxes inside the frame FormYourTown, filled from the town
// file and written back with the frame's "OK" button.
class HomeTown : public QObject {
    Q_OBJECT
public:
    HomeTown(RunState& state, platform::Dialogs& dialogs, QFrame* FormYourTown,
             QObject* parent = nullptr);

    void LoadTown();
    // A short file is completed from the defaults and saved. False when the
    // file was missing, unreadable or not text (the message was shown).
    bool ReadTownFile();
    bool WriteTownFile();
    bool WriteDefaultTownFile();
    void OkYourTown_Click();

    // Brings the hidden frame into view so the values can be edited.
    void ShowTownFrame();

    // The text of PARAM(index); empty outside 0..13.
    QString param(int index) const;
    QString townFilePath() const;

    std::array<QLineEdit*, kTownParamCount> PARAM{};
    QRadioButton* Centigradi = nullptr;
    QRadioButton* Farenaith = nullptr;
    QPushButton* OkYourTown = nullptr;
    QLabel* FormYourTownCaption = nullptr;
    std::array<QLabel*, kTownParamCount> lblParam{};

private:
    void createControls();
    void applyDefaults();
    TownValues boxValues() const;
    void showUnit(bool fahrenheit);
    void showReadError();
    void showValues(const TownValues& values);

    RunState& state_;
    platform::Dialogs& dialogs_;
    QFrame* frame_;
};
