#pragma once

// The range rules of the progress bar, apart from its drawing: a maximum
// not above the minimum, or a value outside minimum to maximum, is refused
// and the old value stays.

namespace widgets {

class progress_range {
public:
    float min() const { return m_min; }
    float max() const { return m_max; }
    float value() const { return m_value; }

    bool set_max(float max);
    bool set_value(float value);

private:
    float m_min = 0;
    float m_max = 100;
    float m_value = 0;
};

} // namespace widgets
