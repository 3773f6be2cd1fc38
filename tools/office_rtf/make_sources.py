#!/usr/bin/env python3
"""Writes the source documents of the office RTF corpus (flat ODT and HTML) into a folder.

make_corpus.sh converts them with LibreOffice to ODT, DOCX and DOC, then each to RTF.
Run once by hand; the tests only need the RTF files and their dumps.
"""
import os
import sys

NS = (
    'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
    'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
    'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
    'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
    'xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" '
    'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" '
    'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" '
    'xmlns:xlink="http://www.w3.org/1999/xlink" '
    'xmlns:dc="http://purl.org/dc/elements/1.1/" '
)

FONTS = """<office:font-face-decls>
 <style:font-face style:name="宋体" svg:font-family="宋体" style:font-family-generic="roman"/>
 <style:font-face style:name="楷体" svg:font-family="楷体" style:font-family-generic="roman"/>
 <style:font-face style:name="Liberation Serif" svg:font-family="'Liberation Serif'" style:font-family-generic="roman"/>
</office:font-face-decls>
"""


def text_style(name, props):
    return f'<style:style style:name="{name}" style:family="text"><style:text-properties {props}/></style:style>\n'


def fodt(styles, body, common="", master=""):
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<office:document {NS}office:version="1.3" '
        'office:mimetype="application/vnd.oasis.opendocument.text">\n'
        + FONTS
        + (f"<office:styles>\n{common}</office:styles>\n" if common else "")
        + "<office:automatic-styles>\n"
        + styles
        + "</office:automatic-styles>\n"
        + master
        + "<office:body><office:text>\n"
        + body
        + "\n</office:text></office:body></office:document>\n"
    )


BIG = 'fo:font-size="14pt" style:font-size-asian="14pt"'
FONTS_DOC = fodt(
    text_style("Bold14", f'fo:font-weight="bold" style:font-weight-asian="bold" {BIG} '
               'style:font-name-asian="宋体"')
    + text_style("Ital14", f'fo:font-style="italic" style:font-style-asian="italic" {BIG} '
                 'style:font-name-asian="楷体"')
    + text_style("Kai", 'style:font-name-asian="楷体"'),
    '<text:p><text:span text:style-name="Bold14">“星座”分析……——♈♉①② 太阳 Sun。</text:span></text:p>\n'
    '<text:p><text:span text:style-name="Ital14">「月亮」在双鱼座——①③，好！</text:span>'
    '普通<text:span text:style-name="Kai">楷体字</text:span> Latin 123。</text:p>\n'
    '<text:p>第三行：<text:span text:style-name="Bold14">粗体“引号”</text:span>后面。</text:p>',
)

UNDERLINE_DOC = fodt(
    text_style("Dbl", 'style:text-underline-style="solid" style:text-underline-type="double" '
               'style:text-underline-width="auto" style:text-underline-color="font-color"')
    + text_style("Dot", 'style:text-underline-style="dotted" style:text-underline-width="auto" '
                 'style:text-underline-color="font-color"')
    + text_style("Wave", 'style:text-underline-style="wave" style:text-underline-width="auto" '
                 'style:text-underline-color="font-color"')
    + text_style("Thick", 'style:text-underline-style="solid" style:text-underline-width="bold" '
                 'style:text-underline-color="font-color"')
    + text_style("Words", 'style:text-underline-style="solid" style:text-underline-width="auto" '
                 'style:text-underline-color="font-color" style:text-underline-mode="skip-white-space"')
    + text_style("Strike2", 'style:text-line-through-style="solid" style:text-line-through-type="double"')
    + text_style("Strike", 'style:text-line-through-style="solid"')
    + text_style("Sup", 'style:text-position="super 58%"')
    + text_style("Sub", 'style:text-position="sub 58%"')
    + text_style("Mark", 'fo:background-color="#ffff00"'),
    '<text:p>线：<text:span text:style-name="Dbl">双线</text:span>、'
    '<text:span text:style-name="Dot">点线</text:span>、'
    '<text:span text:style-name="Wave">波浪</text:span>、'
    '<text:span text:style-name="Thick">粗线</text:span>、'
    '<text:span text:style-name="Words">word only 词</text:span>。</text:p>\n'
    '<text:p><text:span text:style-name="Strike2">双删除</text:span>与'
    '<text:span text:style-name="Strike">删除</text:span>，H<text:span text:style-name="Sub">2</text:span>O，'
    'x<text:span text:style-name="Sup">2</text:span>，<text:span text:style-name="Mark">高亮</text:span>。</text:p>',
)

