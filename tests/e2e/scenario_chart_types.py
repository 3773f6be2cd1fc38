"""Chart types as a collector uses them: two saved cases, the synastry of the open one with the
other from the tree's menu, a solar return for 2030 from the menu 盘型, the caption of each
chart and the page 相位表 following it, and 本命盘 bringing the plain natal chart back."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from desktop import run  # noqa: E402

# The tree's popup menu over a case while a chart is on screen: its enabled entries in order.
CASE_MENU = ["查看命例", "与当前盘合盘", "组合盘", "时空中点盘", "行运与天象", "移动到", "删除命例", "增加类别",
             "保存类别", "查找", "显示全部命例"]


def case_node(window, name):
    tree = window.find("tree", "命例")
    return tree.d._wait(lambda: next((c for c in tree.find_all("table cell")
                                      if c.name.startswith(name + "  ")), None), 20, "case " + name)


def chart_caption(window):
    return window.find(None, "天宫图").acc.description


def save_new(d, window, name, year):
    window.find("text", "姓名").set_text(name)
    window.find("text", "年").set_text(year)
    window.find("push button", "本命盘").click()
    time.sleep(1.0)
    window.find("push button", "保存命例").click()
    category = d.window("分类保存")
    category.find("text", "保存类别").set_text("朋友")
    category.find("push button", "确定").click()
    case_node(window, name)


def scenario(d):
    main_window = d.start_program(size=(1000, 720))
    save_new(d, main_window, "李四", "1992")
    main_window.find("push button", "新建").click()
    d.expect_box("新建", "确定要开始建立一个新命例吗？这将清除现有评语！", "Yes")
    save_new(d, main_window, "张三", "1993")
    assert chart_caption(main_window) == "本命盘", chart_caption(main_window)

    # Synastry: 李四 from the tree against 张三 on screen.
    node = case_node(main_window, "李四")
    node.click()
    d.popup_choose(node, CASE_MENU, "与当前盘合盘")
    time.sleep(1.0)
    assert chart_caption(main_window) == "合盘 张三(外) 李四(内)", chart_caption(main_window)
    reading = main_window.find("text", "天宫图解说").text()
    assert "合盘相位(李四对张三):" in reading, reading[:200]
    assert "座与其他星座关系】" in reading, reading[:400]
    # The panel still holds 张三: the second person is not opened as a case.
    assert main_window.find("text", "姓名").text() == "张三"
    # The page 相位表 lists the aspects between the two.
    aspects = main_window.find("text", "相位表").text()
    assert "合盘相位(李四对张三):" in aspects, aspects[:200]

    # A solar return for 2030, at the birth place.
    d.menu(main_window, "盘型(X)", "日返照盘...")
    dialog = d.window("盘型:日返照盘")
    dialog.find("text", "年").set_text("2030")
    dialog.find("push button", "确定").click()
    time.sleep(1.0)
    caption = chart_caption(main_window)
    assert caption.startswith("日返照盘 张三 2030-"), caption
    reading = main_window.find("text", "天宫图解说").text()
    assert "日返照时刻:2030-" in reading, reading[:200]
    assert caption.split(" ")[2] + " " + caption.split(" ")[3] in reading, (caption, reading[:200])
    aspects = main_window.find("text", "相位表").text()
    assert aspects.startswith("日返照盘相位:"), aspects[:200]

    # A return year out of range is refused by the dialog, which stays open.
    d.menu(main_window, "盘型(X)", "月返照盘...")
    dialog = d.window("盘型:月返照盘")
    dialog.find("text", "年").set_text("2201")
    dialog.find("push button", "确定").click()
    d.expect_box("年份错误", "年份最大范围1600-2200")
    dialog.find("push button", "取消").click()
    assert chart_caption(main_window).startswith("日返照盘 "), chart_caption(main_window)

    # 本命盘 brings the plain natal chart back.
    d.menu(main_window, "盘型(X)", "本命盘")
    time.sleep(1.0)
    assert chart_caption(main_window) == "本命盘", chart_caption(main_window)
    d.quit(main_window)


if __name__ == "__main__":
    sys.exit(run(scenario, "chart types"))
