#!/usr/bin/env python3
"""Writes the default skin's layout files and the manifest of element names.

The layouts in skin/layouts/ and skin/manifest/elements.txt are produced by
this script and committed; edit the page descriptions here and rerun it:

    python3 skin/authoring/make_layouts.py

Image names refer to the bitmaps that skin_generator draws into
Layout/Img/<group>/; their sizes there match the rectangles used here on the
1920x1080 pages, so that nothing is stretched on a full-HD screen.
"""
import os
from xml.sax.saxutils import quoteattr

HERE = os.path.dirname(os.path.abspath(__file__))
SKIN = os.path.dirname(HERE)

# Text colours as COLORREF values (0x00BBGGRR).
def cref(rgb):
    r, g, b = (rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255
    return "%06X" % ((b << 16) | (g << 8) | r)

TEXT_MAIN = 0xEEF3FA
TEXT_DIM = 0x8FA3BF
TEXT_ACCENT = 0x7FB2FF
ON_NORMAL = 0xD8E2F0
ON_HIGHLIGHT = 0x0E2350
ON_PRESSED = 0xFFFFFF
# Disabled labels stay readable (4.5:1 on the disabled plate) but dimmer than the rest.
ON_DISABLED = 0x7D8797
ENTRY_COLOURS = (ON_NORMAL, ON_HIGHLIGHT, ON_PRESSED, ON_DISABLED)
PLAIN = (TEXT_MAIN, TEXT_MAIN, TEXT_MAIN, TEXT_DIM)
DIM = (TEXT_DIM, TEXT_DIM, TEXT_DIM, TEXT_DIM)
ACCENT = (TEXT_ACCENT, TEXT_ACCENT, TEXT_ACCENT, TEXT_DIM)


class Page:
    def __init__(self, path, width, height, background, comment):
        self.path = path
        self.width = width
        self.height = height
        self.depth = len(path.split("\\"))
        self.lines = []
        self.manifest = []
        self.comment = comment
        self.background = background

    def img(self, name):
        # Images lie in Layout/Img; the page folder is Layout/XML/<page path>.
        return "..\\" * (self.depth + 1) + "Img\\" + name.replace("/", "\\")

    def note(self, kind, name, extra=""):
        self.manifest.append((kind, name, extra))

    @staticmethod
    def pos(tag, r):
        x, y, w, h = r
        return '<%s left="%d" top="%d" width="%d" height="%d"/>' % (tag, x, y, w, h)

    def text_xml(self, tag, name, r, align="CENTER", colours=PLAIN, font="FONT1", dependency=None, fit=None):
        parts = ["<%s value=%s>" % (tag, quoteattr(name)), self.pos("position", r)]
        if dependency:
            parts.append("<dependency value=%s/>" % quoteattr(dependency))
        parts.append('<font value="%s"/>' % font)
        parts.append('<color normalcolor="%s" highlightcolor="%s" pressedcolor="%s" disabledcolor="%s"/>'
                     % tuple(cref(c) for c in colours))
        parts.append('<align value="%s"/>' % align)
        if fit is not None:
            parts.append('<dynamic_fit value="%s"/>' % ("TRUE" if fit else "FALSE"))
        parts.append("</%s>" % tag)
        return "".join(parts)

    def button(self, action, image, r):
        self.lines.append('<action value=%s><image value=%s/>%s</action>'
                          % (quoteattr(action), quoteattr(self.img(image)), self.pos("position", r)))
        self.note("button", action)

    def text(self, name, r, label=False, **kw):
        self.lines.append(self.text_xml("text", name, r, **kw))
        self.note("text", name, "string" if label else "")

    def still(self, name, image, r):
        self.lines.append('<still_image value=%s><image value=%s/>%s</still_image>'
                          % (quoteattr(name), quoteattr(self.img(image)), self.pos("position", r)))
        self.note("still_image", name)

    def progress(self, name, image, r):
        self.lines.append('<progress value=%s><image value=%s/>%s</progress>'
                          % (quoteattr(name), quoteattr(self.img(image)), self.pos("position", r)))
        self.note("progress", name)

    def hotkey(self, key, action):
        self.lines.append('<hotkey id=%s value=%s/>' % (quoteattr(key), quoteattr(action)))
        self.note("hotkey", key, action)

    def list(self, name, r, image=""):
        lst = List(self, name, r, image)
        self.lines.append(lst)
        self.note("list", name)
        return lst

    def write(self):
        folder = os.path.join(SKIN, "layouts", *self.path.split("\\"))
        os.makedirs(folder, exist_ok=True)
        out = ['<?xml version="1.0" encoding="UTF-8"?>',
               "<!-- %s -->" % self.comment,
               "<layout>",
               '  <image value=%s/>' % quoteattr(self.img(self.background)),
               "  " + self.pos("position", (0, 0, self.width, self.height))]
        for line in self.lines:
            if isinstance(line, List):
                out.extend("  " + l for l in line.render())
            else:
                out.append("  " + line)
        out.append("</layout>")
        with open(os.path.join(folder, "layout.xml"), "w", newline="\n") as f:
            f.write("\n".join(out) + "\n")


class List:
    def __init__(self, page, name, r, image):
        self.page, self.name, self.r, self.image = page, name, r, image
        self.entries = []

    def item(self, name, image, r, text_r=None):
        p = self.page
        s = '<list_item value=%s><image value=%s/>%s' % (quoteattr(name), quoteattr(p.img(image)), p.pos("position", r))
        if text_r:
            s += p.pos("text_position", text_r)
        self.entries.append(("list_item", s + "</list_item>"))

    def action(self, name, image, r):
        p = self.page
        self.entries.append(("list_action", '<list_action value=%s><image value=%s/>%s</list_action>'
                             % (quoteattr(name), quoteattr(p.img(image)), p.pos("position", r))))
        p.note("list_action", name, self.name)

    def link(self, name, image, target, r):
        p = self.page
        self.entries.append(("list_link", '<list_link value=%s><image value=%s/><hyperlink value=%s/>%s</list_link>'
                             % (quoteattr(name), quoteattr(p.img(image)), quoteattr(target), p.pos("position", r))))
        p.note("list_link", name, self.name)

    def text(self, name, r, label=False, **kw):
        self.entries.append(("list_text", self.page.text_xml("list_text", name, r, **kw)))
        self.page.note("list_text", name, self.name + ("|string" if label else ""))

    def picture(self, name, image, r):
        p = self.page
        self.entries.append(("list_image", '<list_image value=%s><image value=%s/>%s</list_image>'
                             % (quoteattr(name), quoteattr(p.img(image)), p.pos("position", r))))
        p.note("list_image", name, self.name)

    def render(self):
        p = self.page
        image = p.img(self.image) if self.image else ""
        out = ['<list value=%s>' % quoteattr(self.name),
               "  " + p.pos("position", self.r),
               '  <image value=%s/>' % quoteattr(image)]
        # Entries of one kind stay together, in the order the reader numbers them.
        for kind in ("list_item", "list_action", "list_link", "list_text", "list_image"):
            out.extend("  " + s for k, s in self.entries if k == kind)
        out.append("</list>")
        return out


PAGES = []

def page(*args):
    p = Page(*args)
    PAGES.append(p)
    return p

# ---------------------------------------------------------------- shared parts

WINDOW_BUTTONS = [("Minimize", "Common/btn_minimize.bmp"), ("Maximize", "Common/btn_maximize.bmp"),
                  ("Restore", "Common/btn_restore.bmp"), ("Close", "Common/btn_close.bmp")]

def navigation_keys(p, escape="Home"):
    p.hotkey("VK_ESCAPE_", escape)
    p.hotkey("VK_BACK_", "Back")

def pill(lst, name, key, r, icon, link=None):
    """A pill-shaped menu entry with its label drawn from the string table."""
    x, y, w, h = r
    icon_image = "Common/pill_%s_%d.bmp" % (icon, w)
    if link:
        lst.link(name, icon_image, link, r)
    else:
        lst.action(name, icon_image, r)
    lst.text(key, (x + h, y + h // 4, w - h - h // 3, h - 2 * (h // 4)), label=True, align="LEFT",
             colours=ENTRY_COLOURS, dependency=name)

# ------------------------------------------------------------------ root pages

MODULE_TILES = [
    ("Movie Entry", "MOVIES", "movie"), ("Music Entry", "MUSIC", "music"), ("Photo Entry", "PHOTOS", "photo"),
    ("Video Entry", "VIDEOS", "video"), ("TV Entry", "TV", "tv"), ("Radio Entry", "RADIO", "radio"),
    ("Burning Entry", "BURNNING", "burning"), ("Web Entry", "WEB", "web"), ("Setting Entry", "SETTINGS", "settings"),
    ("Help Entry", "HELP", "help"),
]

def root_page(path, tiles, comment, sx=1.0, sy=1.0, width=1920, height=1080):
    def S(r):
        x, y, w, h = r
        left, top = round(x * sx), round(y * sy)
        return (left, top, round((x + w) * sx) - left, round((y + h) * sy) - top)
    p = page(path, width, height, "Root/root_bg.bmp", comment)
    p.text("MARIVEL", S((72, 40, 520, 64)), label=True, align="LEFT", colours=ACCENT, font="FONT2")
    p.text("Time", S((960, 36, 620, 50)), align="CENTER", colours=PLAIN)
    p.text("Date", S((960, 90, 620, 36)), align="CENTER", colours=DIM)
    for (action, image), left in zip(WINDOW_BUTTONS, (1620, 1708, 1708, 1796)):
        p.button(action, image, S((left, 40, 72, 72)))
    p.text("Module", S((120, 250, 400, 400)))
    p.text("Module Name", S((60, 676, 520, 80)), align="CENTER", colours=ACCENT, font="FONT2")
    p.text("UserName", S((72, 990, 800, 44)), align="LEFT", colours=DIM)
    modules = p.list("Root Module List", S((640, 230, 1200, 536)))
    columns = 5 if len(tiles) > 6 else 4
    def tile_place(i):
        # Rows are centred in the list: a short last row sits in the middle.
        col, row = i % columns, i // columns
        in_row = min(columns, len(tiles) - row * columns)
        return 640 + (5 - in_row) * 123 + col * 246, 230 + row * 286
    for i, (action, key, _) in enumerate(tiles):
        tx, ty = tile_place(i)
        modules.action(action, "Root/tile_%s.bmp" % _, S((tx, ty, 216, 250)))
        if action == "Web Entry":
            modules.action("Updated Web Entry", "Root/tile_web_updated.bmp", S((tx, ty, 216, 250)))
    for i, (action, key, _) in enumerate(tiles):
        tx, ty = tile_place(i)
        modules.text(key, S((tx + 8, ty + 184, 200, 44)), label=True, colours=ENTRY_COLOURS, dependency=action)
    accessory = p.list("Root Accessary List", S((1260, 860, 580, 84)))
    for name, key, r, icon in (("Help", "HELP", (1260, 860, 280, 84), "Common/pill_help_280.bmp"),
                               ("To PC", "TOPC", (1560, 860, 280, 84), "Common/pill_topc_280.bmp")):
        x, y, w, h = S(r)
        accessory.action(name, icon, (x, y, w, h))
        accessory.text(key, (x + h, y + h // 4, w - h - h // 3, h - 2 * (h // 4)), label=True, align="LEFT",
                       colours=ENTRY_COLOURS, dependency=name)
    p.hotkey("VK_F1_", "Help")
    return p

root_page("Root", MODULE_TILES, "Home menu, 1920x1080")
root_page("ROOT1280X800", MODULE_TILES,
          "Home menu in a 1280x800 frame; the full-HD design scaled, so a 16:9 screen shows it as the 1920x1080 page",
          sx=1280 / 1920, sy=800 / 1080, width=1280, height=800)
root_page("Root_4Module", [t for t in MODULE_TILES if t[0] in
                           ("Movie Entry", "Music Entry", "Photo Entry", "Video Entry", "Setting Entry", "Help Entry")],
          "Home menu with the four media modules")

# ----------------------------------------------------------------- setting pages

p = page("Setting\\SettingMain", 1920, 1080, "Setting/setting_bg.bmp", "System settings")
p.text("SETTINGS", (120, 124, 900, 72), label=True, align="LEFT", colours=ACCENT, font="FONT2")
rows = [
    ("BOOTSELECTION", "Setting BootSelection", "Setting BootSelection"),
    ("SCREENRATIO", "Setting ScreenRatio", "Setting ScreenRatio"),
    ("WIDESCREENMODE", "Setting WideScreenMode", "Setting WideScreenMode"),
    ("RESOLUTION", "Setting Display Resolution", "Setting Resolution"),
    ("LANGUAGE", "Setting System Language", "Setting Language"),
    ("SUBWOOFER", "Enable Subwoofer", "Setting Enable Subwoofer"),
    ("AUDIOEFFECT", "Audio output", "Setting Audio output"),
    ("AUDIOOUTPUT", "Movie AudioOutput Option", "Setting AudioOutput"),
    ("OSDDURATION", "OSD Option", "OSD"),
    ("SOUNDEFFECT", "Sound Effect Option", "Sound Effect"),
]
options = p.list("Setting Options", (120, 220, 1760, 700))
for i, (label, value, action) in enumerate(rows):
    y = 224 + i * 70
    options.action(action + " Left", "Common/arrow_left.bmp", (860, y, 64, 64))
    options.action(action + " Right", "Common/arrow_right.bmp", (1516, y, 64, 64))
for i, (label, value, action) in enumerate(rows):
    y = 224 + i * 70
    options.text(label, (140, y + 10, 700, 44), label=True, align="LEFT", colours=DIM)
    options.text(value, (936, y + 10, 568, 44), align="CENTER", colours=PLAIN)
options.text("Setting Display Device Ratio", (1610, 520, 270, 40), align="CENTER", colours=DIM)
for name, image in (("Setting 4X3 Letterbox", "Setting/preview_43_letterbox.bmp"),
                    ("Setting 4X3 Panscan", "Setting/preview_43_panscan.bmp"),
                    ("Setting 4X3 WIDEFILL", "Setting/preview_43_widefill.bmp"),
                    ("Setting 16X9 Letterbox", "Setting/preview_169_letterbox.bmp"),
                    ("Setting 16X9 WIDEFILL", "Setting/preview_169_widefill.bmp")):
    options.picture(name, image, (1610, 300, 270, 200))
menu = p.list("Setting Menu", (120, 950, 1200, 84))
pill(menu, "Home", "HOME", (120, 950, 300, 84), "home")
pill(menu, "Setting Default Enter", "DEFAULTS", (450, 950, 400, 84), "defaults")
pill(menu, "Setting About Enter", "ABOUT", (880, 950, 300, 84), "about", link="Setting\\About")
navigation_keys(p)

p = page("Setting\\About", 1920, 1080, "Setting/setting_bg.bmp", "About the program")
p.text("ABOUT", (120, 124, 900, 72), label=True, align="LEFT", colours=ACCENT, font="FONT2")
p.text("Setting About Content", (120, 260, 1680, 180), align="MULTIPLELINE", colours=PLAIN)
p.text("Setting About Version", (120, 500, 1680, 52), align="LEFT", colours=PLAIN)
p.text("Setting About Copyright", (120, 600, 1680, 120), align="MULTIPLELINE", colours=DIM)
menu = p.list("Setting About Menu", (120, 950, 300, 84))
pill(menu, "Setting Setting Return", "RETURN", (120, 950, 300, 84), "back", link="Setting\\SettingMain")
navigation_keys(p, escape="Back")

# ------------------------------------------------------------------ record pages

def record_header(p):
    p.still("Title Image", "Common/Title_Record.BMP", (120, 124, 96, 96))

p = page("Record\\RecordMain", 1920, 1080, "Record/record_bg.bmp", "Record hub: choice of the media kind")
record_header(p)
media = p.list("Record Media List", (240, 300, 1440, 400))
kinds = (("Record Video", "video"), ("Record Audio", "music"), ("Record Photo", "photo"))
for i, (action, icon) in enumerate(kinds):
    media.action(action, "Record/tile_%s.bmp" % icon, (240 + i * 520, 300, 400, 400))
for i, (action, icon) in enumerate(kinds):
    media.text("LIST_ITEM%d" % (i + 1), (256 + i * 520, 600, 368, 60), colours=ENTRY_COLOURS, dependency=action,
               fit=True)
navigation_keys(p)

p = page("Record\\RecordDevice", 1920, 1080, "Record/record_bg.bmp", "Record hub: choice of the device")
record_header(p)
p.text("Module Text", (240, 130, 1440, 72), align="CENTER", colours=ACCENT, font="FONT2")
devices = p.list("Record Device List", (240, 260, 1440, 520))
device_rows = (("Record CDDVD", "Record CDDVD Title Text", "disc"),
               ("Record USB", "Record USB Device Title Text", "usb"),
               ("Record SmartMedia", "Record Smart Media Title Text", "smartmedia"),
               ("Record MemoryStick", "Record Memory Stick Title Text", "memorystick"),
               ("Record CompactFlash", "Record Compact Flash Title Text", "compactflash"),
               ("Record SecureDigital", "Record Secure Digital Title Text", "securedigital"))
for i, (action, _, icon) in enumerate(device_rows):
    devices.action(action, "Record/device_%s.bmp" % icon, (240 + (i % 3) * 500, 260 + (i // 3) * 280, 440, 240))
for i, (action, title, _) in enumerate(device_rows):
    devices.text(title, (256 + (i % 3) * 500, 260 + (i // 3) * 280 + 176, 408, 48), colours=ENTRY_COLOURS,
                 dependency=action, fit=True)
back = p.list("Record Device Menu", (240, 880, 340, 84))
pill(back, "Record Return To Main", "RETURN", (240, 880, 340, 84), "back")
navigation_keys(p)

p = page("Record\\Recording", 1920, 1080, "Record/record_bg.bmp", "Record hub: copy progress")
record_header(p)
p.text("Module Text", (240, 130, 1440, 72), align="CENTER", colours=ACCENT, font="FONT2")
p.text("Current Record File Name", (240, 290, 1440, 48), align="LEFT", colours=PLAIN)
p.progress("Copy File Progress", "Common/progress_wide.bmp", (240, 360, 1440, 36))
p.text("Record File Percentage", (1380, 410, 300, 44), align="RIGHT", colours=PLAIN)
p.progress("Copy Total Progress", "Common/progress_wide.bmp", (240, 520, 1440, 36))
p.text("Total File Size", (240, 570, 900, 44), align="LEFT", colours=DIM)
p.text("Record Total Percentage", (1380, 570, 300, 44), align="RIGHT", colours=PLAIN)
stop = p.list("Record Progress Menu", (240, 700, 1440, 220))
stop.action("Record Return To Device Selection", "Common/pill_stop_400.bmp", (760, 820, 400, 84))
stop.text("Record Wait Message", (240, 700, 1440, 56), colours=DIM, fit=True)
stop.text("Record Stop Button", (844, 837, 280, 50), align="LEFT", colours=ENTRY_COLOURS,
          dependency="Record Return To Device Selection", fit=True)
navigation_keys(p)

# ---------------------------------------------------------------- authoring page

p = page("Authoring\\Preview", 1920, 1080, "Authoring/authoring_bg.bmp", "Disc authoring and burning progress")
p.text("BURN", (120, 124, 800, 72), label=True, align="LEFT", colours=ACCENT, font="FONT2")
p.text("Authoring Module Title", (1100, 130, 700, 60), align="RIGHT", colours=PLAIN, font="FONT2")
p.still("Authoring Video", "Authoring/preview_area.bmp", (120, 220, 960, 540))
info = p.list("Authoring Info List", (1140, 220, 660, 540))
info.action("Authoring DiscType Left", "Common/arrow_left.bmp", (1420, 324, 64, 64))
info.action("Authoring DiscType Right", "Common/arrow_right.bmp", (1736, 324, 64, 64))
labels = ("SOURCE", "DISCTYPE", "DISCREMAINS", "FILESIZE", "ELEMENTS")
for i, key in enumerate(labels):
    info.text(key, (1140, 240 + i * 104, 280, 44), label=True, align="LEFT", colours=DIM)
info.text("Authoring Module Option", (1420, 240, 380, 44), align="LEFT", colours=PLAIN)
info.text("Authoring DiscType Option", (1492, 334, 236, 44), align="CENTER", colours=PLAIN)
info.text("Authoring DiscRemains", (1420, 448, 380, 44), align="LEFT", colours=PLAIN)
info.text("Authoring FileSize", (1420, 552, 380, 44), align="LEFT", colours=PLAIN)
info.text("Authoring Element Size", (1420, 656, 380, 44), align="CENTER", colours=PLAIN)
p.text("Authoring BurningProgress Info", (120, 800, 1680, 52), align="CENTER", colours=PLAIN)
menu = p.list("Authoring Menu", (120, 950, 1120, 84))
pill(menu, "Authoring Burn", "BURN", (120, 950, 320, 84), "burning")
pill(menu, "Authoring StopBurn", "STOPBURN", (470, 950, 420, 84), "stop")
pill(menu, "Authoring Return", "RETURN", (920, 950, 320, 84), "back")
navigation_keys(p)

# ----------------------------------------------------------------- rename page

KEYPAD = [chr(c) for c in range(ord("A"), ord("Z") + 1)] + [str(d) for d in range(10)] + \
    ["AA", "OO", "UU", "BS", "ENTER", "SPACE", ".", ",", "-", "_", ";", "(", ")", "&", "+", "#", "*"]
assert len(KEYPAD) == 53
p = page("Common\\Rename", 1920, 1080, "Common/rename_bg.bmp", "On-screen key pad for renaming")
p.text("RENAME", (175, 124, 900, 72), label=True, align="LEFT", colours=ACCENT, font="FONT2")
pad = p.list("Rename KeyPad", (175, 220, 1570, 750))
for i, label in enumerate(KEYPAD):
    col, row = i % 11, i // 11
    r = (175 + col * 144, 400 + row * 110, 130, 96)
    pad.item("Key " + label, "Common/key.bmp", r, text_r=(r[0] + 4, r[1] + 30, 122, 36))
pad.text("Rename EditText", (199, 256, 1522, 64), align="LEFT", colours=PLAIN)
pad.picture("Rename Field", "Common/edit_field.bmp", (175, 240, 1570, 96))
p.note("list_item_count", "Rename KeyPad", "53")

# ------------------------------------------------------------------ movie pages

MOVIE_KEYS = (("VK_SPACE_", "Movie Play Pause"), ("VK_S_", "Movie Stop"), ("VK_N_", "Movie NextChapter"),
              ("VK_P_", "Movie PreChapter"), ("VK_F_", "Movie FastForeward"), ("VK_B_", "Movie Rewind"),
              ("VK_M_", "Movie FW_MainMenu"), ("VK_ADD_", "Vol Up"), ("VK_SUBTRACT_", "Vol Down"),
              ("VK_F8_", "Vol Mute Unmute"), ("VK_UP_", "Movie MenuUp"), ("VK_DOWN_", "Movie MenuDown"),
              ("VK_LEFT_", "Movie MenuLeft"), ("VK_RIGHT_", "Movie MenuRight"), ("VK_RETURN_", "Movie MenuEnter"))

def movie_page(path, comment, background="Movie/movie_page_bg.bmp", title="MOVIES"):
    p = page("Movie\\" + path, 1920, 1080, background, comment)
    if title:
        p.text(title, (120, 124, 900, 72), label=True, align="LEFT", colours=ACCENT, font="FONT2")
    return p

def movie_drive_selector(p, r, columns):
    """The drive selector: a row of drive tiles with paging arrows."""
    x, y, w, h = r
    drives = p.list("Movie Multi Drive Selector List", r)
    for i in range(columns):
        tile = (x + 80 + i * 340, y, 320, 320)
        drives.item("Movie Drive %d" % (i + 1), "Movie/drive_item.bmp", tile,
                    text_r=(tile[0] + 10, tile[1] + 200, 300, 110))
    drives.action("pageup", "Common/arrow_left.bmp", (x, y + 128, 64, 64))
    drives.action("pagedown", "Common/arrow_right.bmp", (x + w - 64, y + 128, 64, 64))
    p.note("list_item_count", "Movie Multi Drive Selector List", str(columns))
    return drives

def movie_message(p, key, buttons, y=420):
    """A message from the string table and a row of pill buttons below it."""
    p.text(key, (240, y, 1440, 160), label=True, align="MULTIPLELINE", colours=PLAIN)
    menu = p.list("Movie Message Menu", (240, 700, 1440, 84))
    for i, (action, label, icon) in enumerate(buttons):
        pill(menu, action, label, (240 + i * 460, 700, 420, 84), icon)

# The settings pages share one list, "Movie Setting": the category pills on
# the left, and on the sub-pages the option rows (arrows around a value).
MOVIE_SETTING_CATEGORIES = (("Movie Video Setting", "VIDEOSETTING", "video"),
                            ("Movie Audio Setting", "AUDIOSETTING", "music"),
                            ("Movie Language Setting", "LANGUAGESETTING", "language"),
                            ("Movie ParentalControl Setting", "PARENTALCONTROL", "settings"),
                            ("Movie Setting Return", "RETURN", "back"))

def movie_setting_page(path, comment, rows=(), restore=None):
    p = movie_page(path, comment, title="SETUP")
    lst = p.list("Movie Setting", (120, 220, 1680, 760))
    for i, (action, label, icon) in enumerate(MOVIE_SETTING_CATEGORIES):
        pill(lst, action, label, (120, 240 + i * 104, 420, 84), icon)
    for i, (label, action, value) in enumerate(rows):
        y = 250 + i * 104
        lst.action(action + " Left", "Common/arrow_left.bmp", (1060, y, 64, 64))
        lst.action(action + " Right", "Common/arrow_right.bmp", (1716, y, 64, 64))
    if restore:
        pill(lst, restore, "DEFAULTS", (640, 250 + len(rows) * 104 + 20, 420, 84), "defaults")
    for i, (label, action, value) in enumerate(rows):
        y = 250 + i * 104
        lst.text(label, (640, y + 10, 410, 44), label=True, align="LEFT", colours=DIM)
        lst.text(value, (1132, y + 10, 576, 44), align="CENTER", colours=PLAIN)
    p.hotkey("VK_ESCAPE_", "Movie Setting Return")
    p.hotkey("VK_BACK_", "Movie Setting Return")
    return p, lst

def movie_pin_field(lst, action, label, y):
    lst.action(action, "Movie/pin_field.bmp", (1060, y, 400, 72))
    lst.text(label, (640, y + 14, 400, 44), label=True, align="LEFT", colours=DIM)

def movie_pages():
    # Playback: the video fills the frame; the still image shows while nothing plays.
    p = page("Movie\\MAIN", 1920, 1080, "Movie/movie_video_bg.bmp", "Movie module: playback page")
    p.still("Movie VideoWnd", "Movie/movie_video_bg.bmp", (0, 0, 1920, 1080))
    for key, action in MOVIE_KEYS:
        p.hotkey(key, action)
    for d in range(10):
        p.hotkey("VK_%d_" % d, "Movie Key_%d" % d)
    navigation_keys(p, escape="Back")

    p = movie_page("POPUP", "Movie module: pop-up menu over the paused disc", background="Movie/movie_bg.bmp")
    menu = p.list("Movie PopUp List", (120, 240, 420, 620))
    for i, (action, key, icon) in enumerate((("Movie Resume", "RESUME", "play"), ("Movie Restart", "RESTART", "restart"),
                                             ("Movie RootMenu", "ROOTMENU", "menu"),
                                             ("Movie MainMenu", "TITLEMENU", "menu"),
                                             ("Movie Setting Entry", "SETUP", "settings"),
                                             ("Movie Eject", "EJECT", "eject"))):
        pill(menu, action, key, (120, 240 + i * 104, 420, 84), icon)
    p.text("Movie Drive Name", (640, 880, 900, 48), align="LEFT", colours=PLAIN)
    p.text("Movie Drive Item Count", (1540, 880, 260, 48), align="RIGHT", colours=DIM)
    navigation_keys(p, escape="Back")

    p = movie_page("DEVICESELECTION", "Movie module: choice of the disc drive")
    movie_drive_selector(p, (120, 360, 1680, 320), 4)
    p.text("Movie Drive Name", (200, 760, 1100, 56), align="LEFT", colours=PLAIN)
    p.text("Movie Drive Item Count", (1400, 760, 320, 56), align="RIGHT", colours=DIM)
    navigation_keys(p)

    p = movie_page("NoDisc", "Movie module: no disc in the drive")
    movie_message(p, "NODISCS", (("Home", "HOME", "home"),))
    navigation_keys(p)

    p = movie_page("NOTSUPPORTDTS", "Movie module: the disc's sound cannot be played")
    movie_message(p, "NOTSUPPORTDTS", (("Movie NotSupportDTS", "OK", "play"), ("Home", "HOME", "home")))
    navigation_keys(p)

    p, lst = movie_setting_page("SETTING", "Movie settings: the categories")
    lst.picture("Movie ParentalControl Option Image", "Movie/pin_stored.bmp", (560, 562, 64, 64))

    p, lst = movie_setting_page("SETTING\\VIDEOSETTING", "Movie settings: picture", rows=(
        ("SCREENRATIO", "Movie ScreenRatio", "Movie ScreenRatio Option"),
        ("WIDESCREENMODE", "Movie WideScreenMode", "Movie WideScreenMode Option"),
        ("COLORPROFILE", "Movie ColorProfile", "Movie ColorProfile Option"),
        ("HARDWAREDECODING", "Movie EnableDXVA", "Movie EnableDXVA Option")),
        restore="Movie RestoreVideoSetting Enter")
    for name, image in (("Movie SrceenMode 4X3 Original", "Setting/preview_43_letterbox.bmp"),
                        ("Movie SrceenMode 4X3 Letterbox", "Setting/preview_43_letterbox.bmp"),
                        ("Movie SrceenMode 4X3 Panscan", "Setting/preview_43_panscan.bmp"),
                        ("Movie SrceenMode 4X3 WIDEFILL", "Setting/preview_43_widefill.bmp"),
                        ("Movie SrceenMode 16X9 Original", "Setting/preview_169_letterbox.bmp"),
                        ("Movie SrceenMode 16X9 Letterbox", "Setting/preview_169_letterbox.bmp"),
                        ("Movie SrceenMode 16X9 WIDEFILL", "Setting/preview_169_widefill.bmp")):
        lst.picture(name, image, (1240, 760, 270, 200))
    for name in ("VIVEX", "Original", "Vivid", "Brightness", "theater"):
        lst.picture("Movie ColorProfile %s After" % name, "Movie/colour_%s.bmp" % name.lower(), (1540, 760, 240, 200))

    movie_setting_page("SETTING\\AUDIOSETTING", "Movie settings: sound", rows=(
        ("AUDIOOUTPUT", "Movie AudioOutput", "Movie AudioOutput Option"),
        ("AUDIOPROFILE", "Movie AudioProfile", "Movie AudioProfile Option"),
        ("CHANNELEXPANDER", "Movie AudioChannelExpander", "Movie AudioChannelExpander Option")),
        restore="Movie RestoreAudioSetting Enter")

    movie_setting_page("SETTING\\LANGUAGESETTING", "Movie settings: languages", rows=(
        ("SUBTITLE", "Movie SelectSubtitle", "Movie Subtitle Option"),
        ("LANGUAGE", "Movie SelectLanguage", "Movie Language Option"),
        ("CLOSEDCAPTION", "Movie SelectClosedCaption", "Movie ClosedCaption Option")),
        restore="Movie RestoreLanguageSetting Enter")

    # Parental lock. The PIN boxes are edit controls the page lays over the
    # "Movie Input PIN" and "Movie Confirm PIN" entries.
    p = movie_page("SETTING\\PLCSETTING\\PLCEnterPIN", "Parental lock: a new PIN and its confirmation",
                   title="PARENTALCONTROL")
    lst = p.list("Movie PLC Setting", (640, 300, 1160, 500))
    movie_pin_field(lst, "Movie Input PIN", "INPUTPIN", 320)
    movie_pin_field(lst, "Movie Confirm PIN", "CONFIRMPIN", 440)
    pill(lst, "Movie Back", "RETURN", (640, 640, 420, 84), "back")
    p.hotkey("VK_ESCAPE_", "Movie Back")

    p, lst = movie_setting_page("SETTING\\PLCSETTING\\PLCSelLevel", "Parental lock: the level", rows=(
        ("PARENTALLEVEL", "Movie SelectPLCLevel", "Movie ParentalControl Level Option"),))
    pill(lst, "Movie ChangePINNumber Enter", "CHANGEPIN", (640, 374, 420, 84), "settings")
    pill(lst, "Movie RemovePINNumber Enter", "REMOVEPIN", (1100, 374, 420, 84), "close")

    for path, comment, key in (("PLCEnterConfirmPIN", "Parental lock: the PIN before a change", "ENTERPIN"),
                               ("PLCProgConfirmPIN", "Parental lock: the PIN before a locked disc plays", "ENTERPIN")):
        p = movie_page("SETTING\\PLCSETTING\\" + path, comment, title="PARENTALCONTROL")
        p.text(key, (640, 240, 1160, 56), label=True, align="LEFT", colours=PLAIN)
        if path == "PLCProgConfirmPIN":
            p.text("Program Info", (640, 560, 1160, 120), align="MULTIPLELINE", colours=DIM)
        lst = p.list("Movie Input PIN list", (640, 320, 1160, 320))
        movie_pin_field(lst, "Movie Input PIN", "INPUTPIN", 340)
        pill(lst, "Movie Back", "RETURN", (640, 460, 420, 84), "back")
        p.hotkey("VK_ESCAPE_", "Movie Back")

    p = movie_page("SETTING\\PLCSETTING\\PLCErrorPINMsg", "Parental lock: wrong PIN", title="PARENTALCONTROL")
    movie_message(p, "PINERROR", (("Movie PassWordError OK", "OK", "play"),))
    p.hotkey("VK_ESCAPE_", "Movie PassWordError OK")
    p = movie_page("SETTING\\PLCSETTING\\PLCRemovePINYNMsg", "Parental lock: remove the PIN?", title="PARENTALCONTROL")
    movie_message(p, "REMOVEPINASK", (("Movie RemovePIN Yes", "YES", "play"), ("Movie RemovePIN NO", "NO", "close")))
    p.hotkey("VK_ESCAPE_", "Movie RemovePIN NO")
    p = movie_page("SETTING\\PLCSETTING\\PLCRemovePINOKMsg", "Parental lock: PIN removed", title="PARENTALCONTROL")
    movie_message(p, "REMOVEPINDONE", (("Movie Back", "OK", "play"),))
    p.hotkey("VK_ESCAPE_", "Movie Back")
    p = movie_page("SETTING\\PLCSETTING\\PLCAllowPlayMsg", "Parental lock: the disc asks to play above the level",
                   title="PARENTALCONTROL")
    p.text("Program Info", (240, 300, 1440, 100), align="MULTIPLELINE", colours=PLAIN)
    movie_message(p, "ALLOWDISCPLAY", (("Movie Allow DiscPlay", "ALLOW", "play"), ("Movie Deny DiscPlay", "DENY", "close")))
    p.hotkey("VK_ESCAPE_", "Movie Deny DiscPlay")

    # Region pages.
    p = movie_page("REGION\\LimitedMsg", "Region: the drive cannot change its region any more")
    movie_message(p, "REGIONLIMITED", (("Home", "HOME", "home"),))
    navigation_keys(p)
    for path, comment, key, buttons in (
            ("AdministratorMsg", "Region: the disc needs another drive region", "REGIONCHANGE",
             (("Movie Apply RegionCode", "CHANGEREGION", "play"), ("Home", "HOME", "home"))),
            ("SelRegion", "Region: choice of the new region", "REGIONSELECT",
             (("Movie Apply RegionCode", "CHANGEREGION", "play"), ("Home", "HOME", "home"))),
            ("SelConfirm", "Region: confirmation of the change", "REGIONCONFIRM",
             (("Movie Apply RegionCode", "OK", "play"), ("Home", "HOME", "home")))):
        p = movie_page("REGION\\" + path, comment)
        p.text(key, (240, 240, 1440, 120), label=True, align="MULTIPLELINE", colours=PLAIN)
        info = p.list("Movie Region Info", (240, 400, 1440, 240))
        for i, (label, value) in enumerate((("CURRENTREGION", "Movie Current RegionCode"),
                                            ("NEWREGION", "Movie New RegionCode"),
                                            ("REGIONCHANGESLEFT", "Movie Region RemainTimes"))):
            info.text(label, (240, 410 + i * 72, 700, 52), label=True, align="LEFT", colours=DIM)
            info.text(value, (960, 410 + i * 72, 400, 52), align="LEFT", colours=PLAIN)
        menu = p.list("Movie Message Menu", (240, 700, 1440, 84))
        for i, (action, label, icon) in enumerate(buttons):
            pill(menu, action, label, (240 + i * 460, 700, 420, 84), icon)
        navigation_keys(p)

movie_pages()

# ------------------------------------------------------------------ music pages

MUSIC_ROWS = 8
MUSIC_ROW = (120, 240, 1120, 76)   # the first row of "Music List Panel"; rows 84 pixels apart

def music_list_panel(p, w=1120):
    """The list panel the Music page draws its rows into; list texts give the rectangles inside the first row."""
    x, y, _, h = MUSIC_ROW
    lst = p.list("Music List Panel", (x, y, w, MUSIC_ROWS * 84))
    for i in range(MUSIC_ROWS):
        ry = y + i * 84
        lst.entries.append(("list_item", '<list_item value=%s><image value=%s/>%s%s%s</list_item>'
                            % (quoteattr("Music Row %d" % (i + 1)), quoteattr(p.img("Music/row_%d.bmp" % w)),
                               p.pos("position", (x, ry, w, h)), p.pos("text_position", (x + 144, ry + 16, w - 420, 44)),
                               p.pos("check_position", (x + 14, ry + 14, 48, 48)))))
    p.note("list_item_count", "Music List Panel", str(MUSIC_ROWS))
    lst.action("pageup", "Music/arrow_up.bmp", (x + w + 16, y, 64, 64))
    lst.action("pagedown", "Music/arrow_down.bmp", (x + w + 16, y + MUSIC_ROWS * 84 - 72, 64, 64))
    lst.text("Music_Title", (x + 72, y + 16, w - 300, 44), align="LEFT", colours=ENTRY_COLOURS)
    lst.text("Music_Duration", (x + w - 220, y + 16, 200, 44), align="RIGHT", colours=ENTRY_COLOURS)
    lst.text("Music_MyMusic_Icon", (x + 72, y + 10, 56, 56), colours=ENTRY_COLOURS)
    lst.text("Music_MyMusic_Title", (x + 144, y + 16, w - 164, 44), align="LEFT", colours=ENTRY_COLOURS)
    lst.text("item index", (x + w - 260, y + MUSIC_ROWS * 84 + 8, 260, 40), align="RIGHT", colours=DIM)
    return lst

MUSIC_CONTROLS = [
    [("Music Play On Control Panel", "play"), ("Music Play On Control Panel Focus", "pause")],
    [("Music Stop", "stop")], [("Music Previous Track", "previous")], [("Music Next Track", "next")],
    [("Music Shuffle", "shuffle"), ("Music Shuffle Focus", "shuffle_on")],
    [("Music Repeat All", "repeat"), ("Music Repeat All Focus", "repeat_on")],
    [("Music Visualization", "visualization")],
]

def music_control_panel(p):
    panel = p.list("Music Control Panel", (120, 940, len(MUSIC_CONTROLS) * 100, 88))
    for i, slot in enumerate(MUSIC_CONTROLS):
        for action, icon in slot:
            panel.action(action, "Bar/btn_%s.bmp" % icon, (120 + i * 100, 940, 88, 88))

def music_menu(p, entries, top=240):
    menu = p.list("Music Menu", (1360, top, 440, len(entries) * 96))
    for i, (action, key, icon) in enumerate(entries):
        pill(menu, action, key, (1360, top + i * 96, 440, 84), icon)

def transport_keys(play_pause, stop, nxt, prev, ff, rew):
    keys = [("VK_SPACE_", play_pause), ("VK_S_", stop), ("VK_N_", nxt), ("VK_P_", prev), ("VK_F_", ff),
            ("VK_B_", rew), ("VK_ADD_", "Vol Up"), ("VK_SUBTRACT_", "Vol Down"), ("VK_F8_", "Vol Mute Unmute")]
    return [k for k in keys if k[1]]

def music_page(path, comment, entries=(), panel=True, controls=True, art=False):
    p = page(path, 1920, 1080, "Music/music_bg.bmp", "Music module: " + comment)
    p.text("Music TrackPage Title", (120, 124, 600, 72), align="LEFT", colours=ACCENT, font="FONT2")
    p.text("Radio TrackPage Title", (120, 124, 600, 72), align="LEFT", colours=ACCENT, font="FONT2")
    p.text("Music List Type", (740, 130, 560, 60), align="LEFT", colours=PLAIN)
    # The focused track's title, artist and album, right of the list type and
    # clear of the caption bar that lies over the top of the page.
    p.text("Music Current Activated Track", (1360, 142, 440, 34), align="RIGHT", colours=PLAIN)
    p.text("Music Artist on Title Bar", (1360, 178, 440, 28), align="RIGHT", colours=DIM)
    p.text("Music Album on Title Bar", (1360, 208, 440, 28), align="RIGHT", colours=DIM)
    p.text("Music Highlight Item Name", (120, 200, 1120, 36), align="LEFT", colours=DIM)
    if art:
        # A narrower list leaves room for the album art beside it.
        p.still("Music Album Border", "Music/album_border.bmp", (1030, 240, 300, 300))
        p.still("Music Album Cover", "Music/album_cover.bmp", (1040, 250, 280, 280))
    p.still("Music Current Time display Area", "Music/time_area.bmp", (1000, 960, 240, 48))
    p.text("Music Current Time display", (1000, 964, 240, 40), align="CENTER", colours=PLAIN)
    if panel:
        music_list_panel(p, 800 if art else 1120)
    if controls:
        music_control_panel(p)
        # The transport works from every page with the control panel, as on the bar.
        for key, action in transport_keys("Music Play Pause", "Music Stop", "Music Next Track",
                                          "Music Previous Track", "Music Fastforward", "Music Rewind"):
            p.hotkey(key, action)
    if entries:
        music_menu(p, entries)
    navigation_keys(p)
    return p

LIBRARY_MENU = [("Music Album", "MUSIC_ALBUM", "music"), ("Music Artist", "MUSIC_ARTIST", "music"),
                ("Music Genre", "MUSIC_GENRE", "music"), ("Music Playlist", "MUSIC_PLAYLIST", "music"),
                ("Music Browse By Path", "MUSIC_BROWSEBYPATH", "folder")]

p = music_page("Music\\Tracks", "track lists, library views and folder browsing",
               LIBRARY_MENU + [("UpOneLevel", "UPONELEVEL", "back"), ("Music Copy", "MUSIC_COPY", "burning")],
               art=True)
p = music_page("Music\\MusicDevice", "choice of the music source", [("Music Settings", "SETTINGS", "settings")])
for i, (name, r) in enumerate((("Music USB Status Text", (1360, 500)), ("Music CDDVD Status Text", (1360, 548)),
                               ("Music Compact Flash Status Text", (1360, 596)),
                               ("Music Smart Media Status Text", (1360, 644)),
                               ("Music Memory Stick Status Text", (1360, 692)),
                               ("Music Secure Digital Status Text", (1360, 740)))):
    p.text(name, (r[0], r[1], 440, 40), align="LEFT", colours=DIM)
music_page("Music\\SourceType", "library views", LIBRARY_MENU)
music_page("Music\\MusicAudioCD", "audio CD tracks", [("Music Rip CD", "MUSIC_RIPCD", "disc")])
music_page("Music\\MusicRecordList", "recorded tracks", [("Music Record Stop", "STOP", "stop")])
music_page("Music\\AudioCD\\Tracks", "audio CD tracks", [("Music Rip CD", "MUSIC_RIPCD", "disc")])
music_page("Music\\MusicFileEditing", "files chosen for deletion",
           [("Music Delete Files", "MUSIC_DELETE", "stop"), ("Music Back", "RETURN", "back")], controls=False)
music_page("Music\\MusicCapture", "audio capture", [("Music Record Stop", "STOP", "stop")])
p = music_page("Music\\Settings\\MusicSetting", "settings", panel=False, controls=False)
options = p.list("Music Setting Options", (120, 240, 1680, 420))
settings_rows = (("MUSIC_RIPPINGFORMAT", "Music Ripping Format", "Music Ripping Format"),
                 ("MUSIC_TRACKINFO", "Music Track Info With Visualization", "Music Show Song Information"),
                 ("MUSIC_MIXERDEVICE", "Music Mixer Device", "Music Mixer Device"),
                 ("MUSIC_MIXERSOURCE", "Music Mixer Source", "Music Mixer Source"))
for i, (label, value, action) in enumerate(settings_rows):
    options.action(action + " Left", "Common/arrow_left.bmp", (860, 244 + i * 84, 64, 64))
    options.action(action + " Right", "Common/arrow_right.bmp", (1516, 244 + i * 84, 64, 64))
for i, (label, value, action) in enumerate(settings_rows):
    options.text(label, (140, 254 + i * 84, 700, 44), label=True, align="LEFT", colours=DIM)
    options.text(value, (936, 254 + i * 84, 568, 44), align="CENTER", colours=PLAIN)
p.text("Music default Folder", (936, 600, 864, 44), align="LEFT", colours=PLAIN)
music_menu(p, [("Music Select Default Folder", "MUSIC_DEFAULTFOLDER", "folder"),
               ("Music Select Visualization Enter", "MUSIC_VISUALIZATION", "settings"),
               ("Music Defualt Setting Enter", "DEFAULTS", "defaults"), ("Music Back", "RETURN", "back")], top=680)
music_page("Music\\Settings\\VisualizationSetting", "visualisations", [("Music Back", "RETURN", "back")],
           controls=False)
p = music_page("Music\\MediaSearch", "media library search",
               [("Music start Media Search", "MUSIC_SEARCH", "play"), ("Music stop Media Search", "STOP", "stop"),
                ("Music Close Search", "RETURN", "back")], panel=False, controls=False)
p.text("Music Searched File", (120, 300, 600, 52), align="LEFT", colours=PLAIN)
p.text("Music Searched Progress", (120, 380, 600, 52), align="LEFT", colours=PLAIN)
music_page("Music\\MusicFolderSelector", "choice of the default folder",
           [("Music Select Default Folder Return", "RETURN", "back")], controls=False)
for path, comment in (("Music\\MusicRipping", "ripping"), ("Music\\AudioCD\\RipCDTrackSel", "tracks to rip"),
                      ("Music\\AudioCD\\RipCDNow", "ripping progress")):
    music_page(path, comment, [("Music Rip Now", "MUSIC_RIPNOW", "disc"), ("Music Select All", "MUSIC_SELECTALL", "play"),
                               ("Music Clear All", "MUSIC_CLEARALL", "stop"), ("Music Resume Ripping", "RESUME", "play"),
                               ("Music Stop Ripping", "STOP", "stop")], controls=False)
music_page("Music\\VisualizationDisplay", "visualisation display", panel=False)
p = music_page("Music\\Burnning\\SelectSourceType", "source of a music disc", LIBRARY_MENU, controls=False)
p.text("Music Burnning Format", (120, 940, 600, 52), align="LEFT", colours=PLAIN)
music_page("Music\\Burnning\\SelectTracks", "tracks of a music disc",
           [("Music Select All", "MUSIC_SELECTALL", "play"), ("Music Clear All", "MUSIC_CLEARALL", "stop"),
            ("Music Copy", "MUSIC_COPY", "burning")], controls=False)
p = music_page("Music\\Burnning\\Preview", "music disc preview", [("Music Copy", "MUSIC_COPY", "burning")],
               controls=False)
p.text("Music Burn Progress", (120, 940, 600, 52), align="LEFT", colours=PLAIN)

# ------------------------------------------------------------------ TV pages

TV_BG = "TV/tv_bg.bmp"

def tv_page(path, comment):
    return page(path, 1920, 1080, TV_BG, comment)

def tv_title(p, key):
    p.text(key, (120, 100, 1200, 72), label=True, align="LEFT", colours=ACCENT, font="FONT2")

def tv_back(p, escape="Back"):
    navigation_keys(p, escape=escape)

p = tv_page("TV\\Preview", "TV module: the live picture over the whole page")
p.still("TV Video", "TV/video_full.bmp", (0, 0, 1920, 1080))
p.text("TV Channel Name", (80, 48, 1000, 64), align="LEFT", colours=PLAIN, font="FONT2")
p.text("TV Page Number", (80, 124, 400, 52), align="LEFT", colours=PLAIN)
for d in range(10):
    p.hotkey("VK_%d_" % d, "TV Key %d" % d)
for key, action in (("VK_PAGEUP_", "TV Next Channel"), ("VK_PAGEDOWN_", "TV Prev Channel"), ("VK_R_", "TV Record"),
                    ("VK_S_", "TV Stop"), ("VK_SPACE_", "TV Pause"), ("VK_P_", "TV Play"),
                    ("VK_T_", "TV Change Display"), ("VK_F12_", "TV Snapshot")):
    p.hotkey(key, action)
tv_back(p)

p = tv_page("TV\\MainMenu", "TV module: main menu beside a small live picture")
tv_title(p, "TV")
menu = p.list("TV Main Menu List", (120, 220, 420, 760))
for i, (name, key, target) in enumerate((("TV TVWall Page", "TVWALL", "TV\\TVWall"),
                                         ("TV Schedule Page", "TVSCHEDULE", "TV\\Schedule"),
                                         ("TV Teletext Page", "TELETEXT", "TV\\Teletext"),
                                         ("TV NextView Page", "NEXTVIEW", "TV\\NextView"),
                                         ("TV SignalSetting Page", "TVSETTINGS", "TV\\SignalSetting"))):
    pill(menu, name, key, (120, 220 + i * 104, 420, 84), "menu", link=target)
pill(menu, "TV RecordedTV Page", "RECORDEDTV", (120, 740, 420, 84), "play")
pill(menu, "TV Preview Page", "LIVETV", (120, 844, 420, 84), "restart")
p.still("TV Video", "TV/video_small.bmp", (700, 220, 1088, 612))
p.text("TV Channel Name", (700, 850, 1088, 56), align="LEFT", colours=PLAIN)
tv_back(p)

p = tv_page("TV\\SignalSetting", "TV module: source, country, recording quality")
tv_title(p, "TVSETTINGS")
options = p.list("TV Signal List", (120, 220, 1680, 520))
for i, (name, key) in enumerate((("TV Source", "TVSOURCE"), ("TV Country", "TVCOUNTRY"),
                                 ("TV Record Quality", "TVRECORDQUALITY"))):
    y = 230 + i * 110
    options.text(key, (140, y, 640, 64), label=True, align="LEFT", colours=PLAIN)
    options.action(name + " Left", "Common/arrow_left.bmp", (860, y, 64, 64))
    options.text(name, (940, y, 760, 64), align="CENTER", colours=PLAIN)
    options.action(name + " Right", "Common/arrow_right.bmp", (1716, y, 64, 64))
options.text("TV Estimate Time", (140, 560, 1560, 64), align="LEFT", colours=DIM)
links = p.list("TV Signal Menu", (120, 760, 1680, 84))
pill(links, "TV ChannelSetting Page", "TVCHANNELS", (120, 760, 420, 84), "settings", link="TV\\ChannelSetting")
pill(links, "TV AutoScan Page", "TVAUTOSCAN", (580, 760, 420, 84), "restart", link="TV\\AutoScan")
pill(links, "TV Default Enter", "DEFAULTS", (1040, 760, 400, 84), "defaults")
tv_back(p)

p = tv_page("TV\\ChannelSetting", "TV module: the scanned channels, enabled or not")
tv_title(p, "TVCHANNELS")
channels = p.list("TV Channel List", (120, 220, 1200, 720))
for row in range(8):
    y = 300 + row * 80
    channels.item("TV Channel Item", "TV/channel_row.bmp", (120, y, 1200, 72), text_r=(900, y + 14, 400, 44))
channels.text("PRESET", (140, 230, 160, 56), align="CENTER", colours=DIM)
channels.text("CHNAME", (320, 230, 560, 56), align="CENTER", colours=DIM)
channels.text("CHNUMBER", (900, 230, 400, 56), align="CENTER", colours=DIM)
p.note("list_item_count", "TV Channel List", "8")
control = p.list("TV Channel Control List", (1400, 300, 420, 300))
pill(control, "TV Disable", "DISABLE", (1400, 300, 420, 84), "stop")
pill(control, "TV Rename", "RENAME", (1400, 404, 420, 84), "menu")
pill(control, "TV Move", "MOVE", (1400, 508, 420, 84), "restart")
p.text("TV NoChannel Message", (120, 400, 1200, 200), align="MULTIPLELINE", colours=DIM)
tv_back(p)

p = tv_page("TV\\AutoScan", "TV module: the channel search")
tv_title(p, "TVAUTOSCAN")
p.still("TV Video", "TV/video_small.bmp", (416, 220, 1088, 612))
p.text("TV AutoScan Channel Name", (416, 860, 700, 56), align="CENTER", colours=PLAIN)
p.text("TV AutoScan Percentage", (1120, 860, 384, 56), align="CENTER", colours=ACCENT)
tv_back(p)

p = tv_page("TV\\TVWall", "TV module: nine channels at a glance")
wall = p.list("TV TVWall List", (120, 120, 1680, 900))
for row in range(3):
    for col in range(3):
        x, y = 120 + col * 580, 120 + row * 310
        wall.item("TV TVWall Item", "TV/wall_cell.bmp", (x, y, 520, 292), text_r=(x, y + 250, 520, 40))
p.note("list_item_count", "TV TVWall List", "9")
tv_back(p)

p = tv_page("TV\\Teletext", "TV module: teletext pages")
p.still("TV Video", "TV/video_small.bmp", (416, 120, 1088, 612))
p.text("TV Page Number", (416, 760, 400, 56), align="LEFT", colours=PLAIN, font="FONT2")
ttx = p.list("TV Teletext Menu", (416, 860, 1088, 84))
pill(ttx, "TV Teletext Snapshot", "SNAPSHOT", (416, 860, 420, 84), "play")
for d in range(10):
    p.hotkey("VK_%d_" % d, "TV Teletext Key %d" % d)
for key, action in (("VK_PAGEUP_", "TV Next Page"), ("VK_PAGEDOWN_", "TV Prev Page"), ("VK_F1_", "TV Key Red"),
                    ("VK_F2_", "TV Key Green"), ("VK_F3_", "TV Key Yellow"), ("VK_F4_", "TV Key Blue")):
    p.hotkey(key, action)
tv_back(p)

p = tv_page("TV\\NextView", "TV module: the programme guide of one channel and day")
head = p.list("TV NextView Head", (120, 100, 1680, 72))
head.text("TV NextView Channel", (120, 100, 900, 72), align="LEFT", colours=ACCENT, font="FONT2")
head.text("TV NextView Date", (1100, 100, 700, 72), align="RIGHT", colours=PLAIN)
guide = p.list("TV NextView List", (120, 220, 1680, 800))
for row in range(8):
    y = 220 + row * 100
    guide.item("TV NextView Item", "TV/guide_row.bmp", (120, y, 1680, 88), text_r=(520, y + 22, 1240, 44))
p.note("list_item_count", "TV NextView List", "8")
tv_back(p)

p = tv_page("TV\\Schedule", "TV module: scheduled recordings")
tv_title(p, "TVSCHEDULE")
sched = p.list("TV Schedule Menu", (120, 220, 420, 84))
pill(sched, "TV SetSchedule Page", "NEWSCHEDULE", (120, 220, 420, 84), "settings", link="TV\\SetSchedule")
tv_back(p)

p = tv_page("TV\\SetSchedule", "TV module: one scheduled recording")
tv_title(p, "NEWSCHEDULE")
confirm = p.list("TV SetSchedule Menu", (120, 860, 880, 84))
pill(confirm, "TV Confirm Schedule", "OK", (120, 860, 420, 84), "play")
pill(confirm, "TV Cancel Schedule", "CANCEL", (580, 860, 420, 84), "stop")
tv_back(p)

# ------------------------------------------------------------------ Radio pages

RADIO_BG = "Radio/radio_bg.bmp"
RADIO_AREA = "Radio Display Area"
RADIO_PANEL = "Radio Control Panel"
RADIO_ROWS = 10

def radio_page(path, comment, title):
    p = page(path, 1920, 1080, RADIO_BG, "Radio module: " + comment)
    p.text(title, (120, 124, 1000, 72), label=True, align="LEFT", colours=ACCENT, font="FONT2")
    for d in range(10):
        p.hotkey("VK_%d_" % d, "Radio Key %d" % d)
    for key, action in (("VK_B_", "Radio BackScan"), ("VK_F_", "Radio ForwardScan"), ("VK_R_", "Radio Record"),
                        ("VK_S_", "Radio Stop"), ("VK_P_", "Radio Previous"), ("VK_N_", "Radio Next"),
                        ("VK_SPACE_", "Radio Play")):
        p.hotkey(key, action)
    navigation_keys(p)
    return p

def radio_area(p, rows=RADIO_ROWS, w=760, h=56, pitch=64, top=240, check=False, icon=False):
    """The display list: `rows` item slots (0 for none) in a column at the left."""
    height = max(rows * pitch, 640)
    area = p.list(RADIO_AREA, (120, top, 1680, height))
    for i in range(rows):
        y = top + i * pitch
        s = '<list_item value=%s><image value=%s/>%s' % (
            quoteattr("Radio Row %d" % (i + 1)), quoteattr(p.img("Radio/row_%d_%d.bmp" % (w, h))),
            p.pos("position", (120, y, w, h)))
        if icon:
            s += '<icon><icon_image value=%s/>%s</icon>' % (quoteattr(p.img("Common/sub-files.bmp")),
                                                            p.pos("icon_position", (132, y + 4, h - 8, h - 8)))
        text_x = 132 + (h if icon else 0) + (h if check else 0)
        # Text is at most 40 high; wide rows leave their right end to the list texts.
        text_h = min(h - 16, 40)
        text_w = w - (text_x - 120) - (460 if w > 1200 else 20)
        s += p.pos("text_position", (text_x, y + (h - text_h) // 2, text_w, text_h))
        if check:
            s += p.pos("check_position", (132 + (h if icon else 0), y + 8, h - 16, h - 16))
        area.entries.append(("list_item", s + "</list_item>"))
    if rows:
        p.note("list_item_count", RADIO_AREA, str(rows))
        area.action("pageup", "Music/arrow_up.bmp", (120 + w + 16, top, 64, 64))
        area.action("pagedown", "Music/arrow_down.bmp", (120 + w + 16, top + rows * pitch - 72, 64, 64))
    return area

def radio_panel(p, transport=True, band=False, add=False, menu=(), menu_top=240, menu_x=1360):
    """The control panel: transport buttons along the bottom, pills on the right."""
    panel = p.list(RADIO_PANEL, (120, menu_top, 1680, 1070 - menu_top))
    if transport:
        for i, (action, icon) in enumerate((("Radio Record", "record"), ("Radio Stop", "stop"),
                                            ("Radio BackScan", "previous"), ("Radio ForwardScan", "next"),
                                            ("Radio Finetune Down", "rewind"), ("Radio Finetune Up", "fastforward"),
                                            ("Radio AutoScan", "autoscan"))):
            image = "Radio/btn_autoscan.bmp" if icon == "autoscan" else "Bar/btn_%s.bmp" % icon
            panel.action(action, image, (120 + i * 100, 940, 88, 88))
        panel.text("Radio Finetune Down Text", (410, 1032, 200, 36), colours=DIM)
        panel.text("Radio Finetune Up Text", (620, 1032, 200, 36), colours=DIM)
    x = 860
    if add:
        pill(panel, "Radio AddStation", "RADIO_ADD", (x, 942, 300, 84), "radio")
        x += 316
    if band:
        for name, key in (("Radio Choose FM", "RADIO_FM"), ("Radio Choose AM", "RADIO_AM")):
            pill(panel, name, key, (x, 942, 300, 84), "radio")
            pill(panel, name + " Pressed", key, (x, 942, 300, 84), "radio")
            x += 316
    for i, (action, key, icon) in enumerate(menu):
        # Below the frequency display the menu takes two columns.
        column, row = (i % 2, i // 2) if menu_x == 960 and len(menu) > 3 else (0, i)
        pill(panel, action, key, (menu_x + column * 460, menu_top + row * 96, 440, 84), icon)
    return panel

def radio_value_rows(area, rows, top=260):
    """Settings rows: a label, the value between two arrows."""
    for i, (label, value, action) in enumerate(rows):
        y = top + i * 84
        if action:
            area.action(action + " Left", "Common/arrow_left.bmp", (860, y - 10, 64, 64))
            area.action(action + " Right", "Common/arrow_right.bmp", (1216, y - 10, 64, 64))
    for i, (label, value, action) in enumerate(rows):
        y = top + i * 84
        area.text(label, (140, y, 700, 44), label=True, align="LEFT", colours=DIM)
        area.text(value, (936, y, 268, 44), align="CENTER", colours=PLAIN)

RADIO_MAIN_MENU = [("Radio RadioText Page", "RADIO_RADIOTEXT", "menu"),
                   ("Radio RecordedRadio Page", "RADIO_RECORDED", "play"),
                   ("Radio Schedule Page", "RADIO_SCHEDULES", "settings"),
                   ("Radio GeneralStation Page", "RADIO_STATIONS", "radio"),
                   ("Radio FavoriteStation Page", "RADIO_FAVORITES", "radio"),
                   ("Radio Setting Page", "SETTINGS", "settings")]
RADIO_BACK = [("Radio Back", "RETURN", "back")]

def radio_live_texts(area, x, top, w):
    area.text("Radio Frequency Text", (x, top, w, 72), align="CENTER", colours=ACCENT)
    area.text("RadioTxt TopStationName Text", (x, top + 88, w, 56), align="CENTER", colours=PLAIN)
    area.text("RadioTxt StationType Text", (x, top + 156, w, 44), align="CENTER", colours=DIM)
    area.text("Radio SignalLevel Position", (x + (w - 400) // 2, top + 216, 400, 48), colours=PLAIN)
    area.text("Radio Autoscan Progress Text", (x, top + 276, w, 44), align="CENTER", colours=PLAIN)

p = radio_page("Radio\\RadioMsgPage", "a message while the radio cannot play", "RADIO")
radio_area(p, rows=0)
p.text("RADIO_NOTUNER", (120, 400, 1680, 120), label=True, align="MULTIPLELINE", colours=PLAIN)
radio_panel(p, transport=False, menu=RADIO_BACK)

p = radio_page("Radio\\ProcessingPage", "the tuner is being prepared", "RADIO")
radio_area(p, rows=0)
p.text("RADIO_PROCESSING", (120, 400, 1680, 120), label=True, align="MULTIPLELINE", colours=PLAIN)

p = radio_page("Radio\\MainPage", "the frequency display beside the station list", "RADIO")
area = radio_area(p)
radio_live_texts(area, 960, 240, 840)
radio_panel(p, band=True, add=True, menu=RADIO_MAIN_MENU, menu_top=600, menu_x=960)

p = radio_page("Radio\\RadioTextPage", "the radio text of the station", "RADIO_RADIOTEXT")
area = radio_area(p, rows=0)
area.text("RadioTxt TopStationName Text", (120, 240, 1680, 72), align="CENTER", colours=PLAIN)
area.text("RadioTxt StationName Text", (120, 330, 800, 48), align="LEFT", colours=PLAIN)
area.text("RadioTxt StationType Text", (960, 330, 840, 48), align="LEFT", colours=DIM)
area.text("RadioTxt CurrentDateTime Text", (120, 400, 800, 48), align="LEFT", colours=DIM)
area.text("Radio SignalLevel Position", (960, 400, 400, 48), colours=PLAIN)
area.text("RadioTxt RadioText Text", (120, 480, 1680, 300), align="MULTIPLELINETOP", colours=PLAIN)
area.text("Radio Frequency Text", (120, 800, 800, 56), align="LEFT", colours=ACCENT)
radio_panel(p, menu=RADIO_BACK, menu_top=800, menu_x=1360)

for path, comment, title, burn in (("Radio\\RecordedRadioPage", "the recorded radio files", "RADIO_RECORDED", False),
                                   ("Radio\\BurnMaterialPage", "recorded files chosen for a disc", "RADIO_BURN", True)):
    p = radio_page(path, comment, title)
    area = radio_area(p, w=1120, check=burn)
    area.text("Radio Title Position", (132 + (56 if burn else 0), 248, 860, 40), align="LEFT",
              colours=ENTRY_COLOURS)
    area.text("Radio Duration Position", (1020, 248, 200, 40), align="RIGHT", colours=ENTRY_COLOURS)
    p.text("Radio Active FileName Text", (1360, 860, 440, 36), align="LEFT", colours=PLAIN)
    p.text("Radio Active FileDate Text", (1360, 900, 440, 36), align="LEFT", colours=DIM)
    menu = [("Radio Play", "RADIO_PLAY", "play")]
    if burn:
        menu += [("Radio PreviewAndBurn Page", "RADIO_BURN", "burning")]
    else:
        menu += [("Radio SortBy Name", "RADIO_SORTNAME", "menu"), ("Radio SortBy Name Pressed", "RADIO_SORTNAME", "menu"),
                 ("Radio SortBy Date", "RADIO_SORTDATE", "menu"), ("Radio SortBy Date Pressed", "RADIO_SORTDATE", "menu"),
                 ("Radio Burn Material Page", "RADIO_BURN", "burning")]
    panel = radio_panel(p, transport=False, menu=[])
    y = 240
    for action, key, icon in menu + RADIO_BACK:
        pill(panel, action, key, (1360, y, 440, 84), icon)
        if not action.startswith("Radio SortBy") or action.endswith("Pressed"):
            y += 96

def radio_schedule_rows(p, titles):
    area = radio_area(p, rows=5, w=1680, h=96, pitch=110)
    if titles:
        for i in range(5):
            area.text("Radio ScheduleTitle%d Text" % (i + 1), (1360, 240 + i * 110 + 24, 420, 48), align="RIGHT",
                      colours=ACCENT)
    return area

p = radio_page("Radio\\SchedulePage", "scheduled radio recordings", "RADIO_SCHEDULES")
radio_schedule_rows(p, True)
panel = radio_panel(p, transport=False)
for i, (action, key) in enumerate((("Radio SortBy Frequency", "RADIO_SORTFREQUENCY"),
                                   ("Radio SortBy Date", "RADIO_SORTDATE"),
                                   ("Radio SortBy Category", "RADIO_SORTCATEGORY"),
                                   ("Radio SortBy Status", "RADIO_SORTSTATUS"))):
    pill(panel, action, key, (120 + i * 316, 820, 300, 84), "menu")
    pill(panel, action + " Pressed", key, (120 + i * 316, 820, 300, 84), "menu")
for i, (action, key, icon) in enumerate((("Radio SetSchedule Page", "NEWSCHEDULE", "settings"),
                                         ("Radio SchedulePriority Page", "RADIO_PRIORITY", "menu"),
                                         ("Radio ScheduleHistory Page", "RADIO_HISTORY", "menu"),
                                         ("Radio Back", "RETURN", "back"))):
    pill(panel, action, key, (120 + i * 316, 940, 300, 84), icon)

p = radio_page("Radio\\SchedulePriorityPage", "the order of conflicting recordings", "RADIO_PRIORITY")
radio_area(p, rows=0)
radio_panel(p, transport=False, menu=RADIO_BACK, menu_top=940)

SCHEDULE_FIELDS = [("RADIO_STATION", "Radio Sch SelectRadioStation Text", "Radio Sch SelectRadioStation"),
                   ("RADIO_REPEAT", "Radio Sch RepeatMode Text", "Radio Sch RepeatMode"),
                   ("RADIO_BEGINDATE", "Radio Sch BeginDate Text", "Radio Sch BeginDate"),
                   ("RADIO_FORMAT", "Radio RecordFormat Text", "Radio Sch RecordFormat")]
p = radio_page("Radio\\SetSchedulePage", "one scheduled radio recording", "NEWSCHEDULE")
area = radio_area(p, rows=0)
radio_value_rows(area, SCHEDULE_FIELDS)
for r, (label, prefix) in enumerate((("RADIO_STARTTIME", "Radio Sch StartTime"), ("RADIO_ENDTIME", "Radio Sch EndTime"))):
    y = 260 + (len(SCHEDULE_FIELDS) + r) * 84
    area.text(label, (140, y, 700, 44), label=True, align="LEFT", colours=DIM)
    for c, part in enumerate(("Hour", "Minute", "APM")):
        x = 860 + c * 320
        right = "%s %s Right" % (prefix, part)
        if prefix == "Radio Sch EndTime" and part == "Minute":
            right = "Radio Sch EndTimeMinute Right"
        area.action("%s %s Left" % (prefix, part), "Common/arrow_left.bmp", (x, y - 10, 64, 64))
        area.action(right, "Common/arrow_right.bmp", (x + 240, y - 10, 64, 64))
        area.text("%s %s Text" % (prefix, part), (x + 68, y, 168, 44), align="CENTER", colours=PLAIN)
p.button("Radio CurrentSettingSchedule", "Radio/schedule_button.bmp", (120, 800, 1680, 60))
p.text("Radio ConfirmSchedule Status Text", (120, 870, 1680, 48), align="LEFT", colours=ACCENT)
panel = radio_panel(p, transport=False)
for i, (action, key, icon) in enumerate((("Radio ConfirmSchedule", "OK", "play"),
                                         ("Radio CancelSchedule", "CANCEL", "stop"),
                                         ("Radio Back", "RETURN", "back"))):
    pill(panel, action, key, (120 + i * 316, 940, 300, 84), icon)

p = radio_page("Radio\\ScheduleHistoryPage", "radio recordings made", "RADIO_HISTORY")
radio_schedule_rows(p, True)
panel = radio_panel(p, transport=False)
pill(panel, "Radio Clear Schedule History", "RADIO_CLEARHISTORY", (120, 940, 300, 84), "stop")
pill(panel, "Radio Back", "RETURN", (436, 940, 300, 84), "back")

p = radio_page("Radio\\AddStationPage", "a station added by its frequency", "RADIO_ADDSTATION")
area = radio_area(p, rows=0)
area.text("RADIO_INPUTFREQUENCY", (140, 300, 700, 56), label=True, align="LEFT", colours=DIM)
area.text("Radio InputFrequency Position", (860, 296, 400, 64), colours=PLAIN)
panel = radio_panel(p, transport=False)
pill(panel, "Radio Back", "RETURN", (120, 940, 300, 84), "back")

p = radio_page("Radio\\SettingPage", "the radio settings", "SETTINGS")
radio_area(p, rows=0)
radio_panel(p, transport=False, menu=[("Radio RadioSetting Page", "RADIO_RADIOSETTING", "radio"),
                                      ("Radio FrequencySetting Page", "RADIO_FREQUENCYSETTING", "settings"),
                                      ("Radio RecordSetting Page", "RADIO_RECORDSETTING", "record")] + RADIO_BACK,
            menu_x=120)

p = radio_page("Radio\\RadioSettingPage", "source, area, scanning and tuning steps", "RADIO_RADIOSETTING")
area = radio_area(p, rows=0)
radio_value_rows(area, [("RADIO_SOURCE", "Radio Source Text", "Radio Setting RadioSource"),
                        ("RADIO_LINEIN", "Radio LineIn Text", "Radio Setting RadioLineIn"),
                        ("RADIO_AREA", "Radio Area Text", "Radio Setting RadioArea"),
                        ("RADIO_SCANPRECISION", "Radio ScanPrecision Text", "Radio Setting RadioScanprecision"),
                        ("RADIO_FMFINETUNE", "Radio FMFinetunescale Text", "Radio Setting RadioFMFinetunescale"),
                        ("RADIO_FMSCANSTEP", "Radio FMScanfreqscale Text", "Radio Setting RadioFMScanfreqscale"),
                        ("RADIO_AMFINETUNE", "Radio AMFinetunescale Text", "Radio Setting RadioAMFinetunescale"),
                        ("RADIO_AMSCANSTEP", "Radio AMScanfreqscale Text", "Radio Setting RadioAMScanfreqscale")],
                 top=250)
panel = radio_panel(p, transport=False)
pill(panel, "Radio Back", "RETURN", (1360, 940, 440, 84), "back")

p = radio_page("Radio\\FrequencySettingPage", "the band's stations in order", "RADIO_FREQUENCYSETTING")
area = radio_area(p)
for verb, icon, x in (("Up", "row_up", 900), ("Down", "row_down", 964), ("Delete", "row_delete", 1028)):
    for i in range(RADIO_ROWS):
        area.action("Radio Station %d %s" % (i + 1, verb), "Radio/%s.bmp" % icon, (x, 240 + i * 64, 56, 56))
panel = radio_panel(p, transport=False, band=True, add=True)
pill(panel, "Radio SortBy Frequency", "RADIO_SORTFREQUENCY", (1360, 240, 440, 84), "menu")
pill(panel, "Radio SortBy Frequency Pressed", "RADIO_SORTFREQUENCY", (1360, 240, 440, 84), "menu")
pill(panel, "Radio AddStation Page", "RADIO_ADDSTATION", (1360, 336, 440, 84), "radio")
pill(panel, "Radio Back", "RETURN", (1360, 432, 440, 84), "back")

p = radio_page("Radio\\RecordSettingPage", "recording format and target", "RADIO_RECORDSETTING")
area = radio_area(p, rows=0)
radio_value_rows(area, [("RADIO_FORMAT", "Radio RecordFormat Text", "Radio Setting RecordFormat"),
                        ("RADIO_RECORDTO", "Radio RecordTo Text", "Radio Setting RecordTo"),
                        ("RADIO_DISCFORMAT", "Radio RecordDiscFormat Text", "Radio Setting RecordDiscFormat")])
panel = radio_panel(p, transport=False)
pill(panel, "Radio Setting Restore", "DEFAULTS", (120, 940, 300, 84), "defaults")
pill(panel, "Radio Back", "RETURN", (436, 940, 300, 84), "back")

p = radio_page("Radio\\ConflictSchedulePage", "recordings at the same time", "RADIO_CONFLICTS")
radio_schedule_rows(p, False)
panel = radio_panel(p, transport=False)
pill(panel, "Radio Back", "RETURN", (120, 940, 300, 84), "back")

p = radio_page("Radio\\MainStationPage", "the presets", "RADIO_FAVORITES")
area = radio_area(p)
radio_live_texts(area, 960, 240, 840)
radio_panel(p, menu=RADIO_BACK, menu_top=600, menu_x=960)

for path, comment, title, favourites in (
        ("Radio\\GeneralStationPage", "the band's stations", "RADIO_STATIONS", False),
        ("Radio\\FavoriteStationPage", "the favourite stations", "RADIO_FAVORITES", True)):
    p = radio_page(path, comment, title)
    area = radio_area(p, w=1120)
    area.text("Radio Station PresetId Position", (140, 248, 80, 40), align="RIGHT", colours=ENTRY_COLOURS)
    area.text("Radio Station Frequency Position", (240, 248, 220, 40), align="RIGHT", colours=ENTRY_COLOURS)
    area.text("Radio Station Name Position", (500, 248, 700, 40), align="LEFT", colours=ENTRY_COLOURS)
    panel = radio_panel(p, transport=False, band=True)
    entries = [("Radio Delete", "MUSIC_DELETE", "stop"), ("Radio Rename", "RENAME", "menu")]
    entries += [("Radio Move", "MOVE", "restart")] if favourites else [("Radio AddTo Favorite", "RADIO_ADDFAVORITE", "radio")]
    for i, (action, key, icon) in enumerate(entries + RADIO_BACK):
        pill(panel, action, key, (1360, 240 + i * 96, 440, 84), icon)
        if action != "Radio Back":
            pill(panel, action + " Pressed", key, (1360, 240 + i * 96, 440, 84), icon)


# ------------------------------------------------------------------ floating bars

p = page("FloatingBar\\CaptionBar", 1920, 96, "Bar/caption_bg.bmp",
         "Caption bar; magenta is transparent. Buttons other than Home and Back keep to the right edge")
p.button("Home", "Bar/cap_home.bmp", (16, 12, 72, 72))
p.button("Back", "Bar/cap_back.bmp", (100, 12, 72, 72))
p.text("MARIVEL", (200, 22, 520, 52), label=True, align="LEFT", colours=ACCENT, font="FONT2")
p.button("Help", "Bar/cap_help.bmp", (1560, 12, 72, 72))
p.button("Minimize", "Bar/cap_minimize.bmp", (1644, 12, 72, 72))
p.button("Maximize", "Bar/cap_maximize.bmp", (1728, 12, 72, 72))
p.button("Restore", "Bar/cap_restore.bmp", (1728, 12, 72, 72))
p.button("Close", "Bar/cap_close.bmp", (1812, 12, 72, 72))

VOLUME = [("Vol Mute", "vol_mute"), ("Vol Unmute", "vol_unmute"), ("Vol Down", "vol_down"), ("Vol Up", "vol_up")]

def playback_bar(name, groups, texts=(), keys=()):
    """groups: lists of slots; a slot is a list of (action, icon) drawn at one place (toggles share a place)."""
    p = page("FloatingBar\\PlaybackBar\\" + name, 1920, 180, "Bar/playback_bg.bmp",
             "Playback bar; magenta is transparent")
    x = 200
    for group in groups:
        for slot in group:
            for action, icon in slot:
                p.button(action, "Bar/btn_%s.bmp" % icon, (x, 34, 88, 88))
            x += 94
        x += 24
    # Volume at the right end of the panel.
    p.button("Vol Mute", "Bar/btn_vol_mute.bmp", (1340, 34, 88, 88))
    p.button("Vol Unmute", "Bar/btn_vol_unmute.bmp", (1340, 34, 88, 88))
    p.button("Vol Down", "Bar/btn_vol_down.bmp", (1438, 34, 88, 88))
    p.progress("Vol Progress", "Bar/progress_volume.bmp", (1536, 70, 120, 16))
    p.button("Vol Up", "Bar/btn_vol_up.bmp", (1666, 34, 88, 88))
    for text, r, align in texts:
        p.text(text, r, align=align, colours=PLAIN)
    for key, action in keys:
        p.hotkey(key, action)
    return p

playback_bar("MoviePlaybackBar", [
    [[("Movie Play", "play"), ("Movie Pause", "pause")], [("Movie Stop", "stop")]],
    [[("Movie PreChapter", "previous")], [("Movie Rewind", "rewind")], [("Movie FastForeward", "fastforward")],
     [("Movie NextChapter", "next")]],
    [[("Movie FW_MainMenu", "menu")], [("Movie Language", "language")], [("Movie Subtitle", "subtitle")],
     [("Movie Angle", "angle")], [("Movie VideoDesktop", "desktop")]],
], texts=[("Movie Time", (200, 130, 600, 36), "LEFT")],
    keys=transport_keys("Movie Play Pause", "Movie Stop", "Movie NextChapter", "Movie PreChapter",
                        "Movie FastForeward", "Movie Rewind"))

playback_bar("MusicPlaybackBar", [
    [[("Music Play", "play"), ("Music Pause", "pause")], [("Music Stop", "stop")]],
    [[("Music Previous Track", "previous")], [("Music Rewind", "rewind")], [("Music Fastforward", "fastforward")],
     [("Music Next Track", "next")]],
    [[("Music Repeat All", "repeat"), ("Music Repeat All Focus", "repeat_on")],
     [("Music Shuffle", "shuffle"), ("Music Shuffle Focus", "shuffle_on")],
     [("Music Visualization", "visualization"), ("Music Visualization Focus", "visualization_on")],
     [("Music Previous Effect", "effect_previous")], [("Music Next Effect", "effect_next")]],
], keys=transport_keys("Music Play Pause", "Music Stop", "Music Next Track", "Music Previous Track",
                       "Music Fastforward", "Music Rewind"))

playback_bar("PhotoPlaybackBar", [
    [[("Photo Slideshow Play", "play"), ("Photo Slideshow Pause", "pause")], [("Photo Slideshow Stop", "stop")]],
    [[("Photo Slideshow PreviousSlide", "previous")], [("Photo Slideshow Rewind", "rewind")],
     [("Photo Slideshow Fastforward", "fastforward")], [("Photo Slideshow NextSlide", "next")]],
    [[("Photo PreviousImage", "image_previous")], [("Photo NextImage", "image_next")],
     [("Photo Rotate Left", "rotate_left")], [("Photo Rotate Right", "rotate_right")]],
], keys=transport_keys("Photo Slideshow Play Pause", "Photo Slideshow Stop", "Photo Slideshow NextSlide",
                       "Photo Slideshow PreviousSlide", "Photo Slideshow Fastforward", "Photo Slideshow Rewind"))

playback_bar("VideoPlaybackBar", [
    [[("Video Play", "play"), ("Video Pause", "pause")], [("Video Stop", "stop")]],
    [[("Video Previous Video", "previous")], [("Video Rewind", "rewind")], [("Video FastForeward", "fastforward")],
     [("Video Next Video", "next")]],
    [[("Video Take Snapshot", "snapshot")]],
], texts=[("Video Time", (200, 130, 600, 36), "LEFT")],
    keys=transport_keys("Video Play Pause", "Video Stop", "Video Next Video", "Video Previous Video",
                        "Video FastForeward", "Video Rewind"))

playback_bar("TVPlaybackBar", [
    [[("TV Play", "play"), ("TV Pause", "pause")], [("TV Stop", "stop")], [("TV Record", "record")]],
    [[("TV Rewind", "rewind")], [("TV FastForeward", "fastforward")]],
    [[("TV Prev Channel", "channel_down")], [("TV Next Channel", "channel_up")]],
], keys=transport_keys(None, "TV Stop", "TV Next Channel", "TV Prev Channel", "TV FastForeward", "TV Rewind")
    + [("VK_SPACE_", "TV Pause"), ("VK_R_", "TV Record")])

playback_bar("RadioPlaybackBar", [
    [[("Radio Play", "play"), ("Radio Pause", "pause")], [("Radio Stop", "stop")], [("Radio Record", "record")]],
    [[("Radio Previous", "previous")], [("Radio Rewind", "rewind")], [("Radio Fastforward", "fastforward")],
     [("Radio Next", "next")]],
], texts=[("Radio Signal Type Text", (1040, 40, 120, 40), "CENTER"),
          ("Radio Frequency Text", (980, 80, 240, 48), "CENTER"),
          ("Radio Record Time Text", (980, 128, 240, 40), "CENTER")],
    keys=transport_keys("Radio Play", "Radio Stop", "Radio Next", "Radio Previous", "Radio Fastforward",
                        "Radio Rewind") + [("VK_R_", "Radio Record")])


# ------------------------------------------------------------------ video pages

VIDEO_CELL = (280, 220)  # a cell of the thumbnail and device grids

def video_header(p):
    # Below the caption bar (144 pixels high).
    p.text("VIDEOS", (120, 150, 460, 60), label=True, align="LEFT", colours=ACCENT, font="FONT2")
    p.text("VIDEO_VIDEOHEADER", (640, 150, 700, 60), align="LEFT", colours=PLAIN, font="FONT2")

MENU_W = 500  # wide enough for the longest label ("Composite input", "Start capturing")
CHOSEN = (ON_PRESSED, ON_PRESSED, ON_PRESSED, ON_PRESSED)

def video_pill(lst, name, key, row, icon, x=120, w=MENU_W):
    """A menu pill of the Video pages; the pictures lie in Video/."""
    y = 220 + row * 96
    lst.action(name, "Video/menu_%s.bmp" % icon, (x, y, w, 84))
    lst.text(key, (x + 84, y + 21, w - 112, 42), label=True, align="LEFT", colours=ENTRY_COLOURS, dependency=name)

def video_menu(p, rows, name="Video Main Menu", tags=()):
    """rows: (action, string key, icon), or a list of them that take turns at one place (start and stop);
    tags: actions whose "<action> Tag" shows the current choice in the action's place, as a chosen pill."""
    menu = p.list(name, (120, 220, MENU_W, 96 * len(rows)))
    for i, row in enumerate(rows):
        for action, key, icon in (row if isinstance(row, list) else [row]):
            video_pill(menu, action, key, i, icon)
    for i, row in enumerate(rows):
        for action, key, icon in (row if isinstance(row, list) else [row]):
            if action in tags:
                y = 220 + i * 96
                menu.action(action + " Tag", "Video/menu_%s_chosen.bmp" % icon, (120, y, MENU_W, 84))
                menu.text(key, (204, y + 21, MENU_W - 112, 42), label=True, align="LEFT", colours=CHOSEN,
                          dependency=action + " Tag")
    return menu

def video_grid(p, name, columns, rows, with_up_level=True):
    """A browsing grid of cells; the page draws each cell's picture above its text."""
    w, h = VIDEO_CELL
    grid = p.list(name, (640, 220, 300 * columns, 240 * rows))
    for i in range(columns * rows):
        x, y = 640 + (i % columns) * 300, 220 + (i // columns) * 240
        grid.item("%s %d" % (name, i + 1), "Video/grid_cell.bmp", (x, y, w, h), text_r=(x + 12, y + 172, w - 24, 36))
    grid.action("pageup", "Video/page_up.bmp", (1840, 220, 64, 64))
    grid.action("pagedown", "Video/page_down.bmp", (1840, 220 + 240 * rows - 64, 64, 64))
    if with_up_level:
        grid.action("UpLevel", "Video/pill_up.bmp", (1480, 950, 420, 84))
        grid.text("UPONELEVEL", (1564, 971, 308, 42), label=True, align="LEFT", colours=ENTRY_COLOURS,
                  dependency="UpLevel")
    p.note("list_item_count", name, str(columns * rows))
    p.text("Video Browser Header Text", (1340, 160, 300, 40), align="RIGHT", colours=DIM)
    p.text("Video Browser Item Count", (1660, 160, 160, 40), align="RIGHT", colours=DIM)
    return grid

def video_entry_texts(p):
    p.text("Video File Name", (640, 960, 560, 44), align="LEFT", colours=PLAIN)
    p.text("Video File Time", (1210, 960, 260, 44), align="LEFT", colours=DIM)

def video_page(path, comment):
    p = page("Video\\" + path, 1920, 1080, "Video/video_bg.bmp", comment)
    video_header(p)
    return p

RETURN_ROW = ("Video Return to Device Selection", "VIDEO_DEVICES", "back")
SETTING_ROW = ("Video General Setting", "SETTINGS", "settings")

p = video_page("VideoApplication", "Video: play or edit videos")
apps = p.list("Video Application", (520, 300, 880, 360))
apps.item("Video Application Play", "Video/app_cell.bmp", (520, 300, 420, 360), text_r=(540, 596, 380, 44))
apps.item("Video Application Edit", "Video/app_cell.bmp", (980, 300, 420, 360), text_r=(1000, 596, 380, 44))
p.note("list_item_count", "Video Application", "2")
menu = p.list("Video Main Menu", (120, 950, 420, 84))
pill(menu, "Home", "HOME", (120, 950, 300, 84), "home")
navigation_keys(p)

p = video_page("SelectDevice", "Video: choice of the device or folder to browse")
video_grid(p, "Video Device Browser", 4, 2, with_up_level=False)
video_menu(p, [("Video Recent Videos", "VIDEO_RECENT", "recent"), ("Video Capture Video", "VIDEO_CAPTURE", "record"),
               ("Video Archive", "VIDEO_ARCHIVE", "folder"), SETTING_ROW, ("Home", "HOME", "home")])
navigation_keys(p, escape="Home")

SORT_ROWS = [("Video Sort By Name", "VIDEO_SORT_NAME", "sort"), ("Video Sort By Date", "VIDEO_SORT_DATE", "sort")]
SORT_TAGS = ("Video Sort By Name", "Video Sort By Date")

p = video_page("MyVideos", "Video: the videos of a folder as a thumbnail grid")
video_grid(p, "Video Thumbnail Browser", 4, 3)
video_entry_texts(p)
# Says so when the folder holds no video and no folder.
p.text("Video Empty Folder Text", (640, 440, 1180, 60), align="CENTER", colours=PLAIN)
video_menu(p, [RETURN_ROW, ("Video Recent Videos", "VIDEO_RECENT", "recent")] + SORT_ROWS +
           [("Video Burn Video", "VIDEO_BURN", "burning"), ("Video Capture Video", "VIDEO_CAPTURE", "record"),
            SETTING_ROW], tags=SORT_TAGS)
navigation_keys(p, escape="Back")

p = video_page("RecentVideos", "Video: the recently played videos")
video_grid(p, "Video Thumbnail Browser", 4, 3, with_up_level=False)
video_entry_texts(p)
video_menu(p, [RETURN_ROW, ("Video My Videos", "VIDEO_MYVIDEOS", "video")] + SORT_ROWS +
           [("Video Clear Recent Video Records", "VIDEO_CLEAR_RECENT", "clear"), SETTING_ROW], tags=SORT_TAGS)
navigation_keys(p, escape="Back")

p = page("Video\\PlayVideo", 1920, 1080, "Video/play_bg.bmp", "Video: full-screen playback")
p.still("Video VideoRegion", "Video/play_bg.bmp", (0, 0, 1920, 1080))
for key, action in transport_keys("Video Play Pause", "Video Stop", "Video Next Video", "Video Previous Video",
                                  "Video FastForeward", "Video Rewind"):
    p.hotkey(key, action)
navigation_keys(p, escape="Back")

def capture_page(path, comment, extra_rows=()):
    p = video_page(path, comment)
    p.still("Video VideoRegion", "Video/capture_region.bmp", (640, 220, 960, 540))
    p.text("Video Capture To HD", (640, 780, 960, 44), align="LEFT", colours=ACCENT)
    p.text("Video Capture To DVD", (640, 830, 960, 44), align="LEFT", colours=ACCENT)
    video_menu(p, [("Video Capture DV", "VIDEO_SOURCE_DV", "record"),
                   ("Video Capture Webcam", "VIDEO_SOURCE_WEBCAM", "record"),
                   ("Video Capture Composite", "VIDEO_SOURCE_COMPOSITE", "record"),
                   ("Video Capture SVideo", "VIDEO_SOURCE_SVIDEO", "record"),
                   [("Video Start Capturing", "VIDEO_START_CAPTURE", "record"),
                    ("Video Stop Capturing", "VIDEO_STOP_CAPTURE", "stop")],
                   ("Video Capture Setting", "SETTINGS", "settings"),
                   ("Video Capture Video Return", "RETURN", "back")], name="Video Capture Menu",
               tags=("Video Capture DV", "Video Capture Webcam", "Video Capture Composite", "Video Capture SVideo"))
    buttons = p.list("Video Capture Control Buttons", (1000, 900, 480, 88))
    for i, (action, icon) in enumerate((("Video Capture Play", "play"), ("Video Capture Pause", "pause"),
                                        ("Video Capture Stop", "stop"), ("Video Capture Rewind", "rewind"),
                                        ("Video Capture FastForeward", "fastforward"))):
        buttons.action(action, "Bar/btn_%s.bmp" % icon, (1000 + i * 96, 900, 88, 88))
    # The tape pauses with Space, as every player does; R and S capture.
    p.hotkey("VK_SPACE_", "Video Capture Pause")
    p.hotkey("VK_R_", "Video Start Capturing")
    p.hotkey("VK_S_", "Video Stop Capturing")
    navigation_keys(p, escape="Back")
    return p

capture_page("CaptureVideos", "Video: capture from a camcorder or a video input")

p = video_page("BurnVideos\\SelectVideos", "Video: choice of the videos to burn")
video_grid(p, "Video Thumbnail Browser", 4, 3)
video_entry_texts(p)
video_menu(p, [("Video Burn", "BURN", "burning"), ("Video Burn Select Return", "RETURN", "back")])
navigation_keys(p, escape="Back")

def setting_row(lst, y, label, option, left, right):
    lst.action(left, "Common/arrow_left.bmp", (1000, y, 64, 64))
    lst.action(right, "Common/arrow_right.bmp", (1516, y, 64, 64))
    lst.text(label, (640, y + 10, 340, 44), label=True, align="LEFT", colours=DIM)
    lst.text(option, (1076, y + 10, 428, 44), align="CENTER", colours=PLAIN)

p = video_page("Setting\\GeneralSetting", "Video: screen modes and folders")
adjust = p.list("Video Setting Adjusting", (640, 220, 1240, 660))
setting_row(adjust, 230, "SCREENRATIO", "Video ScreenSize Option", "Video ScreenSize Left", "Video ScreenSize Right")
setting_row(adjust, 330, "WIDESCREENMODE", "Video ScreenMode Option", "Video ScreenMode Left",
            "Video ScreenMode Right")
adjust.text("Video Screen Mode", (1610, 520, 270, 40), align="CENTER", colours=DIM)
for name, image in (("Video 4X3 Srceen 16X9 Movie PanScan", "Setting/preview_43_panscan.bmp"),
                    ("Video 4X3 Srceen 16X9 Movie LetterBox", "Setting/preview_43_letterbox.bmp"),
                    ("Video 16X9 Srceen 4X3 Movie Original", "Setting/preview_169_letterbox.bmp"),
                    ("Video 16X9 Srceen 4X3 Movie Stretch", "Setting/preview_169_widefill.bmp")):
    adjust.picture(name, image, (1610, 300, 270, 200))
folders = p.list("Video Folder Settings", (640, 560, 1240, 300))
for i, (action, label, text) in enumerate((("Video Set Snapshot Folder", "VIDEO_SNAPSHOT_FOLDER",
                                             "Video Snapshot Folder"),
                                            ("Video Set Default Folder", "VIDEO_DEFAULT_FOLDER",
                                             "Video Default Folder"))):
    y = 580 + i * 120
    folders.action(action, "Video/pill_folder.bmp", (640, y, 420, 84))
    folders.text(label, (724, y + 21, 308, 42), label=True, align="LEFT", colours=ENTRY_COLOURS, dependency=action)
    folders.text(text, (1080, y + 20, 800, 44), align="LEFT", colours=PLAIN)
video_menu(p, [("Video DefaultSetting Enter", "DEFAULTS", "defaults"), ("Video Setting Return", "RETURN", "back")])
navigation_keys(p, escape="Back")

p = video_page("Setting\\CaptureSetting", "Video: capture target, disc format and folder")
adjust = p.list("Video Setting Adjusting", (640, 220, 1240, 300))
setting_row(adjust, 230, "VIDEO_CAPTURE_TARGET", "Video Capturing Disc Type Option", "Video Capturing Disc Type Left",
            "Video Capturing Disc Type Right")
setting_row(adjust, 330, "VIDEO_DISC_FORMAT", "Video Capturing Disc Format Option",
            "Video Capturing Disc Format Left", "Video Capturing Disc Format Right")
folders = p.list("Video Folder Settings", (640, 560, 1240, 120))
folders.action("Video Set Captured Folder", "Video/pill_folder.bmp", (640, 580, 420, 84))
folders.text("VIDEO_CAPTURED_FOLDER", (724, 601, 308, 42), label=True, align="LEFT", colours=ENTRY_COLOURS,
             dependency="Video Set Captured Folder")
folders.text("Video Captured Folder", (1080, 600, 800, 44), align="LEFT", colours=PLAIN)
video_menu(p, [("Video Setting Return", "RETURN", "back")])
navigation_keys(p, escape="Back")

p = video_page("Setting\\SelectFolder", "Video: choice of a folder")
video_grid(p, "Video Thumbnail Browser", 4, 3)
video_menu(p, [("Video Select Folder", "VIDEO_SELECT_FOLDER", "folder"),
               ("Video Cancel Select Folder", "RETURN", "back")])
navigation_keys(p, escape="Back")

p = video_page("Archive\\Browse", "Video: the archive of captured videos")
grid = video_grid(p, "Video Thumbnail Browser", 4, 3)
video_entry_texts(p)
info = p.list("Video Information", (640, 1010, 1180, 44))
info.text("Video Archive Information", (640, 1010, 1180, 44), align="LEFT", colours=DIM)
video_menu(p, [("Video Edit Page", "VIDEO_EDIT", "edit"), ("Video Mark Page", "VIDEO_MARK", "edit"),
               ("Video Rename", "RENAME", "edit"), ("Video Delete", "VIDEO_DELETE", "clear"),
               ("Video Burn", "BURN", "burning"), RETURN_ROW])
navigation_keys(p, escape="Back")

p = video_page("Archive\\Edit", "Video: the chosen videos of the archive, nine at a time")
p.still("Video Highlight Item Image", "Common/display_M.BMP", (640, 220, 960, 720))
video_menu(p, [("Video Burn", "BURN", "burning"), ("Video Archive", "RETURN", "back")])
navigation_keys(p, escape="Back")

p = video_page("Archive\\Mark", "Video: marking videos of the archive")
grid = video_grid(p, "Video Thumbnail Browser", 4, 3)
video_entry_texts(p)
video_menu(p, [("Video Archive", "RETURN", "back")])
navigation_keys(p, escape="Back")

for path, text, comment in (("CDDVD", "Video CD/DVD Information", "Video: the disc in the optical drive"),
                            ("DV", "Video DV Information", "Video: the DV camcorder"),
                            ("CompositeIn", "Video Composite Information", "Video: the composite input"),
                            ("SVideoIn", "Video SVideo Information", "Video: the S-Video input")):
    p = video_page(path, comment)
    info = p.list("Video Information", (640, 400, 1180, 60))
    info.text(text, (640, 400, 1180, 60), align="CENTER", colours=PLAIN, font="FONT2")
    video_menu(p, [RETURN_ROW])
    navigation_keys(p, escape="Back")

p = video_page("NoCaptureDevice", "Video: no capture device found")
p.text("VIDEO_NO_CAPTURE_DEVICE", (640, 400, 1180, 60), label=True, align="CENTER", colours=PLAIN, font="FONT2")
video_menu(p, [RETURN_ROW])
navigation_keys(p, escape="Back")

# ------------------------------------------------------------------ photo pages

PHOTO_CELL = (280, 220)  # a cell of the thumbnail, drive and device grids

def photo_page(path, comment, background="Photo/photo_bg.bmp"):
    p = page("Photo\\" + path, 1920, 1080, background, comment)
    return p

def photo_header(p, key="PHOTOS"):
    p.text(key, (120, 124, 460, 72), label=True, align="LEFT", colours=ACCENT, font="FONT2")

def photo_keys(p, extra=()):
    p.hotkey("VK_ESCAPE_", "Photo Back")
    p.hotkey("VK_BACK_", "Back")
    for key, action in extra:
        p.hotkey(key, action)

def photo_pill(lst, name, key, row, icon, link=None, x=120, w=420):
    """A menu pill of the Photo pages; the pictures lie in Photo/."""
    y = 220 + row * 96
    if link:
        lst.link(name, "Photo/pill_%s.bmp" % icon, link, (x, y, w, 84))
    else:
        lst.action(name, "Photo/pill_%s.bmp" % icon, (x, y, w, 84))
    lst.text(key, (x + 84, y + 21, w - 112, 42), label=True, align="LEFT", colours=ENTRY_COLOURS, dependency=name)

def photo_menu(p, name, rows, tags=()):
    """rows: (action, string key, icon[, link target]); tags: actions whose "<action> Pressed" marks the choice."""
    menu = p.list(name, (120, 220, 500, 96 * len(rows)))
    for i, row in enumerate(rows):
        photo_pill(menu, row[0], row[1], i, row[2], link=row[3] if len(row) > 3 else None)
    for i, row in enumerate(rows):
        if row[0] in tags:
            menu.action(row[0] + " Pressed", "Photo/choice_tag.bmp", (548, 230 + i * 96, 64, 64))
    return menu

def photo_grid(p, name, columns=4, rows=3, up_level=None, texts=()):
    """A browsing grid of cells; the page draws each cell's picture above its text."""
    w, h = PHOTO_CELL
    grid = p.list(name, (640, 220, 300 * columns, 240 * rows))
    for i in range(columns * rows):
        x, y = 640 + (i % columns) * 300, 220 + (i // columns) * 240
        grid.item("%s %d" % (name, i + 1), "Photo/grid_cell.bmp", (x, y, w, h), text_r=(x + 12, y + 176, w - 24, 34))
    grid.action("pageup", "Photo/page_up.bmp", (1840, 220, 64, 64))
    grid.action("pagedown", "Photo/page_down.bmp", (1840, 220 + 240 * rows - 64, 64, 64))
    if up_level:
        grid.action(up_level, "Photo/pill_up.bmp", (1480, 950, 420, 84))
        grid.text("UPONELEVEL", (1564, 971, 308, 42), label=True, align="LEFT", colours=ENTRY_COLOURS,
                  dependency=up_level)
    p.note("list_item_count", name, str(columns * rows))
    for text, r, align in texts:
        p.text(text, r, align=align, colours=DIM)
    return grid

def photo_entry_texts(p, name, time, count, header=None):
    if header:
        p.text(header, (640, 180, 900, 40), align="LEFT", colours=DIM)
    p.text(count, (1560, 180, 260, 40), align="RIGHT", colours=DIM)
    p.text(name, (640, 960, 560, 44), align="LEFT", colours=PLAIN)
    if time:
        p.text(time, (1210, 960, 260, 44), align="LEFT", colours=DIM)

SETTING_LINK = ("Photo Setting", "SETTINGS", "settings", "Photo\\PhotoSetting")
PHOTO_TRANSPORT_KEYS = [("VK_F_", "Photo Slideshow Fastforward"), ("VK_W_", "Photo Slideshow Rewind"),
                        ("VK_ADD_", "Vol Up"), ("VK_SUBTRACT_", "Vol Down"), ("VK_F8_", "Vol Mute Unmute")]
PHOTO_IMAGE_KEYS = [("VK_R_", "Photo Rotate Right"), ("VK_L_", "Photo Rotate Left"),
                    ("VK_PAGEDOWN_", "Photo NextImage"), ("VK_PAGEUP_", "Photo PreviousImage")]
# Play, pause and stop a slide show, and step through it.
PHOTO_SHOW_KEYS = [("VK_SPACE_", "Photo Slideshow Play"), ("VK_P_", "Photo Slideshow Pause"),
                   ("VK_S_", "Photo Slideshow Stop"), ("VK_N_", "Photo Slideshow NextSlide"),
                   ("VK_B_", "Photo Slideshow PreviousSlide")]

p = photo_page("PhotoDriveSelector", "Photo: the folder, drive or device to browse")
photo_header(p)
photo_grid(p, "Photo Multi Drive Selector", 4, 2)
photo_entry_texts(p, "Photo Drive Name", None, "Photo Drive Item Count")
photo_menu(p, "Photo Multi Drive Select List", [("Photo Archive", "PHOTO_ARCHIVE", "folder", "Photo\\PhotoDriveSelector"),
                                                SETTING_LINK, ("Home", "HOME", "home")])
photo_keys(p)

p = photo_page("PhotoBrowser", "Photo: the pictures of a folder as thumbnails and folder mosaics")
photo_header(p)
photo_grid(p, "Photo Thumbnail Browser", 4, 3, up_level="UpLevel")
photo_entry_texts(p, "Photo File Name", "Photo File Time", "Photo Browser Item Count",
                  header="Photo Browser Header Text")
photo_menu(p, "Photo Browser Menu", [("Photo Slideshow Play", "PHOTO_SLIDESHOW", "play"),
                                     ("Photo Sort By Name", "PHOTO_SORT_NAME", "sort"),
                                     ("Photo Sort By Date", "PHOTO_SORT_DATE", "sort"),
                                     ("Photo Edit Browser", "PHOTO_EDIT", "edit"), SETTING_LINK,
                                     ("Photo Back", "RETURN", "back")],
           tags=("Photo Sort By Name", "Photo Sort By Date"))
p.still("Photo Currently Highlight Archive Item Image", "Photo/highlight_frame.bmp", (120, 840, 240, 180))
p.text("Photo Currently Highlight Archive Item Text", (380, 900, 240, 44), align="LEFT", colours=PLAIN)
photo_keys(p, PHOTO_SHOW_KEYS + PHOTO_IMAGE_KEYS)

def photo_display(path, comment):
    p = page("Photo\\" + path, 1920, 1080, "Photo/display_bg.bmp", comment)
    p.still("Photo DisplayWnd Image Position", "Photo/display_bg.bmp", (0, 0, 1920, 1080))
    p.still("Photo DisplayWnd Image", "Photo/display_bg.bmp", (0, 0, 1920, 1080))
    p.text("Photo Current File Name", (40, 1000, 900, 48), align="LEFT", colours=PLAIN)
    p.text("Photo Current File Time", (960, 1000, 500, 48), align="LEFT", colours=PLAIN)
    p.text("Photo Current Item Count", (1500, 1000, 380, 48), align="RIGHT", colours=PLAIN)
    return p

p = photo_display("PhotoFullScreenDisplay", "Photo: one picture on the whole screen")
photo_keys(p, PHOTO_SHOW_KEYS + PHOTO_IMAGE_KEYS)

p = page("Photo\\PhotoDisplay", 1920, 1080, "Photo/display_bg.bmp", "Photo: the slide show")
p.still("Photo DisplayWnd Image Position", "Photo/display_bg.bmp", (0, 0, 1920, 1080))
photo_keys(p, PHOTO_SHOW_KEYS + PHOTO_TRANSPORT_KEYS)

p = photo_page("PhotoEditingView", "Photo: turning and adjusting one picture")
photo_header(p, "PHOTO_EDIT")
p.still("Photo DisplayWnd Image Position", "Photo/edit_area.bmp", (640, 220, 1200, 675))
p.still("Photo DisplayWnd Image", "Photo/edit_area.bmp", (640, 220, 1200, 675))
adjust = p.list("Photo Edit Adjusting", (120, 220, 500, 560))
for i, (name, key) in enumerate((("Brightness", "PHOTO_BRIGHTNESS"), ("Hue", "PHOTO_HUE"),
                                  ("Saturation", "PHOTO_SATURATION"), ("Contrast", "PHOTO_CONTRAST"),
                                  ("Sharpness", "PHOTO_SHARPNESS"))):
    y = 230 + i * 96
    adjust.action("Photo %s Left" % name, "Common/arrow_left.bmp", (120, y, 64, 64))
    adjust.text(key, (196, y + 10, 336, 44), label=True, align="CENTER", colours=PLAIN)
    adjust.action("Photo %s Right" % name, "Common/arrow_right.bmp", (544, y, 64, 64))
turn = p.list("Photo Edit Rotating", (640, 920, 1260, 84))
turn.action("Photo Rotate Left", "Photo/pill_rotate_left.bmp", (640, 920, 420, 84))
turn.text("PHOTO_ROTATE_LEFT", (724, 941, 308, 42), label=True, align="LEFT", colours=ENTRY_COLOURS,
          dependency="Photo Rotate Left")
turn.action("Photo Rotate Right", "Photo/pill_rotate_right.bmp", (1060, 920, 420, 84))
turn.text("PHOTO_ROTATE_RIGHT", (1144, 941, 308, 42), label=True, align="LEFT", colours=ENTRY_COLOURS,
          dependency="Photo Rotate Right")
turn.action("Photo Back", "Photo/pill_back.bmp", (1480, 920, 420, 84))
turn.text("RETURN", (1564, 941, 308, 42), label=True, align="LEFT", colours=ENTRY_COLOURS, dependency="Photo Back")
photo_keys(p, PHOTO_IMAGE_KEYS)

p = photo_page("PhotoEditMultiFile", "Photo: the pictures chosen for editing")
photo_header(p, "PHOTO_EDIT")
photo_grid(p, "Photo Thumbnail Browser", 4, 3)
photo_entry_texts(p, "Photo File Name", "Photo File Time", "Photo Browser Item Count")
photo_menu(p, "Photo Browser Menu", [("Photo Menu Edit Return", "RETURN", "back")])
photo_keys(p)

p = photo_page("PhotoRecordBrowser", "Photo: the pictures to record")
photo_header(p, "BURN")
photo_grid(p, "Photo Thumbnail Browser", 4, 3, up_level="UpLevel")
photo_entry_texts(p, "Photo File Name", "Photo File Time", "Photo Browser Item Count",
                  header="Photo Browser Header Text")
photo_menu(p, "Photo Browser Menu", [("Photo Record", "BURN", "burning"), ("Photo Back", "RETURN", "back")])
photo_keys(p)

p = photo_page("PhotoImageAcquisitionBrowser", "Photo: pictures read from a camera or scanner")
photo_header(p)
p.text("Photo Acquire Device", (640, 124, 1180, 60), align="LEFT", colours=PLAIN, font="FONT2")
photo_grid(p, "Photo Acquire Image Browser", 4, 3)
photo_entry_texts(p, "Photo Acquire File Name", "Photo Acquire File Time", "Photo Acquire Item Count")
p.text("Photo Acquiring Percentage", (1500, 960, 340, 44), align="RIGHT", colours=PLAIN)
photo_menu(p, "Photo Acquire Menu", [("Photo Acquire Now", "PHOTO_ACQUIRE_NOW", "acquire"),
                                     ("Photo Smart Scan", "PHOTO_SMART_SCAN", "acquire"),
                                     ("Photo Acquire Edit App", "PHOTO_EDIT", "edit"),
                                     ("Photo Back", "RETURN", "back")])
photo_keys(p)

p = photo_page("PhotoSetting", "Photo: slide-show settings and folders")
photo_header(p, "SETTINGS")
view = p.list("Photo Setting View", (640, 220, 1240, 760))
for i, (label, option, left, right) in enumerate((
        ("PHOTO_DURATION", "Photo PictureDuration", "Photo PictureDurationLeft", "Photo PictureDurationRight"),
        ("PHOTO_TRANSITION", "Photo Text Effect Type", "Photo Transition Effect Left",
         "Photo Transition Effect Right"),
        ("PHOTO_PLAY_MUSIC", "Photo Is Play Music", "Photo Play BG Music Left", "Photo Play BG Music Right"))):
    y = 230 + i * 100
    view.action(left, "Common/arrow_left.bmp", (1000, y, 64, 64))
    view.action(right, "Common/arrow_right.bmp", (1516, y, 64, 64))
    # Labels shrink to their place rather than lose their end.
    view.text(label, (640, y + 10, 340, 44), label=True, align="LEFT", colours=DIM, fit=True)
    view.text(option, (1076, y + 10, 428, 44), align="CENTER", colours=PLAIN)
view.link("Photo BG Music Browser Selection", "Photo/pill_music.bmp", "Photo\\PhotoBGMusicBrowser", (640, 540, 420, 84))
view.text("PHOTO_BG_MUSIC", (724, 561, 308, 42), label=True, align="LEFT", colours=ENTRY_COLOURS,
          dependency="Photo BG Music Browser Selection", fit=True)
view.text("Photo Text BG Music", (1080, 560, 800, 44), align="LEFT", colours=PLAIN)
view.link("Photo Browse Folder Selection", "Photo/pill_folder.bmp", "Photo\\PhotoFolderSelect", (640, 650, 420, 84))
view.text("PHOTO_BROWSE_FOLDER", (724, 671, 308, 42), label=True, align="LEFT", colours=ENTRY_COLOURS,
          dependency="Photo Browse Folder Selection", fit=True)
view.text("Photo Text Browse Folder", (1080, 670, 800, 44), align="LEFT", colours=PLAIN)
view.link("Photo Acquire Image Folder Selection", "Photo/pill_folder.bmp", "Photo\\PhotoFolderSelect",
          (640, 760, 420, 84))
view.text("PHOTO_ACQUIRED_FOLDER", (724, 781, 308, 42), label=True, align="LEFT", colours=ENTRY_COLOURS,
          dependency="Photo Acquire Image Folder Selection", fit=True)
view.text("Photo Text Acquired Image Folder", (1080, 780, 800, 44), align="LEFT", colours=PLAIN)
view.action("Photo LoadDefaultSetting", "Photo/pill_defaults.bmp", (640, 880, 420, 84))
view.text("DEFAULTS", (724, 901, 308, 42), label=True, align="LEFT", colours=ENTRY_COLOURS,
          dependency="Photo LoadDefaultSetting")
view.action("Photo Return", "Photo/pill_back.bmp", (1080, 880, 420, 84))
view.text("RETURN", (1164, 901, 308, 42), label=True, align="LEFT", colours=ENTRY_COLOURS, dependency="Photo Return")
photo_keys(p)

p = photo_page("PhotoBGMusicBrowser", "Photo: the background music of the slide show")
photo_header(p, "PHOTO_BG_MUSIC")
music = p.list("Photo BG Music Browser", (640, 220, 1180, 720))
for i in range(8):
    y = 220 + i * 90
    music.item("Photo BG Music Browser %d" % (i + 1), "Photo/music_row.bmp", (640, y, 1180, 84),
               text_r=(740, y + 20, 700, 44))
music.action("pageup", "Photo/page_up.bmp", (1840, 220, 64, 64))
music.action("pagedown", "Photo/page_down.bmp", (1840, 876, 64, 64))
music.action("BG Music UpLevel", "Photo/pill_up.bmp", (1480, 950, 420, 84))
music.text("UPONELEVEL", (1564, 971, 308, 42), label=True, align="LEFT", colours=ENTRY_COLOURS,
           dependency="BG Music UpLevel")
music.text("Name Field", (740, 240, 700, 44), align="LEFT", colours=PLAIN)
music.text("Duration Field", (1460, 240, 300, 44), align="RIGHT", colours=DIM)
p.note("list_item_count", "Photo BG Music Browser", "8")
p.text("Photo Music Browser Header Text", (640, 180, 900, 40), align="LEFT", colours=DIM)
p.text("Photo BGMusic Browser Item Count", (1560, 180, 260, 40), align="RIGHT", colours=DIM)
p.text("Photo BGMusic Folder", (640, 960, 560, 44), align="LEFT", colours=PLAIN)
p.text("Photo Track Artist", (640, 1010, 560, 44), align="LEFT", colours=DIM)
p.text("Photo Track Album", (1210, 1010, 560, 44), align="LEFT", colours=DIM)
photo_menu(p, "Photo BG Music Menu", [("Photo BG Music Browser Return", "RETURN", "back")])
photo_keys(p)

p = photo_page("PhotoFolderSelect", "Photo: choice of a folder")
photo_header(p, "PHOTO_BROWSE_FOLDER")
photo_grid(p, "Photo Folder Select Browser", 4, 3)
photo_entry_texts(p, "Photo Folder Select Name", "Photo Folder Select Time", "Photo Folder Select Item Count")
photo_menu(p, "Photo Folder Select Menu", [("Photo Folder Select Return", "SELECT", "folder"),
                                           ("Photo Browse Folder Selection Return", "RETURN", "back")])
photo_keys(p)

def main():
    for p in PAGES:
        p.write()
    lines = ["# Element names per page that the program's code and the layouts share.",
             "# Written by skin/authoring/make_layouts.py; the skin check verifies every line.",
             "# page<TAB>kind<TAB>name<TAB>extra",
             "#   kind: button, text, still_image, progress, list, list_action, list_link, list_text, list_image,",
             "#         hotkey (name = key text, extra = action), list_item_count (extra = number of item slots)",
             "#   extra of list entries: the list's name; \"|string\" (or \"string\" for a text) marks a text whose",
             "#   name is a string-table key drawn as it stands."]
    for p in PAGES:
        for kind, name, extra in p.manifest:
            lines.append("\t".join((p.path, kind, name, extra)))
    os.makedirs(os.path.join(SKIN, "manifest"), exist_ok=True)
    with open(os.path.join(SKIN, "manifest", "elements.txt"), "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
