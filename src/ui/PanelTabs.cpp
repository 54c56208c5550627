#include "ui/PanelTabs.h"

#include "platform/Twips.h"
#include "ui/ConfigurationPanel.h"

#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>

namespace {

// The tab row: every caption stays whole. Tabs take their captions' widths
// while the row has room; otherwise they share the row in proportion and
// the captions wrap onto two lines.
class PanelTabBar : public QTabBar {
public:
    explicit PanelTabBar(QWidget* parent) : QTabBar(parent) {
        setUsesScrollButtons(false);
        setDrawBase(false);
        setExpanding(false);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(11);
        font.setBold(true);
        setFont(font);
    }

protected:
    QSize tabSizeHint(int index) const override {
        const int room = platform::twipsToPixels(ConfigurationPanel::kPanelWidth) - 2;
        int natural = 0;
        int narrowest = 0;
        for (int tab = 0; tab < count(); ++tab) {
            natural += naturalWidth(tab);
            narrowest += narrowestWidth(tab);
        }
        int width = naturalWidth(index);
        if (natural > room) {
            // Every tab keeps its longest word; the rest of the row goes to
            // the tabs in proportion to what wrapping took from them.
            const int spare = qMax(0, room - narrowest);
            const int wrapped = qMax(1, natural - narrowest);
            width = narrowestWidth(index) +
                    (naturalWidth(index) - narrowestWidth(index)) * spare / wrapped;
        }
        return {width, platform::twipsToPixels(ConfigurationPanel::kTabTop)};
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }

    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        for (int tab = 0; tab < count(); ++tab) {
            QStyleOptionTab option;
            initStyleOption(&option, tab);
            const QString caption = option.text;
            option.text.clear();
            painter.drawControl(QStyle::CE_TabBarTabShape, option);
            const bool current = tab == currentIndex();
            painter.setPen(current ? QColor(0xFF, 0xFF, 0xFF) : QColor(0xA6, 0xD6, 0xFF));
            painter.drawText(option.rect.adjusted(kPadding, 2, -kPadding, 0),
                             Qt::AlignCenter | Qt::TextWordWrap, caption);
        }
    }

private:
    static constexpr int kPadding = 5;
    int naturalWidth(int index) const {
        return fontMetrics().horizontalAdvance(tabText(index)) + 2 * kPadding + 4;
    }
    int narrowestWidth(int index) const {
        int longest = 0;
        for (const QString& word : tabText(index).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            longest = qMax(longest, fontMetrics().horizontalAdvance(word));
        }
        return longest + 2 * kPadding + 4;
    }
};

} // namespace

PanelTabs::PanelTabs(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new PanelTabBar(this));
}
