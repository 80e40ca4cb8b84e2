#!/usr/bin/env python3
"""Draws the program's artwork into ui/resources/ with ImageMagick, and the
desktop icons (hicolor PNGs and the scalable SVG) into packaging/icons/.

Needs `convert` and the WenQuanYi Micro Hei font (fonts-wqy-microhei).
Usage: scripts/make_artwork.py [output-dir]
"""
import math
import os
import subprocess
import sys

FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
INK = "#2f3a3d"
INK_SOFT = "#5b686b"
MAPLE = "#c8553d"
AMBER = "#e09a3e"

# Right half of a maple leaf in a unit box (y grows downwards, stem at the bottom).
LEAF_RIGHT = [
    (0.00, -1.00), (0.13, -0.74), (0.30, -0.82), (0.24, -0.40),
    (0.52, -0.72), (0.58, -0.56), (0.86, -0.62), (0.76, -0.32),
    (0.92, -0.22), (0.52, 0.10), (0.60, 0.24), (0.08, 0.20),
    (0.05, 0.22), (0.07, 0.82), (0.00, 0.82),
]
LEAF = LEAF_RIGHT + [(-x, y) for (x, y) in reversed(LEAF_RIGHT[1:-1])]


def leaf(cx, cy, size, degrees=0.0):
    """A -draw primitive for a leaf centred at (cx, cy) with half-height size."""
    a = math.radians(degrees)
    pts = []
    for x, y in LEAF:
        xr = x * math.cos(a) - y * math.sin(a)
        yr = x * math.sin(a) + y * math.cos(a)
        pts.append(f"{cx + xr * size:.1f},{cy + yr * size:.1f}")
    return "polygon " + " ".join(pts)


def text(x, y, size, colour, words):
    return ["-font", FONT, "-pointsize", str(size), "-fill", colour,
            "-annotate", f"+{x}+{y}", words]


def shape(colour, primitive, stroke="none", width=0):
    return ["-fill", colour, "-stroke", stroke, "-strokewidth", str(width),
            "-draw", primitive, "-stroke", "none"]


def run(args):
    subprocess.run(["convert", *args], check=True)


def home_picture(path):
    """905 x 424: name, motif, what the tool does and the three steps."""
    args = ["-size", "905x424", "gradient:#fbf8f2-#e7efec",
            "-gravity", "NorthWest"]
    args += shape("rgba(200,85,61,0.10)", leaf(760, 175, 200, 16))
    args += shape("rgba(224,154,62,0.18)", leaf(610, 80, 46, -24))
    args += shape("rgba(200,85,61,0.85)", leaf(92, 84, 30, -12))
    args += shape("rgba(224,154,62,0.75)", leaf(128, 122, 16, 28))
    args += text(150, 52, 66, INK, "墨枫")
    args += text(300, 92, 20, INK_SOFT, "V1.1")
    args += text(72, 160, 19, INK,
                 "淘宝关键词调研助手：批量查询宝贝数量、搜索指数与竞争倍数，帮你挑出好词")
    args += shape("rgba(47,58,61,0.25)", "line 72,205 832,205")
    steps = ["导入关键词", "开始查询指数", "导出选中到表格"]
    card_w, card_h, gap, left, top = 220, 74, 50, 72, 236
    for i, label in enumerate(steps):
        x = left + i * (card_w + gap)
        args += shape("rgba(255,255,255,0.92)",
                      f"roundrectangle {x},{top} {x + card_w},{top + card_h} 10,10",
                      stroke="#d8dfdc", width=1)
        args += shape(MAPLE, f"circle {x + 34},{top + 37} {x + 34},{top + 19}")
        args += text(x + 27, top + 23, 22, "white", str(i + 1))
        args += text(x + 64, top + 24, 20, INK, label)
        if i < len(steps) - 1:
            ax = x + card_w + 8
            ay = top + card_h // 2
            args += shape(AMBER, f"line {ax},{ay} {ax + 30},{ay}", stroke=AMBER, width=3)
            args += shape(AMBER, f"polygon {ax + 34},{ay} {ax + 24},{ay - 7} {ax + 24},{ay + 7}")
    args += text(72, 350, 15, INK_SOFT,
                 "切换到“指数查询”页，在列表中点右键即可开始；选中多行后可一并导出为表格。")
    args += ["-quality", "92", "-strip", path]
    run(args)


