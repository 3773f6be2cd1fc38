// The file menu's commands on the whole store: import, export, compaction. Import and
// compaction give the cases new record numbers, so the program starts again after them.
#include <algorithm>
#include <cctype>

#include <QTreeWidget>

#include "platform/core/FileOps.h"
#include "records/ui/CaseCommands.h"

namespace {
std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}
bool equalNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}
constexpr const char* kImportedRestart = "成功导入，请重启软件！现在就重启吗？";
constexpr const char* kImportPendingRestart =
    "导入没有完成，下次启动软件时会自动完成导入；在此之前不能修改命例。现在就重启软件吗？";
}  // namespace

bool CaseCommands::blockedForRestart() {
    if (restartMessage_.empty()) return false;
    offerRestart(restartMessage_);
    return true;
}

void CaseCommands::offerRestart(const std::string& message) {
    if (ui_.messageBox(message, "提示", MsgIcon::Warning, MsgButtons::YesNo, MsgResult::Yes) == MsgResult::Yes)
        host_.restartProgram();
}

void CaseCommands::exportRecords() {
    if (blockedForRestart()) return;
    const auto chosen = ui_.chooseFolder("导出历史记录");
    if (!chosen) return;
    const std::string folder = withSlash(withSlash(*chosen) + MDataBase::kExportFolderName);
    recfs::makeFolder(folder.substr(0, folder.size() - 1));
    if (!db_.ExportTo(folder)) {
        ui_.messageBox("导出没有完成，请检查目标文件夹能否写入：" + folder, "错误", MsgIcon::Error,
                       MsgButtons::Ok);
        return;
    }
    ui_.plainMessage("成功导出，已保存到" + folder + "目录下");
}

void CaseCommands::importRecords() {
    if (blockedForRestart()) return;
    if (ui_.messageBox("执行此操作将覆盖现有的历史记录，要继续吗？", "注意了", MsgIcon::Warning,
                       MsgButtons::YesNo, MsgResult::No) != MsgResult::Yes)
        return;
    FileDialogRequest request;
    request.title = "导入历史记录";
    request.filter = "all.dat|*.dat";
    request.initialName = "Kelvora.dat";
    const FileDialogResult file = ui_.openFile(request);
    if (!file.accepted) return;
    const std::size_t slash = file.path.rfind('/');
    const std::string fileName = slash == std::string::npos ? file.path : file.path.substr(slash + 1);
    if (!equalNoCase(fileName, "Kelvora.dat")) {
        ui_.plainMessage("没有导入的数据文件！");
        return;
    }
    const std::string source = withSlash(slash == std::string::npos ? std::string(".") : file.path.substr(0, slash));
    // The comment folder beside it, spelt in any letter case as an export from Windows may be.
    const std::string comments = recfs::entryNoCase(source, "Kelvora_f");
    if (comments.empty() || !recfs::isFolder(source + comments)) {
        ui_.plainMessage("没有导入的数据文件夹！");
        return;
    }
    // The store replaces records and comments itself once the whole source is copied: no
    // clearing before it, so an unreadable source leaves the store as it was.
    const bool imported = db_.ImportFrom(source);
    if (!imported && !db_.ImportPending()) {
        ui_.messageBox("导入没有完成，现有的历史记录没有改变。", "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    // The open case and the tree belong to the old store: nothing of them is written back, and
    // every case command from here on only offers the restart.
    leaveOpenCase();
    host_.setNatalCast(false);
    tree_.widget()->clear();
    restartMessage_ = imported ? kImportedRestart : kImportPendingRestart;
    if (ui_.messageBox(restartMessage_, imported ? "提示" : "错误", imported ? MsgIcon::Information : MsgIcon::Error,
                       MsgButtons::YesNo, MsgResult::Yes) == MsgResult::Yes)
        host_.restartProgram();
    else
        host_.closeAfterStoreReplaced();
}

void CaseCommands::compactRecords() {
    if (blockedForRestart()) return;
    // Counted first: the question is only asked when there is something to tidy.
    if (db_.Count() < 2000) {
        ui_.plainMessage("命例数据过少，无需整理！");
        return;
    }
    if (ui_.messageBox("命例数据过多，读取速度慢才需要整理，确定要整理吗？", "提示", MsgIcon::Information,
                       MsgButtons::YesNo, MsgResult::No) != MsgResult::Yes)
        return;
    // The program ends without its closing path: a changed comment of the open case is saved
    // now, while its record number still holds.
    if (askSaveChangedComment("当前评语文本已改变，要保存吗？") && !saveCase()) return;
    if (!db_.Compact()) {
        ui_.messageBox("整理没有完成，记录文件没有改变。", "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    ui_.plainMessage("整理数据完成，需重启软件！");
    host_.endProgramNow();
}
