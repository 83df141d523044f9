/*
 * Tulvex, browser half: the part that only Internet Explorer runs. A menu
 * page calls tulvexMenuRun with its keyword; the page the user reads is
 * external.menuArguments. The text goes to the clipboard as "Text", which
 * Windows also offers as CF_TEXT in the system code page (Windows-1251 on
 * a Russian Windows), and tulvex.exe is started from the folder that the
 * installer wrote into the registry. Same script rules as tulvex_gather.js.
 */

var TULVEX_DIR_VALUE = "HKEY_USERS\\.DEFAULT\\Software\\MorvaleSoft\\Tulvex_dir";

function tulvexErrorText(e) {
    return e && (e.message || e.description) ? (e.message || e.description) : String(e);
}

/* way: how the text is gathered where a keyword has more than one (tulvexClipboardFor). */
function tulvexMenuRun(keyword, way) {
    var win = external.menuArguments, element = null, text, shell, folder;
    try {
        element = win.event ? win.event.srcElement : null;
    } catch (e) {
        element = null;
    }
    try {
        text = tulvexClipboardFor(keyword, win, element, way);
    } catch (e) {
        alert("Tulvex: не удалось прочитать страницу.\n" + tulvexErrorText(e));
        return;
    }
    // An empty text would leave the clipboard as it was, and the program
    // would act on whatever it held before.
    if (text === "") {
        alert("Tulvex: " + tulvexNothingMessage(keyword));
        return;
    }
    if (window.clipboardData.setData("Text", text) === false) {
        alert("Tulvex: не удалось положить данные в буфер обмена.");
        return;
    }
    try {
        shell = new ActiveXObject("WScript.Shell");
        folder = String(shell.RegRead(TULVEX_DIR_VALUE)).replace(/\\+$/, "");
        // Downloads go to the current folder: make it the user's documents,
        // not whatever folder the browser happens to run in.
        try {
            shell.CurrentDirectory = shell.SpecialFolders("MyDocuments");
        } catch (e) {
            // keep the browser's folder
        }
        shell.Run("\"" + folder + "\\tulvex.exe\" " + keyword, 1, false);
    } catch (e) {
        alert("Tulvex: не удалось запустить программу. Переустановите Tulvex.\n" + tulvexErrorText(e));
    }
}
