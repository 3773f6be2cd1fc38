"""Saved cases as a user keeps them: cast, "存新" into a new category, change the comment and
"存旧", start again and open the case from the tree (chart and comment back), export, delete it,
and import the export into a fresh program folder (the restart offered); tidying too few cases
and the category chooser of 存新 starting empty; 存旧 after casting someone else, and the
tree's menu acting on the row right-clicked."""
import os
import shutil
import sys
import tempfile
import time

import pyatspi

sys.path.insert(0, os.path.dirname(__file__))
from desktop import run  # noqa: E402


# The tree's popup menu over a case: its enabled entries in menu order.
# A case's menu with a chart on screen (the pairing entries are enabled then).
CASE_MENU = ["查看命例", "与当前盘合盘", "组合盘", "时空中点盘", "行运与天象", "移动到", "删除命例", "增加类别",
             "保存类别", "查找", "显示全部命例"]


def case_node(window, name):
    """The tree node of a case by the name its text begins with."""
    tree = window.find("tree", "命例")
    return tree.d._wait(lambda: next((c for c in tree.find_all("table cell")
                                      if c.name.startswith(name + "  ")), None), 20, "case " + name)


def choose_folder(d, folder):
    """Answers the folder chooser with a path typed into its name field."""
    dialog = d._wait(lambda: next((w for w in d.find_all_windows() if w.role == "dialog"), None), 20,
                     "the folder chooser")
    # The name field has the keyboard focus when the chooser opens.
    fields = [c for c in dialog.find_all("text") if c.acc.getState().contains(pyatspi.STATE_EDITABLE)]
    field = next((c for c in fields if c.acc.getState().contains(pyatspi.STATE_FOCUSED)), fields[-1])
    field.set_text(folder)
    d.key("Return")


def scenario(d):
    main_window = d.start_program(size=(1000, 720))
    folder = d.folder
    main_window.find("text", "姓名").set_text("张三")
    main_window.find("text", "年").set_text("1993")
    main_window.find("push button", "本命盘").click()
    time.sleep(1.0)

    # 存新 with a new category.
    main_window.find("push button", "保存命例").click()
    category = d.window("分类保存")
    category.find("text", "保存类别").set_text("朋友")
    category.find("push button", "确定").click()
    node = case_node(main_window, "张三")
    assert node.name.endswith("|0"), node.name

    # A changed comment, saved with 存旧.
    comment = main_window.find("text", "评语")
    comment.set_text("第一次看盘的评语")
    main_window.find("push button", "保存命例").click()
    d.expect_box("提示", "要修改“张三”这条记录吗？", "Yes")
    d.expect_box("Tarmin天文占星 3.6", "已保存编辑后的命例。")

    # Another person cast while 张三 is open: 存旧 names 张三 and says whose name is typed.
    main_window.find("text", "姓名").set_text("丁四")
    main_window.find("text", "年").set_text("1988")
    main_window.find("push button", "本命盘").click()
    time.sleep(1.0)
    main_window.find("push button", "保存命例").click()
    d.expect_box("提示", "要修改“张三”这条记录吗？\n输入栏中的姓名是“丁四”；要保存为新命例请按“存新”。", "No")
    # 丁四 saved as a new case after 新建.
    main_window.find("push button", "新建").click()
    d.expect_box("新建", "确定要开始建立一个新命例吗？这将清除现有评语！", "Yes")
    main_window.find("push button", "本命盘").click()
    time.sleep(1.0)
    main_window.find("push button", "保存命例").click()
    category = d.window("分类保存")
    category.find("text", "保存类别").set_text("朋友")
    category.find("push button", "确定").click()
    # 张三 open and selected: the menu of the row right-clicked, 丁四's, pairs 丁四 with 张三.
    case_node(main_window, "张三").click(double=True)
    time.sleep(1.0)
    d.popup_choose(case_node(main_window, "丁四"), CASE_MENU, "与当前盘合盘")
    time.sleep(1.0)
    described = main_window.find(None, "天宫图").acc.description
    assert "张三(外)" in described and "丁四(内)" in described, described
    d.quit(main_window)

    # Start again: the case is in the tree; double-click opens it with its comment.
    main_window = d.start_program(folder)
    tree = main_window.find("tree", "命例")
    group = tree.find("table cell", "朋友")
    group.click()
    d.key("Right")  # opens the category
    case_node(main_window, "张三").click(double=True)
    time.sleep(1.0)
    assert main_window.find("text", "评语").text() == "第一次看盘的评语"
    assert main_window.find("text", "姓名").text() == "张三"
    assert main_window.find("text", "年").text() == "1993"

    # Export into a folder.
    exports = tempfile.mkdtemp(prefix="tarmin-e2e-export-")
    d.cleanup.append(lambda: shutil.rmtree(exports, ignore_errors=True))
    d.menu(main_window, "文件(F)", "导出历史记录")
    choose_folder(d, exports)
    target = os.path.join(exports, "Tarmin天文占星_导出数据") + os.sep
    d.expect_box("Tarmin天文占星 3.6", "成功导出，已保存到" + target + "目录下")

    # Delete the case (it is the open one).
    node = case_node(main_window, "张三")
    node.click()
    d.popup_choose(node, CASE_MENU, "删除命例")
    d.expect_box("注意", "确定要删除“张三”这个记录吗？", "Yes")
    d.expect_box("提示", "确定要删除当前正在查看的记录吗？", "Yes")
    time.sleep(0.5)
    assert not [c for c in tree.find_all("table cell") if c.name.startswith("张三  ")]
    d.quit(main_window)

    # A fresh program folder imports the export and gets the case back.
    main_window = d.start_program(size=(1000, 720))
    d.menu(main_window, "文件(F)", "导入历史记录")
    d.expect_box("注意了", "执行此操作将覆盖现有的历史记录，要继续吗？", "Yes")
    choose_folder(d, os.path.join(target, "Kelvora.dat"))
    # The restart is offered; 否 closes through the closing question as before.
    d.expect_box("提示", "成功导入，请重启软件！现在就重启吗？", "No")
    d.expect_box("关闭", "确定要关闭软件吗？", "Yes")
    assert d.program_ended()
    with open(os.path.join(target, "Kelvora.dat"), "rb") as a, \
            open(os.path.join(d.folder, "dat", "Kelvora.dat"), "rb") as b:
        assert a.read() == b.read(), "imported record file differs from the export"
    main_window = d.start_program(d.folder)
    tree = main_window.find("tree", "命例")
    group = tree.find("table cell", "朋友")
    group.click()
    d.key("Right")
    case_node(main_window, "张三")

    # Too few cases to tidy: said at once, without first asking whether to tidy.
    d.menu(main_window, "文件(F)", "整理记录文件")
    d.expect_box("Tarmin天文占星 3.6", "命例数据过少，无需整理！")
    # 存新 offers the tree's categories with none chosen: the field starts empty.
    main_window.find("text", "姓名").set_text("李四")
    main_window.find("push button", "本命盘").click()
    time.sleep(1.0)
    main_window.find("push button", "保存命例").click()
    category = d.window("分类保存")
    assert category.find("text", "保存类别").text() == "", category.find("text", "保存类别").text()
    category.find("push button", "取消").click()
    d.quit(main_window)


if __name__ == "__main__":
    sys.exit(run(scenario, "saved cases"))
