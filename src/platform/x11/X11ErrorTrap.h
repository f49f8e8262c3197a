#pragma once

#include <vector>

struct _XDisplay;

// While alive, errors caused by requests on one display are recorded here instead of reaching the handler
// installed before (Qt's, which would log and swallow them). Needed to tell a refused key grab (BadAccess)
// from a granted one, and to survive requests on windows that vanished meanwhile (BadWindow).
class X11ErrorTrap final {
public:
    explicit X11ErrorTrap(_XDisplay* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits for the server to answer every request sent so far, then tells whether any of them failed.
    bool failed();
    // The error code of the first failure (BadAccess, BadWindow, ...), 0 when none.
    int errorCode();
    // Waits like failed(); whether a request numbered first..last (XNextRequest() before each was sent) failed.
    bool failedWithin(unsigned long first, unsigned long last);

private:
    _XDisplay* m_display;
    X11ErrorTrap* m_outer;
    void (*m_previousHandler)() = nullptr; // the Xlib error handler from before, in a neutral pointer type
    int m_firstError = 0;
    std::vector<unsigned long> m_failedRequests; // the request numbers of the failures
    friend struct X11ErrorTrapHandler;
};
