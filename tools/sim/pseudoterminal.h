#pragma once

#include <string>
#include <string_view>

// A pseudo-terminal whose far side (the slave) the program opens as its
// serial port. The simulator keeps the slave open itself, so the line never
// hangs up while the program closes and reopens it, and sets it raw, so that
// nothing is echoed or translated before the program opens it.
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // False, with `error` set, when no pseudo-terminal could be made.
    bool open(std::string& error);
    int masterFd() const { return m_master; }
    const std::string& path() const { return m_path; }

    // Whatever the program has written, without blocking.
    std::string readAvailable();
    // Sends bytes to the program. What the line cannot take now is lost, as
    // on a real line whose receiver does not keep up.
    void write(std::string_view bytes);

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};
