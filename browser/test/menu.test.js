// The pages of the menu table as Internet Explorer runs them, in a modern and in the legacy script engine, with the
// browser's own objects (menu arguments, clipboard, WScript.Shell) played by stubs.
'use strict';
const test = require('node:test'), assert = require('node:assert/strict'), { pathToFileURL } = require('node:url');
const fs = require('node:fs'), path = require('node:path'), acorn = require('acorn');
const { ROOT, loadGather, openPage, eachNode } = require('./load.js');

const g = loadGather();
const read = (file) => fs.readFileSync(path.join(ROOT, file), 'utf8');
const PAGES = read('menus.txt').split('\n').filter((l) => l && l.charAt(0) !== '#').map((l) => l.split('\t')[0]);
const RUNS = { 'alltext.htm': ['(tulvex_bit)', 'all'] };  // keyword and way of gathering, where not the page's name
const FOLDER = 'C:\\Program Files\\Tulvex';
const READING = `<title>Чтение</title><p>Текст <a href="files/a.zip">архив</a> <img src="p.png"> <embed src="m.swf">
  </p><pre>Строфа один\n\nСтрофа два\n<b>жирно</b></pre>
  <p>${'Строка статьи, в которой есть запятые и точки. '.repeat(5)}</p>`;

// Runs the menu page `file` on the page `reading`; returns what it did.
async function runMenu(file, reading, { registry = `${FOLDER}\\`, legacy = false } = {}) {
  const did = { clipboard: [], runs: [], alerts: [], folder: null };
  const shell = {
    RegRead(name) {
      assert.equal(name, 'HKEY_USERS\\.DEFAULT\\Software\\MorvaleSoft\\Tulvex_dir');
      return registry ?? assert.fail('Invalid root in registry key');
    },
    SpecialFolders: (name) => (name === 'MyDocuments' ? 'C:\\Users\\ivan\\Documents' : ''),
    set CurrentDirectory(folder) {
      did.folder = folder;
    },
    Run: (...run) => did.runs.push(run),
  };
  const beforeParse = (w) => {
    Object.defineProperty(w, 'external', { value: { menuArguments: reading } });
    w.clipboardData = { setData: (...data) => did.clipboard.push(data) > 0 };
    w.ActiveXObject = function (name) {
      assert.equal(name, 'WScript.Shell');
      return shell;
    };
    w.alert = (text) => did.alerts.push(text);
  };
  const url = pathToFileURL(path.join(ROOT, file)).href;
  await openPage(url, read(file), { runScripts: 'dangerously', legacy, beforeParse });
  return did;
}

test('each menu page puts its text on the clipboard and starts the program, the same in both engines', async () => {
  const reading = await openPage('http://site.test/r.htm', READING);
  for (const file of PAGES) {
    const [keyword, way] = RUNS[file] || [`(tulvex_${file.replace('.htm', '')})`];
    const did = await runMenu(file, reading), text = g.clipboardFor(keyword, reading, null, way);
    assert.ok(text && [...g.keywords].includes(keyword), file);
    assert.deepEqual(did, { clipboard: [['Text', text]], alerts: [], folder: 'C:\\Users\\ivan\\Documents',
      runs: [[`"${FOLDER}\\tulvex.exe" ${keyword}`, 1, false]] }, file);
    assert.deepEqual(await runMenu(file, reading, { legacy: true }), did, `${file} in the legacy engine`);
  }
  // Nothing to take, or no program to start: a message, and the program is not started.
  const bare = await openPage('http://site.test/b.htm', '<a href="#a"><img src="i.gif"></a><p>\ufeff&nbsp;\u200b</p>');
  for (const [file, page, registry, message, copied] of [
    ['bit.htm', bare, FOLDER, /^Tulvex: На странице нет текста\.$/, 0],
    ['loud_links.htm', bare, FOLDER, /^Tulvex: На странице нет ссылок на файлы, которые можно загрузить\.$/, 0],
    ['links.htm', reading, null, /^Tulvex: не удалось запустить программу\. Переустановите Tulvex\.\n/, 1],
  ]) {
    const did = await runMenu(file, page, { registry });
    assert.deepEqual([did.alerts.length, did.clipboard.length, did.runs], [1, copied, []], file);
    assert.match(did.alerts[0], message, file);
  }
});

test('the scripts that Internet Explorer runs are plain ES3 and shun what the legacy engine does its own way', () => {
  const sources = ['tulvex_gather.js', 'tulvex_reader.js', 'tulvex_ie.js'].map(read);
  assert.deepEqual(fs.readdirSync(ROOT).filter((f) => f.endsWith('.htm')).sort(), [...PAGES].sort());
  assert.match(read('bit.htm'), /src="tulvex_gather.js"><\/script>\n<script [^>]*src="tulvex_reader.js">/);
  for (const page of PAGES.map(read)) {
    assert.match(page, /<script type="text\/javascript" charset="utf-8" src="tulvex_gather.js"><\/script>/);
    sources.push(...[...page.matchAll(/<script type="text\/javascript">([^<]*)<\/script>/g)].map((m) => m[1]));
  }
  // There a named function expression also names a second function in the enclosing scope; \s misses Unicode spaces.
  for (const source of sources) {
    eachNode(acorn.parse(source, { ecmaVersion: 3 }), (node) => {
      const named = node.type === 'FunctionExpression' && node.id;
      assert.ok(!named && !/\\[sS]/.test(node.regex?.pattern), `named function expression or \\s at ${node.start}`);
    });
  }
});
