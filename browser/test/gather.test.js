// What each menu entry would put on the clipboard, over sample pages in jsdom, in the legacy engine's realm.
'use strict';
const test = require('node:test'), assert = require('node:assert/strict'), { JSDOM } = require('jsdom');
const { loadGather, openPage } = require('./load.js');

const g = loadGather(), UNLOADED = 'Не показано: файл с диска или из сетевой папки.';
const link = (address) => `<a href="${address}">${address}</a>`;
const entry = ([title, body], i) =>
  `<p style="word-wrap:break-word">${i + 1}. ${title && `${title}<br>`}${body}</p>\n`;
const head = (heading, count, title, address) => `<h3>${heading}: ${count}</h3>\n<p style="word-wrap:break-word">` +
  (title ? `<b>${title}</b><br>` : '') + `${link(address)}</p>\n<hr size=1>\n`;

test('links page: numbered, absolute, once each, escaped, only followable links', async () => {
  const win = await openPage('http://site.test/docs/index.htm', `<title>Статьи &amp; "заметки"</title><p>
    <a href="intro.htm">Введение</a> и <a href="../about.htm" title="О нас"><img src="logo.png" alt="Логотип"></a>
    <a href="intro.htm">Введение ещё раз</a> <a href="#top">наверх</a> <a href="index.htm#part2">часть 2</a>
    <a href="other.htm#part2">другая</a> <a href="javascript:alert(1)">скрипт</a>
    <a href="mailto:ivan@site.test">почта</a> <a href="http://x.test/q?a=1&amp;b=2">a &lt;b&gt; &amp;\n c</a>
    <a href="http://x.test/Путь/ф.zip">ф    с   пробелами</a> <a href="http://x.test/pic"><img src="a.png"></a>
    <a name="top">якорь</a><map><area href="map.htm" alt="Карта"></map>`);
  const rows = [
    ['Введение', 'http://site.test/docs/intro.htm'],
    ['Логотип', 'http://site.test/about.htm'],
    ['другая', 'http://site.test/docs/other.htm#part2'],
    ['почта', 'mailto:ivan@site.test'],
    ['a &lt;b&gt; &amp; c', 'http://x.test/q?a=1&amp;b=2'],
    ['ф с пробелами', 'http://x.test/%D0%9F%D1%83%D1%82%D1%8C/%D1%84.zip'],
    ['', 'http://x.test/pic'],
    ['Карта', 'http://site.test/docs/map.htm'],
  ];
  assert.equal(g.linksFragment(win.document), head('Ссылки страницы', 8, 'Статьи &amp; &quot;заметки&quot;',
    'http://site.test/docs/index.htm') + rows.map(([title, address]) => [title, link(address)]).map(entry).join(''));
});

test('download list: fetchable addresses once each, from every frame', async () => {
  const menu = `<a href="one.zip">1</a> <a href="one.zip#part">1</a> <a href="http://x.test/">root</a>
    <a href="folder/">folder</a> <a href="http://x.test/a.b">short</a> <a href="mailto:a@b.test">@</a>
    <a href="http://x.test/${'d'.repeat(490)}/file.zip">513 characters</a>
    <a href="ftp://ftp.test/pub/two.tar.gz">ftp</a> <a href="javascript:void(0)">js</a> <a href="#top">top</a>
    <a href="menu.htm#bottom">bottom</a> <a href="https://s.test/get.php?id=5">query</a>
    <a href="Файл №1.pdf">cyrillic</a>`;
  const win = await openPage('http://site.test/docs/list.htm#here', `<title>Рамки</title><frameset cols="20%,*">
    <frame src="menu.htm"><frame src="main.htm"></frameset>`, { pages: {
    'http://site.test/docs/menu.htm': menu,
    'http://site.test/docs/main.htm': '<p>Текст главной.</p><a href="b.zip">B</a><iframe src="sub/in.htm"></iframe>' +
      '<a href="one.zip">1</a>',
    'http://site.test/docs/sub/in.htm': '<a href="../c.zip">C</a>' } });
  const list = ['one.zip', 'ftp://ftp.test/pub/two.tar.gz', 'https://s.test/get.php?id=5',
    '%D0%A4%D0%B0%D0%B9%D0%BB%20%E2%84%961.pdf', 'b.zip', 'c.zip'];
  assert.equal(g.linkList(win.document), list.map((a) => (a.includes(':') ? a : `http://site.test/docs/${a}`))
    .join('\r\n'));
  // Lists always come from the whole page, text from the frame clicked.
  const links = g.clipboardFor('(tulvex_links)', win.frames[1], null);
  assert.match(links, /^<h3>Ссылки страницы: 12<\/h3>\n.*<b>Рамки<\/b>/);
  assert.equal(g.clipboardFor('(tulvex_bit)', win.frames[1], null), 'Текст главной.\r\n\r\nB 1');
});

