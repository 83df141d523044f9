"""The built tulvex.exe, the 32-bit program that ships, as mingw-w64's objdump reads it (no Wine needed): a 32-bit GUI program that imports only
Windows' own DLLs (no libstdc++, libgcc or winpthread DLL) and carries its icon, version and manifest."""
import re
import subprocess
import unittest

from harness import PRODUCT_BUILD

WINDOWS_DLLS = {"advapi32.dll", "comctl32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "shell32.dll", "user32.dll",
                "wininet.dll"}


class Executable(unittest.TestCase):
    def test_32_bit_gui_program_with_windows_dlls_icon_version_and_manifest(self):
        exe = PRODUCT_BUILD / "tulvex.exe"
        dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", exe], capture_output=True, text=True).stdout
        self.assertRegex(dump, r"file format pei-i386[\s\S]*Magic\s+010b[\s\S]*Subsystem\s+00000002\s+\(Windows GUI\)")
        self.assertLessEqual({name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}, WINDOWS_DLLS)
        # The resource tree's types: icon, group icon, version, manifest.
        self.assertEqual(re.findall(r"^\w+   Entry: ID: 0x0000(\w\w),", dump, re.M), ["03", "0e", "10", "18"])
        text = exe.read_bytes().decode("utf-16-le", "replace")
        for name, value in (("CompanyName", "Morvale Soft"), ("ProductName", "Tulvex"), ("FileVersion", "1.15")):
            self.assertRegex(text, f"{name}\0+{value}\0")
        self.assertIn(b'level="asInvoker"', exe.read_bytes())
