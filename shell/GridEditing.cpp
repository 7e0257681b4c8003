#include "shell/GridEditing.h"

#include "shell/frmTurnova.h"

void installGridEditing(frmTurnova& window) { Q_UNUSED(window); }
