// The program's dialog templates in the form Windows builds dialogs from
// (DLGTEMPLATEEX), so that Windows itself lays the controls out in dialog
// units of the dialog font.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "resources/dialogs.h"

namespace treva {

// The controls, as indices into dialog.controls, in the order Windows creates
// them: those that take the focus in Tab order, then the rest as listed.
std::vector<std::size_t> creationOrder(const DialogTemplate &dialog);

// The template in memory, 16-bit words (Windows wants it aligned to 4 bytes,
// which every allocation is). A modal box gets a modal frame; a tool window a
// minimize button where its caption has a system menu. No window is visible
// at first: the layer places it before showing it.
std::vector<uint16_t> buildDialogTemplate(const DialogTemplate &dialog, bool modal);

// The id a control has in the built dialog: its own, or for a text or
// picture nobody addresses one of its own above every named id, so that the
// layer finds each control by id.
inline constexpr int kUnaddressedControlBase = 0x6000;
int builtControlId(const DialogTemplate &dialog, std::size_t index);

// The dialog font every template names.
inline constexpr wchar_t kDialogFontFace[] = L"MS Shell Dlg";

// A framed field the program writes: realised as a read-only box that
// scrolls, not as a static text, which would cut its text off.
bool scrollsItsText(const ControlTemplate &c);

} // namespace treva
