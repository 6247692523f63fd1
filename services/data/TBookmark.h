#pragma once

#include <cstdint>

// A remembered row of a dataset. It stays valid while the row exists and the dataset is not
// reloaded, emptied or closed; a default one is never valid.
struct TBookmark {
    std::uint32_t record = UINT32_MAX;
    std::uint64_t generation = 0;

    bool operator==(const TBookmark&) const = default;
};
