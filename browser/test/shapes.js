// Page shapes that real sites make, for the reader view. Their HTML holds parts, {name}, {name N} or {name:text},
// whose text is noted as the article's (art) or not of it (junk); a shape marked whole is no article: all its text
// comes out.
'use strict';
const SYLLABLES = {
  ru: 'ра мо ни ке ла ту ди пе со вы ро мя зе ку ша гор до ле',
  en: 'ra mo ni ke la tu di pe so vy ro ma ze ku sha gor do le',
};
let seed = 7;

function shape(lang, name, html, more = {}) {
  const syllables = SYLLABLES[lang].split(' '), out = { name, art: [], junk: [], ...more };
  const syllable = () => syllables[(seed = (seed * 48271) % 2147483647) % syllables.length];
  const word = () => syllable() + syllable() + (seed % 3 ? syllable() : '');
  const times = (k, f, between = '') => Array.from({ length: k }, f).join(between), words = (n) => times(n, word, ' ');
  const cap = (s) => s.charAt(0).toUpperCase() + s.slice(1);
  const prose = (k, n = 12) => times(k, () => cap(`${words(n >> 1)}, ${words(n - (n >> 1))}.`), ' ');
  const art = (s) => (out.art.push(s), s), junk = (s) => (out.junk.push(s), s);
  const links = (k, tag = 'li') => times(k, () => `<${tag}><a href="/${word()}">${junk(cap(words(3)))}</a></${tag}>`);
  const PARTS = {
    art,
    junk,
    links,
    p: (k = 4) => `<p>${art(prose(k))}</p>`,
    ps: (k) => times(k, () => `<p>${art(prose(4))}</p>`),
    text: (k) => art(prose(k)),
    list: (k) => links(k, 'p'),
    nav: (cls = 'menu') => `<ul class="${cls}">${links(12)}</ul>`,
    share: () => `<div class="share-buttons"><a href="#vk">${junk('ВКонтакте')}</a> <a href="#f">Facebook</a></div>`,
    related: (cls = 'related') => `<div class="${cls}"><h3>${junk('Читайте также')}</h3><ul>${links(5)}</ul></div>`,
    comments: () => `<div id="comments"><h3>${junk('Комментарии (4)')}</h3>` +
      times(4, () => `<div class="comment"><b>${word()}_${word()}</b><p>${junk(prose(3))}</p></div>`) + '</div>',
    sidebar: (cls = 'sidebar') => `<div class="${cls}"><h3>${junk('Популярное сейчас')}</h3><ul>${links(8)}</ul>` +
      `<p>${junk(prose(2))}</p></div>`,
    ad: () => `<div><span>${junk('Реклама')}</span><a href="http://ads.test/"><img src="b.gif"></a></div>`,
    footer: (tag = 'div') => `<${tag} id="footer">${links(4, 'span')} <p>${junk('© 2009 Редакция')}</p></${tag}>`,
    teasers: (k) => times(k, () => `<article><h2><a href="/n">${junk(cap(words(4)))}</a></h2>` +
      `<p>${junk(prose(6))}</p></article>`),
    cards: (k) => times(k, () => `<div><h3><a href="/s">${junk(cap(words(4)))}</a></h3><p>${junk(prose(3))}</p></div>`),
    results: () => `<ol class="results">${times(10, () => `<li><h3><a href="/r">${words(5)}</a></h3>` +
      `<div>${prose(2, 14)}</div><cite>site.test/r</cite></li>`)}</ol>`,
  };
  const expand = (s) => s.replace(/\{(\w+)(?: ([\w-]+))?(?::([^}]*))?\}/g, (_, part, arg, text) =>
    PARTS[part](text ?? (/^\d+$/.test(arg) ? Number(arg) : arg)));
  for (const address in out.pages) out.pages[address] = expand(out.pages[address]);
  return Object.assign(out, { html: expand(html) });
}

