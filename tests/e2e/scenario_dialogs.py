"""The transit command with its time dialog, the chart settings, the blood-type test and the
place editor, as a user meets them."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from desktop import run  # noqa: E402



def scenario(d):
    main_window = d.start_program()
    # "流" before any chart.
    main_window.find("push button", "流年盘").click()
    d.expect_box("提示", "请先排一个本命盘。")

    # A fixed moment, 1993-06-15 12:00: the aspect checks below need a chart whose Part of
    # Fortune and Chiron have aspects, which the clock's own date does not promise.
    d.set_moment(main_window, 1993, 6, 15, 12)
    main_window.find("push button", "本命盘").click()
    time.sleep(1.0)

    # The transit time: 1599 is refused and the dialog stays; 2030 is cast.
    main_window.find("push button", "流年盘").click()
    transit = d.window("流年时间(公历)")
    transit.find("text", "年").set_text("1599")
    transit.find("push button", "确定").click()
    d.expect_box("年份错误", "年份最大范围1600-2200")
    transit = d.window("流年时间(公历)")
    transit.find("text", "年").set_text("2030")
    transit.find("push button", "确定").click()
    time.sleep(1.0)

    # Chart settings: confirming the defaults writes dat/set.ini.
    d.menu(main_window, "选项(O)", "排盘设置")
    settings = d.window("排盘设置")
    settings.find("push button", "确认").click()
    time.sleep(0.5)
    with open(os.path.join(d.folder, "dat", "set.ini"), "rb") as f:
        written = f.read().decode("gbk")
    assert "pos=5" in written and "bkcolor=16777215" in written and "line=0" in written, written

    # Blood-type test: O may give to AB.
    d.menu(main_window, "辅助工具(T)", "血型测试")
    blood = d.window("血型测试")
    blood.find("radio button", "配血").click()
    blood.find("panel", "献血者").find("radio button", "O型").click()
    blood.find("panel", "受血者").find("radio button", "AB型").click()
    answer = blood.find("text", "检测结果").text()
    assert answer == "★匹配成功:O型可以输给AB型!", answer
    d.key("Escape")

    # Place editor: a longitude of 180 degrees is refused with its message before any question;
    # a value it accepts is asked about first.
    d.menu(main_window, "辅助工具(T)", "经纬度设置")
    places = d.window("经纬度修改")
    places.find("text", "经度度").set_text("180")
    places.find("push button", "修改").click()
    d.expect_box("输入错误", "经度度数在-179到179之间，分数在0到59之间")
    places = d.window("经纬度修改")
    places.find("text", "经度度").set_text("119")
    places.find("push button", "修改").click()
    got = d.message_box()
    assert got[0] == "注意了" and got[1].startswith("确定要修改："), got[:2]
    d.answer(got[2], "No")
    d.window("经纬度修改").find("push button", "关闭").click()

    # The chart options, each found by its caption: whole-sign houses, minor aspects and the
    # Part of Fortune are written; the next chart lists its aspects on the page 相位表.
    d.menu(main_window, "选项(O)", "排盘设置")
    settings = d.window("排盘设置")
    settings.find("check box", "精确计算")
    options = settings.find("panel", "星盘选项")
    for caption in ("相合容许度", "六分容许度", "四分容许度", "三分容许度", "相冲容许度", "次要相位容许度"):
        options.find("combo box", caption)
    options.find("combo box", "宫位制").choose("整宫 (W)")
    options.find("check box", "次要相位").click()
    options.find("check box", "福点").click()
    for caption in ("真升交点", "莉莉丝"):
        options.find("check box", caption)
    settings.find("push button", "确认").click()
    time.sleep(0.5)
    with open(os.path.join(d.folder, "dat", "set.ini"), "rb") as f:
        written = f.read().decode("gbk")
    assert "houses=W" in written and "minor=1" in written and "fortune=1" in written, written
    main_window.find("push button", "本命盘").click()
    time.sleep(1.0)
    aspects = main_window.find("text", "相位表").text()
    assert aspects.startswith("本命盘相位:") and "福点" in aspects, aspects

    # Chiron and the fixed stars, each in a group of its own: the next chart lists Chiron's
    # aspects and the stars' conjunctions on the page 相位表.
    d.menu(main_window, "选项(O)", "排盘设置")
    settings = d.window("排盘设置")
    asteroids = settings.find("panel", "小行星")
    for caption in ("谷神星", "智神星", "婚神星", "灶神星"):
        asteroids.find("check box", caption)
    asteroids.find("check box", "凯龙星").click()
    stars = settings.find("panel", "恒星")
    stars.find("combo box", "恒星误差").choose("5°")
    stars.find("check box", "恒星").click()
    settings.find("push button", "确认").click()
    time.sleep(0.5)
    with open(os.path.join(d.folder, "dat", "set.ini"), "rb") as f:
        written = f.read().decode("gbk")
    assert "chiron=1" in written and "stars=1" in written and "starorb=300" in written, written
    main_window.find("push button", "本命盘").click()
    time.sleep(1.0)
    aspects = main_window.find("text", "相位表").text()
    assert "凯龙星" in aspects and "相合" in aspects, aspects

    d.quit(main_window)


if __name__ == "__main__":
    sys.exit(run(scenario, "dialogs"))
