// tarmin-cli cases: the saved cases of the program folder's case file (dat/Kelvora.dat), listed,
// shown, exported to AAF, CSV or JSON, and charts imported from AAF or CSV files. Every command
// takes the store's locks as the window does; an import is one step of the store.
#include <cstdio>
#include <filesystem>
#include <string>

#include "atlas/WorldAtlas.h"
#include "chart/WordLists.h"
#include "cli/ArgText.h"
#include "cli/ChartRun.h"
#include "cli/Cli.h"
#include "cli/WorldArgs.h"
#include "interchange/Aaf.h"
#include "interchange/Cases.h"
#include "interchange/Csv.h"
#include "platform/core/FileOps.h"
#include "records/Database.h"

namespace {
constexpr const char* kCasesUsage =
    "cases list|show N|export|import ... (see: cases --help)";
constexpr const char* kCasesHelp =
    "usage:\n"
    "  tarmin-cli cases list [--category NAME] [--search TEXT]\n"
    "  tarmin-cli cases show N\n"
    "  tarmin-cli cases export --format aaf|csv|json [--category NAME] [--search TEXT] FILE\n"
    "  tarmin-cli cases import FILE [--category NAME] [--column FIELD=HEADER ...] [--dry-run]\n"
    "Every command also takes --folder DIR: the program folder whose dat/Kelvora.dat is used\n"
    "(default: the folder of tarmin-cli). FILE '-' exports to standard output.\n"
    "An import reads AAF (#A93/#B93 lines) or CSV with a header line (name, sex, date, time,\n"
    "utc_offset, zone, place, country, latitude, longitude, category; 姓名, 日期 ... too),\n"
    "lists every chart with its marks and every line it could not read, and writes the charts\n"
    "without marks that exclude them (duplicates, unresolved zones, no place) in one step.\n"
    "--column maps a CSV column whose header has another name: FIELD is one of the names above,\n"
    "HEADER the column's header text or its number (1 = first), e.g. --column date=Born.\n";

constexpr std::size_t kMaxImportBytes = 256u << 20;

struct Options {
    std::string folder, category, search, format, file;
    bool categoryGiven = false, dryRun = false;
    std::vector<std::string> rest;
    std::vector<std::string> columns;  // FIELD=HEADER
};

bool parse(const cli::Args& args, std::size_t from, Options& o) {
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        if (a == "--folder") {
            if (!value(o.folder)) return false;
        } else if (a == "--category") {
            if (!value(o.category)) return false;
            o.categoryGiven = true;
        } else if (a == "--search") {
            if (!value(o.search)) return false;
        } else if (a == "--format") {
            if (!value(o.format)) return false;
        } else if (a == "--column") {
            std::string c;
            if (!value(c) || c.find('=') == std::string::npos) return false;
            o.columns.push_back(c);
        } else if (a == "--dry-run") {
            o.dryRun = true;
        } else if (a.size() > 1 && a.compare(0, 2, "--") == 0) {
            return false;
        } else {
            o.rest.push_back(a);
        }
    }
    if (!o.folder.empty() && o.folder.back() != '/') o.folder += '/';
    if (o.folder.empty()) o.folder = cli::programFolder();
    return true;
}

int usage() {
    std::fputs(kCasesHelp, stderr);
    return 2;
}

bool openStore(const Options& o, MDataBase& db) {
    if (!recfs::isFolder(o.folder + "dat") || !db.Open(o.folder)) {
        std::fprintf(stderr, "无法打开命例文件：%sdat/Kelvora.dat\n", o.folder.c_str());
        return false;
    }
    return true;
}

std::string whenText(const interchange::ExportedChart& c) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d", c.date.year, c.date.month, c.date.day, c.time.hour,
                  c.time.minute);
    return buf;
}

std::string placeOf(const CaseRecord& r, const interchange::ExportedChart& c) {
    if (!c.place.empty()) return c.place;
    if (r.typedPlace()) return "自定义坐标";
    return kUnknownPlace;
}

