#!/usr/bin/env python3
"""Writes the sample EDL files under samples/ from the plain texts below.

The controller-coded samples are written the way the SONY BVE-9100 writes its files: bit 7 set
on part of the characters (always on digits, so no byte 0x31 appears; on blanks and colons; on
every other capital letter), and 0x8D as the line end, with or without a line feed after it.
Characters whose coded form the controller's table does not give back unchanged ("." would come
back as ",", "i" would vanish, "m" would become "n", "v" to "~" would vanish) stay as they are.

Run it from the project root: python3 tools/make-samples.py
"""
import pathlib

NEWS = """\
  EVENING NEWS 0612
EDT  REEL   MODE  TYPE          P-VTR IN    P-VTR OUT   R-VTR IN    R-VTR OUT
---- ------ ----- ------------- ----------- ----------- ----------- -----------
MASTER RECORDER REEL NEWS01
BLOCK 001
* PROGRAM OPENING
001  001    V     C        00:59:50:00 00:59:55:00 01:00:00:00 01:00:05:00
* FROM CLIP NAME: OPENING TITLE
002  002    VA1A2 C        02:10:00:00 02:10:04:12 01:00:05:00 01:00:09:12
002  003    VA1A2 D    030 03:00:10:00 03:00:15:00 01:00:09:12 01:00:14:12
* EFFECT NAME: CROSS DISSOLVE
AUDIO DISSOLVE 030
003  004    V     W 1001 01:00 04:00:00:00 04:00:03:00 01:00:14:12 01:00:17:12
004  005    V     KB   002 05:00:00:00 05:00:02:00 01:00:17:12 01:00:19:12
005  005    A1    C        05:00:10:00 05:00:20:00 01:00:19:12 01:00:29:12 A3
006  006    V     C    -12 06:00:00:00 06:00:04:00 01:00:29:12 01:00:33:12
007  PREREAD V     C        00:00:00:00 00:00:02:00 01:00:33:12 01:00:35:12
008  007    V     C        07:00:00:00 07:00:05:00 01:00:35:12 01:00:40:12 F12
* END OF BLOCK
"""

PROMO = """\
@PROMO B SPOT 30S
MASTER RECORDER REEL PRM002
BLOCK 002

001  010    V     C        10:00:00:00 10:00:03:00 01:00:00:00 01:00:03:00
DM 002 Speed:
+050 10:10:05.00
002  011    V     C        10:10:05.00 10:10:08.00 01:00:03:00 01:00:06:00
003  012    V     C        12:00:00:00 12:00:02:15 01:00:06:00 01:00:08:15
003  013    V     D    015 13:00:00:00 13:00:03:00 01:00:08:15 01:00:11:15
003  014    V     D    015 14:00:00:00 14:00:03:00 01:00:11:15 01:00:14:15
004  015    V     KI 002 030 15:00:00:00 15:00:02:00 01:00:14:15 01:00:16:15
12 34 56 EDIT MEMORY
005  016    VA1   C        16:00:00:00 16:00:05:00 01:00:16:15 01:00:21:15 A3 A4 DM-010
"""

# Plain text (a "1" in it), Shift-JIS notes as a Japanese PC would write them.
DRAMA = """\
TITLE: DRAMA EP01
MASTER RECORDER REEL DRM001
BLOCK 001
* シーン１ 屋上
001  A001   V     C        10:00:00:00 10:00:12:00 01:00:00:00 01:00:12:00
002  A002   V     D    045 11:00:00:00 11:00:08:00 01:00:12:00 01:00:20:00
* 音楽：テーマ曲
003  A003   VA1   C        12:00:00:00 12:00:06:00 01:00:20:00 01:00:26:00
"""

CMX = """\
TITLE: CMX EXPORT
FCM: NON-DROP FRAME
001  AX       V     C        00:00:00:00 00:00:05:00 01:00:00:00 01:00:05:00
"""

NO_EVENTS = """\
  MEMO ONLY
MASTER RECORDER REEL MEMO
BLOCK 001
* THIS LIST HOLDS NO EDIT YET
"""


# A plain file as other tools pass such lists on: a UTF-8 byte order mark, line feeds alone
# mixed with CR LF, a tab in a note, notes in UTF-8 and in GBK, a note line of 3000 bytes,
# and Ctrl-Z with NUL padding at the end.
def oddities_bytes():
    lines = [
        ("\ufeffTITLE: WEB EXPORT 1", "\r\n"),
        ("MASTER RECORDER REEL WEB001", "\n"),
        ("BLOCK 003", "\r\n"),
        ("", "\r\n"),
        ("001  W001   V     C        00:00:00:00 00:00:04:00 01:00:00:00 01:00:04:00", "\n"),
        ("* NOTE\tWITH A TAB", "\r\n"),
        ("002  W002   V     D    010 00:10:00:00 00:10:02:00 01:00:04:00 01:00:06:00", "\r\n"),
    ]
    data = b"".join(text.encode("utf-8") + end.encode("ascii") for text, end in lines)
    data += "* 音楽 UTF-8\r\n".encode("utf-8")
    data += "* 音乐 GBK\r\n".encode("gbk")
    data += b"* " + b"LONG NOTE " * 300 + b"\r\n"
    data += b"003  W003   V     C        00:20:00:00 00:20:03:00 01:00:06:00 01:00:09:00\r\n"
    return data + b"\x1a" + b"\x00" * 64


def controller_bytes(text, line_end):
    out = bytearray()
    capital = 0
    for ch in text:
        if ch == "\n":
            out += line_end
            continue
        b = ord(ch)
        coded = False
        if ch.isdigit() or ch in " :+-*@":
            coded = True
        elif "A" <= ch <= "Z":
            capital += 1
            coded = capital % 2 == 0
        out.append(b | 0x80 if coded else b)
    assert b"1" not in out, "controller output never holds the byte 0x31"
    return bytes(out)


def main():
    folder = pathlib.Path("samples")
    folder.mkdir(exist_ok=True)
    (folder / "NEWS0612.EDL").write_bytes(controller_bytes(NEWS, b"\x8d\x0a"))
    (folder / "PROMO_B.EDL").write_bytes(controller_bytes(PROMO, b"\x8d"))
    (folder / "DRAMA_JP.EDL").write_bytes(DRAMA.replace("\n", "\r\n").encode("cp932"))
    (folder / "CMX3600.EDL").write_bytes(CMX.replace("\n", "\r\n").encode("ascii"))
    (folder / "MEMO.EDL").write_bytes(controller_bytes(NO_EVENTS, b"\x8d\x0a"))
    (folder / "ODDITIES.EDL").write_bytes(oddities_bytes())


if __name__ == "__main__":
    main()
