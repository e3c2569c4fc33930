// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A switch for automated end-to-end runs, off unless the environment variable
// VARDO_TEST_HOOKS is set to 1. Then the program
//   - prints "vardo: shown <objectName>" on standard error whenever one of its windows shows,
//   - answers every message box with its default button, printing
//     "vardo: message: <text>" on standard error first,
//   - ends with status 0 right after the main window has shown (printing
//     "vardo: radio found on <port>"), so a test can tell that the radio was found.
// Nothing else changes; without the variable none of this exists.

namespace vardo {

class VardoApp;

inline constexpr char kTestHooksVariable[] = "VARDO_TEST_HOOKS";

// Installs the hooks when the variable asks for them.
void InstallTestHooks(VardoApp& app);

}  // namespace vardo
