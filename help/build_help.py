"""Builds Help.chm: the UTF-8 pages become GB2312 pages, then chmcmd compiles them."""
import os
import shutil
import subprocess
import sys

PAGES = [
    ("index.html", "TesvanorFlash播放器 帮助"),
    ("windows.html", "主窗口、菜单与面板"),
    ("keys.html", "快捷键"),
    ("playlist.html", "播放列表与收藏夹"),
    ("convert.html", "格式转换"),
    ("options.html", "选项"),
]


def main():
    src, work, out = sys.argv[1], sys.argv[2], sys.argv[3]
    os.makedirs(work, exist_ok=True)
    for name, _ in PAGES:
        with open(os.path.join(src, name), encoding="utf-8") as f:
            text = f.read()
        with open(os.path.join(work, name), "w", encoding="gbk", newline="\r\n") as f:
            f.write(text)
    items = "".join(
        '<li><object type="text/sitemap"><param name="Name" value="%s"><param name="Local" value="%s"></object>\n'
        % (title, name) for name, title in PAGES)
    with open(os.path.join(work, "Help.hhc"), "w", encoding="gbk", newline="\r\n") as f:
        f.write('<html><head><meta http-equiv="Content-Type" content="text/html; charset=gb2312"></head>'
                "<body><ul>\n" + items + "</ul></body></html>\n")
    project = "\n".join([
        "[OPTIONS]",
        "Compatibility=1.1 or later",
        "Compiled file=Help.chm",
        "Contents file=Help.hhc",
        "Default topic=index.html",
        "Display compile progress=No",
        "Language=0x804 Chinese (PRC)",
        "Title=TesvanorFlash播放器 帮助",
        "",
        "[FILES]",
    ] + [name for name, _ in PAGES]) + "\n"
    with open(os.path.join(work, "Help.hhp"), "w", encoding="gbk", newline="\r\n") as f:
        f.write(project)
    subprocess.run(["chmcmd", "Help.hhp"], cwd=work, check=True, stdout=subprocess.DEVNULL)
    shutil.copyfile(os.path.join(work, "Help.chm"), out)


if __name__ == "__main__":
    main()
