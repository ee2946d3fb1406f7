// Shortens a link's answer and serial-port time-outs for the lifetime of the
// object, so that tests of a silent or slow sensor take a fraction of a
// second; the link's own time-outs come back afterwards.
#pragma once

#include "link/com232.h"

class ShortLinkTimeouts {
public:
    explicit ShortLinkTimeouts(com232::SensorLink& link, double answerSeconds = 0.4,
                               double serialPortSeconds = 0.2)
        : link_(link) {
        link_.SetAnswerTimeout(answerSeconds);
        link_.SetSerialPortTimeout(serialPortSeconds);
    }
    ~ShortLinkTimeouts() {
        link_.SetAnswerTimeout(0);
        link_.SetSerialPortTimeout(0);
    }
    ShortLinkTimeouts(const ShortLinkTimeouts&) = delete;
    ShortLinkTimeouts& operator=(const ShortLinkTimeouts&) = delete;

private:
    com232::SensorLink& link_;
};
