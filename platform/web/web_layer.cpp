#include "platform/web/web_layer.h"

#include <emscripten/emscripten.h>

#include <cstdlib>

#include "drive/json.h"
#include "resources/accessible_names.h"
#include "resources/menu.h"
#include "resources/tab_order.h"
#include "state/text.h"

// The page's side of the layer (web_layer.js). Texts cross as UTF-8, through
// the program's one code page table; a text coming back is the page's own
// allocation, freed here.
extern "C" {
void web_buildFrame(const char *menuJson, const char *stripJson);
void web_createWindow(int window, int templateId, const char *title, int width, int height, int pointSize, int modal,
                      int closeBox, int escapeCloses, int owner);
void web_addControl(int window, int id, const char *kind, const char *caption, int x, int y, int width, int height,
                    const char *style, int capacity, int bitmap, int group, int focusable, int roomRight,
                    int roomBottom, const char *name);
void web_showWindow(int window);
int web_focusFirst(int window);
void web_endWindow(int window, int keep);
void web_activate(int window);
int web_hasControl(int window, int control);
void web_setText(int window, int control, const char *text);
char *web_text(int window, int control);
void web_setChecked(int window, int control, int checked);
int web_isChecked(int window, int control);
void web_setEnabled(int window, int control, int enabled);
int web_isEnabled(int window, int control);
void web_addItem(int window, int control, const char *item);
void web_setSelection(int window, int control, int index);
int web_selection(int window, int control);
int web_itemCount(int window, int control);
char *web_itemText(int window, int control, int index);
void web_setImage(int window, int control, int bitmap);
int web_image(int window, int control);
void web_focusSelectAll(int window, int control);
void web_setRows(int window, int control, int count);
char *web_selectedRows(int window, int control);
void web_setChart(int window, int control, const char *barsJson);
void web_copyText(const char *text);
void web_setCaption(const char *caption);
void web_setModified(int modified);
void web_setMenuItemEnabled(int command, int enabled);
void web_closeFrame();
int web_windowRect(int window, int *rect);
void web_deskRect(int *rect);
void web_screenRect(int *rect);
void web_moveWindow(int window, int x, int y);
int web_captionHeight(int window);
char *web_readSetting(const char *key);
void web_writeSetting(const char *key, const char *value);
int web_openDocument(const char *path);
// These wait for the player (or for a modal box to end): the program is
// suspended meanwhile, and the page goes on handling its events.
int web_waitModal(int window);
char *web_askOpenPath(const char *startName);
char *web_askSavePath(const char *proposedName);
int web_askSaveChanges(const char *name);
void web_showError(const char *title, const char *text);
}

namespace treva {

WebPage webPage;

namespace {

std::string taken(char *text) {
    if (!text) return {};
    std::string s(text);
    std::free(text);
    return s;
}

} // namespace

WebLayer::WebLayer(bool keepEnded) : keepEnded_(keepEnded) { webPage.layer = this; }

WebLayer::~WebLayer() {
    if (webPage.layer == this) webPage.layer = nullptr;
}

void WebLayer::buildFrame() {
    std::string menu = "[";
    for (const MenuPopup &popup : frameMenu()) {
        if (menu.size() > 1) menu += ",";
        menu += "{\"title\":" + jsonString(popup.title) + ",\"items\":[";
        bool first = true;
        for (const MenuItem &item : popup.items) {
            if (!first) menu += ",";
            first = false;
            if (!item.text) {
                menu += "null";
                continue;
            }
            menu += "{\"text\":" + jsonString(item.text) + ",\"command\":" + std::to_string(item.command) +
                    ",\"grayed\":" + (item.grayed ? "true" : "false") +
                    ",\"shortcut\":" + (item.shortcut ? jsonString(item.shortcut) : "null") + "}";
        }
        menu += "]}";
    }
    menu += "]";
    std::string strip = "[";
    for (const ToolbarButton &button : toolbarButtons()) {
        if (strip.size() > 1) strip += ",";
        strip += "{\"image\":" + std::to_string(button.image) + ",\"command\":" + std::to_string(button.command) +
                 ",\"name\":" + jsonString(button.name) + "}";
    }
    strip += "]";
    web_buildFrame(menu.c_str(), strip.c_str());
}

const WebWindow *WebLayer::window(WindowId window) const { return find(window); }

bool WebLayer::hasControl(WindowId window, int control) const {
    return find(window) && control != kNoId && web_hasControl(window, control);
}

namespace {

// The page knows a control's kind, its look and how much an edit box holds
// from what the program sends, by name: none of the program's numbers is
// written again in the page.
const char *kindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::PushButton: return "push";
    case ControlKind::DefaultPushButton: return "defaultPush";
    case ControlKind::CheckBox: return "check";
    case ControlKind::RadioButton: return "radio";
    case ControlKind::DropDownList: return "list";
    case ControlKind::EditBox: return "edit";
    case ControlKind::Text: return "text";
    case ControlKind::Picture: return "picture";
    case ControlKind::ListBox: return "listBox";
    case ControlKind::BarChart: return "chart";
    }
    return "text";
}

