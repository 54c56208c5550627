#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>

class QWidget;

namespace platform {

// A box that only informs closes itself when nobody has answered it after
// this long (scaled by the timing knob): the screen is often unattended.
inline constexpr int kUnansweredBoxMs = 60000;

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

    // Told when a box begins to wait for the person at the screen and when
    // it has gone, answered or closed by itself.
    class Watcher {
    public:
        virtual ~Watcher() = default;
        virtual void boxWaiting(const Box& box) = 0;
        virtual void boxGone(const Box& box, bool closedItself) = 0;
    };

    virtual ~Dialogs() = default;

    void setWatcher(Watcher* watcher) { watcher_ = watcher; }

    // Shows the box and waits for the answer. A box with one button only
    // informs: unanswered, it closes itself after kUnansweredBoxMs and
    // answers Ok. Questions wait as long as it takes.
    Answer showMessage(const Box& box);
    // An empty result means the user cancelled.
    virtual QString openFileName(const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& title, const QString& folder,
                                 const QString& filter) = 0;

    // Shorthands for the common boxes.
    Answer message(const QString& text, const QString& title, Icon icon = Icon::None,
                   Buttons buttons = Buttons::Ok);

    static bool closesByItself(const Box& box) { return box.buttons == Buttons::Ok; }
    // The text on one line, for a status line or a log.
    static QString oneLine(const Box& box);

protected:
    struct Outcome {
        Answer answer = Answer::Ok;
        bool closedItself = false;
    };
    virtual Outcome present(const Box& box) = 0;

private:
    Watcher* watcher_ = nullptr;
};

// The real boxes, modal over the given parent.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& title, const QString& folder,
                         const QString& filter) override;

protected:
    Outcome present(const Box& box) override;

private:
    QWidget* parent_;
};

// The scripted user for tests: records every box and answers from a queue.
// With the queue empty it answers Ok (or Yes for a Yes/No box) and an empty
// file name. Left unattended, nobody answers a box that only informs: it
// stays up for the scaled kUnansweredBoxMs, letting events run as a real box
// does, and closes itself.
class ScriptedDialogs : public Dialogs {
public:
    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& title, const QString& folder,
                         const QString& filter) override;

    void queueAnswer(Answer answer) { answers_.push_back(answer); }
    void queueFileName(const QString& name) { fileNames_.push_back(name); }
    void leaveUnattended(bool unattended) { unattended_ = unattended; }

    const QList<Box>& shown() const { return shown_; }
    QStringList shownTexts() const;
    void clear() {
        shown_.clear();
        closedThemselves_ = 0;
    }
    // How many boxes closed themselves, nobody having answered.
    int closedThemselves() const { return closedThemselves_; }

protected:
    Outcome present(const Box& box) override;

private:
    bool unattended_ = false;
    int closedThemselves_ = 0;
    std::deque<Answer> answers_;
    std::deque<QString> fileNames_;
    QList<Box> shown_;
};

} // namespace platform
