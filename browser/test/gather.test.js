// The gathering functions of the browser half over sample pages in jsdom, in the legacy engine's realm: what each
// menu entry would put on the clipboard.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { JSDOM } = require('jsdom');
const { loadGather, openPage } = require('./load.js');

const g = loadGather();
const UNLOADED = 'Не показано: файл с диска или из сетевой папки.';
const entry = (n, body) => `<p style="word-wrap:break-word">${n}. ${body}</p>\n`;
const link = (address) => `<a href="${address}">${address}</a>`;
const entries = (rows) => rows.map(([title, body], i) => entry(i + 1, (title && `${title}<br>`) + body)).join('');
const head = (heading, count, title, address) => `<h3>${heading}: ${count}</h3>\n<p style="word-wrap:break-word">` +
  (title ? `<b>${title}</b><br>` : '') + `${link(address)}</p>\n<hr size=1>\n`;

test('links page: numbered, absolute, once each, escaped, only followable links', async () => {
  const win = await openPage('http://site.test/docs/index.htm', `<title>Статьи &amp; "заметки"</title><p>
    <a href="intro.htm">Введение</a> и <a href="../about.htm" title="О нас"><img src="logo.png" alt="Логотип"></a>
    <a href="intro.htm">Введение ещё раз</a> <a href="#top">наверх</a> <a href="index.htm#part2">часть 2</a>
    <a href="other.htm#part2">другая</a> <a href="javascript:alert(1)">скрипт</a> <a href="mailto:ivan@site.test">почта</a>
    <a href="http://x.test/q?a=1&amp;b=2">a &lt;b&gt; &amp;\n c</a> <a href="http://x.test/Путь/ф.zip">ф    с   пробелами</a>
    <a href="http://x.test/pic"><img src="a.png"></a> <a name="top">якорь</a><map><area href="map.htm" alt="Карта"></map>`);
  assert.equal(g.linksFragment(win.document), head('Ссылки страницы', 8, 'Статьи &amp; &quot;заметки&quot;',
    'http://site.test/docs/index.htm') + entries([['Введение', 'http://site.test/docs/intro.htm'],
    ['Логотип', 'http://site.test/about.htm'], ['другая', 'http://site.test/docs/other.htm#part2'],
    ['почта', 'mailto:ivan@site.test'], ['a &lt;b&gt; &amp; c', 'http://x.test/q?a=1&amp;b=2'],
    ['ф с пробелами', 'http://x.test/%D0%9F%D1%83%D1%82%D1%8C/%D1%84.zip'], ['', 'http://x.test/pic'],
    ['Карта', 'http://site.test/docs/map.htm']].map(([title, address]) => [title, link(address)])));
});

test('frames: the top page and every frame the browser lets the script read, in order', async () => {
  const win = await openPage('http://site.test/frames.htm', `<title>Рамки</title><frameset cols="20%,30%,*">
    <frame src="menu.htm"><frame src="http://other.test/ad.htm"><frame src="main.htm"></frameset>`, { pages: {
    'http://site.test/menu.htm': '<a href="a.zip">A</a> <a href="main.htm">главная</a>',
    'http://other.test/ad.htm': '<a href="http://other.test/ad.zip">реклама</a>',
    'http://site.test/main.htm': '<title>Главная</title><p>Текст главной.</p><a href="b.zip">B</a>' +
      '<iframe src="sub/inner.htm"></iframe><a href="a.zip#x">A ещё раз</a>',
    'http://site.test/sub/inner.htm': '<a href="../c.zip">C</a> <a href="d.zip">D</a>' }, denied: ['http://other.test/ad.htm'] });
  assert.equal(g.linkList(win.document), ['http://site.test/a.zip', 'http://site.test/main.htm', 'http://site.test/b.zip',
    'http://site.test/c.zip', 'http://site.test/sub/d.zip'].join('\r\n'));
  // Lists always come from the whole page, source and text from the frame clicked.
  const main = win.frames[2];
  assert.match(g.clipboardFor('(tulvex_links)', main, null), /^<h3>Ссылки страницы: 6<\/h3>\n.*<b>Рамки<\/b>/);
  assert.equal(g.clipboardFor('(tulvex_bit)', main, null), 'Текст главной.\r\n\r\nB A ещё раз');
  assert.equal(g.clipboardFor('(tulvex_html)', main, null), g.source(main.document));
});

