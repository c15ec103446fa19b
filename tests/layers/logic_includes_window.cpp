// Must not compile: the program's logic knows no window.
#include "activation/activation.h"
#include "ui/app.h"
