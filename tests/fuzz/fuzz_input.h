#pragma once

// Reads a fuzzer's input as a sequence of fields, so that one byte string
// drives several arguments: single bytes, and strings whose length comes in
// the byte before them. A short input simply gives empty fields.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// libFuzzer calls this with each input; the replay main feeds it seed files.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// Stops the target at once, under libFuzzer and in the replay alike, with
// the input saved by libFuzzer as a crash.
#define FUZZ_CHECK(condition)                                                                    \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "%s:%d: mismatch: %s\n", __FILE__, __LINE__, #condition);       \
            std::abort();                                                                        \
        }                                                                                        \
    } while (0)

struct fuzz_input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;

    std::uint8_t byte() { return at < size ? data[at++] : 0; }
    bool flag() { return byte() & 1; }
    std::string text()
    {
        std::size_t length = byte();
        if (length > size - at)
            length = size - at;
        std::string out(reinterpret_cast<const char*>(data + at), length);
        at += length;
        return out;
    }
    std::string rest()
    {
        std::string out(reinterpret_cast<const char*>(data + at), size - at);
        at = size;
        return out;
    }
};
