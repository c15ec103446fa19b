#include "platform/qt/modal_script.h"

#include <QApplication>
#include <QWidget>

namespace treva {

ModalScript::ModalScript() {
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
}

void ModalScript::then(Step step) {
    steps_.push_back(std::move(step));
    timer_.start();
}

void ModalScript::poll() {
    QWidget *box = QApplication::activeModalWidget();
    // A box already answered may linger until its deletion: wait for a new one.
    if (!box || !box->isVisible() || box == last_.data() || steps_.empty()) return;
    last_ = box;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    if (steps_.empty()) timer_.stop();
    ++answered_;
    step(box);
}

} // namespace treva
