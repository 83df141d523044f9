// The context-menu pages as Internet Explorer runs them, with the browser's
// own objects (menu arguments, clipboard, WScript.Shell) played by stubs.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const acorn = require('acorn');
const { ROOT, loadGather, openPage } = require('./load.js');

const g = loadGather();
const KEYWORDS = ['links', 'img', 'swf', 'html', 'bit', 'showi', 'loud_links'];
const FOLDER = 'C:\\Program Files\\Tulvex';
const READING = `<title>Чтение</title><p>Текст <a href="files/a.zip">архив</a>
  <img src="p.png"> <embed src="m.swf"></p>`;

// Runs the menu page of `keyword` on the page `reading`; returns what it did.
async function runMenu(keyword, reading, registry = FOLDER + '\\') {
  const did = { clipboard: [], runs: [], alerts: [], folder: null };
  const shell = {
    RegRead(name) {
      assert.equal(name, 'HKEY_USERS\\.DEFAULT\\Software\\MorvaleSoft\\Tulvex_dir');
      if (registry === null) throw new Error('Invalid root in registry key');
      return registry;
    },
    SpecialFolders: (name) => (name === 'MyDocuments' ? 'C:\\Users\\ivan\\Documents' : ''),
    set CurrentDirectory(folder) { did.folder = folder; },
    Run(command, show, wait) { did.runs.push([command, show, wait]); },
  };
  const file = path.join(ROOT, `${keyword}.htm`);
  await openPage(pathToFileURL(file).href, fs.readFileSync(file, 'utf8'), {
    runScripts: 'dangerously',
    beforeParse(window) {
      Object.defineProperty(window, 'external', { value: { menuArguments: reading } });
      window.clipboardData = { setData(format, text) { did.clipboard.push([format, text]); return true; } };
      window.ActiveXObject = function (name) { assert.equal(name, 'WScript.Shell'); return shell; };
      window.alert = (text) => did.alerts.push(text);
    },
  });
  return did;
}

test('each menu page puts its text on the clipboard and starts the program with its keyword', async () => {
  const reading = await openPage('http://site.test/r.htm', READING);
  for (const keyword of KEYWORDS) {
    const did = await runMenu(keyword, reading);
    const text = g.clipboardFor(`(tulvex_${keyword})`, reading, null);
    assert.ok(text.length > 0, keyword);
    assert.deepEqual(did, { clipboard: [['Text', text]], alerts: [], folder: 'C:\\Users\\ivan\\Documents',
      runs: [[`"${FOLDER}\\tulvex.exe" (tulvex_${keyword})`, 1, false]] }, keyword);
  }
});

test('nothing to take, or no program to start: a message, and the program is not started', async () => {
  const bare = await openPage('http://site.test/bare.htm', '<a href="#top"><img src="up.gif"></a>');
  const reading = await openPage('http://site.test/r.htm', READING);
  const cases = [
    ['loud_links', bare, FOLDER, /^Tulvex: На странице нет ссылок на файлы, которые можно загрузить\.$/, 0],
    ['bit', bare, FOLDER, /^Tulvex: На странице нет текста\.$/, 0],
    ['links', reading, null, /^Tulvex: не удалось запустить программу\. Переустановите Tulvex\.\n/, 1],
  ];
  for (const [keyword, page, registry, message, copied] of cases) {
    const did = await runMenu(keyword, page, registry);
    assert.equal(did.alerts.length, 1, keyword);
    assert.match(did.alerts[0], message, keyword);
    assert.equal(did.clipboard.length, copied, keyword);
    assert.deepEqual(did.runs, [], keyword);
  }
});

test('the scripts that Internet Explorer runs are plain ES3', () => {
  const sources = ['tulvex_gather.js', 'tulvex_ie.js'].map((f) => fs.readFileSync(path.join(ROOT, f), 'utf8'));
  for (const keyword of KEYWORDS) {
    const page = fs.readFileSync(path.join(ROOT, `${keyword}.htm`), 'utf8');
    assert.match(page, /<script type="text\/javascript" charset="utf-8" src="tulvex_gather.js"><\/script>/);
    sources.push(...[...page.matchAll(/<script type="text\/javascript">([^<]*)<\/script>/g)].map((m) => m[1]));
  }
  for (const source of sources) acorn.parse(source, { ecmaVersion: 3 });
});
