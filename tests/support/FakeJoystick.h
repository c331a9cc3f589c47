// A joystick for tests: answers every Read with the reading and status the test sets, and can
// play a queue of answers (one per read) for the calibration's three prompts.
#pragma once

#include "operation/Joystick.h"

#include <deque>

namespace morvik::test {

class FakeJoystick : public IJoystick {
public:
    struct Answer {
        int status = joystick::kOk;
        JoystickReading reading;
    };

    int status = joystick::kOk; // used once the queue is empty
    JoystickReading reading;    // used once the queue is empty
    std::deque<Answer> queue;   // answers for the next reads, in order
    int reads = 0;

    // The stick at raw (x, y) with the given buttons, from now on.
    void Hold(std::uint32_t x, std::uint32_t y, std::uint32_t buttons = 0) {
        status = joystick::kOk;
        reading = JoystickReading{x, y, buttons};
    }

    int Read(JoystickReading& out) override {
        ++reads;
        Answer answer{status, reading};
        if (!queue.empty()) {
            answer = queue.front();
            queue.pop_front();
        }
        if (answer.status == joystick::kOk)
            out = answer.reading;
        return answer.status;
    }
};

} // namespace morvik::test
