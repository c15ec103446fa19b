#include "platform/headless/headless_layer.h"

#include <algorithm>

#include "resources/tab_order.h"
#include "state/text.h"

namespace treva {

HeadlessControl *HeadlessWindow::control(int id) {
    if (id == kNoId) return nullptr;
    for (HeadlessControl &c : controls)
        if (c.source->id == id) return &c;
    return nullptr;
}

const HeadlessControl *HeadlessWindow::control(int id) const { return const_cast<HeadlessWindow *>(this)->control(id); }

namespace {

// Texts, pictures and charts take no input and never the focus.
bool takesFocus(const HeadlessControl &c) { return c.enabled && takesFocus(c.source->kind); }

} // namespace

HeadlessLayer::HeadlessLayer() = default;

WindowId HeadlessLayer::createWindow(int templateId, WindowId owner, WindowProc proc, bool modal) {
    const DialogTemplate *dialog = findDialogTemplate(templateId);
    if (!dialog) return kNoWindow;
    HeadlessWindow &w = book_.add(*dialog, std::move(proc), owner, modal);
    for (const ControlTemplate &c : dialog->controls) {
        HeadlessControl control;
        control.source = &c;
        control.text = c.caption;
        control.image = c.bitmap;
        w.controls.push_back(std::move(control));
    }
    const WindowId id = w.id;
    send(id, {MessageKind::Init});
    if (!isOpen(id)) return id;
    activate(id);
    // Unless the procedure has put it elsewhere, the focus goes to the first
    // control that takes it.
    HeadlessWindow &shown = *find(id);
    for (const HeadlessControl &c : shown.controls) {
        if (shown.focus != kNoId || !shown.open) break;
        if (takesFocus(c)) takeFocus(shown, c);
    }
    return id;
}

WindowLayer::SaveAnswer HeadlessLayer::askSaveChanges(std::string_view name) {
    saveQuestions.emplace_back(name);
    if (saveAnswers.empty()) return SaveAnswer::Cancel;
    const SaveAnswer answer = saveAnswers.front();
    saveAnswers.erase(saveAnswers.begin());
    return answer;
}

WindowId HeadlessLayer::createModeless(int templateId, WindowId owner, WindowProc proc) {
    return createWindow(templateId, owner, std::move(proc), false);
}

int HeadlessLayer::runModal(int templateId, WindowId owner, WindowProc proc) {
    const WindowId box = createWindow(templateId, owner, std::move(proc), true);
    if (box == kNoWindow) return kNoBox;
    if (onModal && isOpen(box)) onModal(box);
    const HeadlessWindow *w = find(box);
    return w->open ? 0 : w->result;
}

void HeadlessLayer::endWindow(WindowId window, int result) { book_.end(window, result); }

void HeadlessLayer::activate(WindowId window) { activateAs(window, kActive); }

void HeadlessLayer::clickActivate(WindowId window) { activateAs(window, kClickActive); }

void HeadlessLayer::activateAs(WindowId window, int state) {
    if (isOpen(window)) book_.changeActive(window, state);
}

bool HeadlessLayer::isOpen(WindowId window) const { return book_.isOpen(window); }

void HeadlessLayer::setText(WindowId window, int control, std::string_view text) {
    HeadlessControl *c = findControl(window, control);
    if (!c) return;
    c->text = text;
    if (c->source->kind == ControlKind::EditBox && c->text.size() > kEditBoxCapacity) c->text.resize(kEditBoxCapacity);
}

std::string HeadlessLayer::text(WindowId window, int control) const {
    const HeadlessControl *c = findControl(window, control);
    return c ? c->text : std::string();
}

void HeadlessLayer::setChecked(WindowId window, int control, bool checked) {
    if (HeadlessControl *c = findControl(window, control)) c->checked = checked;
}

bool HeadlessLayer::isChecked(WindowId window, int control) const {
    const HeadlessControl *c = findControl(window, control);
    return c && c->checked;
}

void HeadlessLayer::setEnabled(WindowId window, int control, bool enabled) {
    if (HeadlessControl *c = findControl(window, control)) c->enabled = enabled;
}

void HeadlessLayer::addItem(WindowId window, int control, std::string_view item) {
    if (HeadlessControl *c = findControl(window, control)) c->items.emplace_back(item);
}

void HeadlessLayer::setSelection(WindowId window, int control, int index) {
    HeadlessControl *c = findControl(window, control);
    if (!c) return;
    // As a drop-down list does: an index outside the items selects nothing.
    c->selection = index >= 0 && index < int(c->items.size()) ? index : -1;
    c->text = c->selection >= 0 ? c->items[c->selection] : std::string();
}

int HeadlessLayer::selection(WindowId window, int control) const {
    const HeadlessControl *c = findControl(window, control);
    return c ? c->selection : -1;
}

void HeadlessLayer::setImage(WindowId window, int control, int bitmapId) {
    if (HeadlessControl *c = findControl(window, control)) c->image = bitmapId;
}

void HeadlessLayer::focusAndSelectAll(WindowId window, int control) {
    HeadlessWindow *w = find(window);
    if (!w || !w->control(control)) return;
    w->focus = control;
    w->focusTextSelected = true;
}

void HeadlessLayer::setRows(WindowId window, int control, int count, std::function<std::string(int)> row) {
    HeadlessControl *c = findControl(window, control);
    if (!c || c->source->kind != ControlKind::ListBox) return;
    c->rowCount = count;
    c->row = std::move(row);
    c->selectedRows.clear();
}

std::vector<int> HeadlessLayer::selectedRows(WindowId window, int control) const {
    const HeadlessControl *c = findControl(window, control);
    return c ? c->selectedRows : std::vector<int>();
}

void HeadlessLayer::setChart(WindowId window, int control, const std::vector<ChartBar> &bars) {
    HeadlessControl *c = findControl(window, control);
    if (c && c->source->kind == ControlKind::BarChart) c->bars = bars;
}

bool HeadlessLayer::selectRows(WindowId window, int control, const std::vector<int> &rows) {
    HeadlessWindow *w = find(window);
    HeadlessControl *c = w && w->open ? w->control(control) : nullptr;
    if (!c || c->source->kind != ControlKind::ListBox) return false;
    if (!c->enabled) return true;
    takeFocus(*w, *c);
    std::vector<int> selected;
    for (const int r : rows)
        if (r >= 0 && r < c->rowCount) selected.push_back(r);
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    c->selectedRows = std::move(selected);
    return true;
}

void HeadlessLayer::closeFrame() {
    book_.closeFrame([](HeadlessWindow &) {});
}

std::optional<std::string> HeadlessLayer::askOpenPath(std::string_view startName) {
    return onFileDialog ? onFileDialog(false, startName) : std::nullopt;
}

std::optional<std::string> HeadlessLayer::askSavePath(std::string_view proposedName) {
    return onFileDialog ? onFileDialog(true, proposedName) : std::nullopt;
}

void HeadlessLayer::showError(std::string_view title, std::string_view text) {
    errors.push_back(std::string(title) + ": " + std::string(text));
}

bool HeadlessLayer::openDocument(std::string_view path) {
    documentsOpened.emplace_back(path);
    return documentsOpen;
}

void HeadlessLayer::takeFocus(HeadlessWindow &w, const HeadlessControl &c) {
    if (w.focus == c.source->id) return;
    w.focus = c.source->id;
    w.focusTextSelected = false;
    if (c.source->kind == ControlKind::DropDownList) send(w.id, {MessageKind::Command, c.source->id});
}

bool HeadlessLayer::click(WindowId window, int control) {
    HeadlessWindow *w = find(window);
    HeadlessControl *c = w && w->open ? w->control(control) : nullptr;
    if (!c) return false;
    if (!takesFocus(*c)) return true; // disabled, or a static control: nothing happens
    takeFocus(*w, *c);
    if (!w->open) return true;
    switch (c->source->kind) {
    case ControlKind::DropDownList:
    case ControlKind::EditBox:
    case ControlKind::ListBox: return true; // the focus is all
    case ControlKind::CheckBox: c->checked = !c->checked; break;
    case ControlKind::RadioButton: {
        const auto [first, end] = w->dialog->groupOf(std::size_t(c - w->controls.data()));
        for (std::size_t i = first; i < end; ++i)
            if (w->controls[i].source->kind == ControlKind::RadioButton) w->controls[i].checked = false;
        c->checked = true;
        break;
    }
    default: break;
    }
    send(window, {MessageKind::Command, control});
    return true;
}

bool HeadlessLayer::choose(WindowId window, int control, int index) {
    HeadlessWindow *w = find(window);
    HeadlessControl *c = findControl(window, control);
    if (!c || !isOpen(window) || c->source->kind != ControlKind::DropDownList) return false;
    if (index < 0 || index >= int(c->items.size())) return false;
    if (!c->enabled) return true;
    takeFocus(*w, *c);
    if (!w->open) return true;
    setSelection(window, control, index);
    send(window, {MessageKind::Command, control});
    return true;
}

bool HeadlessLayer::type(WindowId window, int control, std::string_view text) {
    HeadlessWindow *w = find(window);
    HeadlessControl *c = findControl(window, control);
    if (!c || !isOpen(window) || c->source->kind != ControlKind::EditBox) return false;
    if (!c->enabled) return true;
    takeFocus(*w, *c);
    if (!w->open) return true;
    c->text.clear();
    for (const char byte : text) {
        if (typedByKeys(static_cast<unsigned char>(byte)) && c->text.size() < kEditBoxCapacity) c->text += byte;
    }
    send(window, {MessageKind::Command, control});
    return true;
}

bool HeadlessLayer::closeBox(WindowId window) {
    HeadlessWindow *w = find(window);
    if (!w || !w->open || !(w->dialog->style & kDialogSystemMenu)) return false;
    send(window, {MessageKind::Command, kCommandCancel});
    return true;
}

void HeadlessLayer::escape(WindowId window) {
    HeadlessWindow *w = find(window);
    // A modal box's own dialog loop turns Escape into command 2, and so do
    // the tool windows that Escape closes; the others keep it.
    if (w && w->open && (w->modal || (w->dialog->style & kDialogEscapeCloses)))
        send(window, {MessageKind::Command, kCommandCancel});
}

const HeadlessWindow *HeadlessLayer::window(WindowId window) const { return find(window); }

const HeadlessControl *HeadlessLayer::control(WindowId window, int control) const {
    return findControl(window, control);
}

WindowId HeadlessLayer::newestWindow(int templateId) const { return book_.newest(templateId); }

std::vector<WindowId> HeadlessLayer::openWindows() const { return book_.openWindows(); }

void HeadlessLayer::copyText(std::string_view text) { clipboard = text; }
void HeadlessLayer::arrangeWindows() {} // in-memory windows have no places
void HeadlessLayer::setFrameCaption(std::string_view caption) { frameCaption = caption; }
void HeadlessLayer::setFrameModified(bool modified) { frameModified = modified; }
void HeadlessLayer::setMenuItemEnabled(int command, bool enabled) { menuEnabled[command] = enabled; }

} // namespace treva
