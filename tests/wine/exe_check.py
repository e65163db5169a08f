#!/usr/bin/env python3
"""Checks the built kurvomat.exe as a file: a 64-bit Windows GUI program that
imports system DLLs only (linked statically), with icon group 1 (48, 32 and
16 pixels at 32 bits per pixel), a manifest asking for the common controls
6.0.0.0 and the execution level asInvoker, and the version 1.0.0.1.

    tests/wine/exe_check.py PATH/kurvomat.exe

Reads the PE file itself; standard library only.
"""
import struct
import sys

from checks import check, finish

RT_ICON, RT_VERSION, RT_GROUP_ICON, RT_MANIFEST = 3, 16, 14, 24
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
SYSTEM_DLLS = {"advapi32.dll", "comctl32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
               "ole32.dll", "user32.dll", "winmm.dll", "shell32.dll", "comdlg32.dll"}

class PE:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, sections, _, _, _, optional_size = struct.unpack_from("<HHIIIH", data,
                                                                            pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        directories = optional + (112 if self.magic == 0x20B else 96)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i)
                            for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            _, vsize, vaddr, rsize, raddr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((vaddr, max(vsize, rsize), raddr))

    def offset(self, rva):
        for vaddr, size, raddr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raddr
        raise ValueError("address %#x outside the sections" % rva)

    def string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        rva, _ = self.directories[1]
        names = []
        at = self.offset(rva)
        while True:
            entry = struct.unpack_from("<IIIII", self.data, at)
            if not any(entry):
                return names
            names.append(self.string(entry[3]))
            at += 20

    def resources(self):
        """{(type, name): bytes} of the first language of every resource."""
        rva, _ = self.directories[2]
        base = self.offset(rva)
        found = {}

        def entries(at):
            named, ids = struct.unpack_from("<HH", self.data, at + 12)
            for i in range(named + ids):
                key, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                yield key, target

        for rtype, types in entries(base):
            for name, names in entries(base + (types & 0x7FFFFFFF)):
                for _, data in entries(base + (names & 0x7FFFFFFF)):
                    data_rva, size = struct.unpack_from("<II", self.data, base + data)
                    start = self.offset(data_rva)
                    found.setdefault((rtype, name), self.data[start:start + size])
        return found


def main():
    with open(sys.argv[1], "rb") as f:
        pe = PE(f.read())
    check(pe.machine == 0x8664 and pe.magic == 0x20B, "a 64-bit Windows program")
    check(pe.subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI, "a GUI program, no console",
          "subsystem %d" % pe.subsystem)
    dlls = pe.imports()
    foreign = [dll for dll in dlls if dll.lower() not in SYSTEM_DLLS]
    check(not foreign, "imports system DLLs only (linked statically)", ", ".join(foreign))

    resources = pe.resources()
    group = resources.get((RT_GROUP_ICON, 1))
    if group is None:
        check(False, "icon group 1 exists")
    else:
        _, _, count = struct.unpack_from("<HHH", group, 0)
        images = []
        for i in range(count):
            width, height, _, _, _, bits, size, icon = struct.unpack_from("<BBBBHHIH", group,
                                                                           6 + 14 * i)
            image = resources.get((RT_ICON, icon), b"")
            header = struct.unpack_from("<IiiHH", image, 0) if len(image) >= 16 else None
            images.append((width or 256, height or 256, bits,
                           header[4] if header else None, header[1] if header else None))
        sizes = sorted((w, h) for w, h, *_ in images)
        check(sizes == [(16, 16), (32, 32), (48, 48)], "icon group 1 holds 48, 32 and 16 pixels",
              str(sizes))
        check(all(b == 32 and ib == 32 and iw == w for w, _, b, ib, iw in images),
              "every icon image has 32 bits per pixel", str(images))

    manifest = resources.get((RT_MANIFEST, 1), b"").decode("utf-8", "replace")
    check("Microsoft.Windows.Common-Controls" in manifest and 'version="6.0.0.0"' in manifest,
          "the manifest asks for the common controls 6.0.0.0")
    check('level="asInvoker"' in manifest, "the manifest asks for the execution level asInvoker")

    version = resources.get((RT_VERSION, 1), b"")
    at = version.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        check(False, "version information exists")
    else:
        file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", version, at + 8)
        numbers = (file_ms >> 16, file_ms & 0xFFFF, file_ls >> 16, file_ls & 0xFFFF)
        check(numbers == (1, 0, 0, 1) and (product_ms, product_ls) == (file_ms, file_ls),
              "version 1.0.0.1", str(numbers))
        check("1.0.0.1".encode("utf-16-le") in version, "version text 1.0.0.1")

    return finish("file")


if __name__ == "__main__":
    sys.exit(main())
