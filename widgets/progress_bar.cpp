#include "progress_bar.h"

#include <cmath>

namespace widgets {

progress_bar::progress_bar(QWidget* parent) : QProgressBar(parent)
{
    setTextVisible(false);
    setRange(0, steps);
    show_range();
}

bool progress_bar::set_max(float max)
{
    if (!m_range.set_max(max))
        return false;
    show_range();
    return true;
}

bool progress_bar::set_value(float value)
{
    if (!m_range.set_value(value))
        return false;
    show_range();
    return true;
}

void progress_bar::show_range()
{
    // The range rules keep the maximum above the minimum 0.
    const double part = (m_range.value() - m_range.min()) / double(m_range.max() - m_range.min());
    setValue(static_cast<int>(std::lround(part * steps)));
}

} // namespace widgets