test('pictures and Flash pages: shown within the cell or listed with their sizes', async () => {
  const win = await openPage('http://site.test/gallery/p.htm', `<title>Галерея</title>
    <img src="one.jpg" alt="Первая <и>" width="300" height="200"> <img src="one.jpg" alt="та же"> <img>
    <a href="big/two.jpg"><img src="two_small.jpg" width="1200" height="900" title="Вторая"></a>
    <img src="data:image/gif;base64,R0"> <a href="javascript:zoom()"><img src="http://cdn.test/3.gif"></a>
    <object classid="clsid:D27CDB6E-AE6D-11cf-96B8-444553540000" width="550" height="400">
    <param name="movie" value="f/i.swf?x=1"><embed src="f/i.swf?x=1" type="application/x-shockwave-flash"></object>
    <embed src="http://media.test/song.mp3"> <embed src="g.SWF"> <object data="clip.avi"></object>
    <object type="application/x-shockwave-flash" data="/b" width="468" height="60"></object>`);
  const picture = (address, size, alt) =>
    `<a href="${address}"><img src="${address}"${size} border=0 alt="${alt}"></a><br>${link(address)}`;
  const first = 'Первая &lt;и&gt;', at = (a) => `http://site.test/gallery/${a}`;
  const rows = [
    [first, picture(at('one.jpg'), ' width=300 height=200', first)],
    ['Вторая', `${picture(at('two_small.jpg'), ' width=600 height=450', 'Вторая')}<br>` +
      `Ссылка: ${link(at('big/two.jpg'))}`],
    ['', picture('http://cdn.test/3.gif', '', '')],
  ];
  assert.equal(g.picturesFragment(win.document), head('Картинки страницы', 3, 'Галерея', at('p.htm')) +
    rows.map(entry).join(''));
  assert.match(g.flashFragment(win.document),
    /: 3<\/h3>.*1\. <a[^>]*i\.swf\?x=1.*550 x 400.*2\. <a[^>]*g\.SWF.*3\. <a[^>]*\/b".*468 x 60/s);
});

test('result pages load pictures and Flash only from the web; files and shares are listed as text', async () => {
  // The page's address, the object's address as the page writes it.
  for (const [url, raw] of [
    ['http://site.test/p.htm', '\\\\server\\share\\a'],
    ['http://site.test/p.htm', 'file://server/share/b'],
    ['http://site.test/p.htm', '/\\server/c'],
    ['http://site.test/p.htm', ' \\/server/d'],
    ['file:///C:/saved/p.htm', '//server/share/e'],
    ['file:///C:/saved/p.htm', 'f'],
  ]) {
    const win = await openPage(url, `<img src="${raw}.png"><embed src="${raw}.swf"><img src="ftp://x.test/1.png">`);
    for (const fragment of [g.picturesFragment(win.document), g.flashFragment(win.document)]) {
      const loads = [...new JSDOM(fragment).window.document.querySelectorAll('[src], [data], [background]')];
      assert.ok(fragment.includes(UNLOADED) && loads.every((e) => e.getAttribute('src') === 'ftp://x.test/1.png'), raw);
    }
  }
});

test('whole text: blocks on lines, paragraphs apart, starting with text, "\\r\\n" line ends', async () => {
  for (const [name, html, lines] of [
    ['blocks, paragraphs, lines', `<h1>Заголовок</h1> <p>Первый   абзац,\n в две строки.</p>
      <p>Второй<br>с переносом</p> <script>var x = "<p>скрипт</p>";</script><style>p { color: red }</style>
      <div>Блок <b>жирный</b> <span>текст</span></div> <div hidden>скрыто</div><div style="display:none">тоже</div>
      <ul><li>один</li><li>два</li></ul> <pre>  код\n    отступ</pre>
      <table><tr><td>А</td><td>Б</td></tr><tr><td>В</td><td>Г</td></tr></table> текст после&nbsp;таблицы`,
    ['Заголовок', '', 'Первый абзац, в две строки.', '', 'Второй', 'с переносом', '', 'Блок жирный текст', '',
      'один', 'два', '', '  код', '    отступ', '', 'А Б', 'В Г', '', 'текст после\u00a0таблицы']],
    ['preformatted empty lines', '<pre>Строфа один\n\nСтрофа два\r\n<b>жирно</b></pre>',
      ['Строфа один', '', 'Строфа два', 'жирно']],
    ['nothing before the first text', '<br><br>&nbsp;<br><p> &nbsp;</p><div>\ufeff\u200b</div>' +
      '<pre>\n \u3000\n</pre><h1>\u00a0\ufeffЗаголовок&nbsp;</h1>', ['Заголовок']],
    ['invisible characters, Unicode spaces', '<p>Сло\u00adво\u200b \u2009тонкий\u2002пробел\u3000и\u202fузкий' +
      '\u205f\u200aтоже;\u200e А.\u00a0С.\u00a0Пушкин\u2060\ufeff\u0000</p>',
    ['Слово тонкий пробел и узкий тоже; А.\u00a0С.\u00a0Пушкин']],
  ]) {
    const win = await openPage('http://site.test/t.htm', `<body>${html}</body>`);
    assert.equal(g.clipboardFor('(tulvex_bit)', win, null, 'all'), lines.join('\r\n'), name);
    assert.equal(g.readable(win), lines.join('\r\n'), `${name}: the reader's walk, where no article stands out`);
  }
});

test('HTML text and addresses survive the Windows-1251 clipboard: references, escapes, one ASCII word', () => {
  for (const [convert, input, expected] of [
    [g.html, '<a href="x">\'&\'</a> Ёж № 5 — «да»…',
      '&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt; Ёж № 5 — «да»…'],
    [g.html, '日本 😀 é a\u0000b\ud800c', '&#26085;&#26412; &#128512; &#233; a&#65533;b&#65533;c'],
    [g.address, 'http://хост.рф/ф ?q=а#я\r\n\t😀\ud800',
      'http://хост.рф/%D1%84%20?q=%D0%B0#%D1%8F%0D%0A%09%F0%9F%98%80%EF%BF%BD'],
  ]) assert.equal(convert(input), expected, input);
  // What Windows-1251 can hold, against the platform's decoder (0x98 has no character in Windows' own table).
  const bytes = Uint8Array.from({ length: 256 }, (_, i) => i);
  const held = new Set(new TextDecoder('windows-1251').decode(bytes).replace('\u0098', ''));
  for (let code = 0; code < 0xD800; code++) {
    assert.equal(g.inCp1251(code), held.has(String.fromCharCode(code)), `U+${code}`);
  }
});
