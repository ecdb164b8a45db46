#include "tools/vsthost/host_window.h"

namespace vsthost {

// No window system here: editors get a null parent, and there is nothing to pump.
HostWindow::HostWindow() = default;
HostWindow::~HostWindow() = default;
void HostWindow::pumpMessages() {}

}  // namespace vsthost