// The page's classes for a control's style.
std::string styleClasses(unsigned style) {
    std::string classes;
    if (style & kCentred) classes += " centred";
    if (style & kSunken) classes += " sunken";
    if (style & kBorder) classes += " bordered";
    return classes.empty() ? classes : classes.substr(1);
}

} // namespace

WindowId WebLayer::createWindow(int templateId, WindowId owner, WindowProc proc, bool modal) {
    const DialogTemplate *dialog = findDialogTemplate(templateId);
    if (!dialog || book_.frameClosed()) return kNoWindow;
    const WindowId id = book_.add(*dialog, std::move(proc), owner, modal).id;

    web_createWindow(id, dialog->id, cp1252ToUtf8(dialog->title).c_str(), dialog->width, dialog->height,
                     dialog->pointSize, modal, (dialog->style & kDialogSystemMenu) != 0,
                     (dialog->style & kDialogEscapeCloses) != 0, owner);
    // The page takes the controls in the order the Tab key goes through them
    // (which is also the order a screen reader reads them), then the rest.
    const std::vector<std::size_t> order = tabOrder(*dialog);
    std::vector<bool> placed(dialog->controls.size());
    auto add = [&](std::size_t index) {
        const ControlTemplate &c = dialog->controls[index];
        const std::size_t group = dialog->groupOf(index).first;
        // A text may outgrow its area in the page's font: it may take the
        // free room beside and under it.
        const DialogTemplate::Room room = dialog->freeRoom(c);
        web_addControl(id, c.id, kindName(c.kind), cp1252ToUtf8(c.caption ? c.caption : "").c_str(), c.x, c.y, c.width,
                       c.height, styleClasses(c.style).c_str(),
                       c.kind == ControlKind::EditBox ? int(kEditBoxCapacity) : 0, c.bitmap, int(group),
                       takesFocus(c.kind), room.right, room.bottom, accessibleName(*dialog, c).c_str());
        placed[index] = true;
    };
    for (const std::size_t index : order) {
        // A radio group is one stop: its buttons follow one another.
        const auto [first, end] = dialog->groupOf(index);
        if (dialog->controls[index].kind == ControlKind::RadioButton) {
            for (std::size_t i = first; i < end; ++i)
                if (!placed[i] && dialog->controls[i].kind == ControlKind::RadioButton) add(i);
        } else if (!placed[index]) {
            add(index);
        }
    }
    for (std::size_t i = 0; i < dialog->controls.size(); ++i)
        if (!placed[i]) add(i);

    send(id, {MessageKind::Init});
    if (!isOpen(id)) return id;
    web_showWindow(id);
    if (!modal) place(*find(id));
    activate(id);
    // Unless the procedure has put it elsewhere, the focus goes to the first
    // control that takes it; a drop-down list that takes it reports it.
    const int focused = web_focusFirst(id);
    if (focused != kNoId) {
        const ControlTemplate *c = dialog->control(focused);
        if (c && c->kind == ControlKind::DropDownList) send(id, {MessageKind::Command, focused});
    }
    return id;
}

WindowId WebLayer::createModeless(int templateId, WindowId owner, WindowProc proc) {
    return createWindow(templateId, owner, std::move(proc), false);
}

int WebLayer::runModal(int templateId, WindowId owner, WindowProc proc) {
    const WindowId box = createWindow(templateId, owner, std::move(proc), true);
    if (box == kNoWindow) return kNoBox;
    if (onModal) {
        if (isOpen(box)) onModal(box);
    } else if (isOpen(box)) {
        web_waitModal(box);
    }
    const WebWindow *w = find(box);
    return w->open ? 0 : w->result;
}

void WebLayer::endWindow(WindowId window, int result) {
    const bool wasActive = book_.active() == window;
    const WebWindow *w = book_.end(window, result);
    if (!w) return;
    leave(*w); // it comes back there
    web_endWindow(window, keepEnded_);
    if (wasActive) web_activate(book_.active());
}

void WebLayer::activate(WindowId window) { activateAs(window, kActive); }

void WebLayer::clickActivate(WindowId window) { activateAs(window, kClickActive); }

void WebLayer::activateAs(WindowId window, int state) {
    if (!isOpen(window) || window == book_.active()) return;
    web_activate(window);
    book_.changeActive(window, state);
}

