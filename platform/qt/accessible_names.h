// What a screen reader calls each control that has no caption of its own.
#pragma once

#include <QString>

#include "resources/dialogs.h"

namespace treva {

// The name of a control in dialog `dialog`: from the table of captionless
// fields, else its caption, else a name made from its kind.
QString accessibleName(const DialogTemplate &dialog, const ControlTemplate &control);

} // namespace treva
