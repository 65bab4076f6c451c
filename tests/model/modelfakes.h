#pragma once

#include "model/eventpump.h"
#include "model/operatormessages.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// Collects the operator messages the model reports instead of showing them.
class RecordingMessages : public OperatorMessages {
public:
    void Inform(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

// A whole-second clock that moves only when told. Waiting jumps the clock to
// the second asked for; `secondsPerPass` moves it while events are processed.
class FakePump : public EventPump {
public:
    std::int64_t WholeSeconds() override { return now; }
    void ProcessPendingEvents() override {
        ++passes;
        now += secondsPerPass;
    }
    void WaitUntilSecond(std::int64_t second) override {
        waits.push_back(second);
        if (now < second) {
            now = second;
        }
    }

    std::int64_t now = 1'000'000;
    std::int64_t secondsPerPass = 0;
    int passes = 0;
    std::vector<std::int64_t> waits;
};

// Single-precision values compared bit for bit, shown with every digit.
inline QString exactSingle(float value) {
    return QString::asprintf("%.9g%s", static_cast<double>(value),
                             value == 0.0f && std::signbit(value) ? " (negative zero)" : "");
}
