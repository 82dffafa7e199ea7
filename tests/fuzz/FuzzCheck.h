// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_FUZZ_FUZZCHECK_H
#define PELLAMY_TESTS_FUZZ_FUZZCHECK_H

#include <cstdio>

/// Stops the fuzzer with the failed condition and its place when an invariant does not hold, in
/// every build type: libFuzzer then keeps the input as a crash to replay.
#define PELLAMY_FUZZ_CHECK(condition)                                                                        \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition);           \
            __builtin_trap();                                                                                \
        }                                                                                                    \
    } while (false)

#endif