TABLE_FRAME_DOC = fodt(
    text_style("B", 'fo:font-weight="bold" style:font-weight-asian="bold"'),
    '<text:p>表前</text:p>\n'
    '<table:table table:name="T1"><table:table-column table:number-columns-repeated="3"/>'
    '<table:table-row>'
    '<table:table-cell office:value-type="string"><text:p>甲单元</text:p></table:table-cell>'
    '<table:table-cell office:value-type="string"><text:p><text:span text:style-name="B">乙粗体</text:span></text:p></table:table-cell>'
    '<table:table-cell office:value-type="string"><text:p>丙 Cell</text:p></table:table-cell>'
    '</table:table-row><table:table-row>'
    '<table:table-cell office:value-type="string"><text:p>丁 Cell</text:p></table:table-cell>'
    '<table:table-cell office:value-type="string"><text:p/></table:table-cell>'
    '<table:table-cell office:value-type="string"><text:p>戊</text:p></table:table-cell>'
    '</table:table-row></table:table>\n'
    '<text:p>图前<draw:frame draw:name="F1" text:anchor-type="paragraph" svg:x="2cm" svg:y="0cm" '
    'svg:width="5cm" svg:height="2cm"><draw:text-box><text:p>框内文字</text:p></draw:text-box>'
    '</draw:frame>图后</text:p>\n'
    '<text:p>末段。</text:p>',
)

NOTE_DOC = fodt(
    "",
    '<text:h text:outline-level="1">第一章 标题</text:h>\n'
    '<text:p>正文有脚注<text:note text:id="ftn1" text:note-class="footnote">'
    '<text:note-citation>1</text:note-citation><text:note-body><text:p>脚注内容。</text:p>'
    '</text:note-body></text:note>后文。</text:p>\n'
    '<text:h text:outline-level="2">小节</text:h>\n'
    '<text:p>第二个<text:note text:id="ftn2" text:note-class="footnote">'
    '<text:note-citation>2</text:note-citation><text:note-body><text:p>另一脚注</text:p>'
    '</text:note-body></text:note>结束。</text:p>',
)

MISC_DOC = fodt(
    '<style:page-layout style:name="pm1"/>\n'
    '<style:style style:name="Break" style:family="paragraph" style:parent-style-name="Standard">'
    '<style:paragraph-properties fo:break-before="page"/></style:style>\n'
    + text_style("Red", 'fo:color="#ff0000" fo:font-variant="small-caps"'),
    '<text:p>链接：<text:a xlink:type="simple" xlink:href="http://example.org/">链接文字</text:a>'
    '<text:bookmark text:name="b1"/>书签后<text:line-break/>换行后<text:tab/>制表后<text:s text:c="3"/>空格'
    '后。</text:p>\n'
    '<text:p text:style-name="MyPara">样式段落，<text:span text:style-name="MyBold">字符样式</text:span>，'
    '<text:span text:style-name="Red">红色小型大写 Caps</text:span>。</text:p>\n'
    '<text:p text:style-name="Break">分页之后<draw:frame draw:name="F2" text:anchor-type="as-char" '
    'svg:width="3cm" svg:height="1cm"><draw:text-box><text:p>字符框</text:p></draw:text-box></draw:frame>'
    '框后<text:note text:id="en1" text:note-class="endnote"><text:note-citation>i</text:note-citation>'
    '<text:note-body><text:p>尾注内容</text:p></text:note-body></text:note>。</text:p>\n'
    '<table:table table:name="T2"><table:table-column table:number-columns-repeated="2"/>'
    '<table:table-row><table:table-cell table:number-columns-spanned="2" office:value-type="string">'
    '<text:p>合并单元格</text:p></table:table-cell><table:covered-table-cell/></table:table-row>'
    '<table:table-row><table:table-cell office:value-type="string"><text:p>第一段</text:p>'
    '<text:p>第二段</text:p></table:table-cell>'
    '<table:table-cell office:value-type="string"><text:p>右</text:p></table:table-cell></table:table-row>'
    '</table:table>\n<text:p>结尾</text:p>',
    common='<style:style style:name="MyPara" style:family="paragraph" style:parent-style-name="Standard">'
    '<style:text-properties fo:font-size="15pt" style:font-size-asian="15pt" fo:font-style="italic" '
    'style:font-style-asian="italic"/></style:style>\n'
    '<style:style style:name="MyBold" style:family="text"><style:text-properties fo:font-weight="bold" '
    'style:font-weight-asian="bold" fo:font-size="16pt" style:font-size-asian="16pt"/></style:style>\n',
    master='<office:master-styles><style:master-page style:name="Standard" style:page-layout-name="pm1">'
    '<style:header><text:p>页眉文字</text:p></style:header></style:master-page></office:master-styles>\n',
)

