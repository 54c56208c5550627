#include "catalogue/SelectionTable.h"

#include "browser/Browser.h"
#include "download/PictureSeries.h"
#include "download/SourceCodes.h"
#include "platform/Dialogs.h"
#include "platform/Twips.h"
#include "settings/HomeTown.h"
#include "settings/SettingsFile.h"
#include "state/RunState.h"
#include "ui/LanguageTables.h"
#include "ui/Translations.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <algorithm>

namespace {

// Where the two new controls sit on the selection tab until the panel layout
// places them: under the table and the own-picture caption.
constexpr int kControlsTop = 3700;
constexpr int kLabelLeft = 100;
constexpr int kLabelWidth = 3000;
constexpr int kCheckLeft = 3300;
constexpr int kCheckWidth = 2000;
constexpr int kControlHeight = 300;

QString seriesFirstPicture(const QString& address) {
    const SeriesScan scan = ScanSeriesAddress(address);
    if (!scan.series) {
        return WithHttpInFront(address);
    }
    const QList<int> numbers = SeriesNumbers(*scan.series);
    return numbers.isEmpty() ? WithHttpInFront(address)
                             : SeriesPictureAddress(*scan.series, numbers.first());
}

// The preview's tick box, drawn by itself: the panel's style sheet leaves a
// plain check box without a visible box or tick on the dark tab.
class PreviewTickBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal side = std::min(width(), height()) - 4.0;
        const QRectF box(2.0, (height() - side) / 2.0, side, side);
        painter.setPen(QPen(QColor(0x5B, 0xB8, 0xFF), 2.0));
        painter.setBrush(QColor(0xFF, 0xFF, 0xFF));
        painter.drawRoundedRect(box, 3.0, 3.0);
        if (isChecked()) {
            QPen tick(QColor(0x3D, 0xD6, 0x86), std::max(2.0, side / 6.0));
            tick.setCapStyle(Qt::RoundCap);
            tick.setJoinStyle(Qt::RoundJoin);
            painter.setPen(tick);
            const QPointF points[] = {box.topLeft() + QPointF(side * 0.22, side * 0.52),
                                      box.topLeft() + QPointF(side * 0.42, side * 0.74),
                                      box.topLeft() + QPointF(side * 0.80, side * 0.28)};
            painter.drawPolyline(points, 3);
        }
    }
};

QListWidgetItem* newEntry(const QString& comment, QListWidget* table) {
    auto* item = new QListWidgetItem(SelectionEntryText(comment), table);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    return item;
}

} // namespace

QString SelectionEntryText(const QString& comment) {
    return QStringLiteral(" - ") + comment;
}

QString PreviewAddress(const QString& catalogueAddress,
                       const std::function<QString(int index)>& param) {
    const QString address = catalogueAddress.trimmed();
    if (address.startsWith(QLatin1Char('3'))) {
        return ExpandParameters(address, param);
    }
    if (address.startsWith(QLatin1Char('5'))) {
        return seriesFirstPicture(address);
    }
    return WithHttpInFront(address);
}

QString PreviewDescription(const QString& comment, const QString& copyright) {
    return comment + QStringLiteral("\r\n\n\r") + copyright;
}

QString ListCleanedText(int lingua) {
    return Translations::in(lingua).translate(
        "SelectionTable", "List cleaned - please select min. 2 pictures or load collection");
}

QString CatalogueUnavailableText(int lingua) {
    return Translations::in(lingua).translate(
        "SelectionTable",
        "The picture catalogue cannot be reached now. Your saved selection is kept as it is, "
        "and Start goes on showing it.");
}

SelectionTable::SelectionTable(RunState& state, platform::Dialogs& dialogs, SettingsFile& settings,
                               const HomeTown& town, SelectionControls controls,
                               QWidget* selectionTab, QObject* parent)
    : QObject(parent), state_(state), dialogs_(dialogs), settings_(settings), town_(town),
      controls_(controls) {
    createControls(selectionTab);
    QListWidget* table = controls_.Tabella_Mappe_Selezionate;
    if (table != nullptr) {
        // The press is watched on the viewport, where the entries receive it.
        table->viewport()->installEventFilter(this);
        connect(table, &QListWidget::itemClicked, this,
                [this] { Tabella_Mappe_Selezionate_Click(); });
    }
}

