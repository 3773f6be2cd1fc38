"""Charts from another program: 文件 → 导入星盘 on a small AAF file with a chart given twice, a
place the atlas lacks and a line that is no chart; the review list marks them, the duplicate
starts unchecked, the unreadable line is shown and asked about, and the checked charts land in
a category named after the file. Then 导出星盘 writes them back as AAF."""
import os
import shutil
import sys
import tempfile
import time

import pyatspi

sys.path.insert(0, os.path.dirname(__file__))
from desktop import Control, run  # noqa: E402

AAF = (
    "#A93:Ferber,Tobias,m,27.9.1970,11:04,Kandel/Pfalz,D\n"
    "#B93:*,49n05,8e11,1he,0\n"
    "#A93:Curie,Marie,f,7.11.1867,12:00,Paris,F\n"
    "#B93:*,48n51,2e21,0he09,0\n"
    "this line is no chart\n"
    "#A93:Ferber,Tobias,m,27.9.1970,11:04,Kandel/Pfalz,D\n"
    "#B93:*,49n05,8e11,1he,0\n"
)


def answer_file_dialog(d, path):
    """Answers the file dialog in front with a path typed into its name field."""
    # The program's own dialog may stay open beneath the file dialog.
    def look():
        for w in d._search(d.app, "dialog", None):
            if w.name in ("导出星盘", "导入星盘") or not w.getState().contains(pyatspi.STATE_SHOWING):
                continue
            return Control(d, w)
        return None
    dialog = d._wait(look, 20, "the file dialog")
    fields = [c for c in dialog.find_all("text") if c.acc.getState().contains(pyatspi.STATE_EDITABLE)]
    field = next((c for c in fields if c.acc.getState().contains(pyatspi.STATE_FOCUSED)), fields[-1])
    field.set_text(path)
    d.key("Return")


def scenario(d):
    files = tempfile.mkdtemp(prefix="tarmin-e2e-charts-")
    d.cleanup.append(lambda: shutil.rmtree(files, ignore_errors=True))
    source = os.path.join(files, "charts.aaf")
    with open(source, "w", encoding="utf-8") as f:
        f.write(AAF)

    main_window = d.start_program(size=(1000, 720))
    d.menu(main_window, "文件(F)", "导入星盘(AAF/CSV)...")
    answer_file_dialog(d, source)
    review = d.window("导入星盘")
    cells = [c.name for c in review.find("tree", "星盘列表").find_all("table cell")]
    assert "地点未找到(保留坐标)" in cells, cells
    assert "正常" in cells, cells
    assert "重复(已有同名同时刻命例)；地点未找到(保留坐标)" in cells, cells
    assert "第5行：不是以#开头的数据行" in [c.name for c in review.find_all("list item")]
    assert review.find("text", "保存到分类").text() == "charts"
    summary = "共3个星盘，勾选2个，2个需要留意；1行无法读取"
    assert review.find("label", summary)
    review.find("push button", "导入").click()
    d.expect_box("导入星盘", "文件中有1行无法读取（见列表）。只导入勾选的2个星盘吗？", "Yes")
    d.expect_box("Tarmin天文占星 3.6", "已导入2个命例到分类“charts”")
    with open(os.path.join(d.folder, "dat", "Kelvora.dat"), "rb") as f:
        assert len(f.read()) == 2 * 152
    tree = main_window.find("tree", "命例")
    tree.find("table cell", "charts")

    # Out again as AAF: the two charts in the file's own notation.
    d.menu(main_window, "文件(F)", "导出星盘(AAF/CSV/JSON)...")
    export = d.window("导出星盘")
    export.find("push button", "确定").click()
    target = os.path.join(files, "out.aaf")
    answer_file_dialog(d, target)
    d.expect_box("Tarmin天文占星 3.6", "已导出2个命例到" + target)
    with open(target, encoding="utf-8") as f:
        written = f.read()
    assert written.startswith("#A93:Ferber,Tobias,m,27.9.1970,11:04,"), written
    assert "#A93:Curie,Marie,f,7.11.1867,12:00,Paris," in written, written
    time.sleep(0.3)
    d.quit(main_window)


if __name__ == "__main__":
    sys.exit(run(scenario, "chart exchange"))
