// The gathering and formatting functions of the browser half, over sample
// pages in jsdom, in the legacy engine's realm: what each menu entry would
// put on the clipboard.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { JSDOM } = require('jsdom');
const { loadGather, openPage } = require('./load.js');

const g = loadGather();

const HEAD_END = '<hr size=1>\n';
const UNLOADED = 'Не показано: файл с диска или из сетевой папки.';
const entry = (n, body) => `<p style="word-wrap:break-word">${n}. ${body}</p>\n`;
const link = (address) => `<a href="${address}">${address}</a>`;
const head = (heading, count, title, address) =>
  `<h3>${heading}: ${count}</h3>\n<p style="word-wrap:break-word">` +
  (title ? `<b>${title}</b><br>` : '') + `${link(address)}</p>\n${HEAD_END}`;

const LINKS_PAGE = `<html><head><title>Статьи &amp; "заметки"</title></head><body>
<p><a href="intro.htm">Введение</a> и <a href="../about.htm" title="О нас"><img src="logo.png" alt="Логотип"></a>
<a href="intro.htm">Введение ещё раз</a>
<a href="#top">наверх</a> <a href="index.htm#part2">часть 2</a> <a href="other.htm#part2">другая</a>
<a href="javascript:alert(1)">скрипт</a> <a href="mailto:ivan@site.test">почта</a>
<a href="http://x.test/q?a=1&amp;b=2">a &lt;b&gt; &amp;
   c</a>
<a href="http://x.test/Путь/файл.zip">файл    с   пробелами</a>
<a href="http://x.test/pic"><img src="a.png"></a>
<a name="top">якорь</a>
<map><area href="map.htm" alt="Карта"></map></p>
</body></html>`;

test('links page: numbered, absolute, once each, escaped, only followable links', async () => {
  const win = await openPage('http://site.test/docs/index.htm', LINKS_PAGE);
  assert.equal(g.linksFragment(win.document),
    head('Ссылки страницы', 8, 'Статьи &amp; &quot;заметки&quot;', 'http://site.test/docs/index.htm') +
    entry(1, 'Введение<br>' + link('http://site.test/docs/intro.htm')) +
    entry(2, 'Логотип<br>' + link('http://site.test/about.htm')) +
    entry(3, 'другая<br>' + link('http://site.test/docs/other.htm#part2')) +
    entry(4, 'почта<br>' + link('mailto:ivan@site.test')) +
    entry(5, 'a &lt;b&gt; &amp; c<br>' + link('http://x.test/q?a=1&amp;b=2')) +
    entry(6, 'файл с пробелами<br>' +
      link('http://x.test/%D0%9F%D1%83%D1%82%D1%8C/%D1%84%D0%B0%D0%B9%D0%BB.zip')) +
    entry(7, link('http://x.test/pic')) +
    entry(8, 'Карта<br>' + link('http://site.test/docs/map.htm')));
});

const FRAMESET = `<html><head><title>Рамки</title></head><frameset cols="20%,30%,*">
<frame src="menu.htm"><frame src="http://other.test/ad.htm"><frame src="main.htm"></frameset></html>`;
const FRAME_PAGES = {
  'http://site.test/menu.htm': '<a href="a.zip">A</a> <a href="main.htm">главная</a>',
  'http://other.test/ad.htm': '<a href="http://other.test/ad.zip">реклама</a>',
  'http://site.test/main.htm': '<title>Главная</title><p>Текст главной.</p><a href="b.zip">B</a>' +
    '<iframe src="sub/inner.htm"></iframe><a href="a.zip#x">A ещё раз</a>',
  'http://site.test/sub/inner.htm': '<a href="../c.zip">C</a> <a href="d.zip">D</a>',
};
const openFrames = () => openPage('http://site.test/frames.htm', FRAMESET,
  { pages: FRAME_PAGES, denied: ['http://other.test/ad.htm'] });

