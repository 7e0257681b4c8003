#pragma once
// Keys the dialog windows share: Enter anywhere in the window moves to the next field, as Tab
// does.

class QWidget;

namespace dialogs {

// Turns Enter (and the number pad's Enter) into Tab for the window and every widget in it at
// the time of the call.
void installEnterAsTab(QWidget* window);

} // namespace dialogs
