// Shortens the link's answer and serial-port time-outs for the lifetime of
// the object, so that tests of a silent or slow sensor take a fraction of a
// second; the program's own time-outs come back afterwards.
#pragma once

#include "link/com232.h"

class ShortLinkTimeouts {
public:
    explicit ShortLinkTimeouts(double answerSeconds = 0.4, double serialPortSeconds = 0.2) {
        com232::SetAnswerTimeoutForTests(answerSeconds);
        com232::SetSerialPortTimeoutForTests(serialPortSeconds);
    }
    ~ShortLinkTimeouts() {
        com232::SetAnswerTimeoutForTests(0);
        com232::SetSerialPortTimeoutForTests(0);
    }
    ShortLinkTimeouts(const ShortLinkTimeouts&) = delete;
    ShortLinkTimeouts& operator=(const ShortLinkTimeouts&) = delete;
};
