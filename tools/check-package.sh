#!/usr/bin/env bash
# check-package.sh ZIP
#
# Checks a release zip made by tools/package.sh: it holds exactly the
# release's files in their order; every checksum of SHA256SUMS.txt holds;
# the guide and the notice are UTF-8 with a byte-order mark and CR LF; the
# licences are there; and the guide covers every program, every choice (each
# radio button of the dialogs) and every message a user can see (each kMsg
# text of the sources, and the reader's messages with r, c and x for the row,
# column and character).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
zip=${1:?usage: check-package.sh ZIP}

python3 - "$zip" "$root" <<'PYTHON'
import glob, hashlib, os, re, sys, zipfile
zip_path, root = sys.argv[1], sys.argv[2]
expected = ["Quorvit.exe", "Lumbrane.exe", "Tessovar.exe", "Zelcombe.exe", "使用说明.txt",
            "LICENSE.txt", "COPYING.LESSERv3", "COPYINGv3", "NOTICE.txt", "SHA256SUMS.txt"]
faults = []
z = zipfile.ZipFile(zip_path)
names = [i.filename for i in z.infolist()]
if names != expected:
    faults.append("entries %s, expected %s" % (names, expected))
files = {n: z.read(n) for n in names}

sums = {}
for line in files.get("SHA256SUMS.txt", b"").decode().splitlines():
    digest, name = line.rstrip("\r").split("  ", 1)
    sums[name] = digest
for name in expected[:-1]:
    if name in files and sums.get(name) != hashlib.sha256(files[name]).hexdigest():
        faults.append("SHA256SUMS.txt: wrong or missing sum of " + name)

for name in ("使用说明.txt", "NOTICE.txt"):
    body = files.get(name, b"")
    if not body.startswith(b"\xef\xbb\xbf"):
        faults.append(name + " has no UTF-8 byte-order mark")
    if body.count(b"\n") != body.count(b"\r\n") or b"\n" not in body:
        faults.append(name + " does not end its lines with CR LF")
    if b"@" in body:
        faults.append(name + " holds an unfilled @placeholder@")
if b"MIT License" not in files.get("LICENSE.txt", b""):
    faults.append("LICENSE.txt is not the MIT licence")
if b"LESSER GENERAL PUBLIC LICENSE" not in files.get("COPYING.LESSERv3", b""):
    faults.append("COPYING.LESSERv3 is not the LGPL v3")
if b"GENERAL PUBLIC LICENSE" not in files.get("COPYINGv3", b""):
    faults.append("COPYINGv3 is not the GPL v3")

guide = files.get("使用说明.txt", b"").decode("utf-8-sig")
wanted = ["Quorvit", "Lumbrane", "Tessovar", "Zelcombe", "计算过程.txt", "无法保存",
          "复制", "复制为 LaTeX", "保存…", "关于…",
          # the reader's messages, composed with the row r, column c, character x
          "无法识别第r行的字符“x”", "无法识别第r行的命令“\\name”", "第r行: 负号请写在分子前",
          "第r行第c列为空, 请填入数值", "第r行的数比第1行多"]
for source in glob.glob(os.path.join(root, "*", "*.h")) + glob.glob(os.path.join(root, "*", "*_press.cpp")):
    wanted += re.findall(r'constexpr char kMsg\w*\[\] = "([^"]*)"', open(source, encoding="utf-8").read())
for script in glob.glob(os.path.join(root, "*", "*.rc")):
    wanted += re.findall(r'CONTROL "([^"]+)", \w+, "BUTTON", BS_AUTORADIOBUTTON', open(script, encoding="utf-8").read())
    wanted += re.findall(r'CONTROL "([^"]+)", \w+, "BUTTON", BS_AUTOCHECKBOX', open(script, encoding="utf-8").read())
for text in wanted:
    if text not in guide:
        faults.append("the guide does not mention \"%s\"" % text)

for f in faults:
    print("FAIL " + f)
print("%s: %d entries, %d texts of the programs found in the guide, %d faults"
      % (os.path.basename(zip_path), len(names), len(set(wanted)), len(faults)))
sys.exit(1 if faults else 0)
PYTHON
