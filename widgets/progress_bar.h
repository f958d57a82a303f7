#pragma once

// The progress bar the runs move: Max and Value as single-precision numbers
// over a minimum of 0, with the range rules of progress_range (a refused
// value leaves the old one in place).

#include "widgets/progress_range.h"

#include <QProgressBar>

namespace widgets {

class progress_bar : public QProgressBar {
    Q_OBJECT
public:
    explicit progress_bar(QWidget* parent = nullptr);

    float Max() const { return m_range.max(); }
    float Value() const { return m_range.value(); }
    bool set_max(float max);
    bool set_value(float value);

    // The bar draws in whole steps of this many parts of its length.
    static constexpr int steps = 10000;

private:
    void show_range();

    progress_range m_range;
};

} // namespace widgets
