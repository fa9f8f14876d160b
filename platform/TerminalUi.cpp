#include "platform/TerminalUi.h"

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace cibrano {

void TerminalUi::showWarning(const AnsiString& caption, const AnsiString& text) {
    std::fprintf(stderr, "%s: warning: %s\n", caption.c_str(), ansiToUtf8(text).c_str());
}

void TerminalUi::showError(const AnsiString& caption, const AnsiString& text) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), ansiToUtf8(errorBoxText(text)).c_str());
}

bool TerminalUi::askPassword(AnsiString& password) {
    int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    const char prompt[] = "Enter password: ";
    if (::write(fd, prompt, sizeof prompt - 1) < 0) {
        ::close(fd);
        return false;
    }
    termios saved{};
    bool restore = ::tcgetattr(fd, &saved) == 0;
    if (restore) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    std::string line;
    char c;
    bool gotLine = false;
    while (::read(fd, &c, 1) == 1) {
        if (c == '\n' || c == '\r') {
            gotLine = true;
            break;
        }
        if (line.size() < 255)
            line += c;
    }
    if (restore)
        ::tcsetattr(fd, TCSAFLUSH, &saved);
    (void)!::write(fd, "\n", 1);
    ::close(fd);
    if (!gotLine)
        return false;
    auto ansi = utf8ToAnsi(line);
    if (!ansi)
        return false;
    password = *ansi;
    return true;
}

} // namespace cibrano
