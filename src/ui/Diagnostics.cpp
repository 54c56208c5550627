#include "ui/Diagnostics.h"

#include "platform/Twips.h"
#include "platform/Widgets.h"
#include "state/RunState.h"
#include "state/SlideList.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <utility>

using platform::named;

namespace {

constexpr int kWindowWidth = 900;
constexpr int kWindowHeight = 500;

QTableWidget* newTable(QWidget* window, const char* name, const QStringList& headers) {
    auto* table = named<QTableWidget>(window, name);
    table->setColumnCount(static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    window->layout()->addWidget(table);
    return table;
}

void fillTable(QTableWidget* table, const QList<QStringList>& rows) {
    if (table == nullptr) {
        return;
    }
    table->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size() && c < table->columnCount(); ++c) {
            auto* cell = table->item(r, c);
            if (cell == nullptr) {
                cell = new QTableWidgetItem;
                table->setItem(r, c, cell);
            }
            cell->setText(rows[r][c]);
        }
    }
}

QString number(int value) {
    return QString::number(value);
}

QString pictureSize(const QImage& picture) {
    return picture.isNull() ? QString()
                            : QStringLiteral("%1x%2").arg(picture.width()).arg(picture.height());
}

bool catalogueRowInUse(const RunState& s, int r) {
    return !s.listURL[r].isEmpty() || !s.listURLnameOnly[r].isEmpty() ||
           !s.listURLcomment[r].isEmpty() || !s.listCopyright[r].isEmpty() ||
           s.listIdPicture[r] != 0 || !s.listData[r].isEmpty();
}

// The slide columns keep the names the tables had: listIdCopyright is the
// catalogue row + 1, listIMAGEnotLoaded -1 for a failed slide.
int idCopyright(const Slide& slide) {
    return slide.catalogueRow + 1;
}

int notLoaded(const Slide& slide) {
    return slide.loaded ? 0 : -1;
}

bool slideRowInUse(const RunState& s, const SlideList& slides, int i) {
    const Slide& slide = slides.at(i);
    return idCopyright(slide) != 0 || slides.entryId(i) != 0 || !s.listImageSELECTED[i].isEmpty() ||
           !s.listOLDImageSELECTED[i].isEmpty() || slide.kind != 0 || notLoaded(slide) != 0 ||
           !slide.picture.isNull();
}

QList<QStringList> catalogueTableRows(const RunState& s) {
    QList<QStringList> rows;
    for (int r = 0; r < PictureTable<QString>::kSize; ++r) {
        if (catalogueRowInUse(s, r)) {
            rows.append({number(r), s.listURL[r], s.listURLnameOnly[r], s.listURLcomment[r],
                         s.listCopyright[r], number(s.listIdPicture[r]), s.listData[r]});
        }
    }
    return rows;
}

QList<QStringList> slideTableRows(const RunState& s, const SlideList& slides) {
    QList<QStringList> rows;
    for (int i = 0; i < SlideList::kSize; ++i) {
        if (slideRowInUse(s, slides, i)) {
            const Slide& slide = slides.at(i);
            rows.append({number(i), number(idCopyright(slide)), number(slides.entryId(i)),
                         s.listImageSELECTED[i], s.listOLDImageSELECTED[i], number(slide.kind),
                         number(notLoaded(slide)), pictureSize(slide.picture)});
        }
    }
    return rows;
}

QList<QStringList> flagTableRows(const RunState& s, const SlideList& slides, const RunFlags& f,
                                 Command command) {
    return {
        {QStringLiteral("flagCmdButton"), number(static_cast<int>(command))},
        {QStringLiteral("clockStatus"), number(f.slideTickRunning)},
        {QStringLiteral("flagLoading"), number(f.loading)},
        {QStringLiteral("flagReplyArrived"), number(f.replyArrived)},
        {QStringLiteral("flagCatalogueLoaded"), number(f.catalogueLoaded)},
        {QStringLiteral("flagCatalogueRequest"), number(f.catalogueRequested)},
        {QStringLiteral("flagConfigChanged"), number(f.settingsUnsaved)},
        {QStringLiteral("flagReloadAll"), number(f.reloadingAll)},
        {QStringLiteral("flagFullScreen"), number(f.fullScreen)},
        {QStringLiteral("ExitToProgram"), number(s.ExitToProgram)},
        {QStringLiteral("clockFromDebugSet"), number(s.clockFromDebugSet)},
        {QStringLiteral("timerClockSave"), number(s.timerClockSave)},
        {QStringLiteral("cntImagesToLoad"), number(s.cntImagesToLoad)},
        {QStringLiteral("cntImagesLoaded"), number(s.cntImagesLoaded)},
        {QStringLiteral("GLOBAL_IMAGE_CURRENT_POINTER"), number(s.GLOBAL_IMAGE_CURRENT_POINTER)},
        {QStringLiteral("cntCounterDwLoadImage"), number(s.cntCounterDwLoadImage)},
        {QStringLiteral("cntAniGif"), number(slides.nextLoopNumber())},
        {QStringLiteral("cntWaitCountdown"), number(s.cntWaitCountdown)},
        {QStringLiteral("Lingua"), number(s.Lingua)},
    };
}

} // namespace

