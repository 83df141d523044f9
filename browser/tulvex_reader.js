/*
 * Tulvex, browser half: the reader view, "(tulvex_bit)" from bit.htm, which
 * loads this file after tulvex_gather.js; written by that file's rules for
 * the oldest script engine.
 *
 * The page's article, as a reader view shows it: its title on the first
 * line, then its text.
 *
 * One walk over the document cuts its text into chunks, the text between
 * two block boundaries, and keeps a record of every element with what it
 * holds: text, link text, prose, prose led by a link, and the text of what
 * is not of any article (junk). Prose is a chunk of 25 characters or more,
 * mostly outside links, weighed in full with a comma or a sentence end in
 * it, by half without (or preformatted). Links inside its sentences are
 * prose; link text is what stands alone: a short line whose letters are
 * all in links, in a block of its own or before a line break. Prose led by
 * links is an entry of a list, as in search results, forum indexes and
 * news lists: a chunk that opens with such a line or follows one, where
 * that line's links make a tenth of the chunk and the line together. An
 * article's paragraph after a line of links, or under a heading that is a
 * link, has far fewer; one that opens with a name as a link, or follows a
 * "Read also:" line, has none.
 *
 * Junk is an element that holds no <h1> and no article body, and is
 * navigation, a sidebar, footer, comments, share bar, related list, gallery
 * or ad by its tag, role, or class and id words, or whose whole text is an
 * ad caption or a gallery's controls; a run of three teasers or more (a
 * headline with a date) that makes most of its text; or hidden by a class
 * name (sr-only, visually-hidden) or aria-hidden. Class names and the id
 * are cut into words on whatever is not a letter or digit, and words match
 * whole: "shared" is no share bar, "metallurgy" no meta line. Weak words
 * (menu, header, author, sidebar, widget, side, ...) make junk only without
 * an article word (article, content, post, ...) beside them
 * ("builder-widget-body" is an article's), and not of an element that
 * holds most of the page's prose ("page-with-sidebar-wrap"); other junk
 * words not of one that holds four fifths of it and leaves too little for
 * an article ("has-comments"). A class name of article words and no junk
 * word makes the element an article's, whatever its other names say. A post quoted from a social network
 * (blockquote.twitter-tweet) is no junk, nor the wrapper it fills.
 *
 * A block scores its prose, less its link text and junk and a quarter of
 * its other text (headings, dates, figures, code): the best holds the most
 * prose and the least of the rest. Article words (not the body's),
 * <article>, <main>, role="main" and itemprop="articleBody" raise it; a
 * table of data that wins by its cells gives way to the block that holds it
 * and prose of its own. A block of two <article>s or more (teasers of other
 * posts, a page of posts) is none, and counts as junk to those around it;
 * where another of its articles has half the best's prose, it is a page of
 * posts and the article is that block. A block with two thirds of its prose
 * in three cards or more (blocks that hold a heading, a line of links and
 * under 600 characters of prose) is a list of cards, as of other stories:
 * where the best has a quarter of its prose in such lists, the best without
 * them wins, if it holds 300 characters of prose and twice the longest
 * card's, and the lists are left out. It is an article when it holds 300
 * characters of prose and less than 40% of it is led by links. Its siblings
 * with 100 characters of prose that is neither led by nor thick with links,
 * or of its own tag and class, continue it, with all that stands between
 * them; another <article> does not. Junk, blocks mostly of links and a run
 * of teasers that ends a block inside it are left out; lists whose entries
 * are mostly text (notes, references) stay. Captions and photo credits go,
 * save a caption that is the only text of its figure amid the article's
 * prose.
 *
 * The text starts with the article's title: its <h1> (the first in it
 * before any of its prose, else the first in it that is a part of the
 * page's own title, else the last before it, not a link unless it is such
 * a part, where it is such a part or shares a word with the page's title
 * without the site's name), else the page's own title: og:title, or the
 * document's title without the site's name. Buttons (<button>,
 * role="button", class btn) are junk; short lines of nothing but links,
 * bylines, "Updated" and reading-time lines that come before the article's
 * first long line are left out, and so are tags, notices of comments,
 * "More from" lines and calls to subscribe or send a tip after its last.
 *
 * The walk also keeps what the whole text's walk (tulvexText) would write,
 * as a list of steps: text, line breaks, block and paragraph bounds. Each
 * record knows its steps, so the article's text is those steps replayed,
 * less the steps of what is left out, without a second walk.
 */