int list(const Options& o) {
    MDataBase db;
    if (!openStore(o, db)) return 1;
    const atlas::WorldAtlas atlas(cli::placeTablePath(o.folder));
    const interchange::ProvincePlaces places(cli::placeTablePath(o.folder));
    bool ok = true;
    db.ForEachRecord([&](int n, const CaseRecord& r) {
        if (!r.isLive()) return;
        if (o.categoryGiven && r.categoryUtf8() != o.category) return;
        if (!o.search.empty() && r.displayNameUtf8().find(o.search) == std::string::npos &&
            r.categoryUtf8().find(o.search) == std::string::npos)
            return;
        interchange::ExportedChart c;
        if (!interchange::exportedChart(r, &atlas, &places, c)) c.name = r.displayNameUtf8();
        std::printf("%d\t%s\t%s\t%s\tUTC%s\t%s\n", n, r.displayNameUtf8().c_str(), r.categoryUtf8().c_str(),
                    whenText(c).c_str(), interchange::offsetText(c.offsetSeconds).c_str(), placeOf(r, c).c_str());
    }) || (ok = false);
    if (!ok) std::fprintf(stderr, "无法读取命例文件\n");
    return ok ? 0 : 1;
}

int show(const Options& o) {
    if (o.rest.size() != 1) return usage();
    int n = 0;
    if (!cli::readWhole(o.rest[0], n) || n < 0) return usage();
    MDataBase db;
    if (!openStore(o, db)) return 1;
    CaseRecord r{};
    if (!db.ReadRecord(n, r)) {
        std::fprintf(stderr, "没有编号为%d的命例\n", n);
        return 1;
    }
    const atlas::WorldAtlas atlas(cli::placeTablePath(o.folder));
    const interchange::ProvincePlaces places(cli::placeTablePath(o.folder));
    interchange::ExportedChart c;
    const bool converted = interchange::exportedChart(r, &atlas, &places, c);
    std::printf("编号\t%d\n姓名\t%s\n性别\t%s\n分类\t%s\n", n, r.displayNameUtf8().c_str(), r.male ? "男" : "女",
                r.categoryUtf8().c_str());
    if (r.lunar == 1) std::printf("农历\t%d年%s%d月%d日\n", r.year, r.leap ? "闰" : "", r.month, r.day);
    if (converted) {
        std::printf("公历\t%s\n时差\tUTC%s%s\n", whenText(c).c_str(), interchange::offsetText(c.offsetSeconds).c_str(),
                    c.summer ? " (夏令时)" : "");
        interchange::CivilDate d = c.date;
        interchange::ClockTime t = c.time;
        interchange::shiftSeconds(d, t, -static_cast<int64_t>(c.offsetSeconds));
        std::printf("世界时\t%04d-%02d-%02d %02d:%02d:%02d\n", d.year, d.month, d.day, t.hour, t.minute, t.second);
    } else {
        std::printf("日期\t无法换算\n");
    }
    std::printf("经度\t%.4f\n纬度\t%.4f\n地点\t%s\n血型\t%s\n", static_cast<double>(r.longitude),
                static_cast<double>(r.latitude), placeOf(r, c).c_str(),
                BloodTypeItems[static_cast<std::size_t>(r.blood >= 0 && r.blood < 4 ? r.blood : 0)]);
    if (!r.commentGbk().empty()) std::printf("批注\t%s\n", db.CommentFilePath(r).c_str());
    return 0;
}

int exportCases(const Options& o) {
    if (o.rest.size() != 1 || (o.format != "aaf" && o.format != "csv" && o.format != "json")) return usage();
    MDataBase db;
    if (!openStore(o, db)) return 1;
    const atlas::WorldAtlas atlas(cli::placeTablePath(o.folder));
    const interchange::ProvincePlaces places(cli::placeTablePath(o.folder));
    std::vector<interchange::ExportedChart> charts;
    int skipped = 0;
    for (const CaseRecord& r : interchange::selectCases(db, o.category, o.search)) {
        interchange::ExportedChart c;
        if (interchange::exportedChart(r, &atlas, &places, c)) charts.push_back(std::move(c));
        else ++skipped;
    }
    const std::string text = o.format == "aaf" ? interchange::writeAaf(charts)
                             : o.format == "csv" ? interchange::writeCsv(charts)
                                                 : interchange::writeJson(charts);
    if (o.rest[0] == "-") {
        std::fwrite(text.data(), 1, text.size(), stdout);
    } else if (!recfs::writeFileDurably(o.rest[0], text, {})) {
        std::fprintf(stderr, "无法写入%s\n", o.rest[0].c_str());
        return 1;
    }
    std::fprintf(stderr, "导出%zu个命例%s\n", charts.size(),
                 skipped ? ("，" + std::to_string(skipped) + "个日期无法换算未导出").c_str() : "");
    return 0;
}

