// Charts from another program becoming saved cases, and saved cases going out: the review of an
// import (each chart's record, comment and marks, before anything is written), the import as
// one step of the case store, and the cases as exchange charts (AAF, CSV, JSON).
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "interchange/Chart.h"
#include "records/Database.h"

namespace atlas {
class WorldAtlas;
}

namespace interchange {

// What the review marks on a chart.
enum ReviewMark : unsigned {
    kPlaceNotFound = 1,   // no place of the atlas or the province table agrees: coordinates kept
    kZoneUnresolved = 2,  // the file gives no offset this program can read (zone abbreviation)
    kTimeUnknown = 4,     // no birth time: imported at noon, with a note in the comment
    kDuplicate = 8,       // a saved case (or an earlier chart of the file) has its name and instant
    kNoPlace = 16,        // neither coordinates nor a known place: cast at the unknown place
};
// "正常", or the marks as text: "地点未找到(保留坐标)；时间不详(按正午)".
std::string marksText(unsigned marks);

struct ReviewItem {
    ImportedChart chart;
    unsigned marks = 0;
    bool include = true;       // duplicates and unresolved zones start excluded
    CaseRecord record;         // as it will be stored (category set at commit)
    std::string note;          // the comment's text, UTF-8; empty: no comment file
    std::string placeText;     // the place as the list shows it
};

struct Review {
    std::vector<ReviewItem> items;
    std::vector<LineProblem> problems;
    int count(unsigned mark) const;
};

// The chart file's format by its name and first bytes: AAF when a line starts with "#A93:",
// otherwise CSV.
bool looksLikeAaf(const std::string& text);
// Turns what a reader gave into the review list: each chart matched to the atlas (`atlas` may
// be null: no place is found), its offset settled, and compared with the store's live cases.
Review reviewCharts(ReadResult read, const atlas::WorldAtlas* atlas, const MDataBase& store);
// Writes the included items into the store as one step, all in `category` (UTF-8; cut to the
// field). `progress` (done, total) returning false cancels; then nothing is written. Returns the
// number written, -1 when the store refused or the run was cancelled (nothing written then).
int commitImport(MDataBase& store, const Review& review, const std::string& category,
                 const std::function<bool(std::size_t, std::size_t)>& progress = {});
// Reads, reviews: the file's text (AAF or CSV by looksLikeAaf).
Review reviewFile(const std::string& text, const atlas::WorldAtlas* atlas, const MDataBase& store);

// The names of the province table's places (dat/dili.ini) by index, for the export.
class ProvincePlaces {
public:
    explicit ProvincePlaces(const std::string& placeTablePath);
    std::string city(int province, int city) const;

private:
    std::vector<std::vector<std::string>> names_;
};

// A stored case as an exchange chart (a lunar date turned Gregorian); false when its date
// cannot be converted.
bool exportedChart(const CaseRecord& rec, const atlas::WorldAtlas* atlas, const ProvincePlaces* places,
                   ExportedChart& out);
// The live cases of the store in file order; only those of `category` when it is not empty,
// and whose name or category contains `search` when that is not empty.
std::vector<CaseRecord> selectCases(const MDataBase& store, const std::string& category, const std::string& search);
// The cases' data that does not depend on the chart settings, as a JSON array (UTF-8).
std::string writeJson(const std::vector<ExportedChart>& charts);

// The comment file for an imported chart's note: RTF with the text in GBK.
std::string noteRtf(const std::string& utf8);

}  // namespace interchange
