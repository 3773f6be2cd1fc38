// Aspects: the uniform orbs give exactly the grid's rule, the closest kind wins when orbs
// overlap, and applying/separating follows the points' motions.
#include <gtest/gtest.h>

#include <cmath>

#include "chart/Xiangwei.h"
#include "chart/Zhanxing.h"

TEST(Aspects, UniformOrbsAgreeWithTheGridRuleOnEveryBoundary) {
    // Every orb the settings accept, also where the kinds' ranges overlap (16 and above).
    for (int orb : {1, 2, 3, 5, 8, 10, 15, 16, 20, 31, 45, 90, 255}) {
        const AspectOrbs orbs = AspectOrbs::uniform(orb);
        for (double d = 0; d < 360; d += 0.25)
            for (double base : {0.0, 123.5, 359.75}) {
                const double other = std::fmod(base + d, 360.0);  // longitudes lie in [0, 360)
                ASSERT_EQ(aspectBetween(other, base, orbs), MZhanXingEx::aspectKind(other, base, orb))
                    << "orb " << orb << " separation " << d << " base " << base;
            }
    }
}

TEST(Aspects, MinorKindsOnlyWhenAskedAndTheClosestKindWins) {
    AspectOrbs orbs = AspectOrbs::uniform(8);
    EXPECT_EQ(aspectBetween(150.5, 0, orbs), -1);
    orbs.minor = true;
    for (int k = 5; k < kAspectKinds; ++k) orbs.orb[static_cast<std::size_t>(k)] = 2;
    EXPECT_EQ(aspectBetween(150.5, 0, orbs), kQuincunx);
    EXPECT_EQ(aspectBetween(44, 0, orbs), kSemisquare);
    // 52.5° lies 7.5° from both the sextile and the semisquare: only the sextile's orb holds it.
    EXPECT_EQ(aspectBetween(52.5, 0, orbs), kSextile);
    orbs.orb[kSemisquare] = 8;
    EXPECT_EQ(aspectBetween(50, 0, orbs), kSemisquare);  // 5 from 45, 10 from 60
}

TEST(Aspects, ApplyingAndSeparatingAcrossZeroAries) {
    // A point 3° short of a square to 358°, moving towards it: applying; once past: separating.
    const std::vector<AspectPoint> natal = {{0, 358, 0}};
    auto one = [&](double lon, double speed) {
        const auto list = findAspects({{7, lon, speed}}, natal, AspectOrbs::uniform(5));
        EXPECT_EQ(list.size(), 1u);
        return list.empty() ? Aspect{} : list[0];
    };
    Aspect a = one(85, 1.0);  // 87° from 358°
    EXPECT_EQ(a.a, 7);
    EXPECT_EQ(a.kind, kSquare);
    EXPECT_NEAR(a.orb, 3.0, 1e-9);
    EXPECT_TRUE(a.applying);
    EXPECT_FALSE(one(89, 1.0).applying);
    EXPECT_TRUE(one(89, -0.5).applying);  // retrograde back towards the exact square
    EXPECT_EQ(findAspects({{0, 10, 1}, {1, 11, 0}, {2, 190, 0}}, AspectOrbs::uniform(5)).size(), 3u);
}