int importCases(const Options& o) {
    if (o.rest.size() != 1) return usage();
    std::string text;
    if (!recfs::readRegularFile(o.rest[0], kMaxImportBytes, text)) {
        std::fprintf(stderr, "无法读取%s\n", o.rest[0].c_str());
        return 1;
    }
    MDataBase db;
    if (!openStore(o, db)) return 1;
    const atlas::WorldAtlas atlas(cli::placeTablePath(o.folder));
    interchange::ReadResult read;
    if (interchange::looksLikeAaf(text)) {
        read = interchange::readAaf(text);
    } else {
        const interchange::CsvTable table = interchange::readCsvTable(text);
        interchange::CsvMapping mapping = interchange::guessCsvMapping(table.header);
        for (const std::string& c : o.columns) {
            const std::string field = c.substr(0, c.find('=')), header = c.substr(c.find('=') + 1);
            std::size_t f = 0;
            while (f < interchange::kCsvFieldCount &&
                   field != interchange::csvFieldName(static_cast<interchange::CsvField>(f)))
                ++f;
            int column = -1;
            for (std::size_t k = 0; k < table.header.size(); ++k)
                if (table.header[k] == header) column = static_cast<int>(k);
            int number = 0;
            if (column < 0 && cli::readWhole(header, number) && number >= 1 &&
                static_cast<std::size_t>(number) <= table.header.size())
                column = number - 1;
            if (f == interchange::kCsvFieldCount || column < 0) {
                std::fprintf(stderr, "--column %s：没有这个字段或列\n", c.c_str());
                return 2;
            }
            mapping[f] = column;
        }
        if (!interchange::csvMappingUsable(mapping)) {
            std::fprintf(stderr, "表头缺少姓名或日期列（用 --column name=… --column date=… 指定）\n");
            return 1;
        }
        read = interchange::chartsFromCsv(table, mapping);
    }
    const interchange::Review review = interchange::reviewCharts(std::move(read), &atlas, db);
    for (const auto& p : review.problems) std::fprintf(stderr, "第%d行：%s\n", p.line, p.reason.c_str());
    for (const auto& i : review.items)
        std::printf("%s\t%d\t%s\t%04d-%02d-%02d %02d:%02d\tUTC%s\t%s\t%s\n", i.include ? "导入" : "跳过", i.chart.line,
                    i.chart.name.c_str(), i.chart.date.year, i.chart.date.month, i.chart.date.day,
                    i.chart.time.hour, i.chart.time.minute,
                    interchange::offsetText(i.chart.offsetSeconds).c_str(), i.placeText.c_str(),
                    interchange::marksText(i.marks).c_str());
    std::string category = o.category;
    if (!o.categoryGiven) category = std::filesystem::path(o.rest[0]).stem().string();
    if (review.items.empty()) {
        std::fprintf(stderr, "文件中没有可导入的星盘\n");
        return 1;
    }
    if (o.dryRun) return 0;
    const int written = interchange::commitImport(db, review, category);
    if (written < 0) {
        std::fprintf(stderr, "导入失败：命例文件未改变\n");
        return 1;
    }
    std::fprintf(stderr, "导入%d个命例到分类“%s”，跳过%zu个，%zu行无法读取\n", written, category.c_str(),
                 review.items.size() - static_cast<std::size_t>(written), review.problems.size());
    return 0;
}

int runCases(const cli::Args& args) {
    if (args.empty()) return usage();
    if (args[0] == "--help" || args[0] == "-h") {
        std::fputs(kCasesHelp, stdout);
        return 0;
    }
    Options o;
    if (!parse(args, 1, o)) return usage();
    if (args[0] == "list") return o.rest.empty() ? list(o) : usage();
    if (args[0] == "show") return show(o);
    if (args[0] == "export") return exportCases(o);
    if (args[0] == "import") return importCases(o);
    return usage();
}
}  // namespace

TARMIN_CLI_COMMAND(cases, "cases", kCasesUsage,
                   "saved cases: list, show, export to AAF/CSV/JSON, import AAF or CSV charts",
                   runCases);
