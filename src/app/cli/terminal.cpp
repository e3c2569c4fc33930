#include "terminal.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <io.h>
#include <stdio.h>
#else
#include <unistd.h>
#endif

namespace vardo::cli {

bool StderrIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) == 1;
#endif
}

}  // namespace vardo::cli
