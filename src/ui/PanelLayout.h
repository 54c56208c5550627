#pragma once

#include <QPixmap>
#include <QString>
#include <vector>

class QWidget;

// Where the configuration panel's elements sit and what each one is. Every
// element is a row of one table: its control name, its tab, its place in
// twips in the tab control's coordinates (the tab row included), its kind and
// its few particulars. The panel creates the elements from the table once and
// places them from it at every layout.
namespace PanelLayout {

constexpr int kTimersTab = 0;
constexpr int kSetupTab = 1;
constexpr int kPicturesTab = 2;
constexpr int kRunExitTab = 3;
constexpr int kToolsTab = 4;

enum class Kind {
    Background, // the tab's picture, behind every other element
    Title,      // the tab's heading: bold, one line, left-aligned
    Caption,    // words under or beside an icon, centred and wrapping
    Icon,       // a flat picture button
    Picture,    // a picture label that shows its picture in the hover help
    Still,      // a picture label and nothing more
    Field,      // a one-line text box
    HelpBox,    // a read-only text box that explains its tab
    List,       // the list of selected pictures
    Bar,        // a plain coloured bar
    Guest,      // created by another part on the tab's page; the panel adopts it
};

// Particulars of an element, or-ed together.
enum Flag : unsigned {
    kHidden = 1U << 0,      // hidden until the program shows it
    kArrowCursor = 1U << 1, // an icon that does nothing when clicked
    kLeft = 1U << 2,        // words left-aligned and centred in height
    kOneLine = 1U << 3,     // words that never wrap
    kUnit = 1U << 4,        // the light-blue words of units and notes
    kCentred = 1U << 5,     // a title centred in its box
    kReadOnly = 1U << 6,    // a text box the program fills and the user only reads
    kStrip = 1U << 7,       // an element of a navigation strip
    kCurrent = 1U << 8,     // the strip element of the tab it stands on
    kPill = 1U << 9,        // the rounded link to the tools tab
};

struct Element {
    QString name;
    int tab;
    int left, top, width, height;
    Kind kind;
    // The picture's resource name for icons and picture labels; empty means
    // the element's own name.
    QString picture = {};
    unsigned flags = 0;
    // The tab a click on the element shows; -1 for none.
    int shows = -1;
};

// Every element, in the order they are created (which is also their order
// from back to front on their tab).
const std::vector<Element>& elements();
// The row of an element, nullptr if the table has none.
const Element* find(const QString& name);

// The name of the strip caption on tab `onTab` that shows tab `shownTab`,
// and of the link to the tools tab on tab `onTab`.
QString stripLabelName(int shownTab, int onTab);
QString toolsLinkName(int onTab);

// One of the program's pictures, by resource name.
QPixmap picture(const QString& name);

// The widget of an element, made a child of `canvas` and given its control
// name, kind and particulars (its words come later, from the panel); nullptr
// for a guest.
QWidget* create(const Element& element, QWidget* canvas);
// Puts `widget` (nullptr is ignored) at the element's place; icons and
// scaled pictures follow their new size.
void place(QWidget* widget, const Element& element);

} // namespace PanelLayout
