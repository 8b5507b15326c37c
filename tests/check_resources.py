#!/usr/bin/env python3
"""Checks the compiled resources of Velmaris against the expected templates.

Usage: check_resources.py VELMARIS.RES [VELMARIS.ICO]

Reads a .res file as written by `windres -O res` (a run of RESOURCEHEADER
records), then checks which resources are present under which language, the
two dialog templates field by field and control by control in template order,
their English copies against them, the icon, the version block and the
manifest (well-formed by xmllint, and its declarations). With the .ico given,
it also checks the file and that the compiled icon is that file's image.
Exits 1 on any mismatch.
"""
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

# Window-system values, written out here so that the check does not lean on
# the headers the .rc itself is compiled with.
WS_POPUP = 0x80000000
WS_CHILD = 0x40000000
WS_VISIBLE = 0x10000000
WS_CAPTION = 0x00C00000
WS_BORDER = 0x00800000
WS_VSCROLL = 0x00200000
WS_GROUP = 0x00020000
WS_TABSTOP = 0x00010000
WS_EX_TOOLWINDOW = 0x00000080
DS_3DLOOK = 0x0004
DS_SETFONT = 0x0040
DS_MODALFRAME = 0x0080
BS_PUSHBUTTON = 0x0000
BS_DEFPUSHBUTTON = 0x0001
BS_AUTOCHECKBOX = 0x0003
BS_GROUPBOX = 0x0007
BS_AUTORADIOBUTTON = 0x0009
BS_FLAT = 0x8000
SS_LEFT = 0x0000
ES_AUTOHSCROLL = 0x0080
CBS_DROPDOWN = 0x0002
LBS_NOINTEGRALHEIGHT = 0x0100
LBS_NOSEL = 0x4000

RT_ICON = 3
RT_DIALOG = 5
RT_GROUP_ICON = 14
RT_VERSION = 16
RT_MANIFEST = 24

LANG_NEUTRAL = 0
LANG_ZH_CN = 2052
LANG_EN_US = 1033
LANG_JA = 1041

ATOMS = {0x80: "BUTTON", 0x81: "EDIT", 0x82: "STATIC",
         0x83: "LISTBOX", 0x84: "SCROLLBAR", 0x85: "COMBOBOX"}

CV = WS_CHILD | WS_VISIBLE
MAIN_PUSH = CV | WS_TABSTOP | BS_FLAT | BS_PUSHBUTTON
MAIN_LIST = CV | WS_BORDER | LBS_NOSEL | LBS_NOINTEGRALHEIGHT
COMBO = CV | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN
RADIO = CV | WS_TABSTOP | BS_AUTORADIOBUTTON
LABEL = CV | WS_GROUP | SS_LEFT
GROUPBOX = CV | WS_GROUP | BS_GROUPBOX

# Each dialog: header fields, then (id, class, caption, style, x, y, cx, cy)
# for every control in template order.
MAIN_DIALOG = {
    "style": WS_POPUP | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK,
    "exstyle": WS_EX_TOOLWINDOW,
    "x": 0, "y": 0, "cx": 129, "cy": 58,
    "menu": None, "class": "VELMARIS", "caption": "",
    "pointsize": 9, "typeface": "Tahoma",
    "controls": [
        (2000, "BUTTON", "开始",
         CV | WS_TABSTOP | BS_FLAT | BS_DEFPUSHBUTTON, 82, 7, 40, 12),
        (2002, "BUTTON", "停止", MAIN_PUSH, 82, 18, 40, 12),
        (2001, "BUTTON", "设置", MAIN_PUSH, 82, 29, 40, 12),
        (2003, "BUTTON", "关闭", MAIN_PUSH, 82, 40, 40, 12),
        (3001, "LISTBOX", "", MAIN_LIST, 8, 8, 70, 31),
        (3002, "LISTBOX", "", MAIN_LIST, 8, 40, 70, 12),
    ],
}

