// Layout of the compiled catalogue table (written by tools/catalogue_compiler.cpp).
#pragma once
#include <cstddef>
#include <cstdint>

namespace catalogue_data {
struct Entry {
    uint16_t id;
    uint32_t offset;  // into kBytes
    uint32_t length;  // GBK bytes
};
extern const Entry kEntries[];  // ascending by id
extern const std::size_t kEntryCount;
extern const char kBytes[];
}  // namespace catalogue_data
