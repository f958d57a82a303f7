#pragma once

// What the window benchmarks measure of the event loop: each of its turns,
// and the longest stretch between two, on the clock and in processor time
// of the loop's thread (which leaves out the time the scheduler gave other
// programs meanwhile, the larger part of a long stretch on a busy machine).

#include "rename_bench.h"

#include <QAbstractEventDispatcher>

#include <algorithm>
#include <ctime>

namespace bench {

class loop_turns {
public:
    loop_turns()
    {
        auto* dispatcher = QAbstractEventDispatcher::instance();
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [this] { turn(); });
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this] { turn(); });
    }
    void start()
    {
        m_last = clock_type::now();
        m_last_cpu = cpu_seconds();
        m_longest = m_longest_cpu = 0;
    }
    void turn()
    {
        const auto now = clock_type::now();
        const double cpu = cpu_seconds();
        m_longest = std::max(m_longest, std::chrono::duration<double>(now - m_last).count());
        m_longest_cpu = std::max(m_longest_cpu, cpu - m_last_cpu);
        m_last = now;
        m_last_cpu = cpu;
    }
    // In seconds.
    double longest() const { return m_longest; }
    double longest_cpu() const { return m_longest_cpu; }

private:
    clock_type::time_point m_last;
    double m_last_cpu = 0;
    double m_longest = 0;
    double m_longest_cpu = 0;
};

} // namespace bench
