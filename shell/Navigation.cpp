#include "shell/Navigation.h"

#include "shell/frmTurnova.h"

void installNavigation(frmTurnova& window) { Q_UNUSED(window); }