Diagnostics::Diagnostics(RunState& state, const SlideList& slides, QList<NamedTimer> timers,
                         const ProxySource& proxy, const RunFlagSource& flags, QWidget* parent)
    : QObject(parent), state_(state), slides_(slides), timers_(std::move(timers)), proxy_(proxy),
      flags_(flags), parent_(parent) {
    for (const NamedTimer& t : std::as_const(timers_)) {
        if (t.timer != nullptr) {
            ticks_.insert(t.name, 0);
            connect(t.timer, &QTimer::timeout, this, [this, name = t.name] { ++ticks_[name]; });
        }
    }
}

Diagnostics::~Diagnostics() {
    close();
}

void Diagnostics::open() {
    if (!isOpen()) {
        createWindows();
    }
    refresh();
    for (const QPointer<QWidget>& window : std::as_const(windows_)) {
        if (window) {
            window->show();
            window->raise();
        }
    }
    placeInsideShow();
}

bool Diagnostics::insideShow() const {
    return parent_ && platform::compositorStacksWindows();
}

void Diagnostics::placeInsideShow() {
    if (!insideShow() || windows_.isEmpty()) {
        return;
    }
    // Side by side along the top of the show, over whatever the show raised
    // since (a page being captured, the status lines); raised only then, as
    // a raise repaints.
    const QObjectList& stack = parent_->children();
    const bool onTop =
        stack.size() >= windows_.size() &&
        std::equal(windows_.cbegin(), windows_.cend(), stack.cend() - windows_.size(),
                   [](const QPointer<QWidget>& w, QObject* o) { return w == o; });
    const int width = std::min(kWindowWidth, parent_->width() / static_cast<int>(windows_.size()));
    int left = 0;
    for (const QPointer<QWidget>& window : std::as_const(windows_)) {
        if (window) {
            window->setGeometry(left, 0, width, kWindowHeight);
            if (!onTop) {
                window->raise();
            }
            left += width;
        }
    }
}

void Diagnostics::close() {
    for (const QPointer<QWidget>& window : std::as_const(windows_)) {
        delete window.data();
    }
    windows_.clear();
}

bool Diagnostics::isOpen() const {
    for (const QPointer<QWidget>& window : windows_) {
        if (window) {
            return true;
        }
    }
    return false;
}

void Diagnostics::refresh() {
    if (state_.ExitToProgram != kFalse) {
        close();
        return;
    }
    refreshTables();
    refreshTimers();
    refreshProxy();
    placeInsideShow();
}

void Diagnostics::refreshTables() {
    fillTable(catalogueRows_, catalogueTableRows(state_));
    fillTable(slideRows_, slideTableRows(state_, slides_));
}

void Diagnostics::refreshTimers() {
    QList<QStringList> rows;
    for (const NamedTimer& t : std::as_const(timers_)) {
        if (t.timer != nullptr) {
            rows.append({t.name, t.timer->isActive() ? QStringLiteral("yes") : QStringLiteral("no"),
                         number(t.timer->interval()), number(ticks(t.name))});
        }
    }
    fillTable(timerRows_, rows);
    fillTable(flagRows_, flagTableRows(state_, slides_, flags_.runFlags(), command_));
    if (slideInterval_ && !slideInterval_->hasFocus()) {
        slideInterval_->setValue(state_.timerClockSave);
    }
}

void Diagnostics::refreshProxy() {
    if (!proxyRows_) {
        return;
    }
    const platform::ProxySetting proxy = proxy_.currentSetting();
    const platform::ProxyEndpoint endpoint = platform::proxyEndpoint(proxy.address, proxy.port);
    fillTable(proxyRows_, {
                              {QStringLiteral("enabled"),
                               proxy.enabled ? QStringLiteral("yes") : QStringLiteral("no")},
                              {QStringLiteral("address"), proxy.address},
                              {QStringLiteral("port"), proxy.port},
                              {QStringLiteral("host used"), endpoint.host},
                              {QStringLiteral("port used"), number(endpoint.port)},
                              {QStringLiteral("user"), proxy.userName},
                              {QStringLiteral("password"), maskedPassword(proxy.password)},
                          });
}

void Diagnostics::setSlideInterval(int milliseconds) {
    // The slide interval is a 16-bit value in the run state.
    state_.timerClockSave = static_cast<int16_t>(std::clamp(milliseconds, 1, 32767));
    state_.clockFromDebugSet = 1;
}

QTableWidget* Diagnostics::catalogueRows() const {
    return catalogueRows_.data();
}

QTableWidget* Diagnostics::slideRows() const {
    return slideRows_.data();
}

QTableWidget* Diagnostics::timerRows() const {
    return timerRows_.data();
}

QTableWidget* Diagnostics::flagRows() const {
    return flagRows_.data();
}

QTableWidget* Diagnostics::proxyRows() const {
    return proxyRows_.data();
}

QString Diagnostics::maskedPassword(const QString& password) {
    return QString(password.size(), QLatin1Char('*'));
}

