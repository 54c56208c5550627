#include "catalogue/OwnPictures.h"

#include "platform/Dialogs.h"
#include "state/RunState.h"
#include "ui/LanguageTables.h"
#include "ui/OnlineHelp.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>

OwnPictures::OwnPictures(RunState& state, platform::Dialogs& dialogs,
                         QLabel* SSTCfg_LblinserisciImg)
    : state_(state), dialogs_(dialogs), SSTCfg_LblinserisciImg_(SSTCfg_LblinserisciImg) {}

void OwnPictures::attachControls(QWidget* SSTCfg_FileUser, QWidget* SSTCfg_FileUser2,
                                 QWidget* SSTCfg_resetUserImg, QWidget* SSTCfg_resetUserImg2) {
    connectClick(SSTCfg_FileUser, [this] { SSTCfg_FileUser_Click(); });
    connectClick(SSTCfg_FileUser2, [this] { SSTCfg_FileUser2_Click(); });
    connectClick(SSTCfg_resetUserImg, [this] { SSTCfg_resetUserImg_Click(); });
    connectClick(SSTCfg_resetUserImg2, [this] { SSTCfg_resetUserImg2_Click(); });
}

void OwnPictures::SSTCfg_FileUser_Click() {
    LanguageTables::MsgOwnPictures(dialogs_, state_.Skyglance_Slide_Dir, state_.Lingua);
    const QString chosen = dialogs_.openFileName(QString(), dialogStartFolder(), QString());
    if (chosen.isEmpty()) {
        // A cancelled choice keeps the picture that was chosen before.
        return;
    }
    state_.ownPicturePath = chosen;
    if (SSTCfg_LblinserisciImg_ != nullptr) {
        SSTCfg_LblinserisciImg_->setText(state_.ownPicturePath);
    }
    emit ownPictureChanged();
}

void OwnPictures::SSTCfg_resetUserImg_Click() {
    emit ownPictureChanged();
    if (SSTCfg_LblinserisciImg_ != nullptr) {
        SSTCfg_LblinserisciImg_->clear();
    }
    state_.ownPicturePath.clear();
}

QString OwnPictures::dialogStartFolder() const {
    // Next to the picture chosen before, else the user's home folder.
    if (!state_.ownPicturePath.isEmpty()) {
        const QFileInfo current(state_.ownPicturePath);
        if (current.dir().exists()) {
            return current.absolutePath();
        }
    }
    return QDir::homePath();
}
