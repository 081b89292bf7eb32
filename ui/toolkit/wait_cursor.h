#pragma once

// Shows the wait cursor over the whole application for its lifetime
// (nestable). User-interface thread only.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
