// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hooks of vardo-test, the test build of the vardo program (its own main() and
// libraries, with this file linked in) that the end-to-end tests run. It
//   - prints "vardo: shown <objectName>" on standard error whenever one of its windows shows,
//   - answers every message box with its default button, printing
//     "vardo: message: <text>" on standard error first,
//   - ends with status 0 right after the main window has shown (printing
//     "vardo: radio found on <port>"), so a test can tell that the radio was found.
// Nothing else changes. The shipped vardo holds none of this.

namespace vardo {

class VardoApp;

void InstallTestHooks(VardoApp& app);

}  // namespace vardo
