"""The built tulvex.exe: a 32-bit GUI program, statically linked, importing
only Windows' own DLLs, with its icon, version and manifest."""
import re
import struct
import subprocess
import unittest

from harness import BUILD

WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "wininet.dll",
                "comctl32.dll", "msvcrt.dll"}


def utf16(text):
    return text.encode("utf-16-le")


class Executable(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.data = (BUILD / "tulvex.exe").read_bytes()
        cls.headers = subprocess.run(["i686-w64-mingw32-objdump", "-p", str(BUILD / "tulvex.exe")],
                                     capture_output=True, text=True, check=True).stdout

    def test_32_bit_gui_program(self):
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        self.assertEqual(self.data[pe:pe + 6], b"PE\0\0\x4c\x01")  # i386
        self.assertIn("Magic\t\t\t010b\t(PE32)", self.headers)
        self.assertIn("(Windows GUI)", self.headers)

    def test_imports_only_dlls_that_ship_with_windows(self):
        imports = {name.lower() for name in re.findall(r"DLL Name: (\S+)", self.headers)}
        self.assertLessEqual(imports, WINDOWS_DLLS)
        self.assertIn("wininet.dll", imports)

    def test_icon_version_and_manifest(self):
        self.assertIn(utf16("TULVEX"), self.data)  # the icon's name
        self.assertIn(struct.pack("<IiiHH", 40, 32, 64, 1, 8), self.data)  # 32 x 32, 256 colours
        for name, value in (("CompanyName", "Morvale Soft"), ("ProductName", "Tulvex"), ("FileVersion", "1.15")):
            self.assertRegex(self.data, re.escape(utf16(name)) + b"(\0\0)+" + re.escape(utf16(value)) + b"\0\0")
        self.assertIn(b'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"', self.data)
        self.assertIn(b'level="asInvoker"', self.data)


if __name__ == "__main__":
    unittest.main()
