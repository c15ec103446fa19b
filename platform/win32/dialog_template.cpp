#include "platform/win32/dialog_template.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "platform/win32/bar_chart.h"
#include "platform/win32/wide_text.h"
#include "resources/tab_order.h"

namespace treva {
namespace {

// The predefined control classes, by the ordinals a template names them with.
enum : uint16_t { kButtonClass = 0x0080, kEditClass = 0x0081, kStaticClass = 0x0082, kComboBoxClass = 0x0085 };

class Writer {
public:
    void word(uint16_t w) { words.push_back(w); }
    void dword(uint32_t d) {
        word(static_cast<uint16_t>(d & 0xFFFF));
        word(static_cast<uint16_t>(d >> 16));
    }
    void text(const std::wstring &s) {
        for (const wchar_t c : s) word(static_cast<uint16_t>(c));
        word(0);
    }
    void ordinal(uint16_t value) {
        word(0xFFFF);
        word(value);
    }
    void alignToDword() {
        if (words.size() % 2) word(0);
    }
    std::vector<uint16_t> words;
};

struct ItemStyle {
    uint16_t windowClass; // a predefined class, unless named
    DWORD style;
    const wchar_t *className = nullptr;
    DWORD exStyle = 0;
};

ItemStyle itemStyle(const ControlTemplate &c) {
    switch (c.kind) {
    case ControlKind::PushButton: return {kButtonClass, BS_PUSHBUTTON};
    case ControlKind::DefaultPushButton: return {kButtonClass, BS_DEFPUSHBUTTON};
    case ControlKind::CheckBox: return {kButtonClass, BS_AUTOCHECKBOX};
    case ControlKind::RadioButton: return {kButtonClass, BS_AUTORADIOBUTTON};
    case ControlKind::DropDownList: return {kComboBoxClass, CBS_DROPDOWNLIST | WS_VSCROLL};
    case ControlKind::EditBox: return {kEditClass, ES_AUTOHSCROLL | (c.style & kBorder ? WS_BORDER : 0u)};
    case ControlKind::Text: {
        if (scrollsItsText(c)) {
            // A read-only box of many lines, which scrolls where its longest
            // text does not fit (the units, a table's text under a wide font).
            DWORD style = ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL;
            style |= c.style & kCentred ? ES_CENTER : ES_LEFT;
            if (c.style & kBorder) style |= WS_BORDER;
            return {kEditClass, style};
        }
        // The texts say what they say: an "&" is a letter, not a mnemonic.
        DWORD style = (c.style & kCentred ? SS_CENTER : SS_LEFT) | SS_NOPREFIX;
        if (c.style & kSunken) style |= SS_SUNKEN;
        if (c.style & kBorder) style |= WS_BORDER;
        return {kStaticClass, style};
    }
    case ControlKind::Picture: return {kStaticClass, SS_BITMAP};
    case ControlKind::ListBox:
        // A virtual list: the layer gives each row as it is shown, so that a
        // long history costs no more than a short one.
        return {0, LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS, WC_LISTVIEWW,
                c.style & kSunken ? static_cast<DWORD>(WS_EX_CLIENTEDGE) : 0u};
    case ControlKind::BarChart:
        return {0, 0, kBarChartClass, c.style & kSunken ? static_cast<DWORD>(WS_EX_STATICEDGE) : 0u};
    }
    return {kStaticClass, SS_LEFT};
}

} // namespace

bool scrollsItsText(const ControlTemplate &c) {
    return c.kind == ControlKind::Text && c.id != kNoId && (c.style & (kSunken | kBorder));
}

std::vector<std::size_t> creationOrder(const DialogTemplate &dialog) {
    std::vector<std::size_t> order = tabOrder(dialog);
    std::vector<bool> taken(dialog.controls.size(), false);
    for (const std::size_t index : order) taken[index] = true;
    for (std::size_t index = 0; index < dialog.controls.size(); ++index)
        if (!taken[index]) order.push_back(index);
    return order;
}

int builtControlId(const DialogTemplate &dialog, std::size_t index) {
    const int id = dialog.controls[index].id;
    return id == kNoId ? kUnaddressedControlBase + static_cast<int>(index) : id;
}

std::vector<uint16_t> buildDialogTemplate(const DialogTemplate &dialog, bool modal) {
    DWORD style = WS_POPUP | WS_CAPTION | DS_SETFONT | DS_3DLOOK;
    if (modal) style |= DS_MODALFRAME;
    if (dialog.style & kDialogSystemMenu) style |= WS_SYSMENU | (modal ? 0u : static_cast<DWORD>(WS_MINIMIZEBOX));
    if (dialog.style & kDialogCentred) style |= DS_CENTER;
    const std::vector<std::size_t> order = creationOrder(dialog);

    Writer w;
    w.word(1);      // version
    w.word(0xFFFF); // an extended template
    w.dword(0);     // help id
    w.dword(modal ? WS_EX_DLGMODALFRAME : 0u);
    w.dword(style);
    w.word(static_cast<uint16_t>(order.size()));
    w.word(0); // x, y: the layer places the window
    w.word(0);
    w.word(static_cast<uint16_t>(dialog.width));
    w.word(static_cast<uint16_t>(dialog.height));
    w.word(0); // no menu
    w.word(0); // the dialog class
    w.text(fromCp1252(dialog.title));
    w.word(static_cast<uint16_t>(dialog.pointSize));
    w.word(FW_NORMAL);
    w.word(DEFAULT_CHARSET << 8); // not italic, then the character set
    w.text(kDialogFontFace);

    for (std::size_t n = 0; n < order.size(); ++n) {
        const ControlTemplate &c = dialog.controls[order[n]];
        const ItemStyle item = itemStyle(c);
        DWORD itemStyle = item.style | WS_CHILD | WS_VISIBLE;
        // A chart has nothing to do with the keys: no Tab stop.
        if (takesFocus(c.kind) && c.kind != ControlKind::BarChart) itemStyle |= WS_TABSTOP;
        // Each control is a group of its own, except that the radio buttons
        // of one template group make one: the arrow keys move within it, and
        // a click unchecks the rest of it only.
        const bool joinsPrevious = c.kind == ControlKind::RadioButton && n > 0 &&
                                   dialog.controls[order[n - 1]].kind == ControlKind::RadioButton &&
                                   dialog.groupOf(order[n - 1]) == dialog.groupOf(order[n]);
        if (!joinsPrevious) itemStyle |= WS_GROUP;

        w.alignToDword();
        w.dword(0);                                                                          // help id
        w.dword(scrollsItsText(c) && (c.style & kSunken) ? WS_EX_STATICEDGE : item.exStyle); // extended style
        w.dword(itemStyle);
        // A framed field's frame goes around the template's area, which stays
        // its text's own: a field one line high still shows its whole line.
        const int frame = scrollsItsText(c) ? 1 : 0;
        w.word(static_cast<uint16_t>(c.x - frame));
        w.word(static_cast<uint16_t>(c.y - frame));
        // Unframed texts and check boxes may take the free room beside them:
        // the system's dialog font may set them wider than the template did.
        int width = c.width, height = c.height;
        const bool framed = c.style & (kSunken | kBorder);
        if ((c.kind == ControlKind::Text && !framed) || c.kind == ControlKind::CheckBox) {
            const DialogTemplate::Room room = dialog.freeRoom(c);
            width = room.right - room.left;
            if (c.kind == ControlKind::Text) height = room.bottom - room.top;
        }
        w.word(static_cast<uint16_t>(width + 2 * frame));
        w.word(static_cast<uint16_t>(height + 2 * frame));
        w.dword(static_cast<DWORD>(builtControlId(dialog, order[n])));
        if (item.className)
            w.text(item.className);
        else
            w.ordinal(item.windowClass);
        w.text(c.kind == ControlKind::Picture ? std::wstring() : fromCp1252(c.caption ? c.caption : ""));
        w.word(0); // no creation data
    }
    return w.words;
}

} // namespace treva
