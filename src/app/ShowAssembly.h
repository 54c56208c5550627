#pragma once

#include "shell/FormPicture.h"

#include <memory>

// Builds the show: the main window with its widgets first, then the parts of
// the show in the order they need one another, each wired as it is made.
// Reads top to bottom in ShowAssembly.cpp; the window itself only holds its
// widgets, its events and the parts it is given.
class ShowAssembly {
public:
    static std::unique_ptr<FormPicture> build(FormPicture::Options options);

private:
    static void makeHomeTown(FormPicture& w);
    static void makePresenter(FormPicture& w);
    static void makeDownloadParts(FormPicture& w);
    static void makePageParts(FormPicture& w);
    static QWidget* makeCaptureCover(FormPicture& w);
    static void makeSettings(FormPicture& w);
    static void makeSupervisor(FormPicture& w);
    static void makeChoiceParts(FormPicture& w);
    static void makeSelection(FormPicture& w);
    static void makeCycles(FormPicture& w);
    static void makeScheduler(FormPicture& w);
    static void makeWatchParts(FormPicture& w);
    static void makeFleetReport(FormPicture& w);
    static void makePanelParts(FormPicture& w);
    static void makeDiagnostics(FormPicture& w);
};
