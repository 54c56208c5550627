#include "Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace platform {

Dialogs::Answer Dialogs::message(const QString& text, const QString& title, Icon icon,
                                 Buttons buttons) {
    return showMessage(Box{text, title, icon, buttons});
}

namespace {

QMessageBox::Icon toQtIcon(Dialogs::Icon icon) {
    switch (icon) {
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Warning:
        return QMessageBox::Warning;
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(Dialogs::Buttons buttons) {
    switch (buttons) {
    case Dialogs::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Dialogs::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Dialogs::Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

Dialogs::Answer QtDialogs::showMessage(const Box& box) {
    QMessageBox mb(toQtIcon(box.icon), box.title, box.text, toQtButtons(box.buttons), parent_);
    switch (mb.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return Answer::Ok;
    }
}

QString QtDialogs::openFileName(const QString& title, const QString& folder,
                                const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, title, folder, filter);
}

QString QtDialogs::saveFileName(const QString& title, const QString& folder,
                                const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, title, folder, filter);
}

Dialogs::Answer ScriptedDialogs::showMessage(const Box& box) {
    shown_.append(box);
    if (!answers_.empty()) {
        const Answer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    return box.buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

QString ScriptedDialogs::openFileName(const QString&, const QString&, const QString&) {
    if (fileNames_.empty()) {
        return {};
    }
    QString name = fileNames_.front();
    fileNames_.pop_front();
    return name;
}

QString ScriptedDialogs::saveFileName(const QString& title, const QString& folder,
                                      const QString& filter) {
    return openFileName(title, folder, filter);
}

QStringList ScriptedDialogs::shownTexts() const {
    QStringList texts;
    for (const Box& box : shown_) {
        texts.append(box.text);
    }
    return texts;
}

} // namespace platform
