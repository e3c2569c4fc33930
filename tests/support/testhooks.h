// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hooks of vardo-test, the vardo program built for the end-to-end tests. On standard error
// it says "vardo: shown <objectName>" as each window shows and "vardo: message: <text>" before
// it answers each message box with its default button; once the radio is found it says
// "vardo: radio found on <port>" and ends with status 0.

namespace vardo {

class VardoApp;

void InstallTestHooks(VardoApp& app);

}  // namespace vardo
