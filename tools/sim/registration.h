#pragma once

#include <string>

// Records the simulator's pseudo-terminal as serial port N in the Torvik
// settings store (section "Ports", key "Port N") for as long as the object
// lives. The entry is removed again only if it still names this simulator's
// path, so a later simulator's entry is left alone.
class Registration {
public:
    Registration(int port, std::string path);
    ~Registration();
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

private:
    std::string m_key;
    std::string m_path;
};
