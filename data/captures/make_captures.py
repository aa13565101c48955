#!/usr/bin/env python3
"""Writes the sample captures of data/captures from short receipt descriptions.

Each sample is what a register sends to an ESC/POS printer for one or two receipts, written as
text lines, styles, a logo, a barcode and a cut. Beside each capture go the module whose triggers
it is matched against (<name>.ini), the text the printer prints on each receipt
(<name>.receipts.txt) and where the module's tagged records occur in it (<name>.triggers.txt),
both written here from the description, not from the decoder.

Run it from anywhere: python3 data/captures/make_captures.py
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

ESC, FS, GS, LF = b"\x1b", b"\x1c", b"\x1d", b"\n"


class Capture:
    """A capture being written: its bytes, its receipts and the places its triggers occur."""

    def __init__(self):
        self.data = bytearray()
        self.receipts = []  # (start, end, cut name, text lines)
        self.start = 0
        self.lines = []
        self.places = []  # (offset, record bytes, "hit" or "near miss", detail)

    def send(self, *parts):
        for part in parts:
            self.data += part

    def line(self, printed, *sent):
        """A line of text: `printed` is what the printer shows, `sent` the bytes sent for it."""
        self.send(*sent)
        self.send(LF)
        self.lines.append(printed)

    def note(self, record, kind, detail, offset=None):
        """The record's bytes occur at `offset` (by default the next byte sent)."""
        self.places.append((len(self.data) if offset is None else offset, record, kind, detail))

    def initialize(self):
        self.note(ESC + b"@", "hit", "command, whole")
        self.send(ESC + b"@")

    def cut(self, command, name):
        if command.startswith(GS + b"V"):
            self.note(GS + b"V", "hit", "command, whole")
        self.send(command)
        self.receipts.append((self.start, len(self.data), name, self.lines))
        self.start = len(self.data)
        self.lines = []

    def receipt_of(self, offset):
        for index, (start, end, _, _) in enumerate(self.receipts, 1):
            if start <= offset < end:
                return index
        raise ValueError(offset)


def logo(width_bytes, rows, pattern):
    """GS v 0: a raster image `width_bytes` wide and `rows` high, its data `pattern` repeated."""
    size = width_bytes * rows
    data = (pattern * size)[:size]
    return GS + b"v0\x00" + struct.pack("<HH", width_bytes, rows) + data


def code128(data):
    """GS k 73 n: a CODE128 barcode, function B, its length given."""
    return GS + b"k" + bytes([73, len(data)]) + data


def sale_body(c):
    """The lines of a sale the samples share: the shop in double size, an item behind a tab set
    at column 20, one placed by ESC $ at column 30 (12 dots a character), the total in bold and
    the cash."""
    c.send(GS + b"!\x11", ESC + b"a\x01")
    c.line(b"QUILL MART", b"QUILL MART")
    c.send(GS + b"!\x00", ESC + b"a\x00", ESC + b"D\x14\x00")
    c.line(b"Coffee".ljust(20) + b"3.50", b"Coffee\t3.50")
    c.line(b"Bagel".ljust(30) + b"2.25", b"Bagel", ESC + b"$" + struct.pack("<H", 30 * 12),
           b"2.25")
    c.send(ESC + b"E\x01")
    c.line(b"TOTAL".ljust(20) + b"5.75", b"TOTAL\t5.75")
    c.send(ESC + b"E\x00")
    c.note(b"Cash", "hit", "text, whole")
    c.line(b"Cash".ljust(20) + b"10.00", b"Cash\t10.00")


# --- the samples --------------------------------------------------------------------------------

def sale_cut():
    """A sale with a logo and a barcode, ending in GS V 66 0. The logo's data holds the bytes of
    GS V 66 0 four times: the cut record occurs there too, as image data that cuts nothing."""
    c = Capture()
    c.initialize()
    for at in (2, 8, 14, 20):
        c.note(GS + b"V", "hit", "image", len(c.data) + 8 + at)
    c.send(logo(4, 6, b"\xff\x81\x1dVB\x00"))
    c.lines.append(b"[image 32x6]")
    sale_body(c)
    c.send(GS + b"h\x32", GS + b"w\x02", GS + b"H\x02", code128(b"{B12345678"))
    c.lines.append(b"[barcode {B12345678]")
    c.send(ESC + b"d\x04")
    c.cut(GS + b"VB\x00", "GS V 66 0")
    return c, module_text("SampleSale", void="Void", stop="Cash", cut_stop=True)


