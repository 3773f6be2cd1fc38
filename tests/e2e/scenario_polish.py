"""The keyboard and the small things a careful user checks: Enter on a focused 取消 writes
nothing, the perpetual calendar refuses a year it would cut, the year arrows count from the typed
year, a transit cast from the reading page shows the chart page, the place editor refuses a value
before asking, and the save button says 存新 or 存旧 on the accessibility bus."""
import os
import sys
import time

import pyatspi

sys.path.insert(0, os.path.dirname(__file__))
from desktop import run  # noqa: E402


def focus(d, control):
    """Gives a control the keyboard focus without pressing it: through the accessibility bus,
    or else by Tab from where the focus is."""
    try:
        control.acc.queryComponent().grabFocus()
        time.sleep(0.3)
    except Exception:
        pass
    for _ in range(12):
        if control.acc.getState().contains(pyatspi.STATE_FOCUSED):
            return
        d.key("Tab")
    raise AssertionError("could not focus %r" % control)


def scenario(d):
    main_window = d.start_program(size=(1000, 720))
    set_ini = os.path.join(d.folder, "dat", "set.ini")
    year = main_window.find("text", "年")

    # The year arrows count from the year typed in the field.
    year.set_text("2000")
    main_window.find("push button", "增加").click()
    assert year.text() == "2001", year.text()
    year.set_text("abc")
    main_window.find("push button", "减少").click()
    d.expect_box("年份错误", "年份最大范围1600 - 2200")

    year.set_text("1993")
    main_window.find("push button", "本命盘").click()
    time.sleep(1.0)

    # 排盘设置: Enter on a focused 取消 cancels; nothing is written.
    d.menu(main_window, "选项(O)", "排盘设置")
    settings = d.window("排盘设置")
    focus(d, settings.find("push button", "取消"))
    d.key("Return")
    time.sleep(0.5)
    assert not any(w.name == "排盘设置" for w in d.find_all_windows()), "the dialog is still open"
    assert not os.path.exists(set_ini), "Enter on 取消 wrote dat/set.ini"
    # Enter on a focused 默认值 only shows the defaults; Escape then cancels.
    d.menu(main_window, "选项(O)", "排盘设置")
    settings = d.window("排盘设置")
    focus(d, settings.find("push button", "默认值"))
    d.key("Return")
    assert settings.find("text", "相位最大允许误差值(度)").text() == "5"
    # The colour picker belongs to the dialog that asked: it opens over it.
    settings.find("push button", "设置").click()
    picker = d._wait(lambda: next((w for w in d.find_all_windows()
                                   if w.role == "dialog" and w.name not in ("排盘设置", "")), None),
                     20, "the colour dialog")
    p, o = picker.extents(), settings.extents()
    centre = (p.x + p.width // 2, p.y + p.height // 2)
    assert o.x <= centre[0] <= o.x + o.width and o.y - 40 <= centre[1] <= o.y + o.height + 40, \
        ("the colour dialog is not over 排盘设置", (p.x, p.y, p.width, p.height), (o.x, o.y, o.width, o.height))
    d.key("Escape")
    time.sleep(0.5)
    settings = d.window("排盘设置")
    settings.find("push button", "默认值").click()  # the focus back in the dialog
    d.key("Escape")
    time.sleep(0.5)
    assert not os.path.exists(set_ini), "默认值 or Escape wrote dat/set.ini"

    # A transit cast while the reading page shows: the chart page comes to the front.
    def showing(name):
        return any(c.acc.getState().contains(pyatspi.STATE_SHOWING) for c in main_window.find_all(None, name))

    main_window.find("page tab", "天宫图解说").click()
    assert not showing("天宫图") and showing("点击选择主题"), "the reading page is not shown"
    main_window.find("push button", "流年盘").click()
    transit = d.window("流年时间(公历)")
    transit.find("text", "年").set_text("2030")
    transit.find("push button", "确定").click()
    time.sleep(1.0)
    assert showing("天宫图") and not showing("点击选择主题"), "the chart page is not shown"

    # The save button's name is its caption.
    main_window.find("push button", "存新").click()
    category = d.window("分类保存")
    category.find("text", "保存类别").set_text("朋友")
    category.find("push button", "确定").click()
    time.sleep(0.5)
    assert main_window.find("push button", "存旧"), "no 存旧 after saving"

    # The place editor checks before it asks.
    d.menu(main_window, "辅助工具(T)", "经纬度设置")
    places = d.window("经纬度修改")
    places.find("text", "经度度").set_text("180")
    places.find("push button", "修改").click()
    d.expect_box("输入错误", "经度度数在-179到179之间，分数在0到59之间")
    places.find("push button", "关闭").click()
    time.sleep(0.5)
    assert not any(w.name == "经纬度修改" for w in d.find_all_windows()), "关闭 left the editor open"

    # The perpetual calendar: a year it would have to cut is refused with its own message, and
    # the panel keeps its year; "+2000" is the year 2000.
    d.menu(main_window, "辅助工具(T)", "万年历")
    wnl = d.window("Tarmin万年历")
    wnl.find("text", "年").set_text("19900")
    wnl.find("push button", "本命盘").click()
    d.expect_box("错误", "年份在-4713 到 9999之间")
    assert year.text() == "1993", year.text()
    wnl = d.window("Tarmin万年历")
    wnl.find("text", "年").set_text("0")
    wnl.find("push button", "本命盘").click()
    d.expect_box("错误", "没有公元0年：公元前1年（-1）之后就是公元1年")
    wnl = d.window("Tarmin万年历")
    wnl.find("text", "年").set_text("+2000")
    wnl.find("push button", "本命盘").click()
    time.sleep(1.0)
    assert year.text() == "2000", year.text()

    # Coordinates show two-digit minutes.
    main_window.find("combo box", "省份").choose("福建省")
    time.sleep(0.5)
    lon = main_window.find("text", "经度").text()
    lat = main_window.find("text", "纬度").text()
    assert len(lon.split(":")[1]) == 2 and len(lat.split(":")[1]) == 2, (lon, lat)

    d.quit(main_window)


if __name__ == "__main__":
    sys.exit(run(scenario, "keyboard, calendar hand-off, year arrows, transit page, place editor"))
