#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <optional>

class QFrame;
class QLabel;
class QRadioButton;
class QWidget;
struct RunState;

// The language file: the number Lingua after one blank, no line end.
QByteArray formatLanguageFile(int16_t lingua);
// The number at the start of the file, blanks before it skipped; nullopt when
// the file is empty or does not begin with a 16-bit whole number.
std::optional<int16_t> parseLanguageFile(const QByteArray& bytes);

// The language of the captions: chosen in the frame Frame_Select_Language at
// the first start (or from the language icon), kept in the language file and
// held in state.Lingua.
class LanguageChoice : public QObject {
    Q_OBJECT
public:
    LanguageChoice(RunState& state, QFrame* Frame_Select_Language, QObject* parent = nullptr);

    // When set (the panel's tab control, a sibling of the frame), the frame is
    // shown 250 twips above and left of it; otherwise centred in its parent.
    QPointer<QWidget> SSTCfg;

    // Asks first when the file is missing, empty or holds no number.
    void LoadLanguage();
    // Returns once an option has been clicked (or the program is ending).
    void AskLanguage();
    bool WriteLanguageFile();
    // False when the file is missing or holds no number; Lingua stays as it was.
    bool ReadLanguageFile();

    void English_01_Click();
    void Italian_02_Click();
    void French_03_Click();
    void Spanish_04_Click();
    void IcoSwapSST6_Click();
    void LabelLanguage_Click();

    QString languageFilePath() const;

    QLabel* Frame_Select_LanguageCaption = nullptr;
    QRadioButton* English_01 = nullptr;
    QRadioButton* Italian_02 = nullptr;
    QRadioButton* French_03 = nullptr;
    QRadioButton* Spanish_04 = nullptr;
    QRadioButton* Default_Language = nullptr;

signals:
    // LoadLanguage has set state.Lingua: the window's captions follow it.
    void languageLoaded();

private:
    void createControls();
    void placeFrame();
    bool waitIsOver() const;
    std::optional<int16_t> storedLanguage() const;

    RunState& state_;
    QPointer<QFrame> frame_;
};
