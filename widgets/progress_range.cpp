#include "progress_range.h"

#include <cmath>

namespace widgets {

bool progress_range::set_max(float max)
{
    if (!(max > m_min))   // also refuses NaN
        return false;
    m_max = max;
    // A value left beyond a lowered maximum would be one the bar refuses.
    if (m_value > m_max)
        m_value = m_max;
    return true;
}

bool progress_range::set_value(float value)
{
    if (!(value >= m_min && value <= m_max))
        return false;
    m_value = value;
    return true;
}

} // namespace widgets
