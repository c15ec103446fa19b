// Answers modal boxes as a player would, one step per box as each appears:
// for tests, which cannot click while a box's own loop runs.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>

class QWidget;

namespace treva {

class ModalScript : public QObject {
public:
    using Step = std::function<void(QWidget *box)>;

    ModalScript();
    // The next modal box to appear gets this step.
    void then(Step step);
    bool done() const { return steps_.empty(); }
    int answered() const { return answered_; }

private:
    void poll();

    QTimer timer_;
    std::deque<Step> steps_;
    QPointer<QWidget> last_;
    int answered_ = 0;
};

} // namespace treva
