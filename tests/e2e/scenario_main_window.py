"""The main window as a new user meets it: an empty name is refused, a chart is cast, the reading
shows its first topic, and the program closes after its question."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from desktop import run  # noqa: E402


def scenario(d):
    main_window = d.start_program()
    name = main_window.find("text", "姓名")
    name.set_text("")
    main_window.find("push button", "本命盘").click()
    d.expect_box("提示", "姓名不能为空")

    name.set_text("张三")
    main_window.find("text", "年").set_text("1993")
    main_window.find("push button", "本命盘").click()
    time.sleep(1.0)
    main_window.find("page tab", "天宫图解说").click()
    reading = main_window.find("text", "天宫图解说")
    first = reading.text().split("\n", 1)[0]
    assert first == "星座分析:", repr(first)

    d.quit(main_window)


if __name__ == "__main__":
    sys.exit(run(scenario, "main window"))
