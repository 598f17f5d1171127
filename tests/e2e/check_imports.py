#!/usr/bin/env python3
"""Fails unless a Windows program is GUI-subsystem and imports only Windows system DLLs.

Usage: check_imports.py PROGRAM.exe [--console] [--expect-foreign DLL]
--expect-foreign turns it round: it passes only if DLL is among the foreign imports found, so
the check itself is shown to catch a runtime DLL.
"""
import struct
import sys

SYSTEM_DLLS = {
    "advapi32.dll", "bcrypt.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll", "dwmapi.dll",
    "gdi32.dll", "gdiplus.dll", "imm32.dll", "kernel32.dll", "kernelbase.dll", "msimg32.dll",
    "msvcrt.dll", "ntdll.dll", "ole32.dll", "oleaut32.dll", "rpcrt4.dll", "secur32.dll",
    "setupapi.dll", "shell32.dll", "shlwapi.dll", "ucrtbase.dll", "user32.dll", "userenv.dll",
    "uxtheme.dll", "version.dll", "winmm.dll", "ws2_32.dll", "wsock32.dll",
}


def is_system(name):
    name = name.lower()
    return name in SYSTEM_DLLS or name.startswith("api-ms-win-") or name.startswith("ext-ms-win-")


def read_imports(data):
    """Returns (subsystem, [dll names]) from a PE32+ or PE32 image."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE image")
    sections_count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    subsystem = struct.unpack_from("<H", data, optional + 68)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    import_rva = struct.unpack_from("<I", data, directories + 8)[0]

    sections = []
    table = optional + optional_size
    for i in range(sections_count):
        virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        sections.append((virtual_address, max(virtual_size, raw_size), raw_pointer))

    def offset(rva):
        for address, size, pointer in sections:
            if address <= rva < address + size:
                return rva - address + pointer
        raise ValueError("address 0x%x lies in no section" % rva)

    names = []
    if import_rva:
        entry = offset(import_rva)
        while True:
            name_rva = struct.unpack_from("<I", data, entry + 12)[0]
            if name_rva == 0:
                break
            start = offset(name_rva)
            names.append(data[start:data.index(b"\0", start)].decode("ascii"))
            entry += 20
    return subsystem, names


def main(argv):
    args = argv[1:]
    expect_foreign = None
    want_console = "--console" in args
    if "--expect-foreign" in args:
        expect_foreign = args[args.index("--expect-foreign") + 1]
    program = args[0]
    with open(program, "rb") as f:
        subsystem, names = read_imports(f.read())
    foreign = [n for n in names if not is_system(n)]
    print("%s imports: %s" % (program, ", ".join(names) or "nothing"))

    if expect_foreign:
        if expect_foreign.lower() in (n.lower() for n in foreign):
            print("foreign DLL found as expected: %s" % expect_foreign)
            return 0
        print("expected %s among the foreign DLLs, found: %s" % (expect_foreign, foreign or "none"))
        return 1

    ok = True
    if foreign:
        print("not Windows system DLLs: %s" % ", ".join(foreign))
        ok = False
    wanted = 3 if want_console else 2
    if subsystem != wanted:
        print("subsystem is %d, wanted %d (%s)" % (subsystem, wanted, "console" if want_console else "GUI"))
        ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
