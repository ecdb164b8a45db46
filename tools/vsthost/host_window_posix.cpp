#include "tools/vsthost/host_window.h"

namespace vsthost {

// No window system here: editors get a null parent, and there is nothing to pump.
HostWindow::HostWindow() = default;
HostWindow::~HostWindow() = default;
void HostWindow::pumpMessages() {}
bool HostWindow::showWithClientSize(int, int) { return false; }
void* HostWindow::firstChild(void*) { return nullptr; }
void HostWindow::post(void*, unsigned, uintptr_t, intptr_t) {}
void HostWindow::clientToScreen(void*, int*, int*) {}
bool HostWindow::paintPending(void*) { return false; }
bool HostWindow::capture(void*, Picture*) { return false; }

}  // namespace vsthost
