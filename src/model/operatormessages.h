#pragma once

#include <string>

// Where the model reports a failure to the operator (a modal message box in
// the program, a line on standard error in the command-line tool).
class OperatorMessages {
public:
    virtual ~OperatorMessages() = default;
    virtual void Inform(const std::string& text) = 0;
};
