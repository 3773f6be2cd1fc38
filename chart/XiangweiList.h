// The aspect list as text: one line per aspect with the two points, the kind, the exact orb in
// degrees and minutes and whether the aspect is applying or separating. The data panel, the
// command line and the chart types that compare two charts all print their lists through here.
#pragma once
#include <string>
#include <vector>

#include "chart/Xiangwei.h"

// Names of the ten kinds (AspectKind order) and their one-character glyphs for the aspect grid;
// the five majors are the grid's and the reading's own words.
const char* aspectKindName(int kind);
const char* aspectKindGlyph(int kind);

// An orb as whole degrees and minutes, truncated: 2.0917 -> "2°05′".
std::string orbText(double degrees);

// "入相" while the orb shrinks, "出相" once it grows.
const char* applyingText(bool applying);

// One line per aspect: name of `a`, kind name, name of `b`, orb text, applying text (none for an
// aspect without motion), joined by `separator`. `namesA` is indexed by Aspect::a and `namesB`
// by Aspect::b (the same list for aspects within one chart); an id outside its list prints as "?".
std::vector<std::string> aspectListLines(const std::vector<Aspect>& aspects,
                                         const std::vector<std::string>& namesA,
                                         const std::vector<std::string>& namesB,
                                         const std::string& separator = "\t");