test('save all links: fetchable addresses once each, nothing that would stop the download list', async () => {
  const long = `http://x.test/${'d'.repeat(490)}/file.zip`;  // 513 characters
  const win = await openPage('http://site.test/docs/list.htm#here', `<a href="one.zip">1</a> <a href="one.zip#part">1</a>
    <a href="http://x.test/">site root</a> <a href="folder/">folder</a> <a href="http://x.test/a.b">short</a> <a href="${long}">long</a>
    <a href="ftp://ftp.test/pub/two.tar.gz">ftp</a> <a href="mailto:a@b.test">mail</a> <a href="javascript:void(0)">js</a>
    <a href="#top">top</a> <a href="list.htm#bottom">bottom</a> <a href="https://s.test/get.php?id=5">query</a>
    <a href="Файл №1.pdf">cyrillic</a> <a href="one.zip">1 once more</a>`);
  assert.equal(g.linkList(win.document), ['http://site.test/docs/one.zip', 'ftp://ftp.test/pub/two.tar.gz',
    'https://s.test/get.php?id=5', 'http://site.test/docs/%D0%A4%D0%B0%D0%B9%D0%BB%20%E2%84%961.pdf'].join('\r\n'));
});

test('pictures and Flash pages: each shown within the cell or listed with its size; from a file, as text', async () => {
  const win = await openPage('http://site.test/gallery/p.htm', `<title>Галерея</title>
    <img src="one.jpg" alt="Первая <и> &amp; лучшая" width="300" height="200"> <img src="one.jpg" alt="та же">
    <a href="big/two.jpg"><img src="two_small.jpg" width="1200" height="900" title="Вторая"></a> <img>
    <img src="data:image/gif;base64,R0lGOD"> <a href="javascript:zoom()"><img src="http://cdn.test/3.gif"></a>
    <img src="file:///C:/x.png" alt="диск"> <object classid="clsid:D27CDB6E-AE6D-11cf-96B8-444553540000" width="550" height="400">
    <param name="movie" value="films/intro.swf?x=1"><embed src="films/intro.swf?x=1" type="application/x-shockwave-flash">
    </object> <embed src="http://media.test/song.mp3"> <object data="clip.avi"></object> <embed src="game.SWF">
    <object type="application/x-shockwave-flash" data="/banner.swf" width="468" height="60"></object>
    <embed src="file://server/share/f.swf" width="1" height="2">`);
  const picture = (address, size, alt) =>
    `<a href="${address}"><img src="${address}"${size} border=0 alt="${alt}"></a><br>${link(address)}`;
  const first = 'Первая &lt;и&gt; &amp; лучшая', address = 'http://site.test/gallery/p.htm';
  assert.equal(g.picturesFragment(win.document), head('Картинки страницы', 4, 'Галерея', address) + entries([
    [first, picture('http://site.test/gallery/one.jpg', ' width=300 height=200', first)],
    ['Вторая', picture('http://site.test/gallery/two_small.jpg', ' width=600 height=450', 'Вторая') +
      `<br>Ссылка: ${link('http://site.test/gallery/big/two.jpg')}`],
    ['', picture('http://cdn.test/3.gif', '', '')], ['диск', `file:///C:/x.png<br>${UNLOADED}`]]));
  assert.equal(g.flashFragment(win.document), head('Flash-ролики страницы', 4, 'Галерея', address) + entries([
    ['', `${link('http://site.test/gallery/films/intro.swf?x=1')}<br>Размер: 550 x 400`],
    ['', link('http://site.test/gallery/game.SWF')], ['', `${link('http://site.test/banner.swf')}<br>Размер: 468 x 60`],
    ['', `file://server/share/f.swf<br>${UNLOADED}<br>Размер: 1 x 2`]]));
});

test('result pages load pictures and Flash only from the web; files and shares are listed as text', async () => {
  for (const [url, raw] of [  // the page's address, the object's address as the page writes it
    ['http://site.test/p.htm', '\\\\server\\share\\a'], ['http://site.test/p.htm', 'file://server/share/b'],
    ['http://site.test/p.htm', '/\\server/c'], ['http://site.test/p.htm', ' \\/server/d'],
    ['file:///C:/saved/p.htm', '//server/share/e'], ['file:///C:/saved/p.htm', 'f']]) {
    const win = await openPage(url, `<img src="${raw}.png"><embed src="${raw}.swf"><img src="ftp://x.test/1.png">`);
    for (const fragment of [g.picturesFragment(win.document), g.flashFragment(win.document)]) {
      assert.ok(fragment.includes(UNLOADED), raw);
      for (const e of new JSDOM(fragment).window.document.querySelectorAll('[src], [data], [background]')) {
        assert.equal(e.getAttribute('src'), 'ftp://x.test/1.png', raw);
      }
    }
  }
});

