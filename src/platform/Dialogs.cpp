#include "Dialogs.h"

#include "Timing.h"
#include "Widgets.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>
#include <memory>

namespace platform {

Dialogs::Answer Dialogs::showMessage(const Box& box) {
    if (watcher_ != nullptr) {
        watcher_->boxWaiting(box);
    }
    const Outcome outcome = present(box);
    if (watcher_ != nullptr) {
        watcher_->boxGone(box, outcome.closedItself);
    }
    return outcome.answer;
}

QString Dialogs::oneLine(const Box& box) {
    QStringList lines =
        box.text.split(QRegularExpression(QStringLiteral("[\\r\\n]+")), Qt::SkipEmptyParts);
    for (QString& line : lines) {
        line = line.trimmed();
    }
    lines.removeAll(QString());
    return lines.join(QStringLiteral(" / "));
}

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

// Where the compositor stacks the windows, a box of its own could wait
// unseen under the full-screen show: it is drawn inside the show's window
// instead, on a cover over the whole window that keeps the clicks from the
// show while the box waits. None elsewhere, nor once the show's window has
// closed (the end message), when the box is a window of its own again.
std::unique_ptr<QWidget> coverInside(QWidget* parent) {
    if (parent == nullptr || !compositorStacksWindows() || !parent->window()->isVisible()) {
        return nullptr;
    }
    QWidget* window = parent->window();
    auto cover = std::make_unique<QWidget>(window);
    cover->setAttribute(Qt::WA_NoMousePropagation);
    cover->setGeometry(window->rect());
    cover->setLayout(new QGridLayout);
    return cover;
}

// Under Wayland a box owned by a window that has closed is never drawn: it
// is a window of its own then.
QWidget* ownerOf(QWidget* parent) {
    const bool closed = parent != nullptr && !parent->window()->isVisible();
    return closed && compositorStacksWindows() ? nullptr : parent;
}

void placeOnCover(QMessageBox& box, QWidget& cover) {
    box.setWindowFlags(Qt::Widget);
    box.setPalette(QApplication::palette());
    box.setAutoFillBackground(true);
    static_cast<QGridLayout*>(cover.layout())->addWidget(&box, 0, 0, Qt::AlignCenter);
    cover.show();
    cover.raise();
}

} // namespace

Dialogs::Outcome QtDialogs::present(const Box& box) {
    const std::unique_ptr<QWidget> cover = coverInside(parent_);
    QMessageBox mb(toQtIcon(box.icon), box.title, box.text, toQtButtons(box.buttons),
                   cover ? cover.get() : ownerOf(parent_));
    if (cover) {
        placeOnCover(mb, *cover);
    }
    Outcome outcome;
    QTimer nobodyAnswered;
    if (closesByItself(box)) {
        nobodyAnswered.setSingleShot(true);
        QObject::connect(&nobodyAnswered, &QTimer::timeout, &mb, [&mb, &outcome] {
            outcome.closedItself = true;
            mb.done(QMessageBox::Ok);
        });
        nobodyAnswered.start(scaledMs(kUnansweredBoxMs));
    }
    switch (mb.exec()) {
    case QMessageBox::Yes:
        outcome.answer = Answer::Yes;
        break;
    case QMessageBox::No:
        outcome.answer = Answer::No;
        break;
    case QMessageBox::Cancel:
        outcome.answer = Answer::Cancel;
        break;
    default:
        outcome.answer = Answer::Ok;
        break;
    }
    return outcome;
}

QString QtDialogs::openFileName(const QString& title, const QString& folder,
                                const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, title, folder, filter);
}

QString QtDialogs::saveFileName(const QString& title, const QString& folder,
                                const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, title, folder, filter);
}

Dialogs::Outcome ScriptedDialogs::present(const Box& box) {
    shown_.append(box);
    if (unattended_ && closesByItself(box)) {
        pauseLettingEventsRun(kUnansweredBoxMs);
        ++closedThemselves_;
        return {Answer::Ok, true};
    }
    if (!answers_.empty()) {
        const Answer answer = answers_.front();
        answers_.pop_front();
        return {answer, false};
    }
    return {box.buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok, false};
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
