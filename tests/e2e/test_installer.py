"""The setup program (installer/build.sh) in a Wine prefix of its own; the help's menu titles. Needs xvfb-run."""
import os, re, shutil, subprocess, unittest  # noqa: E401
from pathlib import Path

from harness import BUILD, PRODUCT_BUILD, ROOT, WINE_FORM, needs_32_bit_program

PREFIX = Path(os.environ.get("TULVEX_INSTALLER_DIR", "/tmp/tulvex-installer")) / "prefix"
SCRATCH, TARGET, FOLDER = PREFIX / "drive_c/e2e", PREFIX / "drive_c/Program Files/Tulvex", "C:\\Program Files\\Tulvex"
ENV = dict(os.environ, WINEPREFIX=str(PREFIX), WINEARCH="win32", WINEDLLOVERRIDES="mscoree,mshtml=",
           LC_ALL="ru_RU.UTF-8")
GUID, MS, HKLM = "{BFD750B7-AD01-4C3A-89E3-AA318B88E2F3}", "Software\\Microsoft\\", "HKEY_LOCAL_MACHINE\\"
PROGRAM, MENU_KEY = "HKEY_USERS\\.DEFAULT\\Software\\MorvaleSoft", f"HKEY_CURRENT_USER\\{MS}Internet Explorer\\MenuExt"
UNINSTALL = HKLM + MS + "Windows\\CurrentVersion\\Uninstall\\Tulvex"
ELEVATION = f"{HKLM}{MS}Internet Explorer\\Low Rights\\ElevationPolicy\\{GUID}"
# In Wine's server trace, which shows the access list handed to the system (Wine keeps none of a file, only mode bits):
# a result file opened, the list read of it, the list set on it.
ACCESS_SET = re.compile(r'create_file.*\\(tulvex\.(?:htm|txt))"(?:.*\n)*?.*get_security_object\(\).*dacl=\{(.*)\}\}'
                        r'(?:.*\n)*?.*set_security_object.*dacl=\{(.*)\}\}')
SETUP = f"{MS}Active Setup\\Installed Components\\{GUID}"  # of the machine (HKLM) and of each user (HKCU)
MENU = [line.split("\t") for line in (ROOT / "browser/menus.txt").read_text("utf-8").splitlines()
        if line[:1] not in "#"]
OTHERS = {"": {}, "Another add-on": {"": "C:\\other\\menu.htm"}}
ENTRIES = {**OTHERS, **{title: {"": f"{FOLDER}\\browser\\{page}", "Contexts": int(bits, 16)}
                        for page, bits, title in MENU}}


def run(*command_lines, trace=False):
    """Runs Windows command lines (a batch file: OEM code page, '%' doubled), waits for all of Wine; the exit code, or
    with trace Wine's server trace of the run (each request to the server and its reply, a line each)."""
    batch = "".join(f"@{line}\r\n".replace("%", "%%") for line in command_lines)
    (SCRATCH / "run.bat").write_bytes(batch.encode("cp866"))
    env = dict(ENV, WINEDEBUG="+server" if trace else "")
    code = subprocess.run(["wine", "cmd", "/c", "C:\\e2e\\run.bat"], env=env, capture_output=True, timeout=300)
    subprocess.run(["wineserver", "-w"], env=ENV, timeout=300)  # a silent setup goes on in a copy of itself
    return code.stderr.decode(errors="replace") if trace else code.returncode


def export(key):
    """{subkey ('' the key itself): {name ('' the default): value}} of a registry key, or None when missing."""
    if run(f'reg export "{key}" C:\\e2e\\export.reg /y'):
        return None
    text = (SCRATCH / "export.reg").read_bytes().decode("utf-16").replace("\\\r\n  ", "")
    return {name[len(key) + 1:]: {m[0]: int(m[1], 16) if m[1] else m[2].replace('\\"', '"').replace("\\\\", "\\")
                                  for m in re.findall(r'^@?"?(.*?)"?=(?:dword:(\w+)|"(.*)")\r?$', values, re.M)}
            for name, values in re.findall(r"^\[(.*)\]\r\n((?:[^\r].*\n)*)", text, re.M)}


def setUpModule():
    if WINE_FORM == "win64":
        return  # the setup program is a 32-bit one: its test is skipped
    subprocess.run(["wineserver", "-k"], env=ENV, capture_output=True, timeout=60)
    shutil.rmtree(PREFIX, ignore_errors=True)
    shutil.copytree(BUILD / "helpers", SCRATCH)
    subprocess.run([ROOT / "installer/build.sh", PRODUCT_BUILD / "tulvex.exe", SCRATCH / "tulvex-setup.exe"], check=True)
    subprocess.run(["wine", "wineboot", "-i"], env=ENV, capture_output=True, timeout=300)
    (PREFIX / "drive_c/windows/system32/icacls.exe").unlink()  # as on Windows XP


