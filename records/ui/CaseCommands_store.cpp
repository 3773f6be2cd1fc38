// The file menu's commands on the whole store: import, export, compaction. Import and
// compaction give the cases new record numbers, so the program starts again after them.
#include <algorithm>
#include <cctype>

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
}  // namespace

void CaseCommands::exportRecords() {
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
    if (!db_.ImportFrom(source)) {
        ui_.messageBox("导入没有完成，现有的历史记录没有改变。", "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    // The open case and the tree belong to the old store: nothing of them is written back.
    host_.setCaseOpen(false);
    openCaseNumber_ = -1;
    openCommentPath_.clear();
    ui_.plainMessage("成功导入，请重启软件！");
    host_.closeAfterStoreReplaced();
}

void CaseCommands::compactRecords() {
    if (ui_.messageBox("命例数据过多，读取速度慢才需要整理，确定要整理吗？", "提示", MsgIcon::Information,
                       MsgButtons::YesNo, MsgResult::No) != MsgResult::Yes)
        return;
    if (db_.Count() < 2000) {
        ui_.plainMessage("命例数据过少，无需整理！");
        return;
    }
    // The program ends without its closing path: a changed comment of the open case is saved
    // now, while its record number still holds.
    if (askSaveChangedComment("当前评语文本已改变，要保存吗？")) saveCase();
    if (!db_.Compact()) {
        ui_.messageBox("整理没有完成，记录文件没有改变。", "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    ui_.plainMessage("整理数据完成，需重启软件！");
    host_.endProgramNow();
}
