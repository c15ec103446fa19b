// The frame window: the menu and the toolbar strip. Inside the Qt layer only.
#pragma once

#include <QMainWindow>

#include "platform/qt/qt_window_layer.h"

namespace treva {

class QtFrameWindow : public QMainWindow {
public:
    explicit QtFrameWindow(QtWindowLayer &layer) : layer_(layer) {}

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QtWindowLayer &layer_;
};

} // namespace treva