class Setup(unittest.TestCase):
    def test_help_names_exactly_the_menu_titles(self):
        """Each "Tulvex: <title>" of the help is whole, in «» or an element of its own, and one of the table's."""
        pages = b"".join(p.read_bytes() for p in ROOT.glob("install_folder/help/*.htm"))
        text = " ".join(pages.decode("cp1251").split())
        named = re.findall(r"[«>](Tulvex: [^\W\d_][^«»<>]*)[»<]", text)
        self.assertEqual(len(named), len(re.findall(r"Tulvex: [^\W\d_]", text)))
        self.assertEqual(sorted(set(named)), sorted(title for _, _, title in MENU))

    def test_install_every_users_menu_and_uninstall(self):
        needs_32_bit_program("the setup program and tulvex_menu.exe are 32-bit NSIS programs")
        other = f'reg add "{MENU_KEY}\\Another add-on" /ve /d C:\\other\\menu.htm /f'
        trace = run(other, "C:\\e2e\\tulvex-setup.exe /S", trace=True)
        tree = lambda root: {p.relative_to(root).as_posix(): p.is_file() and p.read_bytes() for p in root.rglob("*")}
        expected = {**tree(ROOT / "install_folder"), "tulvex.exe": (PRODUCT_BUILD / "tulvex.exe").read_bytes(),
                    "tulvex.htm": b"", "tulvex.txt": b"", "browser": False, "uninstall.exe": None,
                    **{"browser/" + name: (ROOT / "browser" / name).read_bytes() for name in
                       ["tulvex_gather.js", "tulvex_reader.js", "tulvex_ie.js"] + [page for page, _, _ in MENU]}}
        installed = tree(TARGET)
        self.assertIn(b'level="asInvoker"', installed.pop("tulvex_menu.exe"))  # runs with a standard user's rights
        self.assertEqual({**installed, "uninstall.exe": None}, expected)  # the uninstaller as is
        self.assertEqual([export(UNINSTALL)[""]["QuietUninstallString"], export(PROGRAM), export(ELEVATION),
                          export(MENU_KEY)], [f'"{FOLDER}\\uninstall.exe" /S', {"": {"Tulvex_dir": FOLDER}},
                                              {"": {"AppName": "tulvex.exe", "AppPath": FOLDER, "Policy": 3}}, ENTRIES])
        shutil.copy(SCRATCH / "export.reg", SCRATCH / "entries.reg")
        # Ordinary users (by SID) may modify the two result files: an entry put before those each file had.
        users = "{type=ACCESS_ALLOWED,flags=0,mask=1301bf,sid=S-1-5-32-545}"
        self.assertEqual([(name, put.startswith(f"{users},{read}")) for name, read, put in ACCESS_SET.findall(trace)],
                         [("tulvex.htm", True), ("tulvex.txt", True)])
        # Active Setup: done for the installing account; at logon a user without the entries gets them all.
        added, own = export(HKLM + SETUP)[""], export("HKEY_CURRENT_USER\\" + SETUP)[""]
        self.assertEqual([added["StubPath"], added["IsInstalled"], own],
                         [f'"{FOLDER}\\tulvex_menu.exe"', 1, {"Version": added["Version"]}])
        deletions = [f'reg delete "{MENU_KEY}\\{title}" /f' for _, _, title in MENU]
        self.assertEqual(run(*deletions, f'reg query "{MENU_KEY}\\{MENU[-1][2]}"'), 1)
        run(added["StubPath"])
        self.assertEqual(export(MENU_KEY), ENTRIES)

        # Uninstall leaves what is not its own alone; an account that still has the entries loses them at logon.
        run(f'copy C:\\e2e\\standin.exe "{FOLDER}\\other.exe"', f"reg add {PROGRAM} /v Other /d x /f",
            f'"{FOLDER}\\uninstall.exe" /S')
        self.assertEqual(tree(TARGET).keys(), {"other.exe"})
        self.assertEqual([export(key) for key in (PROGRAM, UNINSTALL, ELEVATION, MENU_KEY)],
                         [{"": {"Other": "x"}}, None, None, OTHERS])
        removal = export(HKLM + SETUP)[""]
        self.assertLess(*([int(n) for n in v["Version"].split(",")] for v in (added, removal)))
        run("reg import C:\\e2e\\entries.reg", removal["StubPath"])
        self.assertEqual(export(MENU_KEY), OTHERS)
