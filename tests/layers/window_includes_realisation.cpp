// Must not compile: the window procedures know the window layer's interface,
// not a realisation of it.
#include "platform/headless/headless_layer.h"
#include "ui/app.h"