bool WebLayer::isOpen(WindowId window) const { return book_.isOpen(window); }

void WebLayer::setText(WindowId window, int control, std::string_view text) {
    if (!hasControl(window, control)) return;
    std::string bounded(text.substr(0, kEditBoxCapacity));
    web_setText(window, control, cp1252ToUtf8(bounded).c_str());
}

std::string WebLayer::text(WindowId window, int control) const {
    return hasControl(window, control) ? utf8ToCp1252(taken(web_text(window, control))) : std::string();
}

void WebLayer::setChecked(WindowId window, int control, bool checked) {
    if (hasControl(window, control)) web_setChecked(window, control, checked);
}

bool WebLayer::isChecked(WindowId window, int control) const {
    return hasControl(window, control) && web_isChecked(window, control);
}

void WebLayer::setEnabled(WindowId window, int control, bool enabled) {
    if (hasControl(window, control)) web_setEnabled(window, control, enabled);
}

bool WebLayer::isEnabled(WindowId window, int control) const {
    return hasControl(window, control) && web_isEnabled(window, control);
}

void WebLayer::addItem(WindowId window, int control, std::string_view item) {
    if (hasControl(window, control)) web_addItem(window, control, cp1252ToUtf8(item).c_str());
}

void WebLayer::setSelection(WindowId window, int control, int index) {
    if (hasControl(window, control)) web_setSelection(window, control, index);
}

int WebLayer::selection(WindowId window, int control) const {
    return hasControl(window, control) ? web_selection(window, control) : -1;
}

int WebLayer::itemCount(WindowId window, int control) const {
    return hasControl(window, control) ? web_itemCount(window, control) : 0;
}

std::string WebLayer::itemText(WindowId window, int control, int index) const {
    return hasControl(window, control) ? utf8ToCp1252(taken(web_itemText(window, control, index))) : std::string();
}

void WebLayer::setImage(WindowId window, int control, int bitmapId) {
    if (hasControl(window, control)) web_setImage(window, control, bitmapId);
}

int WebLayer::image(WindowId window, int control) const {
    return hasControl(window, control) ? web_image(window, control) : 0;
}

void WebLayer::focusAndSelectAll(WindowId window, int control) {
    if (hasControl(window, control)) web_focusSelectAll(window, control);
}

void WebLayer::setRows(WindowId window, int control, int count, std::function<std::string(int)> row) {
    WebWindow *w = find(window);
    const ControlTemplate *c = w ? w->dialog->control(control) : nullptr;
    if (!c || c->kind != ControlKind::ListBox) return;
    w->rows[control] = std::move(row);
    web_setRows(window, control, count);
}

std::string WebLayer::row(WindowId window, int control, int index) const {
    const WebWindow *w = find(window);
    if (!w) return {};
    auto it = w->rows.find(control);
    return it == w->rows.end() || !it->second ? std::string() : cp1252ToUtf8(it->second(index));
}

