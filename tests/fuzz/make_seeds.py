#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/NAME/ (run by hand
when a target's input format changes; the seeds are committed). Needs windres,
gcc, objcopy, strip and the mingw-w64 i686 compiler, as scripts/setup.sh
installs them. Findings kept as regression inputs live beside the seeds under
names starting with "finding-"; those of the session are rebuilt here, the
others are left alone."""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
CORPUS = os.path.join(HERE, "corpus")


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def run(*args):
    subprocess.run(args, check=True)


# ---- documents ------------------------------------------------------------------

def pdf(objects):
    """A PDF whose cross-reference table is right, from the bodies of objects 1..n."""
    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body.encode("latin-1") + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for o in offsets:
        out += b"%010d 00000 n \n" % o
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    return bytes(out)


def documents():
    write("documents", "fonts.pdf", pdf([
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Resources << /Font << /F1 4 0 R"
        " /F2 5 0 R /F3 6 0 R >> /XObject << /X1 8 0 R >> >> /Annots [9 0 R] >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /ABCDEF+Lumaro-Bold >>",
        "<< /Type /Font /Subtype /TrueType /BaseFont /Arial,BoldItalic >>",
        "<< /Type /Font /Subtype /Type0 /BaseFont /KozMin-Regular-UniJIS-UCS2-H"
        " /Encoding /UniJIS-UCS2-H /DescendantFonts [7 0 R] >>",
        "<< /Type /Font /Subtype /CIDFontType0 /BaseFont /KozMin-Regular >>",
        "<< /Type /XObject /Subtype /Form /BBox [0 0 10 10] /Resources << /Font << /F4 10 0 R >>"
        " /XObject << /Self 8 0 R >> >> /Length 0 >>\nstream\n\nendstream",
        "<< /Type /Annot /Subtype /FreeText /Rect [0 0 10 10] /AP << /N 8 0 R >> >>",
        "<< /Type /Font /Subtype /Type3 /Resources << /Font << /F5 11 0 R >> >> >>",
        "<< /Type /Font /Subtype /MMType1 /BaseFont /Caf#e9Sans >>",
    ]))
    write("documents", "empty-page.pdf", pdf([
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] >>",
    ]))
    eps = ("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 100 100\n"
           "%%DocumentFonts: Times-Roman Helvetica-Bold\n%%+ Courier\n"
           "%%DocumentNeededResources: font Symbol\n%%+ procset Lumaro 1 0\n"
           "%%DocumentSuppliedResources: (atend)\n%%EndComments\n"
           "%%BeginResource: font ABCDEF+Embedded\n%%EndResource\n"
           "%%IncludeResource: font Palatino-Roman\n%%BeginFont: OldStyle\n%%EndFont\n"
           "%%IncludeFont: ZapfDingbats\n/Times-Roman findfont 12 scalefont setfont\n"
           "%%Trailer\n%%DocumentSuppliedResources: font Late-Font\n%%EOF\n")
    write("documents", "fonts.eps", eps)
    ps = eps.encode("latin-1")
    header = struct.pack("<IIIIIIIH", 0xC6D3D0C5, 30, len(ps), 0, 0, 0, 0, 0xFFFF)
    write("documents", "dos-binary.eps", header + ps)
    write("documents", "fonts.svg",
          '<?xml version="1.0" encoding="UTF-8"?>\n'
          '<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10">\n'
          '<style>@font-face { font-family: Supplied; src: url(a.woff) }\n'
          'text.a { font: italic bold 12px/1 "Lumaro Sans", serif } .b { font-family: sans-serif, Caf\u00e9 }</style>\n'
          '<text font-family="\'Minion Pro\', Georgia, serif">x</text>\n'
          '<text style="font-family: Myriad Pro; font-size: 3px">y</text>\n'
          '<g font-family="monospace"><text class="a">z</text></g>\n</svg>\n')
    write("documents", "not-svg.xml", '<?xml version="1.0"?><html font-family="X"/>')


# ---- resources ------------------------------------------------------------------

def res_entries(res):
    """(type, name, data) of each entry of a compiled .res file."""
    entries = []
    at = 0
    while at + 8 <= len(res):
        data_size, header_size = struct.unpack_from("<II", res, at)
        fields = at + 8

        def ident(pos):
            if struct.unpack_from("<H", res, pos)[0] == 0xFFFF:
                return struct.unpack_from("<H", res, pos + 2)[0], pos + 4
            end = pos
            while struct.unpack_from("<H", res, end)[0] != 0:
                end += 2
            return res[pos:end].decode("utf-16-le"), end + 2

        rtype, pos = ident(fields)
        rname, pos = ident(pos)
        data = res[at + header_size:at + header_size + data_size]
        if data_size:
            entries.append((rtype, rname, data))
        at += header_size + data_size
        at = (at + 3) & ~3
    return entries


def resources(work):
    rc = os.path.join(ROOT, "lumaro", "resources", "Lumaro.rc")
    inc = os.path.dirname(rc)
    res = os.path.join(work, "Lumaro.res")
    run("i686-w64-mingw32-windres", "--input-format=rc", "--output-format=res",
        "--include-dir=" + inc, "-i", rc, "-o", res)
    res_bytes = open(res, "rb").read()
    write("resources", "res-file", b"\x01" + res_bytes)
    for rtype, rname, data in res_entries(res_bytes):
        if rtype == 5:
            write("resources", "dialog-%s" % rname, b"\x02" + data)
        elif rtype == "PNGI":
            write("resources", "icon-%s" % rname, b"\x03" + data)
        elif rtype == "PIPL":
            write("resources", "pipl-%s" % rname, b"\x04" + data)

    # A small ELF module carrying the resources as the plug-in does.
    code = os.path.join(work, "tiny.c")
    with open(code, "w") as f:
        f.write("int PluginMain(void) { return 0; }\n")
    elf = os.path.join(work, "tiny.so")
    run("gcc", "-shared", "-nostdlib", "-Os", "-Wl,--build-id=none", "-Wl,-z,noseparate-code",
        "-o", elf, code)
    run("strip", "--strip-all", elf)
    run("objcopy", "--add-section", ".rsrc=" + res, "--set-section-flags", ".rsrc=noload,readonly", elf)
    write("resources", "module.elf", b"\x00" + open(elf, "rb").read())

    # The same resources in a PE32 module.
    obj = os.path.join(work, "res.o")
    run("i686-w64-mingw32-windres", "--include-dir=" + inc, "-i", rc, "-O", "coff", "-o", obj)
    pe = os.path.join(work, "tiny.dll")
    run("i686-w64-mingw32-gcc", "-shared", "-nostdlib", "-s", "-Wl,--no-insert-timestamp", "-o", pe,
        os.path.join(ROOT, "tests", "host", "plugin", "pe_module.c"), obj)
    write("resources", "module.pe", b"\x00" + open(pe, "rb").read())


# ---- code pages -----------------------------------------------------------------

def codepage():
    # FuzzedDataProvider takes its numbers from the end: the code page's index,
    # the thread's code page's index (from 4), the mode byte, then the text.
    pages = [0, 1, 3, 65001, 437, 850, 852, 866, 874, 932, 936, 949, 950,
             1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 65000, 42]

    def seed(name, text, page, mode, thread=1252):
        write("codepage", name, text + bytes([mode, pages.index(thread) - 4, pages.index(page)]))

    seed("1252-narrow", b"Caf\xe9 \x80\x81", 1252, 0)
    seed("932-narrow", b"\x82\xa0\x83\x41\xb1a\\\x82", 932, 0)
    seed("utf8-narrow-strict", "€😀".encode() + b"\xc0\xaf\xed\xa0\x80", 65001, 1)
    seed("thread-1255-terminated", b"\xe0\xfa\x00tail", 3, 8, thread=1255)
    seed("wide-to-1252", "Caf\u00e9 \u20ac\u0100".encode("utf-16-le") + b"\x00\xd8", 1252, 4 | 64)
    seed("wide-to-932-default", "\u3042\uff71\u20ac".encode("utf-16-le"), 932, 4 | 16 | 32 | 64)
    seed("wide-to-utf8", "\U0001F600x".encode("utf-16-le") + b"\x00\xdc", 65001, 4 | 1)


# ---- catalogue ------------------------------------------------------------------

def catalog():
    write("catalog", "two-groups",
          "glyvor-catalog\t2\n# indexed by hand\n"
          "group\tLiberation\t/usr/share/fonts/truetype/liberation\n"
          "group\tURW\\tOpen\t/usr/share/fonts/opentype/urw-base35/\n"
          "font\t0\tLiberationSans-Bold.ttf\t0\tttf\tLiberationSans-Bold\tLiberation Sans\tBold"
          "\tLiberation Sans Bold\t\t\t131072\n"
          "font\t1\tsub/NimbusSans-Regular.otf\t0\totf\tNimbusSans-Regular\tNimbus Sans\tRegular"
          "\tNimbus Sans Regular\tNimbus Sans\tRegular\t65536\n"
          "name\tfamily\tNimbus Sans L\n"
          "name\tfull\t\u30cb\u30f3\u30d0\u30b9\n"
          "font\t1\tfonts.ttc\t3\tttf\tCaf\u00e9-Italic\tCaf\u00e9\tItalic\tCaf\u00e9 Italic"
          "\tCaf\u00e9 Sans\tItalic\\\\Oblique\t0\n")
    write("catalog", "crlf-empty", "glyvor-catalog\t2\r\n\r\n# nothing yet\r\n")
    write("catalog", "type1",
          "glyvor-catalog\t2\ngroup\tT1\t/fonts\n"
          "font\t0\ta.t1\t0\tt1\tA\tA\tRegular\tA\t\t\t0\n"
          "font\t0\tb.pfb\t0\tt1\tA\tA\tRegular\tA\t\t\t1\n")
    write("catalog", "same-font-two-versions",
          "glyvor-catalog\t2\ngroup\tG\t/fonts/g\n"
          "font\t0\told/x.otf\t0\totf\tX-Bold\tX\tBold\tX Bold\t\t\t65536\n"
          "font\t0\tnew/x.otf\t0\totf\tX-Bold\tX\tBold\tX Bold\t\t\t131072\n"
          "name\tps\tX-Bold-SC\n")
    write("catalog", "wrong-version", "glyvor-catalog\t1\n")


# ---- the font manager's Invoke --------------------------------------------------

def glyvor_invoke():
    # The last byte chooses the member (MatchFont, GetFontState, LoadFont ...);
    # the bytes before it feed the arguments.
    body = bytes(range(0x20, 0x80))
    for member, name in ((0, "match"), (1, "state"), (2, "load")):
        write("glyvor_invoke", name, body + bytes([0, member]))
    write("glyvor_invoke", "any-shape", body[::-1] + bytes([0x40 | 0x20 | 0x08]))


# ---- whole sessions -------------------------------------------------------------

def session():
    # A head byte (code page in bits 0-2, application start held back when bits
    # 3-5 are all set, operations before start-up in bits 6-7), then operations:
    # an operation number below 32 and its arguments (see fuzz_session.cpp).
    DOC, CLOSE, PRESS, SELECT, NOTIFY, TOGGLE, UNLOAD, PANEL = 0, 4, 5, 11, 13, 14, 15, 16
    GLYVOR, DIE, COM, ALLOC, STRING, QUERY, SUITE, WINDOW, SHELL, INSTALL, FILE = range(17, 28)
    REFRESH, FIND, ACTIVATE, INSTALL_ONE, ACTIVATE_ALL, INSTALL_ALL, HELP = 0, 1, 3, 4, 5, 6, 7

    def doc(which, *picks):
        # Names from the list of known names, each of no particular kind.
        return [DOC, which, len(picks)] + list(picks) + [0] * len(picks)

    def doc_named(which, name, kind):
        # One name given in full (a pick from 200 on), then its kind.
        raw = name.encode()
        return [DOC, which, 1, 200, len(raw)] + list(raw) + [kind]

    def press(button):
        return [PRESS, button]

    write("session", "find-activate-install", bytes(
        [0x00] + doc(0, 1, 2, 5) + doc(1, 3, 7) + press(FIND) + [SELECT, 1, 0] + press(ACTIVATE) +
        press(INSTALL_ALL) + press(REFRESH) + press(HELP)))
    write("session", "font-manager-dies", bytes(
        [0x00, GLYVOR, 0] + doc(0, 1, 2, 3, 4) + press(FIND) + [DIE, 1] + press(ACTIVATE_ALL) +
        [GLYVOR, 3, COM, 5, 5, 2] + press(FIND) + press(INSTALL_ALL) + [FILE, 0, 1] + press(FIND) +
        press(ACTIVATE_ALL)))
    write("session", "destroy-unload-reload", bytes(
        [0x00] + doc(0, 2) + [PANEL, 0, UNLOAD, 0, UNLOAD, 1, TOGGLE, 1, NOTIFY, 0, CLOSE, 0] +
        doc(2, 4, 6) + [PANEL, 1, TOGGLE, 1, TOGGLE, 0]))
    write("session", "hostile-host", bytes(
        [0x40, SUITE, 5] + doc(0, 1) + [ALLOC, 3] + press(REFRESH) + [STRING, 5, 2, 1] +
        press(FIND) + [QUERY, 1, 2, 0, NOTIFY, 2]))
    write("session", "code-page-932", bytes(
        [0x04] + doc_named(0, "\uff2d\uff33 \u30b4", 4) + press(FIND) + [SELECT, 1, 0]))
    write("session", "late-start-unregistered", bytes(
        [0x38, GLYVOR, 2, NOTIFY, 3] + doc(0, 1) + press(FIND) + [COM, 0, 0, INSTALL, 1, SHELL, 0] +
        press(HELP)))

    # Findings, rebuilt for this input format.
    # Memory refused at the first allocation of a Refresh: the status line kept its count.
    write("session", "finding-refresh-memory-refused", bytes([0x00, ALLOC, 0] + press(REFRESH)))
    # The same in the refresh a document notice starts (code page UTF-8).
    write("session", "finding-refresh-notice-memory-refused", bytes(
        [0x07, ALLOC, 11] + doc(0, 0x12) + [WINDOW, 0] + doc(0)))
    # A second application-started notice made a second panel and lost the first.
    write("session", "finding-started-twice", bytes([0x00, NOTIFY, 3]))
    # Reload refused by the host (a suite it no longer gives): shutdown never arrived.
    write("session", "finding-reload-refused", bytes([0x00, SUITE, 6, 0, PANEL, 0, UNLOAD, 0]))
    # The panel's first refresh failed (a host string), so the panel had no dialog
    # and the code could be unloaded under it; the shutdown after the reload went
    # through the old code. As the fuzzer found it.
    write("session", "finding-panel-without-dialog-unloaded", bytes.fromhex(
        "f5f5a06c6f206753750e818181818181010000000000003d5050f55194af444d20447261776572"
        "bcbcbcbcbcbcbc"))


def main():
    with tempfile.TemporaryDirectory() as work:
        documents()
        resources(work)
        codepage()
        catalog()
        glyvor_invoke()
        session()
    return 0


if __name__ == "__main__":
    sys.exit(main())
