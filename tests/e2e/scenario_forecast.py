"""行运与天象 as an astrologer uses it: a natal chart, the window from the menu 盘型, the spring of
2024 searched, the eclipse and the transits in the list, a transit double-clicked onto the chart,
the timeline named; then the perpetual calendar with 天象 marking the eclipse's day."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from desktop import run  # noqa: E402


def chart_caption(window):
    return window.find(None, "天宫图").acc.description


def scenario(d):
    main_window = d.start_program(size=(1000, 720))
    main_window.find("text", "姓名").set_text("王五")
    main_window.find("text", "年").set_text("1990")
    main_window.find("push button", "本命盘").click()
    time.sleep(1.0)
    assert chart_caption(main_window) == "本命盘", chart_caption(main_window)

    d.menu(main_window, "盘型(X)", "行运与天象...")
    w = d.window("行运与天象 - 王五")
    for name in ("行运", "月亮", "升交点", "入座", "留", "新月满月", "日月食", "节气", "空亡", "查找",
                 "导出CSV", "导出ICS", "导出PDF", "打印", "时间线PNG", "时间线SVG", "时间线"):
        w.find(None, name)
    w.find("text", "从").set_text("2024-03-01")
    w.find("text", "到").set_text("2024-05-31")
    w.find("push button", "查找").click()
    table = w.find("table", "行运与天象列表")
    cells = d._wait(lambda: [c.name for c in table.find_all("table cell")] or None, 30, "the list")
    assert "日食" in cells and "全食" in cells, cells[:40]
    assert any(c.startswith("行运") for c in cells), cells[:40]
    # A transit row double-clicked: the chart on screen becomes that instant's transit.
    t = table.extents()

    def visible(c):
        e = c.extents()
        return t.y + 30 < e.y and e.y + e.height < t.y + t.height
    cell = next(c for c in table.find_all("table cell") if c.name.startswith("行运") and visible(c))
    cell.click(double=True)
    time.sleep(1.5)
    assert chart_caption(main_window) == "流年盘", chart_caption(main_window)
    d.key("Escape")

    # The calendar marks the day of the eclipse when 天象 is on.
    d.menu(main_window, "辅助工具(T)", "万年历")
    wnl = d.window("Tarmin万年历")
    year = wnl.find("text", "年")
    year.set_text("2024")
    year.click()
    d.key("Return")
    wnl.find("combo box", "月").choose("4月")
    wnl.find("check box", "天象").click()
    time.sleep(1.0)
    grid = wnl.find(None, "月历").acc.description
    assert "9 三月初一 食" in grid, grid
    d.quit(main_window)


if __name__ == "__main__":
    sys.exit(run(scenario, "forecast"))