HTML_MISC = """<!DOCTYPE html><html><head><meta charset="utf-8"><title>m</title></head><body>
<p>有<a href="http://example.org/">链接</a>的段落，<font size="5">大字</font>与<small>小字</small>，<code>code 代码</code>。</p>
<blockquote>引用的段落“内容”……</blockquote>
<pre>预设格式
第二行</pre>
<table border="1"><tr><td colspan="2">合并</td></tr><tr><td><p>一</p><p>二</p></td><td>右</td></tr></table>
<p>H<sub>2</sub>O 与 x<sup>2</sup>，<span style="background: yellow">高亮</span>。</p>
</body></html>
"""

HTML_TABLE = """<!DOCTYPE html><html><head><meta charset="utf-8"><title>t</title></head><body>
<p>表格之前的段落</p>
<table border="1"><tr><td>甲单元</td><td><b>乙粗体</b></td><td>丙 Cell</td></tr>
<tr><td>丁 Cell</td><td></td><td><i>己斜体</i></td></tr></table>
<p>表格之后</p>
</body></html>
"""

HTML_STYLES = """<!DOCTYPE html><html><head><meta charset="utf-8"><title>s</title></head><body>
<h1>大标题</h1>
<p>正文只靠样式定大小，<b>粗体</b>与<i>斜体</i>，<u>下划线</u>，<s>删除线</s>。</p>
<h2>第二级标题</h2>
<p style="font-size: 16pt">十六磅的段落</p>
<ul><li>项目一</li><li>项目二 with text</li></ul>
<ol><li>第一步</li><li>第二步</li></ol>
<p>列表之后。</p>
</body></html>
"""

def esc(s, enc="gbk"):
    """RTF escapes of a text in a code page; \\uN for what it lacks."""
    out = ""
    for ch in s:
        if ord(ch) < 0x80:
            out += ch
            continue
        try:
            out += "".join("\\'%02x" % b for b in ch.encode(enc))
        except UnicodeEncodeError:
            units = ch.encode("utf-16-le")
            for i in range(0, len(units), 2):
                u = units[i] | units[i + 1] << 8
                out += "\\u%d?" % (u if u < 0x8000 else u - 0x10000)
    return out


# The comment box's own file, in the shape its writer gives it (LibreOffice also saves it again).
OWN_COMMENT = (
    "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 " + esc("宋体") + ";}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\lang2052 "
    "{\\f0\\fs28\\cf1\\b " + esc("“星座”分析……——♈①") + "}{\\f0\\fs28\\cf2\\b\\i " + esc("太阳Sun") + "}\\par\r\n"
    "{\\f0\\fs18\\cf1 " + esc("输入自己的评语：") + "}{\\f0\\fs18\\cf1\\ul " + esc("下划线")
    + "}{\\f0\\fs18\\cf1\\strike " + esc("删除") + "}\\par\r\n"
    "{\\f0\\fs24\\cf2\\i " + esc("匄𠀀😀 与 ♉②") + "}\\par\r\n}\r\n"
)

# What a Windows rich edit control writes on a system whose code page is not Chinese: GBK bytes
# under \\ansicpg1252, in a font of charset 134.
RICHEDIT = (
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset134 "
    + esc("宋体") + ";}{\\f1\\fnil\\fcharset0 Calibri;}}\r\n"
    "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
    "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang2052 " + esc("中文评语") + "\\f1\\lang1033 abc "
    + esc("é", "cp1252") + "\\f0\\lang2052 " + esc("“星”") + "\\b " + esc("粗体") + "\\b0\\par\r\n"
    "\\f0 " + esc("第二行——①") + "\\par\r\n}\r\n"
)

# RTF written as it is, not converted.
RTF = {"own_comment.rtf": OWN_COMMENT, "richedit_gbk1252.rtf": RICHEDIT}

SOURCES = {
    "fonts.fodt": FONTS_DOC,
    "underline.fodt": UNDERLINE_DOC,
    "table_frame.fodt": TABLE_FRAME_DOC,
    "notes.fodt": NOTE_DOC,
    "html_table.html": HTML_TABLE,
    "html_styles.html": HTML_STYLES,
    "misc.fodt": MISC_DOC,
    "html_misc.html": HTML_MISC,
}

if __name__ == "__main__":
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, text in SOURCES.items():
        with open(os.path.join(out, name), "w", encoding="utf-8") as f:
            f.write(text)
    for name, text in RTF.items():
        with open(os.path.join(out, name), "w", encoding="ascii", newline="") as f:
            f.write(text)
