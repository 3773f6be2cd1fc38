#include "atlas/WorldAtlas.h"

#include <geonames.h>
#include <unicode/translit.h>
#include <unicode/unistr.h>
#include <libintl.h>
#include <locale.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "chart/PlaceText.h"
#include "chart/WordLists.h"
#include "platform/core/IniFile.h"

namespace atlas {

struct WorldAtlas::Index {
    std::vector<Place> places;          // province table first, then the world cities
    std::vector<std::string> latinKeys; // folded Latin names ("" for the province table)
    std::size_t firstWorld = 0;
};

namespace {

// Lower-case ASCII with accents dropped ("São Paulo" -> "sao paulo").
std::string fold(const std::string& s) {
    gchar* a = g_str_to_ascii(s.c_str(), "C");
    std::string r = a ? a : "";
    g_free(a);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return r;
}

bool isAscii(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

struct CityText {
    std::string name, region, country, code;
};

// The city's texts as the GeoNames catalogue gives them under the message language `language`
// ("" for the untranslated names), whatever the program's own locale.
std::vector<CityText> cityTexts(int n, const char* language) {
    std::vector<CityText> out(static_cast<std::size_t>(n));
    const char* had = std::getenv("LANGUAGE");
    const std::string saved = had ? had : "";
    locale_t loc = newlocale(LC_ALL_MASK, *language ? "C.UTF-8" : "C", static_cast<locale_t>(nullptr));
    if (*language) setenv("LANGUAGE", language, 1);
    else unsetenv("LANGUAGE");
    textdomain(textdomain(nullptr));  // the message catalogues' cache is stale now
    const locale_t old = loc ? uselocale(loc) : static_cast<locale_t>(nullptr);
    for (int i = 0; i < n; ++i) {
        GeonamesCity* c = geonames_get_city(i);
        if (!c) continue;
        auto text = [](const gchar* t) { return std::string(t ? t : ""); };
        out[static_cast<std::size_t>(i)] = {text(geonames_city_get_name(c)), text(geonames_city_get_state(c)),
                                            text(geonames_city_get_country(c)),
                                            text(geonames_city_get_country_code(c))};
        geonames_city_free(c);
    }
    if (loc) {
        uselocale(old);
        freelocale(loc);
    }
    if (had) setenv("LANGUAGE", saved.c_str(), 1);
    else unsetenv("LANGUAGE");
    textdomain(textdomain(nullptr));
    return out;
}

// The catalogue's Chinese names mix traditional and simplified characters (紐約市, 溫哥華); the
// program's users write simplified ones, so names are shown and searched simplified.
class Simplifier {
public:
    Simplifier() {
        UErrorCode status = U_ZERO_ERROR;
        t_.reset(icu::Transliterator::createInstance("Hant-Hans", UTRANS_FORWARD, status));
        if (U_FAILURE(status)) t_.reset();
    }
    std::string operator()(const std::string& s) const {
        if (!t_ || isAscii(s)) return s;
        icu::UnicodeString u = icu::UnicodeString::fromUTF8(s);
        t_->transliterate(u);
        std::string out;
        u.toUTF8String(out);
        return out;
    }

private:
    std::unique_ptr<icu::Transliterator> t_;
};

std::string preferChinese(const std::string& zh, const std::string& latin, const Simplifier& simplify) {
    return (!zh.empty() && !isAscii(zh)) ? simplify(zh) : latin;
}

}  // namespace

std::string provinceZone(int province) {
    if (province < 0 || province >= static_cast<int>(ProvinceNames.size())) return "Asia/Shanghai";
    const std::string p = ProvinceNames[static_cast<std::size_t>(province)];
    if (p == "台湾省") return "Asia/Taipei";
    if (p == "香港") return "Asia/Hong_Kong";
    if (p == "澳门") return "Asia/Macau";
    return "Asia/Shanghai";
}

std::string Place::label() const {
    std::string s = name;
    if (world && latinName != name) s += " (" + latinName + ")";
    s += " — ";
    if (!region.empty() && region != name) s += region + ", ";
    return s + country;
}

std::string Place::placeText() const {
    if (!world) return region + "-" + name;
    std::string s = country + "-" + name;
    if (latinName != name) s += " (" + latinName + ")";
    return s;
}

WorldAtlas::WorldAtlas(std::string placeTablePath) : placeTablePath_(std::move(placeTablePath)) {}
WorldAtlas::~WorldAtlas() = default;

int WorldAtlas::worldCount() const { return geonames_get_n_cities(); }

void WorldAtlas::load() const {
    if (index_) return;
    auto ix = std::make_unique<Index>();
    if (!placeTablePath_.empty()) {
        const IniFile table(placeTablePath_);
        for (int p = 0; p < kUnknownProvince; ++p) {
            const std::string section = ProvinceNames[static_cast<std::size_t>(p)];
            int city = 0;
            for (const std::string& key : table.readSection(section)) {
                float lon = 0, lat = 0;
                // The panel leaves out an entry whose value is not whole numbers; so does the
                // search, so that the city index is the panel's.
                if (!parsePlaceValue(table.readString(section, key, kDefaultPlaceValue), lon, lat)) continue;
                Place pl;
                pl.province = p;
                pl.city = city++;
                pl.name = key;
                pl.region = section;
                pl.country = "中国";
                pl.latinCountry = "China";
                pl.countryCode = "CN";
                pl.zoneId = provinceZone(p);
                pl.longitude = lon;
                pl.latitude = lat;
                ix->places.push_back(std::move(pl));
                ix->latinKeys.emplace_back();
            }
        }
    }
    ix->firstWorld = ix->places.size();
    const int n = geonames_get_n_cities();
    const std::vector<CityText> latin = cityTexts(n, "");
    const std::vector<CityText> zh = cityTexts(n, "zh_CN");
    const Simplifier simplify;
    for (int i = 0; i < n; ++i) {
        GeonamesCity* c = geonames_get_city(i);
        if (!c) continue;
        const std::size_t k = static_cast<std::size_t>(i);
        Place pl;
        pl.world = true;
        pl.worldIndex = i;
        pl.latinName = latin[k].name;
        pl.name = preferChinese(zh[k].name, latin[k].name, simplify);
        pl.region = preferChinese(zh[k].region, latin[k].region, simplify);
        pl.country = preferChinese(zh[k].country, latin[k].country, simplify);
        pl.latinRegion = latin[k].region;
        pl.latinCountry = latin[k].country;
        pl.countryCode = latin[k].code;
        const gchar* tz = geonames_city_get_timezone(c);
        pl.zoneId = tz ? tz : "";
        pl.longitude = geonames_city_get_longitude(c);
        pl.latitude = geonames_city_get_latitude(c);
        pl.population = geonames_city_get_population(c);
        geonames_city_free(c);
        ix->latinKeys.push_back(fold(pl.latinName));
        ix->places.push_back(std::move(pl));
    }
    index_ = std::move(ix);
}

std::vector<Place> WorldAtlas::find(const std::string& text, std::size_t limit) const {
    std::vector<Place> out;
    if (text.empty()) return out;
    load();
    const std::string key = fold(text);
    const bool latinQuery = isAscii(text);
    // rank 0 exact, 1 prefix, 2 contains
    std::vector<std::pair<int, std::size_t>> hits;
    for (std::size_t i = 0; i < index_->places.size(); ++i) {
        const Place& p = index_->places[i];
        int rank = 3;
        auto consider = [&rank](const std::string& name, const std::string& want) {
            if (want.empty() || name.empty()) return;
            if (name == want) rank = std::min(rank, 0);
            else if (name.compare(0, want.size(), want) == 0) rank = std::min(rank, 1);
            else if (name.find(want) != std::string::npos) rank = std::min(rank, 2);
        };
        consider(p.name, text);
        if (latinQuery) consider(index_->latinKeys[i], key);
        if (rank < 3) hits.emplace_back(rank, i);
    }
    std::stable_sort(hits.begin(), hits.end(), [this](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        const Place& x = index_->places[a.second];
        const Place& y = index_->places[b.second];
        if (x.world != y.world) return !x.world;
        return x.population > y.population;
    });
    for (std::size_t i = 0; i < hits.size() && out.size() < limit; ++i)
        out.push_back(index_->places[hits[i].second]);
    return out;
}

std::optional<Place> WorldAtlas::nearestCity(double longitude, double latitude, double withinKm) const {
    load();
    constexpr double kRad = 3.14159265358979323846 / 180;
    constexpr double kEarthKm = 6371.0;
    const Place* best = nullptr;
    double bestKm = withinKm;
    for (std::size_t i = index_->firstWorld; i < index_->places.size(); ++i) {
        const Place& p = index_->places[i];
        // Haversine distance.
        const double dLat = (p.latitude - latitude) * kRad, dLon = (p.longitude - longitude) * kRad;
        const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                         std::cos(latitude * kRad) * std::cos(p.latitude * kRad) * std::sin(dLon / 2) * std::sin(dLon / 2);
        const double km = 2 * kEarthKm * std::asin(std::sqrt(std::fmin(1.0, h)));
        if (km <= bestKm) {
            bestKm = km;
            best = &p;
        }
    }
    if (!best) return std::nullopt;
    return *best;
}

std::optional<Place> WorldAtlas::worldCity(int i) const {
    if (i < 0 || i >= geonames_get_n_cities()) return std::nullopt;
    load();
    const std::size_t k = index_->firstWorld + static_cast<std::size_t>(i);
    if (k >= index_->places.size() || index_->places[k].worldIndex != i) return std::nullopt;
    return index_->places[k];
}

}  // namespace atlas