def void_upper():
    """A sale, then a void receipt that prints "VOID" where the module expects "Void"; its
    "voided" is another near miss of the same kind."""
    c = Capture()
    c.initialize()
    sale_body(c)
    c.send(ESC + b"d\x03")
    c.cut(GS + b"VB\x00", "GS V 66 0")
    c.initialize()
    c.send(ESC + b"a\x01", GS + b"!\x11", b"*** ")
    c.note(b"Void", "near miss", "case")
    c.line(b"*** VOID ***", b"VOID ***")
    c.send(GS + b"!\x00", ESC + b"a\x00")
    c.note(b"Void", "near miss", "case", len(c.data) + len(b"Receipt 1 "))
    c.line(b"Receipt 1 voided", b"Receipt 1 voided")
    c.send(ESC + b"d\x03")
    c.cut(GS + b"V\x01", "GS V 1")
    return c, module_text("SampleVoid", void="Void", stop="Cash", cut_stop=True)


def big5(text):
    return text.encode("big5")


BIG5_VOID = big5("作廢")
UTF8_VOID = "作廢".encode("utf-8")


def big5_void():
    """A voided sale in Big5, in double-byte mode, whose void keyword is the double-byte 作廢,
    also typed in UTF-8 in a second record. The line 之@廢 holds the keyword's bytes too, from
    the second byte of 之 on: not where a character starts."""
    c = Capture()
    c.initialize()
    c.send(FS + b"&")
    c.line(big5("銷售"), big5("銷售"))
    c.line(big5("咖啡") + b"    50", big5("咖啡") + b"\t50")
    c.line(big5("合計") + b"    50", big5("合計") + b"\t50")
    c.line(big5("現金") + b"    50", big5("現金") + b"\t50")
    c.note(BIG5_VOID, "hit", "text", len(c.data) + 1)
    c.line(big5("之@廢"), big5("之@廢"))
    c.note(BIG5_VOID, "hit", "text, whole")
    c.note(UTF8_VOID, "near miss", "code page")
    c.line(BIG5_VOID, BIG5_VOID)
    c.send(FS + b".", ESC + b"d\x03")
    c.cut(GS + b"VB\x00", "GS V 66 0")
    return c, module_text("SampleBig5", void=[BIG5_VOID, UTF8_VOID], cut_stop=True)


def void_split_bold():
    """A void receipt whose "Void" is split by a bold-on command after its V."""
    c = Capture()
    c.initialize()
    c.line(b"Receipt 7", b"Receipt 7")
    c.note(b"Void", "near miss", "split")
    c.line(b"Void", b"V", ESC + b"E\x01", b"oid", ESC + b"E\x00")
    c.note(b"Cash", "hit", "text, whole")
    c.line(b"Cash back  0.00", b"Cash back  0.00")
    c.send(ESC + b"d\x02")
    c.cut(GS + b"VA\x03", "GS V 65 3")
    return c, module_text("SampleSplit", void="Void", stop="Cash", cut_stop=True)


def ff_inside_commands():
    """A receipt without a Form Feed, where 0x0C occurs only as the parameter of ESC 3 12 and in
    the data of a barcode: a module waiting for FF never sees its stop."""
    c = Capture()
    c.initialize()
    c.note(b"\x0c", "hit", "parameter", len(c.data) + 2)
    c.send(ESC + b"3\x0c")
    c.line(b"Kitchen order 12", b"Kitchen order 12")
    c.line(b"2 x Soup", b"2 x Soup")
    c.note(b"\x0c", "hit", "barcode", len(c.data) + 4 + 4)
    c.send(code128(b"{AAB\x0cCD"))
    c.lines.append(b"[barcode]")
    c.send(ESC + b"2", ESC + b"d\x03")
    c.cut(GS + b"V\x00", "GS V 0")
    return c, module_text("SampleFormFeed", form_feed_stop=True)


# --- the modules --------------------------------------------------------------------------------

def token(byte):
    """A byte as a module file writes it: a printable character as itself, the rest (and the
    comma) as three decimal digits."""
    return chr(byte) if 32 < byte < 127 and byte != ord(",") else "%03d" % byte


def keyword_record(keyword, tag):
    if isinstance(keyword, str):
        keyword = keyword.encode("latin-1")
    return "%d,%s,1,0,0,%s" % (len(keyword), ",".join(token(b) for b in keyword), tag)