QWidget* Diagnostics::newWindow(const char* name, const QString& title) {
    auto* window = named<QWidget>(parent_.data(), name);
    window->setWindowTitle(title);
    window->setLayout(new QVBoxLayout);
    if (insideShow()) {
        // A frame of the show's window, which names itself, in the
        // desktop's colours rather than the show's black.
        window->setPalette(QApplication::palette());
        window->setAutoFillBackground(true);
        window->layout()->addWidget(new QLabel(title));
    } else {
        // In front of the full-screen show, which raises itself at every
        // request to the catalogue service.
        window->setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->resize(kWindowWidth, kWindowHeight);
    windows_.append(window);
    return window;
}

void Diagnostics::createWindows() {
    QWidget* tables = newWindow("frmDebug", QStringLiteral("Skyglance diagnostics: pictures"));
    catalogueRows_ = newTable(tables, "catalogueRows",
                              {QStringLiteral("index"), QStringLiteral("listURL"),
                               QStringLiteral("listURLnameOnly"), QStringLiteral("listURLcomment"),
                               QStringLiteral("listCopyright"), QStringLiteral("listIdPicture"),
                               QStringLiteral("listData")});
    slideRows_ =
        newTable(tables, "slideRows",
                 {QStringLiteral("slide"), QStringLiteral("listIdCopyright"),
                  QStringLiteral("listEntryIdCopyright"), QStringLiteral("listImageSELECTED"),
                  QStringLiteral("listOLDImageSELECTED"), QStringLiteral("listImageKind"),
                  QStringLiteral("listIMAGEnotLoaded"), QStringLiteral("listPicture")});

    QWidget* timers =
        newWindow("frmDebugTimers", QStringLiteral("Skyglance diagnostics: timers and flags"));
    timerRows_ = newTable(timers, "timerRows",
                          {QStringLiteral("timer"), QStringLiteral("enabled"),
                           QStringLiteral("interval"), QStringLiteral("ticks")});
    flagRows_ = newTable(timers, "flagRows", {QStringLiteral("name"), QStringLiteral("value")});
    timers->layout()->addWidget(new QLabel(QStringLiteral("Slide interval (ms), next tick:")));
    slideInterval_ = named<QSpinBox>(timers, "slideIntervalSet");
    slideInterval_->setRange(1, 32767);
    timers->layout()->addWidget(slideInterval_);
    connect(slideInterval_, &QSpinBox::editingFinished, this,
            [this] { setSlideInterval(slideInterval_->value()); });

    QWidget* proxy = newWindow("frmDebugProxy", QStringLiteral("Skyglance diagnostics: proxy"));
    proxyRows_ = newTable(proxy, "proxyRows", {QStringLiteral("name"), QStringLiteral("value")});
}

// ---- The status bar's tuning aids.

namespace {
constexpr int kPotBarLeft = 100;
constexpr int kPotBarTop = 5000;
constexpr int kPotBarWidth = 3000;
constexpr int kPotBarHeight = 255;
// Aspect ratios from 0.5 to 5.0, in tenths.
constexpr int kPotBarMinimum = 5;
constexpr int kPotBarMaximum = 50;
} // namespace

BarTuning::BarTuning(RunState& state, QWidget* parent) : QObject(parent), state_(state) {
    PotBar = named<QScrollBar>(parent, "PotBar");
    PotBar->setOrientation(Qt::Horizontal);
    PotBar->setRange(kPotBarMinimum, kPotBarMaximum);
    PotBar->setValue(static_cast<int>(std::lround(state_.Ratio_X_Y * 10.0F)));
    platform::setGeometryTwips(PotBar, kPotBarLeft, kPotBarTop, kPotBarWidth, kPotBarHeight);
    PotBar->hide();
    connect(PotBar, &QScrollBar::valueChanged, this, [this] { PotBar_Change(); });

    DebugBarra = named<QLineEdit>(parent, "DebugBarra");
    DebugBarra->setReadOnly(true);
    DebugBarra->hide();
}

void BarTuning::PotBar_Change() {
    state_.Ratio_X_Y = static_cast<float>(PotBar->value()) / 10.0F;
    emit ratioChanged();
}

void BarTuning::afterLayout(double barH, double k, int screenWidthTwips, int screenHeightTwips) {
    platform::setGeometryTwips(PotBar, kPotBarLeft, kPotBarTop, kPotBarWidth, kPotBarHeight);
    PotBar->hide();
    DebugBarra->hide();
    DebugBarra->setText(
        valuesUsedText(barH, k, state_.Ratio_X_Y, screenWidthTwips, screenHeightTwips));
}

QString BarTuning::valuesUsedText(double barH, double k, float ratioXY, int screenWidthTwips,
                                  int screenHeightTwips) {
    return QStringLiteral("screen %1x%2 twips, Ratio_X_Y %3, barH %4, k %5")
        .arg(screenWidthTwips)
        .arg(screenHeightTwips)
        .arg(static_cast<double>(ratioXY))
        .arg(barH)
        .arg(k);
}