SETTINGS_DIALOG = {
    "style": WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK,
    "exstyle": WS_EX_TOOLWINDOW,
    "x": 0, "y": 0, "cx": 185, "cy": 92,
    "menu": None, "class": None, "caption": "",
    "pointsize": 9, "typeface": "Tahoma",
    "controls": [
        (1, "BUTTON", "确定", CV | WS_TABSTOP | BS_DEFPUSHBUTTON, 139, 67, 40, 12),
        (2, "BUTTON", "取消", CV | WS_TABSTOP | BS_PUSHBUTTON, 139, 79, 40, 12),
        (5000, "BUTTON", "计时器", CV | BS_GROUPBOX, 2, 2, 90, 24),
        (5003, "STATIC", "分", LABEL, 32, 13, 12, 8),
        (5004, "STATIC", "秒", LABEL, 76, 13, 12, 8),
        (6000, "BUTTON", "时间显示", GROUPBOX, 96, 2, 86, 24),
        (6002, "BUTTON", "24小时制", RADIO, 100, 13, 42, 8),
        (6001, "BUTTON", "AM/PM", RADIO, 142, 13, 36, 8),
        (7000, "BUTTON", "提示音", GROUPBOX, 2, 28, 180, 36),
        (7001, "BUTTON", "默认", RADIO, 8, 50, 32, 10),
        (7002, "BUTTON", "Wave", RADIO, 8, 38, 30, 10),
        (7003, "EDIT", "", CV | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
         41, 38, 136, 12),
        (7004, "BUTTON", "浏览", CV | WS_TABSTOP | BS_PUSHBUTTON, 139, 51, 40, 12),
        (5001, "COMBOBOX", "", COMBO, 4, 10, 23, 73),
        (5002, "COMBOBOX", "", COMBO, 49, 10, 23, 73),
        (8000, "BUTTON", "再启动", GROUPBOX, 2, 66, 90, 23),
        (8001, "BUTTON", "ON/OFF", CV | WS_TABSTOP | BS_AUTOCHECKBOX, 5, 75, 40, 10),
        (8002, "COMBOBOX", "", COMBO, 49, 73, 23, 73),
        (8003, "STATIC", "秒", LABEL, 76, 75, 12, 8),
    ],
}

# The version numbers are checked against resources/version.h by check_exe.sh.
VERSION_STRINGS = {
    "FileDescription": "Velmaris countdown timer and clock",
    "ProductName": "Velmaris",
    "OriginalFilename": "Velmaris.exe",
}
VERSION_STRINGS_PRESENT = ("CompanyName", "LegalCopyright", "InternalName",
                           "FileVersion", "ProductVersion")

ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
WS2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
WS2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
# Windows 7, 8.1 and 10/11, in that order.
SUPPORTED_OS = [
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
]

ICON_SIDE = 32
ICON_BPP = 8
ICON_IMAGE_SIZE = 40 + 256 * 4 + ICON_SIDE * ICON_SIDE + ICON_SIDE * 4


class Checker:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def eq(self, what, got, want):
        if got == want:
            self.passed += 1
        else:
            self.failed += 1
            print("FAIL %s: got %r, want %r" % (what, got, want))

    def true(self, what, cond, detail=""):
        if cond:
            self.passed += 1
        else:
            self.failed += 1
            print("FAIL %s%s" % (what, (": " + detail) if detail else ""))


class Reader:
    def __init__(self, data, pos=0):
        self.data = data
        self.pos = pos

    def take(self, fmt):
        size = struct.calcsize(fmt)
        if self.pos + size > len(self.data):
            raise ValueError("truncated at offset %d" % self.pos)
        vals = struct.unpack_from(fmt, self.data, self.pos)
        self.pos += size
        return vals if len(vals) > 1 else vals[0]

    def align(self, n=4, base=0):
        self.pos += (-(self.pos - base)) % n

    def sz(self):
        """A zero-terminated UTF-16 string."""
        start = self.pos
        while self.take("<H") != 0:
            pass
        return self.data[start:self.pos - 2].decode("utf-16-le")

    def sz_or_ord(self):
        """None for an empty field, an int for an ordinal, else the string."""
        first = struct.unpack_from("<H", self.data, self.pos)[0]
        if first == 0:
            self.pos += 2
            return None
        if first == 0xFFFF:
            self.pos += 2
            return self.take("<H")
        return self.sz()


