#pragma once

// What screen readers see of the skinned controls. The toolkit knows them
// only as plain widgets, which it shows as nameless fillers; this gives each
// the role, name, state and press action of the system control it stands
// for.

class QWidget;

namespace controls {

// Installs the interfaces, once; every control does it as it is made.
void install_accessibility();

// Tells screen readers that a control's checked state has changed.
void announce_checked_change(QWidget* control);

} // namespace controls
