#!/usr/bin/env python3
"""Checks the Windows images as built: check_windows_image.py OBJDUMP FORMAT TOOL.EXE LIBRARY.DLL

FORMAT is the objdump file format the images must have (pei-i386 for the 32-bit build). The
tool must be a console program that imports the three fax-library calls by name from
tarnel4d.dll and carries its version record and icon; the library must export exactly those
calls, undecorated; neither may need a DLL of the compiler's runtimes.
"""
import re
import struct
import subprocess
import sys

FAX_CALLS = {"FaxRegisterApp", "FaxEnableDebug", "FaxUnregisterApp"}
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "user32.dll", "advapi32.dll", "ntdll.dll"}
RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def objdump(tool, *arguments):
    return subprocess.run([tool, *arguments], check=True, capture_output=True, text=True).stdout


def imports(dump):
    """{dll name: set of imported names}"""
    found, current = {}, None
    for line in dump.splitlines():
        name = re.match(r"\s*DLL Name: (\S+)", line)
        if name:
            current = found.setdefault(name.group(1), set())
            continue
        entry = re.match(r"\s+[0-9a-f]+\s+\d+\s+(\S+)$", line)
        if current is not None and entry:
            current.add(entry.group(1))
        elif not line.strip():
            current = None
    return found


def exports(dump):
    table = dump.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) < 2:
        return set()
    names = set()
    for line in table[1].splitlines()[1:]:
        entry = re.match(r"\s+\[\s*\d+\] (\S+)", line)
        if not entry:
            break
        names.add(entry.group(1))
    return names


def resource_types(dump):
    return {int(t, 16) for t in re.findall(r"^[0-9a-f]{3}   Entry: ID: 0x([0-9a-f]+)", dump, re.M)}


def version_record(image):
    """(file version, product version) from VS_FIXEDFILEINFO, or None."""
    at = image.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None
    _, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", image, at)
    as_text = lambda ms, ls: f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
    return as_text(file_ms, file_ls), as_text(product_ms, product_ls)


def utf16(text):
    return text.encode("utf-16-le")


def main(tool, image_format, exe, dll):
    for path in (exe, dll):
        check(f"file format {image_format}" in objdump(tool, "-f", path),
              f"{path} is not {image_format}")
        for name in imports(objdump(tool, "-p", path)):
            check(name.lower() in SYSTEM_DLLS or name == "tarnel4d.dll",
                  f"{path} needs {name} beside it")

    exe_dump = objdump(tool, "-p", exe)
    check("(Windows CUI)" in exe_dump, "the tool is not a console program")
    check(imports(exe_dump).get("tarnel4d.dll") == FAX_CALLS,
          f"the tool imports {imports(exe_dump).get('tarnel4d.dll')} from tarnel4d.dll")
    dll_exports = exports(objdump(tool, "-p", dll))
    check(dll_exports == FAX_CALLS, f"the library exports {sorted(dll_exports)}")

    types = resource_types(exe_dump)
    check({RT_ICON, RT_GROUP_ICON, RT_VERSION} <= types, f"resource types {sorted(types)}")
    image = open(exe, "rb").read()
    check(version_record(image) == ("4.4.0.0", "4.4.0.0"), f"version {version_record(image)}")
    for key, value in [("FileVersion", "4.4.0.0"), ("ProductVersion", "4.4.0.0"),
                       ("FileDescription", "command-line debug utility"),
                       ("ProductName", "Kestrovane"), ("OriginalFilename", "Kestrovane.exe"),
                       ("InternalName", "Kestrovane")]:
        check(utf16(key + "\0") in image, f"no {key} in the version record")
        check(utf16(value) in image, f"no {value!r} in the version record")

    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(failures)} failed" if failures else "images as required")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
