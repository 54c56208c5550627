#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QWidget;
struct RunState;
namespace platform {
class Dialogs;
}

// The one own picture chosen in the panel: its path in ownPicturePath (what
// the download cycles show) and in the label SSTCfg_LblinserisciImg (what the
// settings file keeps).
class OwnPictures : public QObject {
    Q_OBJECT

public:
    OwnPictures(RunState& state, platform::Dialogs& dialogs, QLabel* SSTCfg_LblinserisciImg);

    // Connects the choose and remove icons and their caption labels; null
    // widgets are skipped.
    void attachControls(QWidget* SSTCfg_FileUser, QWidget* SSTCfg_FileUser2,
                        QWidget* SSTCfg_resetUserImg, QWidget* SSTCfg_resetUserImg2);

    // Explains the slide folder, then asks for a file. Cancelling the dialog
    // changes nothing.
    void SSTCfg_FileUser_Click();
    void SSTCfg_FileUser2_Click() { SSTCfg_FileUser_Click(); }
    void SSTCfg_resetUserImg_Click();
    void SSTCfg_resetUserImg2_Click() { SSTCfg_resetUserImg_Click(); }

signals:
    // A picture was chosen or removed: the settings have changed.
    void ownPictureChanged();

private:
    QString dialogStartFolder() const;

    RunState& state_;
    platform::Dialogs& dialogs_;
    QLabel* SSTCfg_LblinserisciImg_;
};