std::vector<int> WebLayer::selectedRows(WindowId window, int control) const {
    std::vector<int> rows;
    if (!hasControl(window, control)) return rows;
    const std::string list = taken(web_selectedRows(window, control));
    std::size_t at = 0;
    while (at < list.size()) {
        const std::size_t comma = list.find(',', at);
        rows.push_back(std::atoi(list.substr(at, comma - at).c_str()));
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    return rows;
}

void WebLayer::setChart(WindowId window, int control, const std::vector<ChartBar> &bars) {
    if (!hasControl(window, control)) return;
    std::string json = "[";
    for (const ChartBar &bar : bars) {
        if (json.size() > 1) json += ",";
        char numbers[64];
        std::snprintf(numbers, sizeof numbers, ",\"count\":%d,\"expected\":%.3f}", bar.count, bar.expected);
        json += "{\"label\":" + jsonString(bar.label) + numbers;
    }
    json += "]";
    web_setChart(window, control, json.c_str());
}

void WebLayer::copyText(std::string_view text) { web_copyText(std::string(text).c_str()); }

void WebLayer::setFrameCaption(std::string_view caption) { web_setCaption(std::string(caption).c_str()); }

void WebLayer::setFrameModified(bool modified) { web_setModified(modified); }

void WebLayer::setMenuItemEnabled(int command, bool enabled) { web_setMenuItemEnabled(command, enabled); }

void WebLayer::closeFrame() {
    book_.closeFrame([this](WebWindow &w) {
        leave(w);
        web_endWindow(w.id, keepEnded_);
    });
    web_closeFrame();
}

std::optional<std::string> PageSettingsStore::read(const std::string &key) const {
    char *value = web_readSetting(key.c_str());
    if (!value) return std::nullopt;
    return taken(value);
}

void PageSettingsStore::write(const std::string &key, const std::string &value) {
    web_writeSetting(key.c_str(), value.c_str());
}

std::optional<ScreenRect> WebLayer::placeOf(const WebWindow &w) const {
    int r[4];
    if (w.modal || !web_windowRect(w.id, r)) return std::nullopt;
    return ScreenRect{r[0], r[1], r[2], r[3]};
}

Surroundings WebLayer::surroundings(WindowId window) const {
    // The desk lies below the frame: the frame is no obstacle on it.
    int desk[4];
    web_deskRect(desk);
    Surroundings around{{desk[0], desk[1], desk[2], desk[3]}, {desk[0], desk[1], 0, 0}, {}, web_captionHeight(window)};
    for (const WindowId id : book_.openWindows())
        if (const std::optional<ScreenRect> r = id == window ? std::nullopt : placeOf(*find(id)))
            around.open.push_back(*r);
    return around;
}

void WebLayer::place(const WebWindow &w) {
    const std::optional<ScreenRect> shown = placeOf(w);
    if (!shown) return;
    int screen[4];
    web_screenRect(screen);
    workspace_.setScreens({{screen[0], screen[1], screen[2], screen[3]}});
    const ScreenPoint at = workspace_.place(w.dialog->id, surroundings(w.id), {shown->width, shown->height});
    web_moveWindow(w.id, at.x, at.y);
}

void WebLayer::leave(const WebWindow &w) {
    if (const std::optional<ScreenRect> r = placeOf(w)) workspace_.leave(w.dialog->id, *r);
}

void WebLayer::arrangeWindows() {
    std::vector<WindowId> tools;
    std::vector<ScreenRect> outer;
    for (const WindowId id : book_.openWindows()) {
        if (const std::optional<ScreenRect> r = placeOf(*find(id))) {
            tools.push_back(id);
            outer.push_back(*r);
        }
    }
    if (tools.empty()) return;
    const std::vector<ScreenRect> placed = Workspace::arrange(surroundings(tools.front()), outer);
    for (std::size_t i = 0; i < tools.size(); ++i) web_moveWindow(tools[i], placed[i].x, placed[i].y);
}

std::optional<std::string> WebLayer::askOpenPath(std::string_view startName) {
    char *path = web_askOpenPath(std::string(startName).c_str());
    if (!path) return std::nullopt;
    return taken(path);
}

std::optional<std::string> WebLayer::askSavePath(std::string_view proposedName) {
    char *path = web_askSavePath(std::string(proposedName).c_str());
    if (!path) return std::nullopt;
    return taken(path);
}

WindowLayer::SaveAnswer WebLayer::askSaveChanges(std::string_view name) {
    switch (web_askSaveChanges(std::string(name).c_str())) {
    case 0: return SaveAnswer::Save;
    case 1: return SaveAnswer::DontSave;
    default: return SaveAnswer::Cancel;
    }
}

void WebLayer::showError(std::string_view title, std::string_view text) {
    web_showError(std::string(title).c_str(), std::string(text).c_str());
}

bool WebLayer::openDocument(std::string_view path) { return web_openDocument(std::string(path).c_str()); }

void WebLayer::command(WindowId window, int control) { send(window, {MessageKind::Command, control}); }

WindowId WebLayer::newestWindow(int templateId) const { return book_.newest(templateId); }

} // namespace treva

// The page's events.
extern "C" {

EMSCRIPTEN_KEEPALIVE void webCommand(int window, int control) {
    if (!treva::webPage.layer) return;
    treva::webPage.layer->command(window, control);
    if (treva::webPage.afterEvent) treva::webPage.afterEvent();
}

EMSCRIPTEN_KEEPALIVE void webClickActivate(int window) {
    if (!treva::webPage.layer) return;
    treva::webPage.layer->clickActivate(window);
    if (treva::webPage.afterEvent) treva::webPage.afterEvent();
}

EMSCRIPTEN_KEEPALIVE void webFrameCommand(int command) {
    if (treva::webPage.onFrameCommand) treva::webPage.onFrameCommand(command);
    if (treva::webPage.afterEvent) treva::webPage.afterEvent();
}

// After the program has gone on from a wait (a box ended, a file chosen).
EMSCRIPTEN_KEEPALIVE void webResumed() {
    if (treva::webPage.afterEvent) treva::webPage.afterEvent();
}

// Row `index` of a list box, for the page to show: valid until the next call.
EMSCRIPTEN_KEEPALIVE const char *webRow(int window, int control, int index) {
    treva::WebPage &page = treva::webPage;
    page.rowShown = page.layer ? page.layer->row(window, control, index) : std::string();
    return page.rowShown.c_str();
}
}
