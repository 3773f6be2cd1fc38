// The case store: comment names, and the cleaning of a stored name into a path that always
// lies inside the comment folder.
#include "records/Database.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <set>
#include <cstring>

#include "platform/core/FileOps.h"
#include "platform/core/Gbk.h"
#include "records/DatabaseDetail.h"

using namespace records_detail;

namespace {
bool unsafeInFileName(unsigned char c) { return c < 0x20 || c == 0x7F || c == '/' || c == '\\'; }

// A GBK name made fit to stand in a file name: '/', '\' and control characters become '_',
// and a name "." or ".." becomes "_". Two-byte characters are left whole.
std::string safeGbkName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t len = gbkCharLength(name, i);
        if (len == 1 && unsafeInFileName(static_cast<unsigned char>(name[i])))
            out.push_back('_');
        else
            out.append(name.substr(i, len));
        i += len;
    }
    if (out == "." || out == "..") out = "_";
    return out;
}

// The name part of a new comment name: safeGbkName, and besides the characters a Windows disk
// refuses in file names (an export may go to one) and every byte that is no complete GBK
// character, so that the key's "_" can never become the second byte of a broken character.
std::string newCommentNamePart(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t len = gbkCharLength(name, i);
        const std::string_view ch = name.substr(i, len);
        const unsigned char c = static_cast<unsigned char>(name[i]);
        const bool bad = len == 1 ? (unsafeInFileName(c) || c >= 0x80 ||
                                     std::strchr("<>:\"|?*", c) != nullptr)
                                  : gbk::fromUtf8(gbk::toUtf8(ch)) != ch;
        if (bad)
            out.push_back('_');
        else
            out.append(ch);
        i += len;
    }
    if (out == "." || out == "..") out = "_";
    return out;
}

// The UTF-8 file name of a GBK comment name. UTF-8 multi-byte sequences hold no ASCII byte, so
// a last pass over the ASCII bytes catches anything a broken GBK sequence let through.
std::string fileNameOf(std::string_view commentGbk) {
    std::string u = gbk::toUtf8(safeGbkName(commentGbk));
    for (char& c : u)
        if (unsafeInFileName(static_cast<unsigned char>(c))) c = '_';
    if (u == "." || u == "..") u = "_";
    return u;
}}  // namespace

// ---- comment names -------------------------------------------------------------------------

std::string MDataBase::CommentFilePathForName(std::string_view commentGbk) const {
    return CommentFolder() + fileNameOf(commentGbk) + ".rtf";
}

std::string MDataBase::CommentFilePath(const CaseRecord& rec) const {
    return CommentFilePathForName(rec.commentGbk());
}

std::string MDataBase::MakeCommentName(const CaseRecord& rec) const {
    // Taken: a file of that name exists, or a stored record names it (its file may be missing
    // now, or another name may clean to the same file name).
    std::set<std::string> named;
    ForEachRecord([&](int, const CaseRecord& r) {
        if (!r.commentGbk().empty()) named.insert(CommentFilePath(r));
    });
    return commentNameWith(rec, [&](const std::string& path) { return named.count(path) > 0; });
}

std::string MDataBase::commentNameWith(const CaseRecord& rec,
                                       const std::function<bool(const std::string&)>& named) const {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "_%04d%02d%02d%02d%02d", rec.year, rec.month, rec.day,
                  rec.hour, rec.minute);
    // A stored name holds at most 10 bytes and the stamp of a valid minute 13 to 15 (a year
    // below -999 or above 9999 takes five or six characters), so the key is at most 25 bytes and
    // key + "_99999" (31) fits the 32 text bytes of the comment field. Only a damaged record
    // gives a longer key; it is cut to leave room for the counter.
    const std::string key = gbk::cut(newCommentNamePart(rec.nameGbk()) + stamp,
                                     CaseRecord::kCommentBytes - 6);
    // The key is whole GBK characters and the counter is ASCII, so the file name of key + "_n"
    // is the file name of key + "_n": converted once.
    const std::string keyPath = CommentFolder() + fileNameOf(key);
    auto taken = [&](const std::string& path) { return named(path) || recfs::exists(path); };
    if (!taken(keyPath + ".rtf")) return key;
    for (int i = 0; i < 99999; ++i) {
        const std::string counter = "_" + std::to_string(i);
        if (!taken(keyPath + counter + ".rtf")) return key + counter;
    }
    return key + "_99999";
}

MDataBase::CommentRemoval MDataBase::RemoveCommentOf(const CaseRecord& rec) {
    return RemoveCommentsOf({rec}).front();
}

std::vector<MDataBase::CommentRemoval> MDataBase::RemoveCommentsOf(const std::vector<CaseRecord>& recs) {
    std::vector<CommentRemoval> out(recs.size(), CommentRemoval::Kept);
    // The files live records name, in one pass over the record file.
    std::set<std::string> named;
    const bool read = ForEachRecord([&](int, const CaseRecord& r) {
        if (r.isLive() && !r.commentGbk().empty()) named.insert(CommentFilePath(r));
    });
    if (!read) return out;
    for (std::size_t i = 0; i < recs.size(); ++i) {
        if (recs[i].commentGbk().empty()) continue;  // names no file
        const std::string path = CommentFilePath(recs[i]);
        if (named.count(path)) continue;
        out[i] = ::unlink(path.c_str()) == 0 || errno == ENOENT ? CommentRemoval::Removed : CommentRemoval::Failed;
    }
    return out;
}
