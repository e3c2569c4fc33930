#pragma once
// Whether standard error is a terminal (a progress line is shown only there).

namespace vardo::cli {

[[nodiscard]] bool StderrIsTerminal();

}  // namespace vardo::cli