def parse_res(data):
    """List of (type, name, language, data) for every resource in the file."""
    out = []
    pos = 0
    while pos < len(data):
        r = Reader(data, pos)
        size, header_size = r.take("<II")
        rtype = r.sz_or_ord()
        name = r.sz_or_ord()
        r.align(4, pos)
        _data_version, _flags, lang, _version, _chars = r.take("<IHHII")
        start = pos + header_size
        body = data[start:start + size]
        if len(body) != size:
            raise ValueError("resource data truncated at offset %d" % start)
        # The leading empty record marks the file as 32-bit resources.
        if not (size == 0 and rtype == 0 and name == 0):
            out.append((rtype, name, lang, body))
        pos = start + size
        pos += (-pos) % 4
    return out


def class_name(value):
    if isinstance(value, int):
        return ATOMS.get(value, "atom 0x%x" % value)
    return value.upper() if value is not None else None


def parse_dialog(body):
    r = Reader(body)
    ver, sig = struct.unpack_from("<HH", body, 0)
    ex = ver == 1 and sig == 0xFFFF
    d = {"ex": ex}
    if ex:
        r.take("<HHI")  # version, signature, help ID
        d["exstyle"], d["style"] = r.take("<II")
    else:
        d["style"], d["exstyle"] = r.take("<II")
    count, d["x"], d["y"], d["cx"], d["cy"] = r.take("<Hhhhh")
    d["menu"] = r.sz_or_ord()
    d["class"] = r.sz_or_ord()
    d["caption"] = r.sz()
    d["pointsize"] = d["typeface"] = None
    if d["style"] & DS_SETFONT:
        d["pointsize"] = r.take("<H")
        if ex:
            r.take("<HBB")  # weight, italic, charset
        d["typeface"] = r.sz()
    d["cdit"] = count
    controls = []
    for _ in range(count):
        r.align(4)
        c = {}
        if ex:
            _help, c["exstyle"], c["style"] = r.take("<III")
            c["x"], c["y"], c["cx"], c["cy"] = r.take("<hhhh")
            c["id"] = r.take("<I")
        else:
            c["style"], c["exstyle"] = r.take("<II")
            c["x"], c["y"], c["cx"], c["cy"], c["id"] = r.take("<hhhhH")
        c["class"] = r.sz_or_ord()
        c["caption"] = r.sz_or_ord()
        c["extra"] = r.take("<H")
        r.pos += c["extra"]
        controls.append(c)
    d["controls"] = controls
    return d


def check_dialog(chk, label, body, want):
    try:
        d = parse_dialog(body)
    except (ValueError, struct.error, UnicodeDecodeError) as e:
        chk.true("%s parses" % label, False, str(e))
        return
    for key in ("style", "exstyle", "x", "y", "cx", "cy", "menu",
                "class", "caption", "pointsize", "typeface"):
        got = d[key]
        fmt = "0x%08x" if key in ("style", "exstyle") else "%r"
        chk.eq("%s %s" % (label, key),
               fmt % got if isinstance(got, int) else got,
               fmt % want[key] if isinstance(want[key], int) else want[key])
    chk.eq("%s cdit" % label, d["cdit"], len(want["controls"]))
    for i, (cid, cls, caption, style, x, y, cx, cy) in enumerate(want["controls"]):
        where = "%s control %d (id %d)" % (label, i, cid)
        if i >= len(d["controls"]):
            chk.true(where + " present", False)
            continue
        c = d["controls"][i]
        chk.eq(where + " id", c["id"], cid)
        chk.eq(where + " class", class_name(c["class"]), cls)
        got_caption = "" if c["caption"] is None else c["caption"]
        chk.eq(where + " caption", got_caption, caption)
        chk.eq(where + " style", "0x%08x" % c["style"], "0x%08x" % style)
        chk.eq(where + " exstyle", c["exstyle"], 0)
        chk.eq(where + " rect", (c["x"], c["y"], c["cx"], c["cy"]), (x, y, cx, cy))
        chk.eq(where + " creation data", c["extra"], 0)