void SelectionTable::createControls(QWidget* selectionTab) {
    Label11 = new QLabel(LanguageTables::unselectLabel(state_.Lingua), selectionTab);
    Label11->setObjectName(QStringLiteral("Label11"));
    Label11->setCursor(Qt::PointingHandCursor);
    platform::setGeometryTwips(Label11, kLabelLeft, kControlsTop, kLabelWidth, kControlHeight);
    Label11->installEventFilter(this);

    PreViewEnabled = new PreviewTickBox(selectionTab);
    PreViewEnabled->setObjectName(QStringLiteral("PreViewEnabled"));
    PreViewEnabled->setChecked(true);
    platform::setGeometryTwips(PreViewEnabled, kCheckLeft, kControlsTop, kCheckWidth,
                               kControlHeight);
    connect(PreViewEnabled, &QCheckBox::clicked, this, [this] { PreViewEnabled_Click(); });

    CatalogueUnavailable = new QLabel(selectionTab);
    CatalogueUnavailable->setObjectName(QStringLiteral("CatalogueUnavailable"));
    CatalogueUnavailable->setWordWrap(true);
    CatalogueUnavailable->setAlignment(Qt::AlignCenter);
    CatalogueUnavailable->hide();
}

void SelectionTable::FillSelectionTable() {
    QListWidget* table = controls_.Tabella_Mappe_Selezionate;
    if (table != nullptr) {
        table->clear();
        for (int i = 0; i < state_.listURL.size() && !state_.listURL[i].isEmpty(); ++i) {
            newEntry(state_.listURLcomment[i], table);
        }
    }
    if (controls_.FormWait != nullptr) {
        controls_.FormWait->hide();
    }
    catalogueAvailable_ = true;
    CatalogueUnavailable->hide();
    settings_.holdSelectionFile(false);
    settings_.RestoreTicks();
}

void SelectionTable::ShowCatalogueUnavailable() {
    catalogueAvailable_ = false;
    settings_.holdSelectionFile(true);
    if (controls_.Tabella_Mappe_Selezionate != nullptr) {
        controls_.Tabella_Mappe_Selezionate->clear();
    }
    if (controls_.FormWait != nullptr) {
        controls_.FormWait->hide();
    }
    ApplyLanguage();
    CatalogueUnavailable->show();
    CatalogueUnavailable->raise();
}

void SelectionTable::ApplyLanguage() {
    CatalogueUnavailable->setText(CatalogueUnavailableText(state_.Lingua));
}

void SelectionTable::RefillSelectionTable() {
    if (catalogueAvailable_) {
        FillSelectionTable();
    } else {
        ShowCatalogueUnavailable();
    }
}

void SelectionTable::ClearSelection() {
    QListWidget* table = controls_.Tabella_Mappe_Selezionate;
    if (table != nullptr) {
        for (int i = 0; i < table->count(); ++i) {
            table->item(i)->setCheckState(Qt::Unchecked);
        }
    }
    dialogs_.message(ListCleanedText(state_.Lingua), QString());
}

void SelectionTable::setPreviewVisible(bool visible) {
    for (QWidget* w : {static_cast<QWidget*>(controls_.BrowserImgPreview),
                       static_cast<QWidget*>(controls_.FrameDescPreview),
                       static_cast<QWidget*>(controls_.DescPreview)}) {
        if (w != nullptr) {
            w->setVisible(visible);
        }
    }
}

void SelectionTable::ShowPreview() {
    setPreviewVisible(true);
}

void SelectionTable::HidePreview() {
    setPreviewVisible(false);
}

void SelectionTable::PreviewEntry(int index) {
    ShowPreview();
    if (index < 0) {
        return;
    }
    if (controls_.BrowserImgPreview != nullptr) {
        controls_.BrowserImgPreview->navigate(
            PreviewAddress(state_.listURL[index], [this](int i) { return town_.param(i); }));
    }
    if (controls_.DescPreview != nullptr) {
        controls_.DescPreview->setPlainText(
            PreviewDescription(state_.listURLcomment[index], state_.listCopyright[index]));
    }
}

void SelectionTable::Tabella_Mappe_Selezionate_Click() {
    QListWidget* table = controls_.Tabella_Mappe_Selezionate;
    PreviewEntry(table != nullptr ? table->currentRow() : -1);
}

void SelectionTable::Tabella_Mappe_Selezionate_MouseDown() {
    settings_.markUnsaved();
}

void SelectionTable::Label11_Click() {
    ClearSelection();
}

void SelectionTable::PreViewEnabled_Click() {
    HidePreview();
}

bool SelectionTable::eventFilter(QObject* watched, QEvent* event) {
    QListWidget* table = controls_.Tabella_Mappe_Selezionate;
    if (table != nullptr && watched == table->viewport() &&
        event->type() == QEvent::MouseButtonPress) {
        Tabella_Mappe_Selezionate_MouseDown();
    } else if (watched == Label11 && event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label11_Click();
    }
    return QObject::eventFilter(watched, event);
}
