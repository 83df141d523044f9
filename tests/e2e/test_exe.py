"""The built tulvex.exe: a 32-bit GUI program that imports only Windows' own
DLLs and carries its icon, version and manifest."""
import struct
import subprocess
import unittest

from harness import BUILD

WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "wininet.dll",
                "comctl32.dll", "msvcrt.dll"}
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


class PortableExecutable:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        assert data[pe:pe + 4] == b"PE\0\0"
        self.machine, sections, _, _, _, optional_size, self.characteristics = struct.unpack_from(
            "<HHIIIHH", data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        directories = optional + 96
        self.sections = [struct.unpack_from("<8sIIII", data, optional + optional_size + 40 * i)
                         for i in range(sections)]
        self.import_rva = struct.unpack_from("<I", data, directories + 8)[0]
        self.resource_rva = struct.unpack_from("<I", data, directories + 16)[0]

    def offset(self, rva):
        for _, virtual_size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return rva - address + raw
        raise ValueError(hex(rva))

    def string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode()

    def imports(self):
        names, entry = [], self.offset(self.import_rva)
        while True:
            name_rva = struct.unpack_from("<I", self.data, entry + 12)[0]
            if name_rva == 0:
                return names
            names.append(self.string(name_rva))
            entry += 20

    def resources(self):
        """{(type, name): data} of the resource tree; names are ids or texts."""
        base, found = self.offset(self.resource_rva), {}

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + numbered):
                key, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                if key & 0x80000000:
                    at = base + (key & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, at)[0]
                    key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                yield key, target

        for kind, names in entries(0):
            for name, languages in entries(names & 0x7FFFFFFF):
                for _, leaf in entries(languages & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    found[(kind, name)] = self.data[self.offset(rva):self.offset(rva) + size]
        return found


class Executable(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.exe = PortableExecutable((BUILD / "tulvex.exe").read_bytes())

    def test_32_bit_gui_program(self):
        self.assertEqual((self.exe.machine, self.exe.magic, self.exe.subsystem), (0x14C, 0x10B, 2))

    def test_imports_only_dlls_that_ship_with_windows(self):
        imports = {name.lower() for name in self.exe.imports()}
        self.assertLessEqual(imports, WINDOWS_DLLS)
        self.assertIn("wininet.dll", imports)

    def test_icon_version_and_manifest(self):
        resources = self.exe.resources()
        group = resources[(RT_GROUP_ICON, "TULVEX")]
        width, height, colours, _, planes, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", group, 6)
        self.assertEqual((width, height, colours, bits), (32, 32, 0, 8))
        self.assertIn((RT_ICON, icon_id), resources)

        version = resources[(RT_VERSION, 1)].decode("utf-16-le", errors="replace")
        for name, value in (("CompanyName", "Morvale Soft"), ("ProductName", "Tulvex"),
                            ("FileVersion", "1.15"), ("ProductVersion", "1.15")):
            self.assertRegex(version, f"{name}\0+{value}\0")
        fixed = resources[(RT_VERSION, 1)].index(struct.pack("<I", 0xFEEF04BD))
        self.assertEqual(struct.unpack_from("<HH", resources[(RT_VERSION, 1)], fixed + 8), (15, 1))

        manifest = resources[(RT_MANIFEST, 1)].decode()
        self.assertIn('name="Microsoft.Windows.Common-Controls" version="6.0.0.0"', manifest)
        self.assertIn('level="asInvoker"', manifest)

    def test_static_runtime(self):
        listing = subprocess.run(["i686-w64-mingw32-objdump", "-p", str(BUILD / "tulvex.exe")],
                                 capture_output=True, text=True, check=True).stdout
        for dll in ("libstdc++", "libgcc", "libwinpthread"):
            self.assertNotIn(dll, listing)


if __name__ == "__main__":
    unittest.main()
