#include "chart/Catalogue.h"

#include <algorithm>

#include "chart/CatalogueData.h"
#include "platform/core/Gbk.h"

namespace catalogue {
namespace {
const catalogue_data::Entry* find(uint16_t id) {
    const auto* begin = catalogue_data::kEntries;
    const auto* end = begin + catalogue_data::kEntryCount;
    const auto* it = std::lower_bound(
        begin, end, id, [](const catalogue_data::Entry& e, uint16_t v) { return e.id < v; });
    return (it != end && it->id == id) ? it : nullptr;
}
}  // namespace

std::string_view gbkText(uint16_t id) {
    const auto* e = find(id);
    if (!e) return {};
    return std::string_view(catalogue_data::kBytes + e->offset, e->length);
}

std::string text(uint16_t id) {
    const std::string_view g = gbkText(id);
    return g.empty() ? std::string() : gbk::toUtf8(g);
}

std::vector<uint16_t> identifiers() {
    std::vector<uint16_t> ids;
    ids.reserve(catalogue_data::kEntryCount);
    for (std::size_t i = 0; i < catalogue_data::kEntryCount; ++i)
        ids.push_back(catalogue_data::kEntries[i].id);
    return ids;
}
}  // namespace catalogue