def module_text(name, void=None, stop=None, cut_stop=False, form_feed_stop=False):
    """A module without a module library: ESC @ starts a transaction; GS V (a kind-1 record) and
    FF stop it when asked; the keywords are Text_Void and Text_Stop entries. `void` is one
    keyword or a list of them."""
    singles = ["2,ESC,@,1,0,0,TRAN_START"]
    if form_feed_stop:
        singles.append("1,FF,1,1,0,TRAN_STOP")
    multis, sections = [], []
    if cut_stop:
        multis.append("GS-Command,GS,1")
        sections.append("[GS-Command]\n1=2,GS,V,1,0,0,TRAN_STOP\n")
    for section, keywords, tag in (("Text_Void", void, "TRAN_VOID"),
                                   ("Text_Stop", stop, "TRAN_STOP")):
        if not keywords:
            continue
        keywords = [k if isinstance(k, bytes) else k.encode() for k in
                    (keywords if isinstance(keywords, list) else [keywords])]
        multis.append("%s,%s,%d" % (section, token(keywords[0][0]), len(keywords)))
        sections.append("[%s]\n" % section + "".join(
            "%d=%s\n" % (i, keyword_record(k, tag)) for i, k in enumerate(keywords, 1)))
    text = "; Sample module for the capture %s, written by make_captures.py.\n" % name
    text += "[Main]\nModule_Name=%s\nUseDll=0,\nC-Num=1\nS-Num=%d\nM-Num=%d\n\n" % (
        name, len(singles), len(multis))
    text += "[ChangeLine-Command]\n1=1,LF\n\n[Single-Command]\n"
    text += "".join("%d=%s\n" % (i, s) for i, s in enumerate(singles, 1))
    text += "\n[Mutli-Command]\n" + "".join("%d=%s\n" % (i, m) for i, m in enumerate(multis, 1))
    text += "".join("\n" + s for s in sections)
    return text.encode("ascii")


# --- writing ------------------------------------------------------------------------------------

def tagged_records(module):
    """(section, key, event tag, bytes) of the module's tagged records, in file order, which is
    the order inspect lists them in for these modules."""
    names = {b"ESC": 27, b"GS": 29, b"FS": 28, b"FF": 12, b"LF": 10}
    section, out = None, []
    for raw in module.split(b"\n"):
        line = raw.strip()
        if line.startswith(b"["):
            section = line[1:-1].decode("ascii")
            continue
        if b"=" not in line or line.startswith(b";"):
            continue
        key, value = line.split(b"=", 1)
        tokens = value.split(b",")
        tag = tokens[-1].upper().decode("ascii")
        if not key.isdigit() or tag not in ("TRAN_START", "TRAN_STOP", "TRAN_VOID"):
            continue
        data = bytes(names[t] if t in names else (t[0] if len(t) == 1 else int(t))
                     for t in tokens[1:1 + int(tokens[0])])
        out.append((section, int(key), tag, data))
    return out


def shown(data):
    if all(32 <= b < 127 for b in data):
        return data.decode("ascii")
    return " ".join("%02X" % b for b in data)


def counts(kind, detail):
    return kind == "hit" and detail in ("text, whole", "command, whole")


def triggers_text(c, module):
    """Each tagged record with the places the description put it, then the verdicts: void and
    stop are yes when a trigger of the kind occurs as whole text or a whole command, no when none
    does, none when the module has no trigger of the kind."""
    out = []
    records = tagged_records(module)
    for section, key, tag, data in records:
        out.append("[%s] %d %s" % (section, key, shown(data)))
        places = sorted((p for p in c.places if p[1] == data), key=lambda p: (p[2], p[0]))
        hits = {offset for offset, _, kind, _ in places if kind == "hit"}
        at = c.data.find(data)
        while at >= 0:  # every occurrence is a place the description made on purpose
            assert at in hits, "%s occurs at %d by accident" % (shown(data), at)
            at = c.data.find(data, at + 1)
        for offset, _, kind, detail in places:
            out.append("  %s at %d in receipt %d: %s" % (kind, offset, c.receipt_of(offset),
                                                          detail))

    def seen(tag, receipt):
        triggers = [data for _, _, t, data in records if t == tag]
        if not triggers:
            return "none"
        return "yes" if any(data in triggers and counts(kind, detail) and
                            receipt in (None, c.receipt_of(offset))
                            for offset, data, kind, detail in c.places) else "no"

    for receipt in range(1, len(c.receipts) + 1):
        out.append("verdict receipt %d: void %s, stop %s" % (
            receipt, seen("TRAN_VOID", receipt), seen("TRAN_STOP", receipt)))
    out.append("verdict capture: void %s, stop %s" % (seen("TRAN_VOID", None),
                                                       seen("TRAN_STOP", None)))
    return ("\n".join(out) + "\n").encode("ascii")