const SHAPES = [
  shape('ru', 'news page, HTML5', `<title>{art:Мост через реку откроют весной} — Новости</title>
    <header><a href="/">Новости</a><nav>{nav}</nav></header>
    <div class="breadcrumbs"><a href="/">{junk:Главная страница}</a></div>
    <main><article><h1>Мост через реку откроют весной</h1><div class="meta">12 марта</div>
    <p class="lead">{text 2}</p>{share}<div class="article-text">{ps 3}{ad}
    <p>{junk:Читайте также:} <a href="/z">{junk:Строители моста закончили работу раньше срока}</a></p>
    {ps 4}<ul>{links 2}</ul>{p 2}</div><div class="tags"><a href="/t">{junk:мосты}</a></div></article>
    {related}{comments}</main><aside>{sidebar box}</aside>{footer footer}`),
  shape('en', 'blog post', `<title>{art:Notes on a spring walk} | A garden blog</title><div id="page">
    <div id="masthead" class="site-header"><a href="/">A garden blog</a>{nav nav-menu}</div>
    <div id="content" class="site-content has-sidebar"><article class="post"><header class="entry-header">
    <h1 class="entry-title">Notes on a spring walk</h1><div class="entry-meta">{junk:Posted on April 3}</div></header>
    <div class="entry-content">{ps 2}<blockquote>{p 2}</blockquote>{ps 3}{share}</div>
    <footer>{junk:Tagged spring}</footer></article>
    <nav class="post-navigation"><a href="/p">{junk:Previous post}</a></nav>{comments}</div>{sidebar widget}</div>`),
  shape('ru', 'article split across sibling containers, with a table of data', `<title>Бюджет</title>
    <div class="wrap"><div class="col"><h1>{art:Бюджет области на будущий год}</h1><div class="txt">{ps 3}</div>
    <div class="inline-banner"><span>{junk:Реклама}</span></div>
    <h2>{art:Что изменится для школ}</h2><div class="txt">{ps 2}</div>
    <table><tr><th>{art:Район}</th><th>{art:Цена, руб.}</th></tr>
    <tr><td>{art:Центральный}</td><td>{art:85 400}</td></tr></table>
    <div class="txt">{p 3}</div><div class="box">{list 40}</div></div>{sidebar}</div>`),
  shape('en', 'documentation page with code', `<title>{art:Reading a file} - Docs</title>
    <div class="sidebar"><div class="toc">{links 30}</div></div>
    <div role="main" class="document"><h1>Reading a file</h1>{ps 2}
    <pre><code>{art:var f = open(1);}\n\n{art:while (f.next()) {}\n{art:  print(f.line);}\n}</code></pre>
    <h2>{art:Options}</h2>{p 3}<pre>{art:open(name, mode)}</pre>{p 2}
    <div class="edit"><a href="/e">{junk:Edit this page}</a></div></div>
    <div class="footer-nav"><a href="/prev">{junk:Previous chapter}</a></div>`),
  shape('ru', 'frames: the article in another frame', '<frameset cols="200,*"><frame src="m.htm"><frame src="b.htm">' +
    '</frameset>', { frame: 0, pages: { 'http://site.test/m.htm': '<ul>{links 20}</ul>',
    'http://site.test/b.htm': '<h1>{art:Выставка}</h1>{ps 4}' } }),
  shape('ru', 'search results', '<title>Поиск</title>{nav}<form><input name="q"></form>{results}{footer}',
    { whole: true }),
  // Shapes that each need one rule of the reader view.
  shape('en', 'hidden text', `<title>{art:Winter gardens}</title><h1>Winter gardens</h1><div>{ps 3}
    <div style="visibility: hidden">{junk:Sign in to read on}</div><p style="display: none">{junk:Thank you}</p>
    {ps 2}</div>`),
  shape('en', 'class and id words: whole words, article words win', `<title>{art:Metals of the north}</title>
    <h1>Metals of the north</h1><div class="l-sidebar-fixed l-article-body-segment">{ps 2}
    <div id="metallurgy">{p}</div><div class="shared-content">{p}</div><section id="sharingEconomy">{p}</section>
    <div class="formulaMenuHolder">{art:E = m c2}</div>{p 2}</div>{sidebar}`),
  shape('en', 'prose after a line of links: a paragraph of lines, a listicle', `<title>{art:Quiet places}</title>
    <div class="post"><p><a href="/">{junk:Trips}</a> / <a href="/n">{junk:North}</a></p><p>${'{text 2}<br>'.repeat(3)}</p>
    ${'<h2><a href="/p">{art:Old mill}</a></h2>{p 3}'.repeat(3)}</div>{nav}`),
  shape('ru', 'notes inside the article', `<title>{art:История маяка}</title><article><h1>История маяка</h1>{ps 4}
    <ol>${'<li><a href="#r">^</a> {text 1} <a href="http://lib.test/">{art:lib.test}</a></li>'.repeat(5)}</ol></article>`),
  shape('ru', 'an article with a long table of data', `<title>{art:Цены на зерно}</title><div class="col">
    <h1>Цены на зерно</h1>{ps 2}<ul>{links 8}</ul>{share}<table>
    ${'<tr><td>{art:Пшеница твёрдая}</td><td>{text 1}</td><td>{art:12,5}</td></tr>'.repeat(30)}</table>
    {p 2}{comments}</div>{sidebar}`),
  shape('en', 'the title first: no button or line of links before it', `<meta property="og:title" content="{art:Fences}">
    <title>Fences, mended | Home tips</title><h1>{junk:Home}</h1><div class="text"><a href="/">{junk:Read more}</a><br>
    <span role="button">{junk:Found This Helpful}</span><span class="btn">{junk:Save}</span>{ps 4}</div>`),
  // Shapes of pages nobody tuned for, one for each way they misled the reader view.
  shape('en', 'a compound class name with a junk word', `<title>{art:Harbour lights} - News</title>
    <h1>Harbour lights</h1><div class="page-with-sidebar-wrap"><div class="has-comments">
    <div class="builder-widget-body">{ps 3}</div><div class="left-side-story">{ps 2}</div></div>{sidebar}</div>
    <div id="footer"><p>{junk:© Harbour News, all rights reserved.}</p></div>`),
  shape('en', 'links inside sentences: a numbered article, a related story between paragraphs',
    `<title>{art:Old bridges}</title><div class="col"><h1>Old bridges</h1>{p 3}
    <p>Read also: <a href="/r">The ferry that crossed the bay for a century</a></p>{p 4}
    <ol>${'<li><a href="/b">{art:The stone bridge at the mill}</a> {text 1}</li>'.repeat(6)}</ol></div>{nav}`),
  shape('ru', 'teasers: full-text teasers, a rail of headlines, more under the article',
    `<title>{art:Ночной рынок}</title><body class="single-post"><div class="entry"><h1>Ночной рынок</h1>{ps 3}
    <div class="rail"><h4>{junk:В тренде}</h4>
    ${'<div class="card"><h4>{junk:Заголовок другой статьи}</h4><span>{junk:2 часа назад}</span></div>'.repeat(4)}</div>
    {ps 2}<h3>{junk:Ещё о городе}</h3>
    ${'<div><h3>{junk:Ещё заголовок о жизни города}</h3><time>{junk:3 марта}</time></div>'.repeat(4)}</div>
    <div class="read-next">{teasers 4}</div>{sidebar}</body>`),
  shape('en', 'cards of other stories after the article', `<title>{art:Tides}</title><div><div><h1>Tides</h1>{ps 3}
    </div><div><h2>{junk:More stories}</h2>{cards 6}</div></div>`),
  shape('en', 'captions, gallery controls, byline, tags and notices, text hidden by class',
    `<title>{art:Harbour}</title><article><h1>Harbour</h1>
    <p class="byline">{junk:By Anna Berg}</p><p>{junk:Updated March 3, 2024}</p>
    <figure><img src="a.jpg"><figcaption>{junk:The pier at dawn}</figcaption></figure>{ps 2}
    <p>{junk:Photo: Ivan Drozd}</p>
    <figure><img src="b.jpg"><figcaption>{art:Boats in the ice}</figcaption></figure>{ps 2}<div class="wp-caption">
    <img src="c.jpg"><p class="wp-caption-text">{junk:A keeper of the light}</p><p>{junk:Credit: Anna Berg}</p></div>
    <div><span>{junk:Close}</span> <span>{junk:Back to Gallery}</span> <span>{junk:3 / 12}</span></div>
    <span class="sr-only">{junk:Skip the ad}</span><div aria-hidden="true">{junk:Tweet this}</div>{ps 2}
    <p>{junk:Comments are closed.}</p><p>{junk:Sign up for our newsletter}</p><p>{junk:Have a tip? Write to us.}</p>
    </article>`),
  shape('en', 'a post quoted from a social network', `<title>{art:Storm warning}</title><article>
    <h1>Storm warning</h1>{ps 2}<div class="social-embed"><blockquote class="twitter-tweet">
    <p>{art:The river is rising near the mill, stay away}</p>&mdash; {art:City Rescue}
    <a href="https://twitter.test/s/1">{art:March 3, 2024}</a></blockquote></div>{ps 2}</article>`),
  shape('en', 'the title once: a linked heading after a kicker, a page title with the site',
    `<title>{art:Lanterns over the bay} • Harbour Daily</title><div class="post"><p>{text 1}</p>
    <h1><a href="/lanterns">Lanterns over the bay</a></h1>{ps 4}</div>{nav}`),
];

module.exports = { SHAPES };
