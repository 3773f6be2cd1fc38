"""Births anywhere in the world at the clock of the birth: New York in summer at UTC-4, Beijing in
China's summer time after the question, Kolkata at +5:30, typed coordinates without a Chinese
city, and a 10-character name through saving, a restart and the search."""
import os
import sys
import time

import pyatspi

sys.path.insert(0, os.path.dirname(__file__))
from desktop import run  # noqa: E402

# A case's menu with a chart on screen (the pairing entries are enabled then).
CASE_MENU = ["查看命例", "与当前盘合盘", "组合盘", "时空中点盘", "行运与天象", "移动到", "删除命例", "增加类别",
             "保存类别", "查找", "显示全部命例"]


def pick_city(w, text, label):
    w.find("text", "城市").set_text(text)
    time.sleep(0.5)
    w.find("combo box", "城市搜索结果").choose(label)


def cast_line(w):
    return w.find("label", "排盘地点与时钟").text()


def scenario(d):
    w = d.start_program(size=(1000, 760))
    w.find("text", "姓名").set_text("纽约人")

    # New York, 1990-07-01 10:00: summer time, UTC-4, after the question.
    pick_city(w, "New York", "纽约市 (New York) — 纽约州, 美国")
    d.set_moment(w, 1990, 7, 1, 10)
    w.find("push button", "本命盘").click()
    caption, text, box = d.message_box()
    assert caption == "夏令时" and "UTC-4" in text, (caption, text)
    d.answer(box, "Yes")
    line = cast_line(w)
    assert "UTC-04:00" in line and "New York" in line, line

    # 北京, 1988-07-01 10:00: China's summer time, asked; 是 casts at UTC+9.
    pick_city(w, "北京", "北京 (Beijing) — 北京市, 中国")
    w.find("combo box", "时区").choose("东八区")
    d.set_moment(w, 1988, 7, 1, 10)
    w.find("push button", "本命盘").click()
    d.expect_box("夏令时", "1988年7月1日 北京处于夏令时（UTC+9）：出生证明上的时间通常是夏令时。按夏令时排盘？", "Yes")
    line = cast_line(w)
    assert "UTC+09:00" in line, line

    # Kolkata, 1990-01-01 10:00: +5:30.
    pick_city(w, "Kolkata", "加尔各答 (Kolkata) — 西孟加拉邦, 印度")
    d.set_moment(w, 1990, 1, 1, 10)
    w.find("push button", "本命盘").click()
    caption, text, box = d.message_box()
    assert "UTC+5:30" in text, (caption, text)
    d.answer(box, "Yes")
    line = cast_line(w)
    assert "UTC+05:30" in line, line

    # Typed coordinates: no Chinese city is claimed, the zone list's clock.
    w.find("text", "经度").set_text("-100:30")
    w.find("text", "纬度").set_text("20:15")
    w.find("push button", "本命盘").click()
    line = cast_line(w)
    assert "自定义坐标" in line and "省" not in line and "市" not in line, line

    # A 10-character name survives saving, a restart and the search.
    name = "欧阳青青长长的名字十"
    w.find("text", "姓名").set_text(name)
    w.find("push button", "本命盘").click()
    time.sleep(1.0)
    w.find("push button", "保存命例").click()
    category = d.window("分类保存")
    category.find("text", "保存类别").set_text("世界")
    category.find("push button", "确定").click()
    tree = w.find("tree", "命例")
    d._wait(lambda: next((c for c in tree.find_all("table cell") if c.name.startswith(name + "  ")), None),
            20, "the saved case")
    folder = d.folder
    d.quit(w)

    w = d.start_program(folder)
    tree = w.find("tree", "命例")
    group = tree.find("table cell", "世界")
    group.click()
    d.key("Right")
    node = tree.d._wait(lambda: next((c for c in tree.find_all("table cell") if c.name.startswith(name + "  ")),
                                     None), 20, "the case after a restart")
    node.click(double=True)
    time.sleep(1.0)
    assert w.find("text", "姓名").text() == name
    line = cast_line(w)
    assert "自定义坐标" in line, line

    node.click()
    d.popup_choose(node, CASE_MENU, "查找")
    search = d.window("查找命例")
    search.find("text", "姓名").set_text("名字十")
    search.find("push button", "查找").click()
    # "名字十" lies beyond the 10 bytes of the old name field.
    d.expect_box("提示", "共找到1条记录，要显示到命例列表中吗？", "Yes")
    time.sleep(1.0)
    for win in d.find_all_windows():
        if win.name == "查找命例":
            win.find("push button", "关闭").click()
    d.quit(w)


if __name__ == "__main__":
    sys.exit(run(scenario, "world places and clocks"))
