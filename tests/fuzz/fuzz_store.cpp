// The case store opened on a fuzzed program folder: record file, undo file, generation file and
// an import left at its commit point (manifest and staged files). Every operation then runs on
// it; a comment path never leaves the comment folder, nothing is written outside the program
// folder, and a compaction keeps exactly the records not marked deleted.
#include <fuzzer/FuzzedDataProvider.h>

#include <dirent.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "records/Database.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {
std::set<std::string> entries(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(d)) names.insert(e->d_name);
        ::closedir(d);
    }
    return names;
}

void checkCommentPath(const MDataBase& db, const std::string& path) {
    const std::string folder = db.CommentFolder();
    FUZZ_CHECK(path.compare(0, folder.size(), folder) == 0);
    const std::string name = path.substr(folder.size());
    FUZZ_CHECK(name.size() >= 4 && name.find('/') == std::string::npos);
}

CaseFilter filterFrom(FuzzedDataProvider& in) {
    CaseFilter f;
    f.setNameText(in.ConsumeRandomLengthString(12));
    f.setCategoryText(in.ConsumeRandomLengthString(14));
    f.nameMode = in.ConsumeIntegralInRange<uint8_t>(0, 3);
    f.categoryMode = in.ConsumeIntegralInRange<uint8_t>(0, 3);
    f.sexFilter = in.ConsumeBool();
    f.male = in.ConsumeIntegral<uint8_t>();
    f.yearFilter = in.ConsumeBool();
    f.yearFrom = in.ConsumeIntegral<int16_t>();
    f.yearTo = in.ConsumeIntegral<int16_t>();
    f.province = in.ConsumeIntegral<int16_t>();
    return f;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string root = fuzz::scratch() + "run/";
    const std::string base = root + "program/";
    recfs::removeTree(root);
    ::mkdir(root.c_str(), 0755);
    ::mkdir(base.c_str(), 0755);
    ::mkdir((base + "dat").c_str(), 0755);
    ::mkdir((base + "Kelvora_f").c_str(), 0755);

    const uint8_t flags = in.ConsumeIntegral<uint8_t>();
    fuzz::writeFile(base + "dat/Kelvora.dat", in.ConsumeRandomLengthString(152 * 12));
    if (flags & 1) fuzz::writeFile(base + "dat/Kelvora.undo", in.ConsumeRandomLengthString(200));
    if (flags & 2) fuzz::writeFile(base + "dat/Kelvora.gen", in.ConsumeRandomLengthString(10));
    if (flags & 4) {
        // An import past its commit point: the manifest names the staged comment files.
        const std::string manifest = in.ConsumeRandomLengthString(300);
        fuzz::writeFile(base + "dat/import.commit", manifest);
        const std::string stage = base + "dat/import.stage/";
        ::mkdir(stage.c_str(), 0755);
        ::mkdir((stage + "Kelvora_f").c_str(), 0755);
        if (flags & 8) fuzz::writeFile(stage + "Kelvora.dat", in.ConsumeRandomLengthString(152 * 4));
        std::size_t start = 0;
        for (std::size_t i = 0; i < manifest.size(); ++i)
            if (manifest[i] == '\0') {
                const std::string n = manifest.substr(start, i - start);
                start = i + 1;
                if (!n.empty() && n != "." && n != ".." && n.find('/') == std::string::npos &&
                    n.size() < 200)
                    fuzz::writeFile(stage + "Kelvora_f/" + n, "{\\rtf1 staged}");
            }
    }
    for (int i = 0; i < 3 && in.ConsumeBool(); ++i)
        fuzz::writeFile(base + "Kelvora_f/" + std::to_string(i) + ".rtf", "{\\rtf1 comment}");

    MDataBase db;
    db.SetLockTimeout(0);
    if (!db.Open(base)) return 0;
    const int count = db.Count();
    FUZZ_CHECK(count >= 0);

    db.BeginScan();
    for (int i = 0; i < count + 1; ++i) {
        CaseRecord r;
        db.ReadScanned(i, r);
    }
    db.EndScan();

    std::vector<int> live;
    db.Find(CaseFilter{}, live);
    FUZZ_CHECK(static_cast<int>(live.size()) <= count);
    std::vector<int> found;
    db.Find(filterFrom(in), found);
    FUZZ_CHECK(found.size() <= live.size());

    for (int i = 0; i < count; ++i) {
        CaseRecord r;
        const bool isLive = db.ReadRecord(i, r);
        checkCommentPath(db, db.CommentFilePath(r));
        const std::string made = db.MakeCommentName(r);
        FUZZ_CHECK(made.size() <= CaseRecord::kCommentBytes);
        checkCommentPath(db, db.CommentFilePathForName(made));
        r.nameUtf8();
        r.commentUtf8();
        if (isLive && in.ConsumeBool()) {
            r.setName(in.ConsumeRandomLengthString(16));
            FUZZ_CHECK(db.WriteRecord(i, r));
            CaseRecord back;
            FUZZ_CHECK(db.ReadRecord(i, back) && back.nameGbk() == r.nameGbk());
        }
    }
    if (count > 0 && in.ConsumeBool()) db.MarkDeleted(in.ConsumeIntegralInRange<int>(0, count - 1));
    CaseRecord added;
    added.setName(in.ConsumeRandomLengthString(12));
    added.setCommentGbk(db.MakeCommentName(added));
    const int number = db.Append(added);
    FUZZ_CHECK(number == db.Count() - 1);

    // The records whose deletion byte passes `keep`.
    auto countRecords = [&db](bool (*keep)(uint8_t deleted)) {
        int counted = 0;
        db.BeginScan();
        for (int i = 0, n = db.Count(); i < n; ++i) {
            CaseRecord r;
            r.deleted = 1;
            db.ReadScanned(i, r);
            if (keep(r.deleted)) ++counted;
        }
        db.EndScan();
        return counted;
    };
    if (flags & 16) {
        // Compaction drops the records marked deleted (byte 1) and keeps every other one.
        const int kept = countRecords([](uint8_t d) { return d != 1; });
        FUZZ_CHECK(db.Compact());
        FUZZ_CHECK(db.Count() == kept);
    }
    if (flags & 32) {
        FUZZ_CHECK(db.ExportTo(root + "export"));
        MDataBase other;
        ::mkdir((root + "other").c_str(), 0755);
        FUZZ_CHECK(other.Open(root + "other"));
        FUZZ_CHECK(other.ImportFrom(root + "export"));
        // An export carries the cases the program shows (byte 1 zero), and only those.
        FUZZ_CHECK(other.Count() == countRecords([](uint8_t d) { return d == 0; }));
    }
    // Nothing appeared beside the program folder but what this run made there itself.
    for (const auto& n : entries(root))
        FUZZ_CHECK(n == "." || n == ".." || n == "program" || n == "export" || n == "other");
    return 0;
}
