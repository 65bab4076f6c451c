#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Reads the comma- and line-delimited text fields at the head of a data file:
// blanks before a field are skipped; a field ends at a comma or at the end of
// its line (CR LF, CR or LF); a field that starts with a double quote ends at
// the next double quote, and the rest of it up to the comma or line end is
// passed over.
class HeaderFields {
public:
    // `text` is the head of the file; `complete` tells whether it is the
    // whole file or was cut short.
    HeaderFields(std::string text, bool complete);

    // The next field; empty when the text ended before it, or when the field
    // runs past the end of an incomplete head.
    std::optional<std::string> Next();

private:
    void SkipBlanks();
    void SkipTerminator();
    std::size_t FindFieldEnd(std::size_t from) const;

    std::string m_text;
    bool m_complete;
    std::size_t m_pos = 0;
};
