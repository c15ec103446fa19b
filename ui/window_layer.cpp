#include "ui/window_layer.h"

namespace treva {

void checkRadioButton(WindowLayer &ui, WindowId window, int first, int last, int checkedId) {
    for (int id = first; id <= last; ++id) ui.setChecked(window, id, id == checkedId);
}

} // namespace treva
