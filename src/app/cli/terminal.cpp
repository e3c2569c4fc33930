// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal.h"

#include <QtGlobal>

#include "messagetext.h"

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

void PrintLine(std::FILE* stream, const QString& line)
{
    std::fprintf(stream, "%s\n", qUtf8Printable(line));
    std::fflush(stream);
}

QString OneLine(QString message)
{
    return message.replace(kMessageLineBreak, QLatin1Char(' ')).simplified();
}

}  // namespace vardo::cli
