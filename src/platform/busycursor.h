#pragma once

// Shows the busy (hourglass) pointer over the whole application for as long
// as the guard lives, and the normal pointer again afterwards, however the
// scope is left. Guards nest. Window thread only.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};