var TULVEX_JUNK_TAGS = { nav: 1, aside: 1, footer: 1, button: 1 };
var TULVEX_SUBHEADS = { h2: 1, h3: 1, h4: 1, h5: 1, h6: 1 };
var TULVEX_LISTS = { p: 1, ul: 1, ol: 1, dl: 1, menu: 1, div: 1, section: 1 };
var TULVEX_JUNK_ROLE = /^(navigation|complementary|banner|contentinfo|search|menu|menubar|dialog|alert|button)$/;
var TULVEX_JUNK_WORDS = new RegExp(" (nav|navbar|navigation|comments?|share|sharing|social|related|" +
    "recommend(ed|ations?)?|breadcrumbs?|crumbs|sponsors?|sponsored|promo|promoted|adverts?|advertisement|" +
    "advertising|adfox|ya?direct|banners?|newsletter|subscribe|subscription|cookies?|disqus|outbrain|taboola|footer|" +
    "popular|trending|also|meta|byline|dateline|gallery|slideshow|lightbox|carousel|discuss(ion)?|" +
    "komment(s|arii)?|otzyv[yi]?|ad|ads|adv|tags?|toc|rss|btn|buttons?) ");
var TULVEX_WEAK_WORDS = new RegExp(" (menu|header|masthead|rating|votes?|print|tools?|toolbar|pager|pagination|" +
    "author|search|login|side|sidebar|widgets?) ");
var TULVEX_ARTICLE_WORDS = new RegExp(" (articles?|articlebody|content|contents|maincontent|posts?|postbody|entry|" +
    "entrycontent|story|storytext|main|blog|material|publication|details?|text|body|bodytext) ");
var TULVEX_CAPTION_WORDS = / (caption|captions|figcaption|credits?) /;
var TULVEX_HIDING_NAMES = new RegExp("^(hidden|is-hidden|u-hidden|invisible|sr-only|sr-text|visually-hidden|" +
    "visuallyhidden|screen-reader-text|element-invisible|offscreen|a11y-hidden|assistive-text)$");
var TULVEX_POST_NAMES = new RegExp("^(twitter-tweet|twitter-video|instagram-media|tiktok-embed|fb-post|fb-video|" +
    "reddit-embed-bq|bluesky-embed|mastodon-embed|telegram-post|threads-embed)$");
/*
 * The whole text of a gallery's controls; how a short chunk that may be an
 * ad caption, a control or a credit opens; a photo credit.
 */
var TULVEX_CONTROLS = new RegExp("^((close|закрыть|back to (the )?gallery|вернуться в галерею|" +
    "\\d+ ?(/|of|из) ?\\d+|prev|previous|next|назад|далее|вперёд|fullscreen) ?)+$");
var TULVEX_SAID = new RegExp("^ +(реклама|на правах|advert|sponsored|anzeige|werbung|publi|close|закрыть|back|" +
    "вернуться|\\d|prev|next|назад|далее|вперёд|fullscreen|photo|image|picture|credit|фото|снимок|иллюстрация)");