def check_english(chk, label, body, chinese):
    """The English copy: the Chinese header, and the same controls (ID, class,
    style, order); captions and positions may differ (the e2e runs read them)."""
    d, zh = parse_dialog(body), parse_dialog(chinese)
    chk.eq(label + " header", {k: v for k, v in d.items() if k != "controls"},
           {k: v for k, v in zh.items() if k != "controls"})
    same = ("id", "class", "style", "exstyle", "extra")
    chk.eq(label + " controls", [[c[k] for k in same] for c in d["controls"]],
           [[c[k] for k in same] for c in zh["controls"]])


def check_icon_image(chk, label, image):
    chk.eq(label + " size", len(image), ICON_IMAGE_SIZE)
    if len(image) < 40:
        return
    (bi_size, width, height, planes, bpp, compression, _size_image,
     _xppm, _yppm, clr_used, _clr_important) = struct.unpack_from("<IiiHHIIiiII", image)
    chk.eq(label + " header size", bi_size, 40)
    chk.eq(label + " width", width, ICON_SIDE)
    chk.eq(label + " height (XOR and AND)", height, 2 * ICON_SIDE)
    chk.eq(label + " planes", planes, 1)
    chk.eq(label + " bits per pixel", bpp, ICON_BPP)
    chk.eq(label + " compression", compression, 0)
    chk.true(label + " palette of 256", clr_used in (0, 256), "biClrUsed %d" % clr_used)
    if len(image) == ICON_IMAGE_SIZE:
        xor_start = 40 + 1024
        mask = image[xor_start + ICON_SIDE * ICON_SIDE:]
        pixels = image[xor_start:xor_start + ICON_SIDE * ICON_SIDE]
        opaque = sum(8 - bin(b).count("1") for b in mask)
        chk.true(label + " has opaque pixels", opaque > 0)
        chk.true(label + " uses more than one colour", len(set(pixels)) > 2)


def check_group_icon(chk, body, icons):
    r = Reader(body)
    try:
        reserved, kind, count = r.take("<HHH")
        chk.eq("group icon 100 header", (reserved, kind, count), (0, 1, 1))
        if count < 1:
            return
        w, h, colours, _res, planes, bpp, nbytes, nid = r.take("<BBBBHHIH")
    except ValueError as e:
        chk.true("group icon 100 parses", False, str(e))
        return
    chk.eq("group icon 100 entry size", (w, h), (ICON_SIDE, ICON_SIDE))
    chk.eq("group icon 100 entry colour count (256 is written as 0)", colours, 0)
    chk.eq("group icon 100 entry planes and bits", (planes, bpp), (1, ICON_BPP))
    chk.true("group icon 100 names an icon under 1041", nid in icons,
             "icon %r not among %r" % (nid, sorted(icons)))
    if nid in icons:
        chk.eq("group icon 100 entry byte count", nbytes, len(icons[nid]))
        check_icon_image(chk, "icon %d" % nid, icons[nid])