def receipts_text(c):
    out = b""
    for index, (start, end, cut, lines) in enumerate(c.receipts, 1):
        out += b"--- receipt %d [%d, %d) %s\n" % (index, start, end, cut.encode())
        out += b"".join(line + b"\n" for line in lines)
    return out


def xxd(data):
    """The capture as xxd writes it: offset, eight groups of two bytes, the text column."""
    out = []
    for at in range(0, len(data), 16):
        chunk = data[at:at + 16]
        groups = " ".join(chunk[i:i + 2].hex() for i in range(0, len(chunk), 2))
        text = "".join(chr(b) if 32 <= b < 127 else "." for b in chunk)
        out.append("%08x: %-39s  %s" % (at, groups, text))
    return ("\n".join(out) + "\n").encode()


def pcap(data):
    """The capture as a register's raw printing connection to port 9100: the handshake, the data
    in four segments of which the third is captured before the second, the printer's ACKs and
    the close. Classic pcap, Ethernet frames, IPv4, documentation addresses."""
    host, printer = bytes([192, 0, 2, 10]), bytes([192, 0, 2, 50])
    host_mac, printer_mac = bytes.fromhex("020000000a0a"), bytes.fromhex("020000003232")
    host_port, isn, printer_isn = 49210, 1000, 5000

    def frame(src, dst, sport, dport, seq, ack, flags, payload=b""):
        tcp = struct.pack(">HHIIBBHHH", sport, dport, seq, ack, 5 << 4, flags, 65535, 0, 0)
        ip = struct.pack(">BBHHHBBH4s4s", 0x45, 0, 20 + len(tcp) + len(payload), 1, 0x4000, 64,
                         6, 0, src, dst)
        macs = (printer_mac + host_mac) if src == host else (host_mac + printer_mac)
        return macs + b"\x08\x00" + ip + tcp + payload

    syn, ack_flag, psh, fin = 0x02, 0x10, 0x08, 0x01
    cuts = [0, len(data) // 4, len(data) // 2, 3 * len(data) // 4, len(data)]
    pieces = [(cuts[i], data[cuts[i]:cuts[i + 1]]) for i in range(4)]
    to_printer = lambda seq, flags, payload=b"": frame(host, printer, host_port, 9100, seq,
                                                      printer_isn + 1, flags, payload)
    to_host = lambda ack, flags: frame(printer, host, 9100, host_port, printer_isn + 1, ack, flags)
    packets = [
        frame(host, printer, host_port, 9100, isn, 0, syn),
        frame(printer, host, 9100, host_port, printer_isn, isn + 1, syn | ack_flag),
        to_printer(isn + 1, ack_flag),
    ]
    for order in (0, 2, 1, 3):
        offset, payload = pieces[order]
        packets.append(to_printer(isn + 1 + offset, ack_flag | psh, payload))
    packets.append(to_host(isn + 1 + len(data), ack_flag))
    packets.append(to_printer(isn + 1 + len(data), ack_flag | fin))
    packets.append(to_host(isn + 2 + len(data), ack_flag | fin))
    out = struct.pack("<IHHiIII", 0xA1B2C3D4, 2, 4, 0, 0, 65535, 1)
    for i, packet in enumerate(packets):
        out += struct.pack("<IIII", 1700000000, i * 1000, len(packet), len(packet)) + packet
    return out


def write(name, content):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(content)


def main():
    for sample in (sale_cut, void_upper, big5_void, void_split_bold, ff_inside_commands):
        c, module = sample()
        name = sample.__name__
        write(name + ".bin", bytes(c.data))
        write(name + ".ini", module)
        write(name + ".receipts.txt", receipts_text(c))
        write(name + ".triggers.txt", triggers_text(c, module))
        if sample is sale_cut:
            write(name + ".pcap", pcap(bytes(c.data)))
            write(name + ".hex", xxd(bytes(c.data)))


if __name__ == "__main__":
    main()
