"""The chart page as a new user meets it: the first start shows the panel and the whole chart,
the zoom keys enlarge and shrink it and Ctrl+0 fits it again, and the chart is saved as SVG
through the save dialog, whose title follows the chosen format."""
import os
import sys
import time

import pyatspi

sys.path.insert(0, os.path.dirname(__file__))
from desktop import run  # noqa: E402

CHART_MENU = ["复制", "另存为...", "打印", "放大", "缩小", "适合窗口"]
CONTROL_KEYCODE = 37  # Control_L on the X server's standard keymap


def ctrl(d, keysym):
    """Ctrl with one key (a keysym number)."""
    pyatspi.Registry.generateKeyboardEvent(CONTROL_KEYCODE, None, pyatspi.KEY_PRESS)
    time.sleep(0.1)
    pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)
    time.sleep(0.1)
    pyatspi.Registry.generateKeyboardEvent(CONTROL_KEYCODE, None, pyatspi.KEY_RELEASE)
    time.sleep(0.6)


def chart_size(window):
    e = window.find(None, "天宫图").extents()
    return e.width, e.height


def scenario(d):
    main_window = d.start_program()  # no settings file: the first start
    w, h = chart_size(main_window)
    # The whole chart at (about) 100 % on the 1280 x 1024 screen.
    assert 780 <= w <= 880 and abs(h * 800 - w * 700) <= 800 * 2, (w, h)
    frame = main_window.extents()
    assert frame.x >= 0 and frame.x + frame.width <= 1280 and frame.y + frame.height <= 1024, frame

    main_window.find("text", "年").set_text("1993")
    main_window.find("push button", "本命盘").click()
    time.sleep(1.0)
    fitted = chart_size(main_window)

    ctrl(d, ord("="))
    bigger = chart_size(main_window)
    assert bigger[0] > fitted[0] * 1.2, (fitted, bigger)
    ctrl(d, ord("0"))
    assert abs(chart_size(main_window)[0] - fitted[0]) <= 1
    ctrl(d, ord("-"))
    assert chart_size(main_window)[0] < fitted[0] * 0.85
    ctrl(d, ord("0"))

    # Save as SVG: the dialog's title names the format chosen in its type list.
    d.popup_choose(main_window.find(None, "天宫图"), CHART_MENU, "另存为...")
    dialog = d.window("另存为Bmp图片")
    types = next(c for c in dialog.find_all("combo box") if c.name.startswith("bmp"))
    types.choose("svg矢量图 (*.svg)")
    d.window("另存为Svg矢量图")
    target = os.path.join(d.folder, "星盘")
    fields = [c for c in d.window("另存为Svg矢量图").find_all("text")
              if c.acc.getState().contains(pyatspi.STATE_EDITABLE)]
    field = next((c for c in fields if c.acc.getState().contains(pyatspi.STATE_FOCUSED)), fields[-1])
    field.set_text(target)
    d.key("Return")
    d.expect_box("Tarmin天文占星 3.6", "已保存！")
    with open(target + ".svg", "rb") as f:
        head = f.read(400)
    assert b"<svg" in head, head

    d.quit(main_window)


if __name__ == "__main__":
    sys.exit(run(scenario, "chart view"))