var TULVEX_CREDIT = /(^|[ .,;(])(photo|photos|photograph|image|picture|credit|фото|снимок|иллюстрация)( by)? ?[:©]/;
/* Captions of 7 to 17 characters. */
var TULVEX_AD_CAPTION = /^(реклама|на правах рекламы|advertisement|advertising|sponsored|anzeige|werbung|publicit[eé]|publicidad|pubblicit[aà])$/;
var TULVEX_PUNCTUATION = /[,.!?;:\u2026\u060C\u0964\u3001\u3002\uFF0C\uFF01\uFF1F]/;

/* Steps of the text besides text itself, as tulvexLines takes them. */
var TULVEX_BREAK = 0, TULVEX_PARAGRAPH = 1, TULVEX_BLOCK = 2, TULVEX_CELL = 3, TULVEX_PRE = 4, TULVEX_PRE_END = 5,
    TULVEX_GAP = 6, TULVEX_LINK = 7, TULVEX_LINK_END = 8;

/* Blanks; blanks that collapsing them would change; a character that is not a blank. */
var TULVEX_BLANKS = /[ \t\n\r\f]+/g, TULVEX_SPREAD = /[\t\n\r\f]|  /, TULVEX_FILLED = /[^ \t\n\r\f]/;

var TULVEX_BODY = /articleBody/i, TULVEX_NOT_WORD = /[^a-z0-9\u0080-\uFFFF]+/g;

/* A letter: neither a digit, a blank nor a mark, dash, arrow or other symbol. */
var TULVEX_WORDY = /[A-Za-z\u00AA\u00B5\u00BA\u00C0-\u1FFF\u2C00-\uD7FF\uF900-\uFFEF]/;

/* A letter or digit: neither a blank nor a mark, dash, arrow or other symbol. */
var TULVEX_LETTER = /[0-9A-Za-z\u00AA\u00B5\u00BA\u00C0-\u1FFF\u2C00-\uD7FF\uF900-\uFFEF]/,
    TULVEX_NOT_LETTERS = /[^0-9A-Za-z\u00AA\u00B5\u00BA\u00C0-\u1FFF\u2C00-\uD7FF\uF900-\uFFEF]+/g;

/*
 * What the class names and the id of an element say: 2 of an article, 1
 * junk, 3 junk by weak words alone, 0 nothing; 4 more for a caption or
 * credit, 8 more for a name that hides it ("sr-only"), 16 more for a post
 * quoted from a social network. Each name is cut into words on whatever is
 * not a letter or digit, and words match whole. A name with
 * an article word and no junk word (weak words aside: "builder-widget-body",
 * "left-side-story") makes the element an article's, whatever its other
 * names say.
 */
function tulvexWords(element) {
    var name = element.className, id = element.id, names, words, i, junk = 0, article = false, more = 0;
    if (typeof name !== "string") name = "";
    if (typeof id !== "string") id = "";
    if (!name && !id) return 0;
    names = (name + " " + id).toLowerCase().replace(TULVEX_BLANKS, " ").split(" ");
    for (i = 0; i < names.length; i++) {
        if (TULVEX_HIDING_NAMES.test(names[i])) more |= 8;
        if (TULVEX_POST_NAMES.test(names[i])) more |= 16;
        words = " " + names[i].replace(TULVEX_NOT_WORD, " ") + " ";
        if (TULVEX_CAPTION_WORDS.test(words)) more |= 4;
        if (TULVEX_JUNK_WORDS.test(words)) junk = 1;
        else if (TULVEX_ARTICLE_WORDS.test(words)) article = true;
        else if (!junk && TULVEX_WEAK_WORDS.test(words)) junk = 3;
    }
    // "hidden md:block" shows on a wide screen.
    if ((more & 8) && name.indexOf(":") >= 0) more -= 8;
    return (article ? 2 : junk) + more;
}

/* What a boundary element is: 1 a paragraph, 2 another block, 3 a table cell, 0 none. */
function tulvexKind(name) {
    return TULVEX_PARAGRAPHS.hasOwnProperty(name) ? 1 : TULVEX_BLOCKS.hasOwnProperty(name) ? 2 :
        name === "td" || name === "th" ? 3 : 0;
}

/*
 * The walk. A chunk's length is the sum of its texts' lengths, a blank
 * between each two; its own text is kept only while it may still be an ad
 * caption.
 */
function tulvexScan(doc) {
    var root = doc.body || doc.documentElement, rootName = String(root.nodeName).toLowerCase(),
        scan = { records: [], heads: [], steps: [], cardMax: 0 }, steps = scan.steps, records = scan.records,
        chunk = "", size = 0, link = 0, marked = false, lead = false, lineSize = 0, lineLink = 0, inLink = 0, inPre = 0,
        prosed = 0, alone = 0, loose = false, broken = false, wordy = TULVEX_WORDY,
        // The walk's constants near at hand: a global costs a search of the scope chain each time.
        skipped = TULVEX_SKIPPED, subheads = TULVEX_SUBHEADS, embedded = TULVEX_EMBEDDED,
        paragraphs = TULVEX_PARAGRAPHS, blocks = TULVEX_BLOCKS,
        filled = TULVEX_FILLED, spread = TULVEX_SPREAD, blanks = TULVEX_BLANKS, punctuation = TULVEX_PUNCTUATION,
        BREAK = TULVEX_BREAK, PARAGRAPH = TULVEX_PARAGRAPH, BLOCK = TULVEX_BLOCK, CELL = TULVEX_CELL,
        PRE = TULVEX_PRE, PRE_END = TULVEX_PRE_END, GAP = TULVEX_GAP, LINK = TULVEX_LINK, LINK_END = TULVEX_LINK_END;

    function close(record) {
        var prose, said;
        if (size) {
            record.text += size;
            // Few short chunks open as an ad caption, a control or a credit can.
            if (size <= 40 && TULVEX_SAID.test(said = chunk.toLowerCase())) {
                said = tulvexCollapse(said);
                // A table's cell may hold "3 / 12" as data.
                if ((size >= 7 && size <= 17 && TULVEX_AD_CAPTION.test(said)) ||
                    (record.name !== "td" && record.name !== "th" && TULVEX_CONTROLS.test(said))) {
                    record.ad = true;
                }
                if (TULVEX_CREDIT.test(said)) record.credits++;
            }
            if (size >= 25 && link * 2 < size) {
                // Links inside its sentences are prose; a line of links that opens it is not.
                record.link += alone;
                prose = (size - alone) * (marked && !inPre ? 1 : 0.5);
                record.prose += prose;
                prosed += prose;
                // An entry of a list: the chunk and the line of links before it, links a tenth of them.
                if ((lead || lineSize) && (lineLink + alone) * 10 >= lineSize + size) {
                    record.led += prose;
                    record.leads++;
                }
            } else {
                record.link += link;
            }
            lineSize = size < 80 && link && !loose ? size : 0;
            lineLink = lineSize ? link : 0;
        }
        chunk = "";
        size = link = alone = 0;
        marked = lead = loose = broken = false;
    }
    function visit(element, name, kind, up, bare) {
        var child, kid, kidBare, kidKind, text, n, childName, other,
            isLink = !bare && name === "a" && element.getAttribute("href"),
            role = bare ? "" : String(element.getAttribute("role") || ""), words = bare ? 0 : tulvexWords(element),
            body = !bare && kind > 0 && TULVEX_BODY.test(String(element.getAttribute("itemprop") || "")),
            record = { node: element, name: name, up: up, order: records.length, last: 0, start: steps.length,
                       end: 0, before: prosed, block: kind > 0, text: 0, link: 0, prose: 0, led: 0, leads: 0,
                       junkText: 0, ad: false, junk: false, feed: false, credits: 0, quoted: 0, articles: 0, top: 0,
                       second: 0, heads: 0, teasers: 0, teaserText: 0, run: 0, runFrom: -1, after: 0, worded: 0,
                       cards: 0, cardProse: 0, cardMax: 0, cardsIn: 0, listing: false,
                       bonus: 1, buried: false,
                       caption: name === "figcaption" || (words & 4) > 0,
                       main: name === "h1" || name === "main" || role === "main" || body },
            hiding = (words & 8) || (!bare && element.getAttribute("aria-hidden") === "true");
        records[records.length] = record;
        if (name === "h1") scan.heads[scan.heads.length] = record;
        if (kind) steps[steps.length] = kind === 1 ? PARAGRAPH : kind === 2 ? BLOCK : CELL;
        if (isLink) { inLink++; steps[steps.length] = LINK; }
        if (name === "pre") { inPre++; steps[steps.length] = PRE; }
        for (child = element.firstChild; child; child = child.nextSibling) {
            if (child.nodeType === 3) {
                text = child.nodeValue;
                steps[steps.length] = text;
                if (!filled.test(text)) continue;
                // Its length with its blanks collapsed, as tulvexCollapse leaves it.
                if (spread.test(text)) text = text.replace(blanks, " ");
                n = text.length;
                if (text.charAt(0) === " ") n--;
                if (text.charAt(text.length - 1) === " ") n--;
                if (size) n++;
                size += n;
                if (inLink) link += n;
                else if (!loose) loose = wordy.test(text);
                if (size <= 40) chunk += " " + text;
                if (!marked) marked = punctuation.test(text);
                continue;
            }
            if (child.nodeType !== 1) continue;
            childName = String(child.nodeName).toLowerCase();
            // Attributes are read only where the element has any (where the browser can tell).
            kidBare = child.hasAttributes && !child.hasAttributes();
            if (skipped.hasOwnProperty(childName) || (!kidBare && tulvexHidden(child))) {
                if (embedded.hasOwnProperty(childName)) steps[steps.length] = GAP;
                continue;
            }
            if (childName === "br") {
                steps[steps.length] = BREAK;
                // A first line of nothing but links: the chunk is led by them.
                if (size && !broken) {
                    broken = true;
                    if (size < 80 && link && !loose) { lead = true; alone = link; }
                }
                continue;
            }
            kidKind = paragraphs.hasOwnProperty(childName) ? 1 : blocks.hasOwnProperty(childName) ? 2 :
                childName === "td" || childName === "th" ? 3 : 0;
            if (kidKind) close(record);
            kid = visit(child, childName, kidKind, record, kidBare);
            if (kid.junk) {
                record.junkText += kid.text + kid.junkText;
                continue;
            }
            record.articles += kid.articles;
            // The prose of its two longest articles.
            if (kid.top > record.top) {
                record.second = record.top > kid.second ? record.top : kid.second;
                record.top = kid.top;
            } else if (kid.top > record.second) {
                record.second = kid.top;
            }
            record.heads += kid.heads;
            // A teaser with some lines of prose under its heading and link: one of a list of cards.
            if (kid.block && kid.heads && kid.link && kid.prose && kid.prose < 600 && !kid.feed &&
                childName !== "p" && !subheads.hasOwnProperty(childName)) {
                record.cards++;
                record.cardProse += kid.prose;
                if (kid.prose > record.cardMax) record.cardMax = kid.prose;
            }
            // A headline and a date, or a link with a line or two: one of a run of teasers, which a heading may open.
            if (kid.block && kid.text <= 200 && kid.prose < 100 && (kid.heads || kid.link) && childName !== "p" &&
                !subheads.hasOwnProperty(childName)) {
                record.teasers++;
                record.teaserText += kid.text;
                if (!record.run++ && record.runFrom < 0) record.runFrom = kid.order;
            } else if (subheads.hasOwnProperty(childName)) {
                record.run = 0;
                record.runFrom = kid.order;
            } else if (kid.text) {
                record.run = 0;
                record.runFrom = -1;
            }
            if (kid.feed) {
                record.junkText += kid.text + kid.junkText;
            } else {
                record.text += kid.text;
                record.link += kid.link;
                record.prose += kid.prose;
                record.led += kid.led;
                record.leads += kid.leads;
                record.credits += kid.credits;
                record.quoted += kid.quoted;
                record.cardsIn += kid.cardsIn;
                record.junkText += kid.junkText;
            }
            if (kid.main) record.main = true;
        }
        // Three cards or more that make most of its prose: a list of cards, whose prose is of no one block.
        if (record.cards >= 3 && record.cardProse * 3 >= record.prose * 2) {
            record.listing = true;
            record.cardsIn = record.prose;
            if (record.cardMax > scan.cardMax) scan.cardMax = record.cardMax;
        }
        if (subheads.hasOwnProperty(name)) record.heads++;
        if (name === "article") {
            record.articles = 1;
            record.top = record.prose;
            record.second = 0;
        }
        if (kind) close(record);
        if (isLink) { inLink--; steps[steps.length] = LINK_END; }
        if (name === "pre") { inPre--; steps[steps.length] = PRE_END; }
        if (kind === 1 || kind === 2) steps[steps.length] = kind === 1 ? PARAGRAPH : BLOCK;
        record.end = steps.length;
        record.last = records.length - 1;
        record.after = prosed;
        record.caption = record.caption || (record.credits > 0 && record.text < 100);
        if (words & 16) record.quoted = record.text;
        // A quoted post, in a wrapper whose words say "social", is no junk.
        other = TULVEX_JUNK_TAGS.hasOwnProperty(name) || (role && TULVEX_JUNK_ROLE.test(role)) ||
            (record.ad && record.text < 40) || (record.teasers >= 3 && record.teaserText * 3 >= record.text * 2);
        record.junk = hiding || (!record.main && (!record.quoted || record.quoted * 2 < record.text) &&
            (other || (words & 3) % 2 === 1));
        record.worded = record.junk && !hiding && !other ? words & 3 : 0;
        // Two articles or more, as a list of teasers or a page of posts: no one article, nor of one.
        record.feed = name !== "article" && record.articles >= 2;
        record.bonus = 1 + ((words & 3) === 2 && name !== "body" ? 0.25 : 0) +
            (name === "article" || name === "main" || role === "main" || role === "article" || body ? 0.5 : 0);
        return record;
    }

    if (!tulvexSkipped(root, rootName)) {
        visit(root, rootName, tulvexKind(rootName), null, false);
    }
    scan.prose = prosed;
    return scan;
}

/*
 * An element made junk by its words alone is no junk where it holds most
 * of the page's prose (weak words: "page-with-sidebar-wrap"), or four
 * fifths of it and leaves too little for an article (other junk words:
 * "page has-comments", a wrapper of all but the page's footer; not a long
 * thread of comments under a short article). Inner ones first, so that a
 * wrapper counts what they give back.
 */
function tulvexUnburyWrappers(scan) {
    var records = scan.records, i, r, up;
    for (i = records.length - 1; i >= 0; i--) {
        r = records[i];
        if (!r.worded || !r.junk || (r.worded === 3 ? r.prose * 2 <= scan.prose :
            r.prose * 5 <= scan.prose * 4 || scan.prose - r.prose >= 300)) continue;
        r.junk = false;
        for (up = r.up; up; up = up.junk || up.feed ? null : up.up) {
            up.text += r.text;
            up.link += r.link;
            up.prose += r.prose;
            up.led += r.led;
            up.leads += r.leads;
            up.credits += r.credits;
            up.quoted += r.quoted;
            up.heads += r.heads;
            up.articles += r.articles;
            if (r.top > up.top) {
                up.second = up.top > r.second ? up.top : r.second;
                up.top = r.top;
            } else if (r.top > up.second) {
                up.second = r.top;
            }
            if (up.name === "article") {
                up.articles = 1;
                up.top = up.prose;
                up.second = 0;
            }
            up.junkText -= r.text;
        }
    }
}

/* Prose of the entries of a list: each led by a link, three or more. */
function tulvexListed(record) {
    return record.leads >= 3 ? record.led : 0;
}

function tulvexScore(record) {
    var other = record.text - record.link - record.prose,
        score = record.prose - tulvexListed(record) - record.link - record.junkText - (other > 0 ? other / 4 : 0);
    return score > 0 ? score * record.bonus : score;
}

var TULVEX_TABLE_PARTS = { table: 1, tbody: 1, thead: 1, tfoot: 1, tr: 1 };

/*
 * A table of data that won for its cells gives way to the block that holds
 * it, where that block holds prose of its own around it: the article is
 * the table and its text. A table for layout, with paragraphs in its cells,
 * stays.
 */
function tulvexAroundTable(records, best) {
    var table = best, up = best.up, i, r;
    if (!TULVEX_TABLE_PARTS.hasOwnProperty(best.name)) return best;
    while (up && TULVEX_TABLE_PARTS.hasOwnProperty(up.name)) {
        table = up;
        up = up.up;
    }
    if (!up || up.buried || !up.block || up.prose - table.prose < 150) return best;
    for (i = table.order + 1; i <= table.last; i++) {
        r = records[i];
        if (r.block && r.prose >= 100 && !TULVEX_TABLE_PARTS.hasOwnProperty(r.name) && r.name !== "td" &&
            r.name !== "th") return best;
    }
    return up;
}

/*
 * Of an article that is one of a block's two or more, that block where
 * another of them has half its prose or more: a page of posts, not one
 * post among teasers of others.
 */
function tulvexAmongArticles(best) {
    var article = best, feed;
    while (article && article.name !== "article") article = article.up;
    feed = article ? article.up : null;
    while (feed && !feed.feed) feed = feed.up;
    return feed && !feed.buried && feed.second * 2 >= article.prose ? feed : best;
}

/*
 * The article's blocks: the best one and the siblings that continue it;
 * not those mostly of lists of cards, where cards are to be left out.
 */
function tulvexParts(records, best, cards) {
    var up = best.up, first = -1, last = -1, i, k, parts = [];
    if (!up) return [best];
    for (i = up.order + 1; i <= up.last; i = k.last + 1) {
        k = records[i];
        if (k === best || (!k.junk && !k.feed && k.block && k.name !== "td" && k.name !== "th" &&
            k.name !== "article" && !(cards && k.cardsIn * 2 >= k.prose) &&
            ((k.prose >= 100 && tulvexListed(k) * 10 < k.prose * 4 && k.link * 4 <= k.text) ||
             (k.name === best.name && k.node.className && k.node.className === best.node.className)))) {
            if (first < 0) first = i;
            last = i;
        }
    }
    for (i = first; i <= last; i = k.last + 1) {
        k = records[i];
        if (!k.junk) parts[parts.length] = k;
    }
    return parts;
}

/*
 * The <h1> of an article whose parts start at record first and end at
 * record last: the first in it with no prose of the page before it since
 * the article's start, else the first in it that the page's own title
 * holds (a title with the site's name), else the last before the article
 * that is not mostly a link (a site's name) or that the page's title holds.
 * None that is junk.
 */
function tulvexHeading(scan, first, last, doc) {
    var i, h, found = null, inside = null;
    function titled(h) {
        return tulvexTitled(scan, doc, tulvexLineOf(scan.steps, h));
    }
    for (i = 0; i < scan.heads.length; i++) {
        h = scan.heads[i];
        if (h.order > last.last) break;
        if (h.buried || !h.text) continue;
        if (h.order < first.order) {
            if (h.link * 2 <= h.text || titled(h)) found = h;
        } else if (h.before === first.before) {
            return h;
        } else if (!inside && titled(h)) {
            inside = h;
        }
    }
    return inside || found;
}

/*
 * Whether a line is the page's og:title, its document title or a part of
 * that title; the titles are read once a scan.
 */
function tulvexTitled(scan, doc, line) {
    var title;
    if (!scan.titles) {
        title = tulvexCollapse(tulvexPlain(String(doc.title || "")));
        scan.titles = ("\n" + tulvexCollapse(tulvexPlain(tulvexMeta(doc, "og:title"))) + "\n" + title + "\n" +
            title.replace(TULVEX_TITLE_PARTS, "\n") + "\n").toLowerCase();
    }
    return scan.titles.indexOf("\n" + line.toLowerCase() + "\n") >= 0;
}

/* The content of the document's <meta> of a property, or "". */
function tulvexMeta(doc, property) {
    var metas = doc.getElementsByTagName("meta"), n = metas.length, i;
    for (i = 0; i < n; i++) {
        if (metas[i].getAttribute("property") === property) return metas[i].getAttribute("content") || "";
    }
    return "";
}

/* What parts a page's title: "Title | Site", "Title - Site", "Title • Site". */
var TULVEX_TITLE_PARTS = / (\||-|\u2013|\u2014|::|\/|\u00AB|\u00BB|\u2022|\u00B7) /g;

/* The page's own title without the site's name: its longest part. */
function tulvexPageTitle(doc) {
    var og = tulvexMeta(doc, "og:title"), i, parts, title = "";
    if (og) return tulvexCollapse(tulvexPlain(og));
    parts = tulvexCollapse(tulvexPlain(String(doc.title || ""))).replace(TULVEX_TITLE_PARTS, "\n").split("\n");
    for (i = 0; i < parts.length; i++) if (parts[i].length > title.length) title = parts[i];
    return title;
}

/*
 * Writes the steps from..to of a walk into lines, passing over the ranges
 * of steps in skips ({start, end}, in order of start). Where reading is
 * given, its free is set on text outside links that holds a letter or
 * digit, and its head is cleared at preformatted text.
 */
function tulvexReplay(steps, from, to, skips, lines, reading) {
    var i = from, k = 0, pre = 0, links = 0, step, letter = TULVEX_LETTER, BREAK = TULVEX_BREAK,
        PARAGRAPH = TULVEX_PARAGRAPH, BLOCK = TULVEX_BLOCK, CELL = TULVEX_CELL, PRE = TULVEX_PRE,
        PRE_END = TULVEX_PRE_END, LINK = TULVEX_LINK, LINK_END = TULVEX_LINK_END, next = skips.length ? skips[0] : null;
    while (i < to) {
        if (next && next.start <= i) {
            if (next.end > i) i = next.end;
            next = ++k < skips.length ? skips[k] : null;
            continue;
        }
        step = steps[i++];
        if (typeof step === "string") {
            if (reading && reading.head && !links && letter.test(step)) reading.free = true;
            lines.add(step, pre > 0);
        }
        else if (step === BREAK) lines.endLine(true);
        else if (step === PARAGRAPH) lines.paragraph();
        else if (step === BLOCK) lines.endLine(false);
        else if (step === CELL) lines.cell();
        else if (step === PRE) { pre++; if (reading) reading.head = false; }
        else if (step === PRE_END) pre--;
        else if (step === LINK) links++;
        else if (step === LINK_END) links--;
        else lines.add(" ", false);  // an embedded object stood between words
    }
}

/* A byline or the time of a change, before the article's first long line. */
var TULVEX_BYLINE = new RegExp("^((by|автор:?) [^.!?]*[^.!?]|(updated|last updated|published|posted|обновлено|" +
    "опубликовано)[ :].*|.*\\d+ ?(min|мин)\\.? (read|чтения).*)$");
var TULVEX_TAIL = new RegExp("^(tags?|tagged|теги|метки|filed under|posted in|categories|рубрик[аи]|" +
    "comments? (are|is) (closed|disabled)|комментарии (закрыты|отключены)|leave a (comment|reply)|" +
    "(add|post) (a |new )?comment|оставьте комментарий|добавить комментарий|\\d+ (comments?|комментари)|no comments|" +
    "be the first|sign up|subscribe|подпишитесь|подписывайтесь|newsletter|have a (news )?tip|got a tip|share this|" +
    "поделиться|more from|more stories|you may also like|related|читайте также|ещё по теме|смотрите также)");

/*
 * The text of the article's parts. Before its first line of 80 characters
 * or more, lines of under 80 that hold nothing but links (a section's
 * name, "Read more"), bylines and times of a change are left out; after
 * its last paragraph, tags and notices.
 */
function tulvexPartsText(steps, parts, skips) {
    var reading = { head: true, free: false }, i, text, end, lines = tulvexLines(function (line) {
        var keep = !reading.head || ((reading.free || line.length >= 80) &&
            !(line.length < 80 && TULVEX_BYLINE.test(line.toLowerCase())));
        if (reading.free && line.length >= 80) reading.head = false;
        reading.free = false;
        return keep;
    });
    for (i = 0; i < parts.length; i++) tulvexReplay(steps, parts[i].start, parts[i].end, skips, lines, reading);
    text = lines.text();
    // Its last lines while they are tags, notices of comments, calls to subscribe or to send news.
    for (end = text.lastIndexOf(TULVEX_LINE_END); end > 0; end = text.lastIndexOf(TULVEX_LINE_END)) {
        if (text.length - end > 200 || !TULVEX_TAIL.test(text.substring(end + 2).toLowerCase())) break;
        text = text.substring(0, end);
        while (text.substring(text.length - 2) === TULVEX_LINE_END) text = text.substring(0, text.length - 2);
    }
    return text;
}

/* The text of one record on one line. */
function tulvexLineOf(steps, record) {
    var lines = tulvexLines();
    tulvexReplay(steps, record.start, record.end, [], lines);
    return lines.text().replace(/(\r\n)+/g, " ");
}

/* Whether two texts share a word of three letters or more. */
function tulvexShareWord(a, b) {
    var words = a.toLowerCase().replace(TULVEX_NOT_LETTERS, " ").split(" "), i;
    b = " " + b.toLowerCase().replace(TULVEX_NOT_LETTERS, " ") + " ";
    for (i = 0; i < words.length; i++) if (words[i].length >= 3 && b.indexOf(" " + words[i] + " ") >= 0) return true;
    return false;
}

function tulvexByStart(a, b) {
    return a.start - b.start;
}

/*
 * Whether a caption stays in an article that starts at record first and
 * ends at record last: one that is the only text of its figure, with the
 * article's prose before and after it, and no credit in it.
 */
function tulvexOwnCaption(steps, caption, first, last) {
    var figure = caption.up && caption.up.name === "figure" ? caption.up : caption;
    return !caption.credits && figure.text === caption.text && figure.before > first.before &&
        figure.after < last.after && !TULVEX_CREDIT.test(tulvexLineOf(steps, caption).toLowerCase());
}

/* The article of a scanned document as {score, text}, or null when none stands out. */
function tulvexArticle(scan, doc) {
    var records = scan.records, page = records[0], best = null, bestScore = 0, i, j, k, r, score, parts, left = [],
        head, title, own, text, alt = null, altScore = 0, dense, cards = false;
    if (!page) return null;
    tulvexUnburyWrappers(scan);
    for (i = 0; i < records.length; i++) {
        r = records[i];
        r.buried = r.junk || (r.up !== null && r.up.buried);
        // On a page with a list, a block led by links is one of its entries.
        if (r.buried || !r.block || r.feed || (r.led * 2 >= r.prose && page.leads >= 3)) continue;
        score = tulvexScore(r);
        if (score > 0 && score >= bestScore) { best = r; bestScore = score; }
        // The best without lists of cards, where it holds prose of twice the longest card's.
        dense = r.prose - r.cardsIn;
        if (dense >= 300 && dense >= scan.cardMax * 2) {
            score -= r.cardsIn * r.bonus;
            if (score > 0 && score >= altScore) { alt = r; altScore = score; }
        }
    }
    // An ancestor that adds many short, separate items gives way to the block of the densest prose.
    if (best && alt && alt !== best && best.cardsIn * 4 >= best.prose) {
        best = alt;
        bestScore = altScore;
        cards = true;
    }
    // A short article stands out only where the page's links are few.
    if (!best || best.prose < (page.link > best.prose * 2 ? 300 : 150) ||
        tulvexListed(best) * 10 >= best.prose * 4) return null;
    best = tulvexAroundTable(records, best);
    best = tulvexAmongArticles(best);
    parts = tulvexParts(records, best, cards);
    for (i = 0; i < parts.length; i++) {
        for (j = parts[i].order; j <= parts[i].last; j++) {
            r = records[j];
            // A run of three teasers or more that ends a block, and the heading before them.
            if (r.run >= 3) {
                for (k = r.runFrom; k <= r.last; k = records[k].last + 1) left[left.length] = records[k];
            }
            if (j === parts[i].order) continue;
            // Lists of mostly text stay: notes, references, steps; and the caption of a figure amid the prose.
            if (r.junk || r.feed || (cards && r.listing) ||
                (!r.main && TULVEX_LISTS.hasOwnProperty(r.name) && r.link * 2 > r.text) ||
                (r.caption && !tulvexOwnCaption(scan.steps, r, parts[0], parts[parts.length - 1]))) {
                left[left.length] = r;
                j = r.last;
            }
        }
    }
    // The title: the article's <h1>; one before the article only where it shares a word with the page's own title
    // or the page's title holds it.
    head = tulvexHeading(scan, parts[0], parts[parts.length - 1], doc);
    title = head ? tulvexLineOf(scan.steps, head) : "";
    if (head && head.order < parts[0].order) {
        own = tulvexPageTitle(doc);
        // "Harbour" under "Harbour - Wikipedia", whose longest part is the site's name.
        if (own && !tulvexShareWord(title, own) && !tulvexTitled(scan, doc, title)) {
            title = own;
        }
    } else if (head) {
        left[left.length] = head;
    } else {
        title = tulvexPageTitle(doc);
    }
    left.sort(tulvexByStart);
    text = tulvexPartsText(scan.steps, parts, left);
    if (!text) return null;
    if (title && text !== title && text.substring(0, title.length + 2) !== title + TULVEX_LINE_END) {
        text = title + TULVEX_LINE_END + TULVEX_LINE_END + text;
    }
    return { score: bestScore, text: text };
}

/* Calls visit(doc) for the window's document and for those of its frames, in page order. */
function tulvexEachDocument(win, visit) {
    var frames = win.frames, i, inner;
    visit(win.document);
    for (i = 0; i < frames.length; i++) {
        try {
            inner = frames[i];
            if (!inner.document || !inner.document.documentElement) inner = null;
        } catch (e) {
            inner = null;  // another site's frame: the browser denies access
        }
        if (inner) tulvexEachDocument(inner, visit);
    }
}

/* The top window when its document may be read, else the window itself. */
function tulvexTopWindow(win) {
    try {
        if (win.top && win.top.document && win.top.document.documentElement) return win.top;
    } catch (e) {
        // the top window belongs to another site
    }
    return win;
}

/*
 * "(tulvex_bit)" from bit.htm: the article of the frame clicked, else the
 * best of the other frames of the page, else the whole text of the frame
 * clicked, also when a page defeats the search for its article.
 */
function tulvexReadable(win) {
    var found = null, scan = null, lines;
    try {
        scan = tulvexScan(win.document);
        found = tulvexArticle(scan, win.document);
        if (!found) {
            tulvexEachDocument(tulvexTopWindow(win), function (doc) {
                var article = doc === win.document ? null : tulvexArticle(tulvexScan(doc), doc);
                if (article && (!found || article.score > found.score)) found = article;
            });
        }
    } catch (e) {
        found = null;
    }
    if (found) return found.text;
    if (!scan) return tulvexText(win.document);
    lines = tulvexLines();
    tulvexReplay(scan.steps, 0, scan.steps.length, [], lines);
    return lines.text();
}

if (typeof module !== "undefined" && module.exports) module.exports.readable = tulvexReadable;
