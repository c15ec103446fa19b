// Dialog templates: every window's controls with their ids, kinds, captions,
// positions and sizes in dialog units. Both window realisations build their
// windows from these.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace treva {

enum class ControlKind {
    PushButton,
    DefaultPushButton,
    CheckBox,    // toggles itself before it sends its command
    RadioButton, // checks itself (and unchecks its group) before it sends its command
    DropDownList,
    EditBox,
    Text,     // static text: sends no command
    Picture,  // static picture: sends no command
    ListBox,  // rows of text, several selectable; sends no command
    BarChart, // bars with marks, drawn from numbers; sends no command
};

// The most characters an edit box holds, typed or set, as the system's edit
// control holds by default.
inline constexpr int kEditBoxCapacity = 32767;

// Control styles.
enum : unsigned {
    kCentred = 1u << 0,
    kSunken = 1u << 1,
    kBorder = 1u << 2,
    kGroup = 1u << 3, // starts a group (radio buttons group up to the next)
    // A control of ours added to a window whose controls scripts know: the
    // drive neither lists nor takes it, so that a script sees the window as
    // it always has.
    kAdded = 1u << 4,
};

// Dialog styles.
enum : unsigned {
    kDialogCentred = 1u << 0,
    kDialogSystemMenu = 1u << 1, // caption with system menu and close box
    // A tool window of ours that Escape closes (command 2), as tool windows
    // do today; the module's own windows keep Escape to themselves.
    kDialogEscapeCloses = 1u << 2,
};

inline constexpr int kNoId = -1;

struct ControlTemplate {
    int id; // kNoId for texts and pictures nobody addresses
    ControlKind kind;
    const char *caption; // code page 1252; "\r" breaks lines
    int x, y, width, height;
    unsigned style;
    int bitmap = 0; // picture controls: the bitmap shown from the start
};

struct DialogTemplate {
    int id;
    const char *title;
    int width, height;
    int pointSize;
    unsigned style;
    std::vector<ControlTemplate> controls;

    const ControlTemplate *control(int controlId) const;
    // The controls [first, end) of the group that holds control `index`: from
    // the nearest control that starts a group up to the next one. A radio
    // button clicked unchecks the other radio buttons of its group.
    std::pair<std::size_t, std::size_t> groupOf(std::size_t index) const;

    // The room, in dialog units, that an unframed text or a check box may take
    // when its text outgrows the template's area (a die count, an A1 DR with
    // a large modifier, a wider font than the template was laid out for): up
    // to the next control on its right (left-aligned text only) and to the
    // next one under it. Edges: right and bottom are exclusive.
    struct Room {
        int left, top, right, bottom;
    };
    Room freeRoom(const ControlTemplate &c) const;
};

// The template with this id, or nullptr.
const DialogTemplate *findDialogTemplate(int templateId);

// Every template, in id order.
const std::vector<DialogTemplate> &allDialogTemplates();

// Template ids.
enum : int {
    kActivationDialog = 101,
    kSetupDialog = 102,
    kActionsDialog = 103,
    kSpecialDialog = 107,
    kDieStatsDialog = 114,
    kAdvanceDialog = 115,
    kAboutDialog = 116,
    kNoticeDialog = 126,
    kRandomTablesDialog = 128,
    kRollHistoryDialog = 140,
    kDiceChartDialog = 141,
};

} // namespace treva
