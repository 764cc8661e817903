"""Reads the resources of a 64-bit Windows program file, and decodes the kinds
the launcher carries: classic dialog templates, string tables, version
blocks, icon groups and bitmaps. Independent of any resource compiler, so
that what the build wrote can be compared with what the program must carry.
"""
import struct

RT_BITMAP, RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = (
    2, 3, 5, 6, 14, 16, 24)


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not a program file")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        if magic != 0x20B:
            raise ValueError("not a 64-bit image")
        self.rsrc_rva, self.rsrc_size = struct.unpack_from("<II", data, optional + 112 + 2 * 8)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, vsize, rva, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode(), rva, max(vsize, raw_size), raw))

    def offset(self, rva):
        for _, start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError("address %#x lies in no section" % rva)

    def resources(self):
        """{(type, name, language): bytes}; type and name are ints or
        upper-case strings, as the resource directory holds them."""
        base = self.offset(self.rsrc_rva)
        found = {}

        def name_of(entry_name):
            if entry_name & 0x80000000:
                at = base + (entry_name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", self.data, at)[0]
                return self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            return entry_name

        def walk(directory, path):
            named, ids = struct.unpack_from("<12xHH", self.data, base + directory)
            for i in range(named + ids):
                entry_name, target = struct.unpack_from("<II", self.data,
                                                        base + directory + 16 + 8 * i)
                key = path + (name_of(entry_name),)
                if target & 0x80000000:
                    walk(target & 0x7FFFFFFF, key)
                else:
                    rva, size = struct.unpack_from("<II", self.data, base + target)
                    start = self.offset(rva)
                    found[key] = self.data[start:start + size]

        walk(0, ())
        return found


def _wide_string(data, at):
    """A zero-terminated UTF-16 string at an offset: (text, offset after it)."""
    end = at
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2


def _name_or_ordinal(data, at):
    """A template's sz_Or_Ord field: (None | int | str, offset after it)."""
    first = struct.unpack_from("<H", data, at)[0]
    if first == 0:
        return None, at + 2
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, at + 2)[0], at + 4
    return _wide_string(data, at)


def _align4(at):
    return (at + 3) & ~3


PREDEFINED_CLASSES = {0x80: "BUTTON", 0x81: "EDIT", 0x82: "STATIC", 0x83: "LISTBOX",
                      0x84: "SCROLLBAR", 0x85: "COMBOBOX"}


def dialog_template(data):
    """A classic DLGTEMPLATE with its items, as a dict; raises ValueError for
    the extended form."""
    if struct.unpack_from("<HH", data, 0) == (1, 0xFFFF):
        raise ValueError("an extended dialog template")
    style, exstyle, count, x, y, cx, cy = struct.unpack_from("<IIHhhhh", data, 0)
    at = 18
    menu, at = _name_or_ordinal(data, at)
    cls, at = _name_or_ordinal(data, at)
    title, at = _wide_string(data, at)
    font = None
    if style & 0x40:  # DS_SETFONT
        size = struct.unpack_from("<H", data, at)[0]
        face, at = _wide_string(data, at + 2)
        font = (size, face)
    items = []
    for _ in range(count):
        at = _align4(at)
        istyle, iexstyle, ix, iy, icx, icy, iid = struct.unpack_from("<IIhhhhH", data, at)
        at += 18
        icls, at = _name_or_ordinal(data, at)
        if isinstance(icls, int):
            icls = PREDEFINED_CLASSES.get(icls, icls)
        text, at = _name_or_ordinal(data, at)
        extra = struct.unpack_from("<H", data, at)[0]
        at += 2 + extra
        items.append({"style": istyle, "exstyle": iexstyle, "rect": (ix, iy, icx, icy),
                      "id": iid if iid != 0xFFFF else -1, "class": icls, "text": text})
    return {"style": style, "exstyle": exstyle, "rect": (x, y, cx, cy), "menu": menu,
            "class": cls, "title": title, "font": font, "items": items}


def string_table(resources):
    """{id: text} over every RT_STRING block (any language)."""
    strings = {}
    for (kind, block, _), data in resources.items():
        if kind != RT_STRING:
            continue
        at = 0
        for i in range(16):
            length = struct.unpack_from("<H", data, at)[0]
            if length:
                strings[(block - 1) * 16 + i] = data[at + 2:at + 2 + 2 * length].decode(
                    "utf-16-le")
            at += 2 + 2 * length
    return strings


def version_block(data):
    """(fixed part as a dict, {block: {name: value}}, translations)."""
    def node(at):
        length, value_length, kind = struct.unpack_from("<HHH", data, at)
        key, p = _wide_string(data, at + 6)
        p = _align4(p)
        value = data[p:p + (value_length * 2 if kind == 1 else value_length)]
        children, c = [], _align4(p + (value_length * 2 if kind == 1 else value_length))
        while c < at + length:
            child, c = node(c)
            children.append(child)
            c = _align4(c)
        return (key, kind, value, children), at + length

    (key, _, fixed, children), _ = node(0)
    if key != "VS_VERSION_INFO":
        raise ValueError("not a version block")
    (signature, _, file_ms, file_ls, product_ms, product_ls, flags_mask, flags, os_, ftype,
     subtype) = struct.unpack_from("<11I", fixed, 0)[:11]
    fixed_part = {"signature": signature, "file_version": (file_ms >> 16, file_ms & 0xFFFF,
                  file_ls >> 16, file_ls & 0xFFFF), "product_version": (
                  product_ms >> 16, product_ms & 0xFFFF, product_ls >> 16, product_ls & 0xFFFF),
                  "flags": flags, "os": os_, "type": ftype, "subtype": subtype}
    strings, translations = {}, []
    for ckey, _, _, grandchildren in children:
        if ckey == "StringFileInfo":
            for block, _, _, values in grandchildren:
                strings[block] = {name: value.decode("utf-16-le").rstrip("\0")
                                  for name, _, value, _ in values}
        elif ckey == "VarFileInfo":
            for name, _, value, _ in grandchildren:
                if name == "Translation":
                    translations += [struct.unpack_from("<HH", value, i)
                                     for i in range(0, len(value), 4)]
    return fixed_part, strings, translations


def icon_group(data):
    """[(width, height, colours, bits per pixel, icon id)] of a GRPICONDIR."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if (reserved, kind) != (0, 1):
        raise ValueError("not an icon group")
    images = []
    for i in range(count):
        w, h, colours, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i)
        images.append((w or 256, h or 256, colours, bits, icon_id))
    return images


def bitmap_header(data):
    """(width, height, bits per pixel, compression) of a resource bitmap
    (a BITMAPINFOHEADER without the file header)."""
    size, width, height, _, bits, compression = struct.unpack_from("<IiiHHI", data, 0)
    if size < 40:
        raise ValueError("not a BITMAPINFOHEADER")
    return width, height, bits, compression
