"""The main window as a new user meets it: an empty name is refused, a chart is cast, the reading
shows its first topic, and the program closes after its question."""
import sys
import time

sys.path.insert(0, __import__("os").path.dirname(__file__))
from desktop import Desktop, Skip  # noqa: E402


def main(stage):
    try:
        d = Desktop(stage)
    except Skip as why:
        print("SKIPPED:", why)
        return 77
    try:
        main_window = d.start_program()
        name = main_window.find("text", "姓名")
        name.set_text("")
        main_window.find("push button", "本命盘").click()
        caption, text, box = d.message_box()
        assert (caption, text) == ("提示", "姓名不能为空"), (caption, text)
        d.answer(box, "OK")

        name.set_text("张三")
        main_window.find("text", "年").set_text("1990")
        main_window.find("push button", "本命盘").click()
        time.sleep(1.0)
        main_window.find("page tab", "天宫图解说").click()
        reading = main_window.find("text", "天宫图解说")
        first = reading.text().split("\n", 1)[0]
        assert first == "星座分析:", repr(first)

        d.menu(main_window, "文件(F)", "退出程序")
        caption, text, box = d.message_box()
        assert (caption, text) == ("关闭", "确定要关闭软件吗？"), (caption, text)
        d.answer(box, "Yes")
        assert d.program_ended(), "the program did not end after Yes"
        print("PASSED: main window")
        return 0
    except Exception:
        d.screenshot("/tmp/tarmin-e2e-failure.png")
        raise
    finally:
        d.close()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
