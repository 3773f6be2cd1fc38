// Places by name: the world's cities of the GeoNames database (Debian's libgeonames: cities of
// more than 15,000 people with country, region, coordinates and IANA zone, and the Chinese names
// its translations carry) together with the province table dat/dili.ini. Texts UTF-8.
#pragma once
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace atlas {

struct Place {
    bool world = false;        // a GeoNames city; otherwise an entry of the province table
    int worldIndex = -1;       // GeoNames city index
    int province = -1;         // province table: province list index and city index in it
    int city = -1;
    std::string name;          // Chinese name when known, otherwise the Latin one
    std::string latinName;     // world cities
    std::string region;        // state or province
    std::string country;       // "中国" for the province table
    std::string zoneId;        // IANA identifier
    std::string latinRegion;   // world cities: the region and country in English, and the
    std::string latinCountry;  // country's ISO code ("US"); "China", "CN" for the province table
    std::string countryCode;
    double longitude = 0;      // degrees, east positive
    double latitude = 0;       // degrees, north positive
    unsigned population = 0;

    // One line for a pick list: "温哥华 (Vancouver) — 不列颠哥伦比亚省, 加拿大".
    std::string label() const;
    // The place text of the chart and the record: "美国-纽约 (New York)", "北京市-东城区".
    std::string placeText() const;
};

// The zone of the province table's places: Asia/Shanghai, except 台湾省, 香港 and 澳门, which
// kept clocks of their own.
std::string provinceZone(int province);

class WorldAtlas {
public:
    // `placeTablePath`: dat/dili.ini (GBK); an empty path searches the world cities only.
    explicit WorldAtlas(std::string placeTablePath);
    ~WorldAtlas();
    WorldAtlas(const WorldAtlas&) = delete;
    WorldAtlas& operator=(const WorldAtlas&) = delete;

    // Places whose Chinese or Latin name (any letter case, accents ignored) starts with or
    // contains `text`: exact names first, then names starting with it, then the rest; each
    // group the province table first, then the world by population. At most `limit`.
    std::vector<Place> find(const std::string& text, std::size_t limit = 50) const;
    // The world city nearest to a place, when one lies within `withinKm` kilometres.
    std::optional<Place> nearestCity(double longitude, double latitude, double withinKm) const;
    // A world city by GeoNames index; nothing when the index is out of range.
    std::optional<Place> worldCity(int index) const;
    // Number of world cities.
    int worldCount() const;

private:
    struct Index;
    void load() const;
    std::string placeTablePath_;
    mutable std::unique_ptr<Index> index_;
};

}  // namespace atlas