def version_node(data, pos):
    """(key, value bytes, value type, children, end) of one version node."""
    r = Reader(data, pos)
    length, value_len, vtype = r.take("<HHH")
    end = pos + length
    key = r.sz()
    r.align(4)
    nbytes = value_len * 2 if vtype == 1 else value_len
    value = data[r.pos:r.pos + nbytes]
    r.pos += nbytes
    r.align(4)
    children = []
    while r.pos < end:
        child = version_node(data, r.pos)
        children.append(child)
        r.pos = child[4]
        r.align(4)
    return key, value, vtype, children, end


def text_value(value):
    s = value.decode("utf-16-le", errors="replace")
    return s.split("\0", 1)[0]


def check_version(chk, body):
    try:
        key, fixed, _vtype, children, _end = version_node(body, 0)
    except (ValueError, struct.error) as e:
        chk.true("version parses", False, str(e))
        return
    chk.eq("version root key", key, "VS_VERSION_INFO")
    chk.eq("version fixed info size", len(fixed), 52)
    if len(fixed) >= 52:
        sig = struct.unpack_from("<I", fixed)[0]
        chk.eq("version signature", "0x%08x" % sig, "0xfeef04bd")
    blocks = {c[0]: c for c in children}
    chk.eq("version blocks", sorted(blocks), ["StringFileInfo", "VarFileInfo"])
    sfi = blocks.get("StringFileInfo")
    if sfi:
        tables = [c[0] for c in sfi[3]]
        chk.eq("string table keys", tables, ["04090000"])
        strings = {}
        for table in sfi[3]:
            for s in table[3]:
                strings[s[0]] = text_value(s[1])
        for name, want in VERSION_STRINGS.items():
            chk.eq("version string " + name, strings.get(name), want)
        for name in VERSION_STRINGS_PRESENT:
            chk.true("version string %s present" % name, bool(strings.get(name)))
    vfi = blocks.get("VarFileInfo")
    if vfi:
        trans = [c for c in vfi[3] if c[0] == "Translation"]
        chk.eq("Translation entries", len(trans), 1)
        if trans:
            value = trans[0][1]
            pairs = [struct.unpack_from("<HH", value, i)
                     for i in range(0, len(value) - len(value) % 4, 4)]
            chk.eq("Translation", pairs, [(0x0409, 0)])


def check_manifest(chk, body):
    # Windows refuses to start a program whose manifest does not parse.
    try:
        lint = subprocess.run(["xmllint", "--noout", "-"], input=body,
                              capture_output=True, check=False)
        chk.true("manifest is well-formed (xmllint)", lint.returncode == 0,
                 lint.stderr.decode(errors="replace").strip())
    except OSError as e:
        chk.true("xmllint runs", False, str(e))
    try:
        root = ET.fromstring(body)
    except ET.ParseError as e:
        chk.true("manifest parses", False, str(e))
        return
    chk.eq("manifest root", (root.tag, root.get("manifestVersion")),
           (ASM_V1 + "assembly", "1.0"))
    levels = [(e.get("level"), e.get("uiAccess"))
              for e in root.iter(ASM_V3 + "requestedExecutionLevel")]
    chk.eq("requestedExecutionLevel", levels, [("asInvoker", None)])
    chk.eq("supportedOS", [e.get("Id") for e in root.iter(COMPAT + "supportedOS")],
           SUPPORTED_OS)
    settings = root.findall("%sapplication/%swindowsSettings" % (ASM_V3, ASM_V3))
    chk.eq("windowsSettings blocks", len(settings), 1)
    chk.eq("dpiAware", [(e.text or "").strip() for e in root.iter(WS2005 + "dpiAware")],
           ["true/pm"])
    chk.eq("dpiAwareness", [(e.text or "").strip() for e in root.iter(WS2016 + "dpiAwareness")],
           ["PerMonitorV2, PerMonitor"])
    chk.eq("dependencies (Common Controls 6 would be one)",
           list(root.iter(ASM_V1 + "dependency")), [])


