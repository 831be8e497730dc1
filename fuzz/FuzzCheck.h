// FuzzCheck: the property checks of the fuzz targets; a failed one reports what broke and aborts.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

// Aborts with the property's name so that the fuzzer keeps the input and the replay test fails.
inline void fuzzCheck(bool holds, std::string_view property) {
    if (holds)
        return;
    std::fprintf(stderr, "fuzz property failed: %.*s\n", static_cast<int>(property.size()), property.data());
    std::abort();
}
