// What a screen reader calls each control, in every realisation: the
// caption, or, for a field that has none, what it shows.
#pragma once

#include <string>

#include "resources/dialogs.h"

namespace treva {

// The name of a control in dialog `dialog` (UTF-8): from the table of
// captionless fields, else its caption (mnemonic marks and line breaks
// left out), else a name made from its kind.
std::string accessibleName(const DialogTemplate &dialog, const ControlTemplate &control);

} // namespace treva
