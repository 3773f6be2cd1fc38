// The named fixed stars against the Swiss Ephemeris star function (test only) at random instants
// 1600-2200, both modes; and the catalogue holds the traditional names astrologers look for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>

#include "astro/Eph0.h"
#include "astro/Stars.h"

#ifdef TARMIN_HAVE_SWE
#include <swephexp.h>
#endif

TEST(Stars, CatalogueCarriesTheTraditionalNames) {
    std::set<std::string> names, designations;
    for (int i = 0; i < stars::kCatalogueSize; ++i) {
        names.insert(stars::kCatalogue[i].chinese);
        EXPECT_TRUE(designations.insert(stars::kCatalogue[i].designation).second) << stars::kCatalogue[i].designation;
    }
    for (const char* n : {"角宿一", "心宿二", "轩辕十四", "毕宿五", "北落师门", "天狼星", "织女一", "河鼓二",
                          "大陵五", "参宿四", "老人星", "南门二", "斗宿一", "昴宿六"})
        EXPECT_TRUE(names.count(n)) << n;
    EXPECT_EQ(names.size(), static_cast<std::size_t>(stars::kCatalogueSize));
}

#ifdef TARMIN_HAVE_SWE
// The oracle's catalogue is the same file; the places differ by the two reductions only.
TEST(StarsAgainstSwissEphemeris, ApparentPlaces) {
    if (std::FILE* f = std::fopen("/usr/share/libswe/ephe/sefstars.txt", "r")) std::fclose(f);
    else GTEST_SKIP() << "swe-basic-data is not installed";
    char path[] = "/usr/share/libswe/ephe";
    swe_set_ephe_path(path);
    std::mt19937_64 g(2028);
    std::uniform_real_distribution<double> u(julianDay(1600, 1, 1.0), julianDay(2201, 1, 1.0));
    double worst = 0, worstLat = 0, worstDefault = 0;
    std::string worstStar;
    for (int k = 0; k < 40; ++k) {
        const double jd = u(g);
        for (int i = 0; i < stars::kCatalogueSize; ++i) {
            char star[SE_MAX_STNAME * 2 + 2];
            std::snprintf(star, sizeof star, ",%s", stars::kCatalogue[i].designation);
            double x[6];
            char err[AS_MAXCH];
            ASSERT_GE(swe_fixstar2_ut(star, jd, SEFLG_SWIEPH, x, err), 0) << err;
            const stars::Place p = stars::apparentPlace(i, jd, true);
            const double d = std::fabs(std::remainder(p.longitude - x[0], 360.0)) * 3600;
            if (d > worst) worst = d, worstStar = stars::kCatalogue[i].chinese;
            worstLat = std::max(worstLat, std::fabs(p.latitude - x[1]) * 3600);
            const stars::Place q = stars::apparentPlace(i, jd, false);
            worstDefault = std::max(worstDefault, std::fabs(std::remainder(q.longitude - x[0], 360.0)) * 3600);
        }
    }
    std::printf("stars: precise %.3f\" (%s), latitude %.3f\"; default %.2f\"\n", worst, worstStar.c_str(),
                worstLat, worstDefault);
    EXPECT_LT(worst, 1.0);
    EXPECT_LT(worstLat, 1.0);
    EXPECT_LT(worstDefault, 1.0);
    swe_close();
}
#endif
