"""选项 → 界面文字: the main window and its menus switch to traditional characters at once, the
names of the scripts stay as written, the choice is kept in dat/zxinit.ini, and 简体中文 brings
every caption back."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from desktop import run  # noqa: E402


def setting(d):
    with open(os.path.join(d.folder, "dat", "zxinit.ini"), "rb") as f:
        return f.read().decode("gbk")


def scenario(d):
    main_window = d.start_program(size=(1000, 720))
    main_window.find("text", "年").set_text("1993")
    main_window.find("push button", "本命盘").click()
    time.sleep(1.0)

    d.menu(main_window, "选项(O)", "界面文字", "繁體中文（台灣）")
    time.sleep(0.5)
    main_window.find("push button", "本命盤")
    main_window.find("page tab", "天宮圖解說")
    assert "script=台湾" in setting(d), setting(d)

    d.menu(main_window, "選項(O)", "介面文字", "繁體中文（香港）")
    time.sleep(0.5)
    main_window.find("page tab", "天宮圖解説")

    d.menu(main_window, "選項(O)", "界面文字", "简体中文")  # Hong Kong keeps 界面
    time.sleep(0.5)
    main_window.find("push button", "本命盘")
    main_window.find("page tab", "天宫图解说")
    d.menu(main_window, "选项(O)", "界面风格")  # the menus are back as well
    d.key("Escape")
    d.key("Escape")
    assert "script=简体" in setting(d), setting(d)


if __name__ == "__main__":
    sys.exit(run(scenario, "the interface switches to traditional characters and back"))
