// Page shapes that real sites make, for the reader view. Each page is built
// from parts that note their text as the article's (art) or not of it
// (junk); text noted as neither may come out or not. Shapes marked whole
// are no article: their whole text comes out.
'use strict';
const VOCABULARY = {
  ru: 'город власти заявили проект дорога жители района решение совет области бюджет рубль школа больница новый ' +
    'старый мост река весна работа вопрос ответ министр закон время сотни тысяч люди улица дом строители цены рост ' +
    'газета письмо история музей выставка театр зритель врач учитель данные отчёт система версия программа',
  en: 'city council said project road people district decision budget school hospital new old bridge river spring ' +
    'work question answer minister law time hundreds street house builders prices growth paper letter history ' +
    'museum theatre doctor teacher data report system file version program function value module garden',
};
let seed = 7;
function page(lang, build) {
  const vocabulary = VOCABULARY[lang].split(' '), shape = { art: [], junk: [] };
  const word = () => vocabulary[(seed = (seed * 48271) % 2147483647) % vocabulary.length];
  const words = (n) => Array.from({ length: n }, word).join(' ');
  const cap = (s) => s.charAt(0).toUpperCase() + s.slice(1);
  const sentence = (n = 12) => cap(`${words(n >> 1)}, ${words(n - (n >> 1))}.`);
  const prose = (k, n) => Array.from({ length: k }, () => sentence(n)).join(' ');
  const art = (s) => (shape.art.push(s), s), junk = (s) => (shape.junk.push(s), s);
  const times = (k, f) => Array.from({ length: k }, f).join('');
  const links = (k, tag = 'li') => times(k, () => `<${tag}><a href="/${word()}">${junk(cap(words(3)))}</a></${tag}>`);
  const p = (n = 4) => `<p>${art(prose(n))}</p>`;
  const x = { art, junk, words, prose, sentence, times, links, p,
    ps: (k, n) => times(k, () => p(n)),
    nav: (cls = 'menu') => `<ul class="${cls}">${links(12)}</ul>`,
    share: () => `<div class="share-buttons"><a href="#vk">${junk('ВКонтакте')}</a> <a href="#f">Facebook</a></div>`,
    related: (cls = 'related') => `<div class="${cls}"><h3>${junk('Читайте также')}</h3><ul>${links(5)}</ul></div>`,
    comments: () => `<div id="comments"><h3>${junk('Комментарии (4)')}</h3>` +
      times(4, () => `<div class="comment"><b>${word()}_${word()}</b><p>${junk(prose(3))}</p></div>`) + '</div>',
    sidebar: (cls = 'sidebar') => `<div class="${cls}"><h3>${junk('Популярное сейчас')}</h3><ul>${links(8)}</ul>` +
      `<p>${junk(prose(2))}</p></div>`,
    ad: (caption = 'Реклама') => `<div><span>${junk(caption)}</span><a href="http://ads.test/"><img src="b.gif"></a></div>`,
    footer: (tag = 'div') => `<${tag} id="footer">${links(4, 'span')} <p>${junk('© 2009 Редакция, все права')}</p></${tag}>`,
  };
  return Object.assign(shape, build(x));
}

