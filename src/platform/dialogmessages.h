#pragma once

#include "model/operatormessages.h"

class Dialogs;

// Hands the model's reports to the operator as message boxes titled "Torvik"
// with the information icon and an OK button.
class DialogMessages : public OperatorMessages {
public:
    explicit DialogMessages(Dialogs& dialogs) : m_dialogs(dialogs) {}
    void Inform(const std::string& text) override;

private:
    Dialogs& m_dialogs;
};
