// The alerts scripts queue with show_alert, waiting for the engine to
// present them: a title and a message given as localization keys, and
// buttons, each a label key with the function its choice calls.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "script/value.h"

namespace glint {

struct AlertButton {
    Symbol* label = nullptr;
    Value function; // a function or method, or none
};

struct AlertRecord {
    int32_t number = 0; // one more than the alert before
    Symbol* title = nullptr;
    Symbol* message = nullptr;
    std::vector<AlertButton> buttons;
};

class AlertQueue {
public:
    // Numbers the record and appends it.
    void add(AlertRecord record) {
        record.number = ++lastNumber_;
        records_.push_back(std::move(record));
    }
    bool empty() const { return records_.empty(); }
    AlertRecord take() {
        AlertRecord first = std::move(records_.front());
        records_.pop_front();
        return first;
    }
    const std::deque<AlertRecord>& records() const { return records_; }

private:
    std::deque<AlertRecord> records_;
    int32_t lastNumber_ = 0;
};

} // namespace glint