def index_banner(path):
    """960 x 90 GIF; the first 48 columns lie outside the window."""
    args = ["-size", "960x90", "gradient:#fdfaf4-#e4eeea", "-rotate", "-90",
            "-resize", "960x90!", "-gravity", "NorthWest"]
    args += shape("rgba(200,85,61,0.12)", leaf(905, 40, 70, 14))
    args += shape(MAPLE, leaf(86, 45, 21, -12))
    args += text(118, 18, 30, INK, "墨枫")
    args += text(190, 33, 15, INK_SOFT, "指数查询")
    args += text(330, 22, 15, INK, "① 导入关键词")
    args += text(470, 22, 15, INK, "② 开始查询指数")
    args += text(626, 22, 15, INK, "③ 导出选中到表格")
    args += text(330, 52, 13, INK_SOFT,
                 "在下方列表中点右键使用这些命令；点击列标题可按该列从大到小排序。")
    args += shape("rgba(47,58,61,0.18)", "line 0,89 960,89")
    args += ["-colors", "128", "-strip", path]
    run(args)


def mining_banner(path):
    """448 x 60 JPEG; the first 8 columns lie outside the window."""
    args = ["-size", "448x60", "gradient:#fdfaf4-#e4eeea", "-rotate", "-90",
            "-resize", "448x60!", "-gravity", "NorthWest"]
    args += shape("rgba(200,85,61,0.12)", leaf(410, 30, 44, 18))
    args += shape(MAPLE, leaf(36, 30, 16, -12))
    args += text(60, 14, 22, INK, "自动淘词")
    args += text(162, 22, 12, INK_SOFT, "输入关键词与必须包含的字，一键扩展相关词")
    args += ["-quality", "92", "-strip", path]
    run(args)


def icon(path):
    """48 x 48 PNG with transparency, drawn at 4x and scaled down."""
    args = ["-size", "192x192", "xc:none"]
    args += shape("#2f3a3d", "roundrectangle 6,6 186,186 36,36")
    args += shape("rgba(255,255,255,0.08)", "roundrectangle 6,6 186,96 36,36")
    args += shape(MAPLE, leaf(96, 100, 70, -8))
    args += ["-resize", "48x48", "-depth", "8", "-strip", "PNG32:" + path]
    run(args)


APP_ID = "org.example.Mofeng"
ICON_SIZES = (48, 128, 256)


def desktop_icon_png(path, size):
    """The icon at size x size, drawn at 1024 px and scaled down."""
    k = 1024 / 192
    args = ["-size", "1024x1024", "xc:none"]
    args += shape("#2f3a3d", f"roundrectangle {6*k:.0f},{6*k:.0f} {186*k:.0f},{186*k:.0f} "
                  f"{36*k:.0f},{36*k:.0f}")
    args += shape("rgba(255,255,255,0.08)", f"roundrectangle {6*k:.0f},{6*k:.0f} "
                  f"{186*k:.0f},{96*k:.0f} {36*k:.0f},{36*k:.0f}")
    args += shape(MAPLE, leaf(96 * k, 100 * k, 70 * k, -8))
    args += ["-resize", f"{size}x{size}", "-depth", "8", "-strip", "PNG32:" + path]
    run(args)


def desktop_icon_svg(path):
    """The same drawing as the PNG icons, in a 192 x 192 view box."""
    points = leaf(96, 100, 70, -8).removeprefix("polygon ")
    with open(path, "w", encoding="utf-8") as out:
        out.write(
            '<svg xmlns="http://www.w3.org/2000/svg" width="192" height="192" '
            'viewBox="0 0 192 192">\n'
            '  <rect x="6" y="6" width="180" height="180" rx="36" fill="#2f3a3d"/>\n'
            '  <path d="M6 42a36 36 0 0 1 36-36h108a36 36 0 0 1 36 36v54H6z" '
            'fill="#ffffff" fill-opacity="0.08"/>\n'
            f'  <polygon points="{points}" fill="{MAPLE}"/>\n'
            '</svg>\n')


def desktop_icons(root):
    for size in ICON_SIZES:
        folder = os.path.join(root, "hicolor", f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        desktop_icon_png(os.path.join(folder, APP_ID + ".png"), size)
    folder = os.path.join(root, "hicolor", "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    desktop_icon_svg(os.path.join(folder, APP_ID + ".svg"))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "ui", "resources")
    os.makedirs(out, exist_ok=True)
    home_picture(os.path.join(out, "home.jpg"))
    index_banner(os.path.join(out, "index_banner.gif"))
    mining_banner(os.path.join(out, "mining_banner.jpg"))
    icon(os.path.join(out, "icon.png"))
    desktop_icons(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..",
                               "packaging", "icons"))


if __name__ == "__main__":
    main()