test('whole text: blocks on lines, paragraphs apart, starting with text, "\\r\\n" line ends', async () => {
  const cases = [
    ['blocks, paragraphs, lines', `<h1>Заголовок</h1> <p>Первый   абзац,\n в две строки.</p> <p>Второй<br>с переносом</p>
      <script>var x = "<p>скрипт</p>";</script><style>p { color: red }</style> <div>Блок <b>жирный</b> <span>текст</span></div>
      <div hidden>скрыто</div><div style="display:none">тоже</div> <ul><li>один</li><li>два</li></ul> <pre>  код\n    отступ</pre>
      <table><tr><td>А</td><td>Б</td></tr><tr><td>В</td><td>Г</td></tr></table> текст после&nbsp;таблицы`,
    ['Заголовок', '', 'Первый абзац, в две строки.', '', 'Второй', 'с переносом', '', 'Блок жирный текст', '',
      'один', 'два', '', '  код', '    отступ', '', 'А Б', 'В Г', '', 'текст после\u00a0таблицы']],
    ['preformatted empty lines', '<pre>Строфа один\n\nСтрофа два\r\n<b>жирно</b></pre>', ['Строфа один', '', 'Строфа два', 'жирно']],
    ['nothing before the first text', '<br><br>&nbsp;<br><p> &nbsp;</p><div>\ufeff\u200b</div><pre>\n \u3000\n</pre>' +
      '<h1>\u00a0\ufeffЗаголовок&nbsp;</h1>', ['Заголовок']],
    ['invisible characters, Unicode spaces', '<p>Сло\u00adво\u200b \u2009тонкий\u2002пробел\u3000и\u202fузкий' +
      '\u205f\u200aтоже;\u200e А.\u00a0С.\u00a0Пушкин\u2060\ufeff</p>', ['Слово тонкий пробел и узкий тоже; А.\u00a0С.\u00a0Пушкин']],
  ];
  for (const [name, html, lines] of cases) {
    assert.equal(g.text((await openPage('http://site.test/t.htm', `<body>${html}</body>`)).document), lines.join('\r\n'), name);
  }
});

test('source, re-open and plain text: the doctype and the HTML; the link under the mouse; no NUL; no unknown keyword', async () => {
  const win = await openPage('http://site.test/docs/r.htm', `<!DOCTYPE html><title>И</title><a href="x y.htm"><b id="in">
    link</b></a><a href="javascript:go()"><i id="js">script</i></a> <span id="plain">text</span>`);
  win.document.body.appendChild(win.document.createTextNode('a\r\nb\rc\u0000d'));
  assert.match(g.source(win.document), /^<!DOCTYPE html>\n<html><head><title>И<\/title>.*<\/span>a\nb\nc\u0000d<\/body><\/html>$/s);
  assert.match(g.clipboardFor('(tulvex_bit)', win, null), / texta b cd$/);
  for (const [id, expected] of [['in', 'x%20y.htm'], ['js', 'r.htm'], ['plain', 'r.htm'], [null, 'r.htm']]) {
    assert.equal(g.clipboardFor('(tulvex_showi)', win, id && win.document.getElementById(id)), `http://site.test/docs/${expected}`);
  }
  assert.throws(() => g.clipboardFor('(tulvex_LINKS)', win, null), /unknown keyword/);
});

test('HTML text and addresses survive the Windows-1251 clipboard: references, escapes, one ASCII word', () => {
  const cases = [[g.html, '<a href="x">\'&\'</a>', '&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;'],
    [g.html, 'Ёж № 5 — «да»…', 'Ёж № 5 — «да»…'], [g.html, '日本 😀 é', '&#26085;&#26412; &#128512; &#233;'],
    [g.html, 'a\u0000b\ud800c', 'a&#65533;b&#65533;c'], [g.address, 'http://a.test/x\r\ny\tz', 'http://a.test/x%0D%0Ay%09z'],
    [g.address, 'http://хост.рф/путь ф?q=а#я', 'http://хост.рф/%D0%BF%D1%83%D1%82%D1%8C%20%D1%84?q=%D0%B0#%D1%8F'],
    [g.address, 'http://a.test/😀\ud800', 'http://a.test/%F0%9F%98%80%EF%BF%BD']];
  for (const [convert, input, expected] of cases) assert.equal(convert(input), expected, input);
  // What Windows-1251 can hold, against the platform's decoder (0x98 has no character in Windows' own table).
  const held = new Set(new TextDecoder('windows-1251').decode(Uint8Array.from({ length: 256 }, (_, i) => i)).replace('\u0098', ''));
  for (let code = 0; code < 0xD800; code++) assert.equal(g.inCp1251(code), held.has(String.fromCharCode(code)), `U+${code}`);
});
