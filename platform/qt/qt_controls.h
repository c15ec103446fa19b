// The widgets a window built from a dialog template is made of: the window
// itself and the controls whose contents the layer sets and reads back.
// Inside the Qt layer only.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QListView>
#include <QWidget>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/qt/qt_window_layer.h"

class QLabel;

namespace treva {

class QtDialogWindow : public QDialog {
public:
    QtDialogWindow(QtWindowLayer &layer, WindowId id, const DialogTemplate &dialog, bool modal, QWidget *owner);

    WindowId id() const { return id_; }
    bool ending = false; // ended by the program: let it go without asking

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QtWindowLayer &layer_;
    WindowId id_;
    bool modal_;
    bool closeBox_;
    int closeCommand_ = 0; // what the caption's close box sends; 0 for nothing
    bool escapeCloses_;
};

// A static picture: the bitmap at its own size, the sharp variant on a 200% screen.
class PictureControl : public QWidget {
public:
    explicit PictureControl(QWidget *parent) : QWidget(parent) {}

    int bitmap() const { return bitmap_; }

    void setBitmap(int id);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    int bitmap_ = 0;
};

class RowsModel;

// A list box: rows of text, several selectable with Shift and Ctrl as in
// any list. It sends no command; the window reads its selection when asked.
class RowsControl : public QListView {
public:
    explicit RowsControl(QWidget *parent);

    void setRows(int count, std::function<std::string(int)> row);

    std::vector<int> selected() const;

private:
    QFont rowFont() const;

    RowsModel *rows_;
};

// A bar chart: for each result a bar as high as its count, the count above
// it, the result under it, and a line across its slot at the count fair
// dice would have given. Everything is scaled to the largest count or
// expected count. It shows, takes no input and never the focus.
class ChartControl : public QFrame {
public:
    explicit ChartControl(QWidget *parent);

    void setBars(const std::vector<ChartBar> &bars);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    static constexpr int kMargin = 3; // pixels between the frame and the drawing

    QString describe() const;

    std::vector<ChartBar> bars_;
};

// The label that shows a text control's text: a caption's own, or a field's.
QLabel *textLabel(QWidget *control);
void showText(QWidget *control, std::string_view bytes);

} // namespace treva
