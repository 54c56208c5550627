#pragma once

#include <QTabWidget>

// The configuration panel's tab control: a QTabWidget whose tab row keeps
// every caption whole, wrapping captions onto two lines when the row is
// short of room.
class PanelTabs : public QTabWidget {
public:
    explicit PanelTabs(QWidget* parent);
};