test('frames: the top page and every frame the browser lets the script read, in order', async () => {
  const win = await openFrames();
  assert.equal(g.linkList(win.document), [
    'http://site.test/a.zip', 'http://site.test/main.htm', 'http://site.test/b.zip',
    'http://site.test/c.zip', 'http://site.test/sub/d.zip'].join('\r\n'));
  // Lists always come from the whole page, source and text from the frame clicked.
  const main = win.frames[2];
  assert.equal(g.clipboardFor('(tulvex_links)', main, null), g.linksFragment(win.document));
  assert.match(g.clipboardFor('(tulvex_links)', main, null), /^<h3>Ссылки страницы: 6<\/h3>\n.*<b>Рамки<\/b>/);
  assert.equal(g.clipboardFor('(tulvex_bit)', main, null), 'Текст главной.\r\n\r\nB A ещё раз');
  assert.equal(g.clipboardFor('(tulvex_html)', main, null), g.source(main.document));
});

test('save all links: fetchable addresses once each, nothing that would stop the download list', async () => {
  const long = 'http://x.test/' + 'd'.repeat(490) + '/file.zip';  // 513 characters
  const win = await openPage('http://site.test/docs/list.htm#here', `<body>
    <a href="one.zip">1</a> <a href="one.zip#part">1 again</a> <a href="http://x.test/">site root</a>
    <a href="folder/">folder</a> <a href="http://x.test/a.b">short name</a> <a href="${long}">long</a>
    <a href="ftp://ftp.test/pub/two.tar.gz">ftp</a> <a href="mailto:a@b.test">mail</a>
    <a href="javascript:void(0)">js</a> <a href="#top">top</a> <a href="list.htm#bottom">bottom</a>
    <a href="https://s.test/get.php?id=5">query</a> <a href="Файл №1.pdf">cyrillic</a>
    <a href="one.zip">1 once more</a></body>`);
  assert.equal(g.linkList(win.document), [
    'http://site.test/docs/one.zip', 'ftp://ftp.test/pub/two.tar.gz', 'https://s.test/get.php?id=5',
    'http://site.test/docs/%D0%A4%D0%B0%D0%B9%D0%BB%20%E2%84%961.pdf'].join('\r\n'));
});

test('pictures page: each picture shown within the cell, with its address and its link', async () => {
  const win = await openPage('http://site.test/gallery/p.htm', `<title>Галерея</title>
    <img src="one.jpg" alt="Первая <и> &amp; лучшая" width="300" height="200">
    <a href="big/two.jpg"><img src="two_small.jpg" width="1200" height="900" title="Вторая"></a>
    <img src="one.jpg" alt="та же"> <img src="data:image/gif;base64,R0lGOD"> <img>
    <a href="javascript:zoom()"><img src="http://cdn.test/3.gif"></a> <img src="file:///C:/x.png" alt="диск">`);
  const picture = (address, size, alt) =>
    `<a href="${address}"><img src="${address}"${size} border=0 alt="${alt}"></a><br>${link(address)}`;
  assert.equal(g.picturesFragment(win.document),
    head('Картинки страницы', 4, 'Галерея', 'http://site.test/gallery/p.htm') +
    entry(1, 'Первая &lt;и&gt; &amp; лучшая<br>' + picture('http://site.test/gallery/one.jpg',
      ' width=300 height=200', 'Первая &lt;и&gt; &amp; лучшая')) +
    entry(2, 'Вторая<br>' + picture('http://site.test/gallery/two_small.jpg', ' width=600 height=450', 'Вторая') +
      '<br>Ссылка: ' + link('http://site.test/gallery/big/two.jpg')) +
    entry(3, picture('http://cdn.test/3.gif', '', '')) +
    entry(4, 'диск<br>file:///C:/x.png<br>' + UNLOADED));
});

