#include "dialogmessages.h"

#include "dialogs.h"

#include <QString>

void DialogMessages::Inform(const std::string& text) {
    m_dialogs.message(QString::fromStdString(text));
}
