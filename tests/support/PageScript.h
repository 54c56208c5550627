#pragma once
// A script's result from a page in the browser engine, as tests read what a
// page shows.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QVariant>
#include <QWebEnginePage>

// Runs `script` in the page and waits up to ten seconds for its result;
// an invalid QVariant when none came.
inline QVariant evaluate(QWebEnginePage* page, const QString& script) {
    QVariant result;
    bool arrived = false;
    page->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        arrived = true;
    });
    QDeadlineTimer deadline(10000);
    while (!arrived && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return result;
}

template <typename View> QVariant evaluate(View& view, const QString& script) {
    return evaluate(view.page(), script);
}
