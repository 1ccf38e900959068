#include "Password.h"

#include <QTextStream>

#include <cstdio>
#include <string>
#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace ccp {

namespace {

bool inputIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stdin));
#else
    return ::isatty(STDIN_FILENO);
#endif
}

// Reads one line from the terminal with echo switched off for its duration.
QString readWithoutEcho()
{
#ifdef Q_OS_WIN
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    GetConsoleMode(in, &mode);
    SetConsoleMode(in, mode & ~DWORD(ENABLE_ECHO_INPUT));
#else
    termios old = {};
    tcgetattr(STDIN_FILENO, &old);
    termios quiet = old;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
#endif
    std::string line;
    for (int c = std::fgetc(stdin); c != EOF && c != '\n'; c = std::fgetc(stdin))
        line.push_back(char(c));
#ifdef Q_OS_WIN
    SetConsoleMode(in, mode);
#else
    tcsetattr(STDIN_FILENO, TCSANOW, &old);
#endif
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromStdString(line);
}

} // namespace

QString commandLinePassword(const QString &option, const QString &user)
{
    if (!option.isEmpty())
        return option;
    const QString fromEnvironment = qEnvironmentVariable(PasswordVariable);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    if (!inputIsTerminal())
        return {};
    QTextStream err(stderr);
    err << "Password dell'utente " << (user.isEmpty() ? QStringLiteral("SYSDBA") : user) << ": " << Qt::flush;
    const QString typed = readWithoutEcho();
    err << Qt::endl;
    return typed;
}

} // namespace ccp