test('Flash page: objects and embeds, once each, with their sizes', async () => {
  const win = await openPage('http://site.test/play/f.htm', `
    <object classid="clsid:D27CDB6E-AE6D-11cf-96B8-444553540000" width="550" height="400">
      <param name="movie" value="films/intro.swf?x=1">
      <embed src="films/intro.swf?x=1" type="application/x-shockwave-flash" width="550" height="400"></object>
    <embed src="http://media.test/song.mp3"> <object data="clip.avi"></object>
    <object type="application/x-shockwave-flash" data="/banner.swf" width="468" height="60"></object>
    <embed src="game.SWF"> <embed src="file://server/share/f.swf" width="1" height="2">`);
  assert.equal(g.flashFragment(win.document),
    head('Flash-ролики страницы', 4, '', 'http://site.test/play/f.htm') +
    entry(1, link('http://site.test/play/films/intro.swf?x=1') + '<br>Размер: 550 x 400') +
    entry(2, link('http://site.test/banner.swf') + '<br>Размер: 468 x 60') +
    entry(3, link('http://site.test/play/game.SWF')) +
    entry(4, 'file://server/share/f.swf<br>' + UNLOADED + '<br>Размер: 1 x 2'));
});

test('result pages load pictures and Flash only from the web; files and shares are listed as text', async () => {
  const cases = [  // the page's address, the object's address as the page writes it
    ['http://site.test/p.htm', '\\\\server\\share\\a'], ['http://site.test/p.htm', 'file://server/share/b'],
    ['http://site.test/p.htm', '/\\server/c'], ['http://site.test/p.htm', ' \\/server/d'],
    ['file:///C:/saved/p.htm', '//server/share/e'], ['file:///C:/saved/p.htm', 'f']];
  for (const [url, raw] of cases) {
    const win = await openPage(url, `<img src="${raw}.png"><embed src="${raw}.swf"><img src="ftp://x.test/1.png">`);
    for (const fragment of [g.picturesFragment(win.document), g.flashFragment(win.document)]) {
      assert.ok(fragment.includes(UNLOADED), raw);
      for (const e of new JSDOM(fragment).window.document.querySelectorAll('[src], [data], [background]')) {
        assert.match(e.getAttribute('src') || '', /^ftp:\/\/x\.test\/1\.png$/, raw);
      }
    }
  }
});

test('a page without links, pictures or Flash says so', async () => {
  const win = await openPage('http://site.test/empty.htm', '<p>Просто текст.</p><a name="x">якорь</a>');
  const none = (heading, what) => head(heading, 0, '', 'http://site.test/empty.htm') + `<p>На странице нет ${what}.</p>\n`;
  assert.equal(g.linksFragment(win.document), none('Ссылки страницы', 'ссылок'));
  assert.equal(g.picturesFragment(win.document), none('Картинки страницы', 'картинок'));
  assert.equal(g.flashFragment(win.document), none('Flash-ролики страницы', 'Flash-роликов'));
  assert.equal(g.linkList(win.document), '');
});

test('readable text: blocks on lines, paragraphs apart, starting with text, "\\r\\n" line ends', async () => {
  const cases = [
    ['blocks, paragraphs, lines', `<h1>Заголовок</h1> <p>Первый   абзац,
      в две строки.</p> <p>Второй<br>с переносом</p>
      <script>var x = "<p>скрипт</p>";</script><style>p { color: red }</style>
      <div>Блок <b>жирный</b> <span>текст</span></div> <div hidden>скрыто</div><div style="display:none">тоже</div>
      <ul><li>один</li><li>два</li></ul> <pre>  код\n    отступ</pre>
      <table><tr><td>А</td><td>Б</td></tr><tr><td>В</td><td>Г</td></tr></table> текст после&nbsp;таблицы`,
    ['Заголовок', '', 'Первый абзац, в две строки.', '', 'Второй', 'с переносом', '', 'Блок жирный текст', '',
      'один', 'два', '', '  код', '    отступ', '', 'А Б', 'В Г', '', 'текст после\u00a0таблицы']],
    ['preformatted empty lines', '<pre>Строфа один\n\nСтрофа два\r\n<b>жирно</b></pre>',
      ['Строфа один', '', 'Строфа два', 'жирно']],
    ['nothing before the first text', '<br><br>&nbsp;<br><p> &nbsp;</p><div>\ufeff\u200b</div><pre>\n \u3000\n</pre>' +
      '<h1>\u00a0\ufeffЗаголовок&nbsp;</h1>', ['Заголовок']],
    ['invisible characters, Unicode spaces', '<p>Сло\u00adво\u200b \u2009тонкий\u2002пробел\u3000и\u202fузкий' +
      '\u205f\u200aтоже;\u200e А.\u00a0С.\u00a0Пушкин\u2060\ufeff</p>',
      ['Слово тонкий пробел и узкий тоже; А.\u00a0С.\u00a0Пушкин']],
  ];
  for (const [name, html, lines] of cases) {
    const win = await openPage('http://site.test/t.htm', `<body>${html}</body>`);
    assert.equal(g.text(win.document), lines.join('\r\n'), name);
  }
});

