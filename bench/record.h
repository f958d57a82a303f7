#pragma once

// A bench prints its figures for people to read. When the environment names
// a file in FENNIMO_BENCH_RECORD, each figure is also appended there as one
// line a script can read: the bench, the figure, the folder it was measured
// in, the file count and the value, separated by tabs. tools/benchmarks.py
// writes docs/benchmarks.md from these lines, so that no figure is copied by
// hand.

#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace bench {

inline void record(const char* figure, const QString& folder, long long files, double value)
{
    const char* path = std::getenv("FENNIMO_BENCH_RECORD");
    if (!path || !*path)
        return;
    std::FILE* out = std::fopen(path, "a");
    if (!out) {
        std::fprintf(stderr, "cannot record the figures in %s\n", path);
        std::exit(1);
    }
    std::fprintf(out, "%s\t%s\t%s\t%lld\t%.6g\n", program_invocation_short_name, figure,
                 qPrintable(folder.isEmpty() ? QStringLiteral("-") : folder), files, value);
    std::fclose(out);
}

} // namespace bench
