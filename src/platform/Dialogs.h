#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>

class QWidget;

namespace platform {

// Every message box and file dialog goes through this interface, so tests can
// play the person at the screen.
class Dialogs {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Buttons { Ok, YesNo, OkCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    struct Box {
        QString text;
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
    };

    virtual ~Dialogs() = default;

    virtual Answer showMessage(const Box& box) = 0;
    // An empty result means the user cancelled.
    virtual QString openFileName(const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& title, const QString& folder,
                                 const QString& filter) = 0;

    // Shorthands for the common boxes.
    Answer message(const QString& text, const QString& title, Icon icon = Icon::None,
                   Buttons buttons = Buttons::Ok);
};

// The real boxes, modal over the given parent.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    Answer showMessage(const Box& box) override;
    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& title, const QString& folder,
                         const QString& filter) override;

private:
    QWidget* parent_;
};

// The scripted user for tests: records every box and answers from a queue.
// With the queue empty it answers Ok (or Yes for a Yes/No box) and an empty
// file name.
class ScriptedDialogs : public Dialogs {
public:
    Answer showMessage(const Box& box) override;
    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& title, const QString& folder,
                         const QString& filter) override;

    void queueAnswer(Answer answer) { answers_.push_back(answer); }
    void queueFileName(const QString& name) { fileNames_.push_back(name); }

    const QList<Box>& shown() const { return shown_; }
    QStringList shownTexts() const;
    void clear() { shown_.clear(); }

private:
    std::deque<Answer> answers_;
    std::deque<QString> fileNames_;
    QList<Box> shown_;
};

} // namespace platform