const SHAPES = [
  page('ru', (x) => ({ name: 'news page, HTML5', html: `<title>${x.art('Мост через реку откроют весной')} — Новости</title>
    <header><a href="/">Городские новости</a><nav>${x.nav()}</nav></header>
    <div class="breadcrumbs"><a href="/">${x.junk('Главная страница')}</a> / <a href="/c">Общество</a></div>
    <main><article><h1>Мост через реку откроют весной</h1><div class="meta">12 марта 2009</div>
    <p class="lead">${x.art(x.prose(2))}</p>${x.share()}<div class="article-text">${x.ps(3)}${x.ad()}
    <p>${x.junk('Читайте также:')} <a href="/z">${x.junk(x.words(4))}</a></p>${x.ps(4)}<ul>${x.links(2)}</ul>${x.p(2)}</div>
    <div class="tags"><a href="/t">${x.junk('строительство мостов')}</a></div></article>${x.related()}${x.comments()}</main>
    <aside>${x.sidebar('box')}</aside>${x.footer('footer')}` })),
  page('ru', (x) => ({ name: 'news page in the tables of an old site', html: `<title>Новости района</title><table>
    <tr><td colspan=3><a href="/"><img src="logo.gif" alt="Новости района"></a> ${x.links(6, 'b')}</td></tr>
    <tr><td width=200>${x.links(15, 'div')}</td><td><table><tr><td class="ctext"><h1>${x.art('Школа закроется летом')}</h1>
    <font size=2>${x.art(x.prose(3))}<br><br>${x.art(x.prose(4))}<br><br>${x.art(x.prose(3))}</font>
    <p>Обсудить на форуме: <a href="/f">форум района</a></p></td></tr></table></td>
    <td width=180>${x.sidebar('rcol')}</td></tr></table>${x.footer()}` })),
  page('en', (x) => ({ name: 'blog post', html: `<title>${x.art('Notes on a spring walk')} | A garden blog</title>
    <div id="page"><div id="masthead" class="site-header"><a href="/">A garden blog</a>${x.nav('nav-menu')}</div>
    <div id="content" class="site-content has-sidebar"><article class="post type-post">
    <header class="entry-header"><h1 class="entry-title">Notes on a spring walk</h1>
    <div class="entry-meta">${x.junk('Posted on April 3, 2009 by gardener')}</div></header>
    <div class="entry-content">${x.ps(2)}<blockquote><p>${x.art(x.sentence(20))}</p></blockquote>${x.ps(3)}${x.share()}</div>
    <footer class="entry-footer">${x.junk('Tagged spring, walks')}</footer></article>
    <nav class="post-navigation"><a href="/p">${x.junk('Previous post title')}</a></nav>${x.comments()}</div>
    <div id="secondary" class="widget-area">${x.sidebar('widget')}</div></div>` })),
  page('ru', (x) => ({ name: 'article split across sibling containers', html: `<title>Бюджет области</title>
    <div class="wrap"><div class="col"><h1>${x.art('Бюджет области на будущий год')}</h1>
    <div class="txt">${x.ps(3)}</div><div class="inline-banner"><span>${x.junk('Реклама')}</span></div>
    <h2>${x.art('Что изменится для школ')}</h2><div class="txt">${x.ps(2)}</div><div class="txt">${x.p(3)}</div>
    <div class="box">${x.links(40, 'p')}</div></div>${x.sidebar()}</div>` })),
  page('ru', (x) => ({ name: 'article with a table of data', html: `<title>Цены на жильё</title>${x.nav()}
    <div id="main-content"><h1>${x.art('Цены на жильё в марте')}</h1>${x.ps(2)}<table class="data">
    <tr><th>${x.art('Район')}</th><th>${x.art('Цена, руб.')}</th></tr><tr><td>${x.art('Центральный')}</td>
    <td>${x.art('85 400')}</td></tr><tr><td>Северный</td><td>${x.art('61 200')}</td></tr></table>${x.ps(2)}</div>
    ${x.related('news-list')}${x.footer()}` })),
  page('en', (x) => ({ name: 'documentation page with code', html: `<title>${x.art('Reading a file')} - Docs</title>
    <div class="sidebar"><div class="toc">${x.links(30)}</div></div><div role="main" class="document">
    <h1>Reading a file</h1>${x.ps(2, 2)}<pre><code>${x.art('var f = open("data.txt");')}\n\n${x.art('while (f.next()) {')}
    ${x.art('  print(f.line);')}\n}</code></pre><h2>${x.art('Options')}</h2>${x.p(3)}<pre>${x.art('open(name, mode)')}</pre>
    ${x.p(2)}<div class="edit"><a href="/e">${x.junk('Edit this page')}</a></div></div>
    <div class="footer-nav"><a href="/prev">${x.junk('Previous chapter')}</a></div>` })),
  page('ru', (x) => ({ name: 'encyclopaedia page', html: `<title>${x.art('Река Волга')} — Энциклопедия</title>
    <div id="mw-head">${x.links(8, 'span')}</div><div id="mw-panel">${x.nav('portal')}</div>
    <div id="content" class="mw-body"><h1 id="firstHeading">Река Волга</h1><div id="siteSub">Материал из энциклопедии</div>
    <div id="mw-content-text"><table class="infobox"><tr><th>Длина</th><td>3530 км</td></tr></table>
    <p>${x.art(x.words(6))} <a href="/w">${x.art(x.words(2))}</a> ${x.art(x.prose(3))}</p>
    <div id="toc" class="toc"><ul>${x.links(6)}</ul></div><h2>${x.art('История')}</h2>${x.ps(3)}
    <h2>Примечания</h2><ol class="references"><li>${x.words(5)}. <a href="/r">${x.words(3)}</a>, 2001.</li></ol>
    <table class="navbox"><tr><td>${x.links(25, 'span')}</td></tr></table>
    <div id="catlinks">Категории: ${x.links(4, 'span')}</div></div></div>${x.footer()}` })),
  page('en', (x) => ({ name: 'news page with figures, teasers and comments of plain blocks', html: `<title>News</title>
    ${x.nav('top-menu')}<div class="page"><div class="story-body"><h1>${x.art('The river bridge opens')}</h1>
    <figure><img src="b.jpg"><figcaption>${x.art('The bridge, seen from the river')}</figcaption></figure>${x.ps(3)}
    ${x.ad('Advertisement')}${x.ps(2)}<div class="teasers">${x.times(3, () => `<div><a href="/n">${x.junk(x.words(4))}</a>` +
      `<p>${x.junk(x.prose(2))}</p></div>`)}</div>${x.p(3)}</div><div class="answers">${x.times(5, () =>
      `<div><a href="/u">${x.words(1)}</a> <span>12.03.2009</span><div>${x.junk(x.prose(2))}</div></div>`)}</div></div>` })),
  page('ru', (x) => ({ name: 'short article on a heavy page', html: `<title>Коротко</title>${x.nav()}${x.sidebar()}
    <div class="news-item"><h1>${x.art('Открылась выставка')}</h1><p>${x.art(x.prose(3, 10))}</p></div>
    ${x.related()}${x.footer()}` })),
  page('en', (x) => ({ name: 'page of paragraphs in divs and line breaks', html: `<title>${x.art('Garden notes')} :: Garden</title>${x.nav()}
    <div id="text">${x.times(4, () => `${x.art(x.prose(4))}<br><br>`)}</div>${x.sidebar()}` })),
  page('ru', (x) => ({ name: 'frames: the article in another frame', url: 'http://site.test/frames.htm',
    html: '<frameset cols="200,*"><frame src="menu.htm"><frame src="main.htm"></frameset>', frame: 0,
    pages: { 'http://site.test/menu.htm': `<ul>${x.links(20)}</ul>`,
      'http://site.test/main.htm': `<h1>${x.art('Выставка в музее')}</h1>${x.ps(4)}${x.share()}` } })),
  page('ru', (x) => ({ name: 'search results', whole: true, html: `<title>Поиск</title>${x.nav()}<form><input name="q"></form>
    <ol class="results">${x.times(10, () => `<li><h3><a href="/r">${x.words(5)}</a></h3><div>${x.sentence(16)} ` +
      `${x.sentence(10)}</div><cite>site.test/r</cite></li>`)}</ol>${x.footer()}` })),
  page('ru', (x) => ({ name: 'forum index', whole: true, html: `<title>Форум</title><table class="forums">${x.times(12, () =>
    `<tr><td><img src="f.gif"></td><td><a href="/f"><b>${x.words(2)}</b></a><br>${x.sentence(10)}</td><td>37</td></tr>`)}</table>` })),
  page('ru', (x) => ({ name: 'page of links', whole: true, html: `<h1>Полезные ссылки</h1>${x.links(40)}` })),
];

module.exports = { SHAPES };
