#include "model/headerfields.h"

#include <utility>

HeaderFields::HeaderFields(std::string text, bool complete)
    : m_text(std::move(text)), m_complete(complete) {}

std::optional<std::string> HeaderFields::Next() {
    SkipBlanks();
    if (m_pos >= m_text.size()) {
        return std::nullopt;
    }
    std::string field;
    if (m_text[m_pos] == '"') {
        const std::size_t close = m_text.find('"', m_pos + 1);
        const std::size_t end = close == std::string::npos ? m_text.size() : close;
        field = m_text.substr(m_pos + 1, end - m_pos - 1);
        m_pos = FindFieldEnd(close == std::string::npos ? end : close + 1);
    } else {
        const std::size_t end = FindFieldEnd(m_pos);
        field = m_text.substr(m_pos, end - m_pos);
        m_pos = end;
    }
    // A field that reaches the end of a cut head may go on beyond it.
    if (m_pos >= m_text.size() && !m_complete) {
        return std::nullopt;
    }
    SkipTerminator();
    return field;
}

void HeaderFields::SkipBlanks() {
    while (m_pos < m_text.size() && m_text[m_pos] == ' ') {
        ++m_pos;
    }
}

void HeaderFields::SkipTerminator() {
    if (m_pos >= m_text.size()) {
        return;
    }
    const char terminator = m_text[m_pos++];
    if (terminator == '\r' && m_pos < m_text.size() && m_text[m_pos] == '\n') {
        ++m_pos;
    }
}

std::size_t HeaderFields::FindFieldEnd(std::size_t from) const {
    const std::size_t end = m_text.find_first_of(",\r\n", from);
    return end == std::string::npos ? m_text.size() : end;
}