test('source: the document type and the HTML, line ends as "\\n"', async () => {
  const win = await openPage('http://site.test/s.htm',
    '<!DOCTYPE html><html><head><title>И</title></head><body><p>x</p></body></html>');
  win.document.body.appendChild(win.document.createTextNode('a\r\nb\rc'));
  assert.equal(g.source(win.document),
    '<!DOCTYPE html>\n<html><head><title>И</title></head><body><p>x</p>a\nb\nc</body></html>');
});

test('re-open: the link under the mouse, else the page address', async () => {
  const win = await openPage('http://site.test/docs/r.htm', `<a href="x y.htm"><b id="in">link</b></a>
    <a href="javascript:go()"><i id="js">script</i></a> <span id="plain">text</span>`);
  const cases = [['in', 'http://site.test/docs/x%20y.htm'], ['js', 'http://site.test/docs/r.htm'],
    ['plain', 'http://site.test/docs/r.htm'], [null, 'http://site.test/docs/r.htm']];
  for (const [id, expected] of cases) {
    const element = id && win.document.getElementById(id);
    assert.equal(g.clipboardFor('(tulvex_showi)', win, element), expected, `element ${id}`);
  }
});

test('HTML text survives the Windows-1251 clipboard: escapes and numeric references', () => {
  const cases = [
    ['<a href="x">\'&\'</a>', '&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;'],
    ['Ёж № 5 — «да»…', 'Ёж № 5 — «да»…'],
    ['日本 😀 é', '&#26085;&#26412; &#128512; &#233;'],
    ['a\u0000b\ud800c', 'a&#65533;b&#65533;c'],
  ];
  for (const [input, expected] of cases) assert.equal(g.html(input), expected, input);

  // The table of what Windows-1251 can hold, against the platform's decoder
  // (0x98 has no character in Windows' own table).
  const decoded = new TextDecoder('windows-1251').decode(Uint8Array.from({ length: 256 }, (_, i) => i));
  const held = new Set([...decoded].filter((c) => c !== '\u0098'));
  for (let code = 0; code < 0xD800; code++) {
    assert.equal(g.inCp1251(code), held.has(String.fromCharCode(code)), `U+${code.toString(16)}`);
  }
});

test('addresses become one ASCII word', () => {
  const cases = [
    ['http://хост.рф/путь файл?q=а#я',
      'http://хост.рф/%D0%BF%D1%83%D1%82%D1%8C%20%D1%84%D0%B0%D0%B9%D0%BB?q=%D0%B0#%D1%8F'],
    ['http://a.test/x\r\ny\tz', 'http://a.test/x%0D%0Ay%09z'],
    ['mailto:Иван@x.test', 'mailto:%D0%98%D0%B2%D0%B0%D0%BD@x.test'],
    ['http://a.test/😀\ud800', 'http://a.test/%F0%9F%98%80%EF%BF%BD'],
  ];
  for (const [input, expected] of cases) assert.equal(g.address(input), expected, input);
});

test('clipboard text never holds NUL, and an unknown keyword is refused', async () => {
  const win = await openPage('http://site.test/n.htm', '<p>a</p>');
  win.document.body.firstChild.appendChild(win.document.createTextNode('\u0000b'));
  assert.equal(g.clipboardFor('(tulvex_bit)', win, null), 'ab');
  assert.throws(() => g.clipboardFor('(tulvex_LINKS)', win, null), /unknown keyword/);
});