def check_ico_file(chk, path, compiled_icons):
    with open(path, "rb") as f:
        data = f.read()
    try:
        reserved, kind, count = struct.unpack_from("<HHH", data)
        chk.eq(".ico header", (reserved, kind, count), (0, 1, 1))
        w, h, colours, _res, planes, bpp, nbytes, offset = \
            struct.unpack_from("<BBBBHHII", data, 6)
    except struct.error as e:
        chk.true(".ico parses", False, str(e))
        return
    chk.eq(".ico entry size", (w, h), (ICON_SIDE, ICON_SIDE))
    chk.eq(".ico entry colour count", colours, 0)
    chk.eq(".ico entry planes and bits", (planes, bpp), (1, ICON_BPP))
    chk.eq(".ico image extent", offset + nbytes, len(data))
    image = data[offset:offset + nbytes]
    check_icon_image(chk, ".ico image", image)
    chk.true(".ico image is the compiled icon", image in compiled_icons.values())


def main(argv):
    if len(argv) not in (2, 3):
        print("usage: check_resources.py VELMARIS.RES [VELMARIS.ICO]")
        return 2
    with open(argv[1], "rb") as f:
        data = f.read()
    chk = Checker()
    try:
        resources = parse_res(data)
    except (ValueError, struct.error) as e:
        print("FAIL cannot read %s: %s" % (argv[1], e))
        print("0 passed, 1 failed")
        return 1

    icons = {n: body for t, n, lang, body in resources
             if t == RT_ICON and lang == LANG_JA}
    found = sorted((t, n, lang) for t, n, lang, _ in resources
                   if t != RT_ICON)
    chk.eq("resources other than icon images", found, sorted([
        (RT_DIALOG, 1000, LANG_ZH_CN),
        (RT_DIALOG, 4000, LANG_ZH_CN),
        (RT_DIALOG, 1000, LANG_EN_US),
        (RT_DIALOG, 4000, LANG_EN_US),
        (6, 9000 // 16 + 1, LANG_ZH_CN),  # RT_STRING: the block of 16 holding string 9000
        (6, 9000 // 16 + 1, LANG_EN_US),
        (RT_GROUP_ICON, 100, LANG_JA),
        (RT_VERSION, 1, LANG_JA),
        (RT_MANIFEST, 1, LANG_NEUTRAL),
    ]))
    all_icons = [(n, lang) for t, n, lang, _ in resources if t == RT_ICON]
    chk.eq("icon images", [lang for _n, lang in all_icons], [LANG_JA])

    by_key = {(t, n, lang): body for t, n, lang, body in resources}
    for key, label, want in (((RT_DIALOG, 1000, LANG_ZH_CN), "dialog 1000", MAIN_DIALOG),
                             ((RT_DIALOG, 4000, LANG_ZH_CN), "dialog 4000", SETTINGS_DIALOG)):
        if key in by_key:
            check_dialog(chk, label, by_key[key], want)
            english = by_key.get((RT_DIALOG, key[1], LANG_EN_US))
            if english:
                check_english(chk, "English " + label, english, by_key[key])
        else:
            chk.true(label + " under 2052", False)
    # Where no language fits, the loader takes the first by ID: it must be English.
    chk.eq("first dialog language",
           min((lang for t, _n, lang, _b in resources if t == RT_DIALOG), default=None),
           LANG_EN_US)
    if (RT_GROUP_ICON, 100, LANG_JA) in by_key:
        check_group_icon(chk, by_key[(RT_GROUP_ICON, 100, LANG_JA)], icons)
    if (RT_VERSION, 1, LANG_JA) in by_key:
        check_version(chk, by_key[(RT_VERSION, 1, LANG_JA)])
    if (RT_MANIFEST, 1, LANG_NEUTRAL) in by_key:
        check_manifest(chk, by_key[(RT_MANIFEST, 1, LANG_NEUTRAL)])
    if len(argv) == 3:
        check_ico_file(chk, argv[2], icons)

    print("%d passed, %d failed" % (chk.passed, chk.failed))
    return 1 if chk.failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
