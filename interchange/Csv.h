// Charts in comma-separated tables (read and written through libcsv). The columns this program
// writes and finds by itself, by header text (any letter case; '_' and '-' as spaces):
//   name (姓名), sex (性别: m/f, 男/女), date (日期: 1970-09-27, 27.9.1970 ...), time (时间;
//   empty or "unknown": not known), utc_offset (时差: +08:00, -5, UTC+5:30), zone (时区: an
//   abbreviation such as CET, or an identifier such as Asia/Shanghai), place (地点), country
//   (国家), latitude (纬度) and longitude (经度) in signed decimal degrees or 39n54 notation,
//   category (分类). Name and date are required; the others may be missing. A header with other
//   names is mapped by the user (CsvMapping). ';' and tab separated files are read too.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/Chart.h"

namespace interchange {

enum class CsvField { Name, Sex, Date, Time, Offset, Zone, Place, Country, Latitude, Longitude, Category, Count };
inline constexpr std::size_t kCsvFieldCount = static_cast<std::size_t>(CsvField::Count);
// The header names this program writes ("name", "sex", ... "category").
const char* csvFieldName(CsvField f);
// The caption of a field for the mapping dialog ("姓名", "性别", ...).
const char* csvFieldCaption(CsvField f);

struct CsvTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
    std::vector<int> rowLines;  // file line of each row
    std::vector<LineProblem> problems;
};

// Column index of each field, -1 when none.
using CsvMapping = std::array<int, kCsvFieldCount>;

// Reads the table: the first non-empty row is the header. Lines that are neither UTF-8 nor
// GBK are reported and left out.
CsvTable readCsvTable(std::string_view text);
// The columns whose header names a field.
CsvMapping guessCsvMapping(const std::vector<std::string>& header);
// True when the mapping has the required columns (name and date).
bool csvMappingUsable(const CsvMapping& m);
// The charts of the table's rows through the mapping; a row that cannot be read is reported
// with its line and left out.
ReadResult chartsFromCsv(const CsvTable& table, const CsvMapping& mapping);
// Table and charts in one go with the guessed mapping (problems of both).
ReadResult readCsv(std::string_view text);
// The charts as a table with the header line of csvFieldName (UTF-8, "\r\n" line ends).
std::string writeCsv(const std::vector<ExportedChart>& charts);

}  // namespace interchange
