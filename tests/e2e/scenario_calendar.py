"""The perpetual calendar: October 1582 and its fifth cell, the year box's limit, a year left
with Tab, Escape, and "本命盘" handing the chosen moment to the main window."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from desktop import run  # noqa: E402



def scenario(d):
    main_window = d.start_program()
    d.menu(main_window, "辅助工具(T)", "万年历")
    wnl = d.window("Tarmin万年历")
    year = wnl.find("text", "年")

    # A year outside -4713 ... 9999 is refused where it is typed.
    year.set_text("10000")
    year.click()
    d.key("Return")
    d.expect_box("错误", "年份在-4713 到 9999之间")

    # October 1582: 21 cells, the fifth is the 15th.
    wnl.find("combo box", "日").choose("1日")
    year.set_text("1582")
    year.click()
    d.key("Return")
    wnl.find("combo box", "月").choose("10月")
    assert wnl.find("label", "1582年10月"), "title"
    grid = wnl.find(None, "月历")
    g = grid.extents()
    cw, ch = g.width // 7, g.height // 7
    d.click_at(g.x + 4 * cw + cw // 2, g.y + ch + ch // 2)  # Monday 1 Oct is column 0
    day = wnl.find("combo box", "日")
    assert day.name == "15日", day.name

    # "本命盘" with 1582: the main window's own year message.
    wnl.find("push button", "本命盘").click()
    d.expect_box("年份错误", "年份最大范围1600 - 2200")

    # Another moment: the main window takes it and casts.
    d.menu(main_window, "辅助工具(T)", "万年历")
    wnl = d.window("Tarmin万年历")
    year = wnl.find("text", "年")
    year.set_text("1990")
    year.click()
    d.key("Return")
    wnl.find("push button", "本命盘").click()
    time.sleep(1.0)
    assert main_window.find("text", "年").text() == "1990"
    assert main_window.find("combo box", "月").name == "10月"
    assert main_window.find("combo box", "日").name == "15日"

    # A year typed and left with Tab applies; Escape closes the window.
    d.menu(main_window, "辅助工具(T)", "万年历")
    wnl = d.window("Tarmin万年历")
    month = wnl.find("combo box", "月").name
    year = wnl.find("text", "年")
    year.set_text("2000")
    year.click()
    d.key("Tab")
    assert wnl.find("label", "2000年" + month), "title after Tab"
    d.key("Escape")
    d._wait(lambda: not any(w.name == "Tarmin万年历" for w in d.find_all_windows()), 5, "calendar closed")

    d.quit(main_window)


if __name__ == "__main__":
    sys.exit(run(scenario, "perpetual calendar"))
