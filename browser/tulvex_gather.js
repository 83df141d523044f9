/*
 * Tulvex, browser half: what each context-menu entry puts on the clipboard.
 *
 * Plain functions over a document (and its frames). Internet Explorer loads
 * this file into the menu pages with <script src>, Node's tests run it in a
 * context of their own; so it is written for the oldest script engine that
 * runs it: var and function only, no ES5 library calls (no trim, indexOf on
 * arrays, forEach, JSON), no indexing of strings with [], no split by a
 * regular expression (that engine drops the empty pieces), no substr with a
 * negative start, no \s in regular expressions (it misses the Unicode
 * spaces there). The reader view's search for a page's article is in
 * tulvex_reader.js, which bit.htm loads after this file.
 *
 * The program reads the clipboard as CF_TEXT, that is Windows-1251 on a
 * Russian Windows: HTML fragments therefore carry every character that
 * Windows-1251 lacks as a numeric reference, and addresses are made ASCII.
 */

var TULVEX_LINE_END = "\r\n";

/* Windows-1251 bytes 0x80..0xBF as Unicode; 0x98 has no character. */
var TULVEX_CP1251_HIGH =
    "\u0402\u0403\u201A\u0453\u201E\u2026\u2020\u2021\u20AC\u2030\u0409\u2039\u040A\u040C\u040B\u040F" +
    "\u0452\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u0000\u2122\u0459\u203A\u045A\u045C\u045B\u045F" +
    "\u00A0\u040E\u045E\u0408\u00A4\u0490\u00A6\u00A7\u0401\u00A9\u0404\u00AB\u00AC\u00AD\u00AE\u0407" +
    "\u00B0\u00B1\u0406\u0456\u0491\u00B5\u00B6\u00B7\u0451\u2116\u0454\u00BB\u0458\u0405\u0455\u0457";

/* Longest line that the program's list reader takes whole. */
var TULVEX_MAX_LINE = 511;

/* Inner width of the program's page cell: 640 less 2 x 20 of padding. */
var TULVEX_CELL_WIDTH = 600;

/* Longest link or picture title shown in a list. */
var TULVEX_MAX_TITLE = 200;

function tulvexInCp1251(code) {
    if (code < 0x80) return true;
    if (code >= 0x0410 && code <= 0x044F) return true;
    return TULVEX_CP1251_HIGH.indexOf(String.fromCharCode(code)) >= 0;
}

/* Text for HTML text and double-quoted attributes, safe in Windows-1251. */
function tulvexHtml(s) {
    var out = "", i, c, code, next;
    s = String(s);
    for (i = 0; i < s.length; i++) {
        c = s.charAt(i);
        code = s.charCodeAt(i);
        if (c === "&") out += "&amp;";
        else if (c === "<") out += "&lt;";
        else if (c === ">") out += "&gt;";
        else if (c === '"') out += "&quot;";
        else if (c === "'") out += "&#39;";
        else if (code === 0) out += "&#65533;";
        else if (code >= 0xD800 && code <= 0xDBFF && i + 1 < s.length &&
                 (next = s.charCodeAt(i + 1)) >= 0xDC00 && next <= 0xDFFF) {
            out += "&#" + ((code - 0xD800) * 0x400 + (next - 0xDC00) + 0x10000) + ";";
            i++;
        } else if (code >= 0xD800 && code <= 0xDFFF) out += "&#65533;";
        else if (tulvexInCp1251(code)) out += c;
        else out += "&#" + code + ";";
    }
    return out;
}

function tulvexCollapse(s) {
    return String(s).replace(/[ \t\n\r\f]+/g, " ").replace(/^ /, "").replace(/ $/, "");
}

function tulvexCut(s, max) {
    return s.length > max ? s.substring(0, max) + "\u2026" : s;
}

function tulvexScheme(address) {
    var m = /^([a-zA-Z][a-zA-Z0-9+.\-]*):/.exec(address);
    return m ? m[1].toLowerCase() : "";
}

function tulvexSchemeIn(address, list) {
    var scheme = tulvexScheme(address), i;
    for (i = 0; i < list.length; i++) if (list[i] === scheme) return true;
    return false;
}

function tulvexWithoutFragment(address) {
    var hash = address.indexOf("#");
    return hash < 0 ? address : address.substring(0, hash);
}

/*
 * An address as plain ASCII: blanks, control characters and every
 * character above 0x7E are written as percent-encoded UTF-8, so that an
 * address is one word on a command line, one line of a list, and survives
 * the Windows-1251 clipboard. Host names are left alone.
 */
function tulvexAddress(address) {
    var out = "", i, c, code, start = 0, m;
    address = String(address);
    m = /^[a-zA-Z][a-zA-Z0-9+.\-]*:\/\/[^\/?#]*/.exec(address);
    if (m) {
        out = m[0].replace(/[\u0000-\u0020\u007F]/g, "");
        start = m[0].length;
    }
    for (i = start; i < address.length; i++) {
        c = address.charAt(i);
        code = address.charCodeAt(i);
        if (code > 0x20 && code < 0x7F) { out += c; continue; }
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < address.length) {
            c += address.charAt(i + 1);
        }
        try {
            out += encodeURIComponent(c);
            i += c.length - 1;
        } catch (e) {
            out += "%EF%BF%BD";
        }
    }
    return out;
}

/* A relative address made absolute against the document's base address. */
function tulvexResolve(doc, relative) {
    var holder = doc.createElement("div");
    holder.innerHTML = '<a href="' + String(relative).replace(/&/g, "&amp;")
        .replace(/"/g, "&quot;").replace(/</g, "&lt;") + '">x</a>';
    return holder.firstChild.href;
}

/* The document and, in order, every frame and inline frame that may be read. */
function tulvexDocuments(doc) {
    var docs = [], seen = [];
    function visit(d) {
        var i, j, frames, inner;
        for (i = 0; i < seen.length; i++) if (seen[i] === d) return;
        seen[seen.length] = d;
        docs[docs.length] = d;
        frames = tulvexElements(d, ["frame", "iframe"]);
        for (j = 0; j < frames.length; j++) {
            inner = null;
            try {
                inner = frames[j].contentWindow.document;
                if (inner && !inner.documentElement) inner = null;
            } catch (e) {
                inner = null;  // another site's frame: the browser denies access
            }
            if (inner) visit(inner);
        }
    }
    visit(doc);
    return docs;
}

/* Elements of the given lower-case tag names, in document order. */
function tulvexElements(doc, names) {
    var all = doc.getElementsByTagName("*"), n = all.length, found = [], i, j, name;
    for (i = 0; i < n; i++) {
        name = String(all[i].nodeName).toLowerCase();
        for (j = 0; j < names.length; j++) {
            if (name === names[j]) { found[found.length] = all[i]; break; }
        }
    }
    return found;
}

function tulvexAncestor(node, names) {
    var j, name;
    for (; node; node = node.parentNode) {
        if (node.nodeType !== 1) continue;
        name = String(node.nodeName).toLowerCase();
        for (j = 0; j < names.length; j++) if (name === names[j]) return node;
    }
    return null;
}

/* Visible text of an element on one line; pictures speak by their alt. */
function tulvexInlineText(node) {
    var text = "", child, name;
    for (child = node.firstChild; child; child = child.nextSibling) {
        if (child.nodeType === 3) text += " " + child.nodeValue;
        else if (child.nodeType === 1) {
            name = String(child.nodeName).toLowerCase();
            if (name === "img") text += " " + (child.getAttribute("alt") || "");
            else if (name !== "script" && name !== "style") text += " " + tulvexInlineText(child);
        }
    }
    return text;
}

function tulvexList() {
    var list = { items: [], seen: {} };
    list.add = function (key, item) {
        if (list.seen.hasOwnProperty("k" + key)) return false;
        list.seen["k" + key] = true;
        list.items[list.items.length] = item;
        return true;
    };
    return list;
}

/* A link to a place in its own page ("#part", "page.htm#part" on that page). */
function tulvexSamePageAnchor(doc, address) {
    return address.indexOf("#") >= 0 &&
        tulvexWithoutFragment(address) === tulvexWithoutFragment(String(doc.URL));
}

var TULVEX_LINK_SCHEMES = ["http", "https", "ftp", "file", "mailto"];
var TULVEX_MEDIA_SCHEMES = ["http", "https", "ftp", "file"];
var TULVEX_FETCH_SCHEMES = ["http", "https", "ftp"];

/*
 * Whether a result page, a local file, may load a picture or a Flash
 * object written in the page as raw and made the address: only from the
 * web. A file: address, or a share written as \\server\share (or with
 * slashes and backslashes mixed), would make Windows log in to that server
 * with the user's name and password; such objects are listed as text.
 */
function tulvexLoadable(raw, address) {
    return tulvexSchemeIn(address, TULVEX_FETCH_SCHEMES) && !/^[\u0000-\u0020]*(\\[\/\\]|\/\\)/.test(raw);
}

/* What a list shows of an object it does not load: its address as text. */
function tulvexUnloaded(address) {
    return tulvexHtml(address) + "<br>Не показано: файл с диска или из сетевой папки.";
}

/* Calls visit(address, element) for each link of the documents, in page
 * order, whose address has one of the schemes and leads off the page. */
function tulvexEachLink(docs, schemes, visit) {
    var d, i, links, address;
    for (d = 0; d < docs.length; d++) {
        links = tulvexElements(docs[d], ["a", "area"]);
        for (i = 0; i < links.length; i++) {
            if (!links[i].getAttribute("href")) continue;
            address = tulvexAddress(links[i].href);
            if (tulvexSchemeIn(address, schemes) && !tulvexSamePageAnchor(docs[d], address)) visit(address, links[i]);
        }
    }
}

/* Links of the documents: {address, title}; once each, in page order. */
function tulvexLinks(docs) {
    var list = tulvexList();
    tulvexEachLink(docs, TULVEX_LINK_SCHEMES, function (address, a) {
        var title = tulvexCollapse(tulvexInlineText(a));
        if (!title) title = tulvexCollapse(a.getAttribute("title") || a.getAttribute("alt") || "");
        list.add(address, { address: address, title: tulvexCut(title, TULVEX_MAX_TITLE) });
    });
    return list.items;
}

/* Pictures of the documents: {address, loadable, title, width, height, link}. */
function tulvexPictures(docs) {
    var list = tulvexList(), d, i, images, img, raw, address, a, link;
    for (d = 0; d < docs.length; d++) {
        images = tulvexElements(docs[d], ["img"]);
        for (i = 0; i < images.length; i++) {
            img = images[i];
            raw = img.getAttribute("src");
            if (!raw) continue;
            address = tulvexAddress(img.src);
            if (!tulvexSchemeIn(address, TULVEX_MEDIA_SCHEMES)) continue;
            a = tulvexAncestor(img, ["a"]);
            link = a && a.getAttribute("href") ? tulvexAddress(a.href) : "";
            if (!tulvexSchemeIn(link, TULVEX_LINK_SCHEMES)) link = "";
            list.add(address, {
                address: address,
                loadable: tulvexLoadable(raw, address),
                title: tulvexCut(tulvexCollapse(img.getAttribute("alt") || img.getAttribute("title") || ""),
                                 TULVEX_MAX_TITLE),
                width: parseInt(img.width, 10) || 0,
                height: parseInt(img.height, 10) || 0,
                link: link
            });
        }
    }
    return list.items;
}

function tulvexIsFlashAddress(address) {
    return /\.swf$/i.test(String(address).replace(/[?#].*$/, ""));
}

function tulvexParam(object, names) {
    var params = object.getElementsByTagName("param"), n = params.length, i, j, name;
    for (i = 0; i < n; i++) {
        name = String(params[i].getAttribute("name") || "").toLowerCase();
        for (j = 0; j < names.length; j++) {
            if (name === names[j]) return params[i].getAttribute("value") || "";
        }
    }
    return "";
}

/* Flash objects of the documents (<object> and <embed>): {address, loadable, width, height}. */
function tulvexFlash(docs) {
    var list = tulvexList(), d, i, elements, el, type, source, flash, address;
    for (d = 0; d < docs.length; d++) {
        elements = tulvexElements(docs[d], ["object", "embed"]);
        for (i = 0; i < elements.length; i++) {
            el = elements[i];
            type = String(el.getAttribute("type") || "").toLowerCase();
            if (String(el.nodeName).toLowerCase() === "embed") {
                source = el.getAttribute("src") || "";
            } else {
                source = el.getAttribute("data") || tulvexParam(el, ["movie", "src"]);
                if (!source) {
                    try { source = el.movie || ""; } catch (e) { source = ""; }  // the Flash control's own property
                }
            }
            flash = type === "application/x-shockwave-flash" ||
                /d27cdb6e-ae6d-11cf-96b8-444553540000/i.test(String(el.getAttribute("classid") || "")) ||
                tulvexIsFlashAddress(source);
            if (!flash || !source) continue;
            address = tulvexAddress(tulvexResolve(docs[d], source));
            if (!tulvexSchemeIn(address, TULVEX_MEDIA_SCHEMES)) continue;
            list.add(address, {
                address: address,
                loadable: tulvexLoadable(source, address),
                width: parseInt(el.getAttribute("width"), 10) || 0,
                height: parseInt(el.getAttribute("height"), 10) || 0
            });
        }
    }
    return list.items;
}

/* The head of every list page: what it lists, how many, and from which page. */
function tulvexListHead(doc, heading, count) {
    var address = tulvexAddress(doc.URL), title = tulvexCollapse(doc.title || "");
    return "<h3>" + tulvexHtml(heading) + ": " + count + "</h3>\n" +
        "<p style=\"word-wrap:break-word\">" + (title ? "<b>" + tulvexHtml(title) + "</b><br>" : "") +
        "<a href=\"" + tulvexHtml(address) + "\">" + tulvexHtml(address) + "</a></p>\n<hr size=1>\n";
}

function tulvexAddressLink(address) {
    return "<a href=\"" + tulvexHtml(address) + "\">" + tulvexHtml(address) + "</a>";
}

function tulvexEntry(number, body) {
    return "<p style=\"word-wrap:break-word\">" + number + ". " + body + "</p>\n";
}

/* "(tulvex_links)": the page's links, numbered, each with its address. */
function tulvexLinksFragment(doc) {
    var links = tulvexLinks(tulvexDocuments(doc)), out, i;
    out = tulvexListHead(doc, "Ссылки страницы", links.length);
    if (!links.length) return out + "<p>На странице нет ссылок.</p>\n";
    for (i = 0; i < links.length; i++) {
        out += tulvexEntry(i + 1, (links[i].title ? tulvexHtml(links[i].title) + "<br>" : "") +
            tulvexAddressLink(links[i].address));
    }
    return out;
}

/* Size attributes that fit a picture into the page cell, keeping its shape. */
function tulvexFitted(width, height) {
    if (!width || !height) return "";
    if (width > TULVEX_CELL_WIDTH) {
        height = Math.max(1, Math.round(height * TULVEX_CELL_WIDTH / width));
        width = TULVEX_CELL_WIDTH;
    }
    return " width=" + width + " height=" + height;
}

/* "(tulvex_img)": the page's pictures, shown and numbered, with their addresses. */
function tulvexPicturesFragment(doc) {
    var pictures = tulvexPictures(tulvexDocuments(doc)), out, i, p, body;
    out = tulvexListHead(doc, "Картинки страницы", pictures.length);
    if (!pictures.length) return out + "<p>На странице нет картинок.</p>\n";
    for (i = 0; i < pictures.length; i++) {
        p = pictures[i];
        body = (p.title ? tulvexHtml(p.title) + "<br>" : "") + (!p.loadable ? tulvexUnloaded(p.address) :
            "<a href=\"" + tulvexHtml(p.address) + "\"><img src=\"" + tulvexHtml(p.address) + "\"" +
            tulvexFitted(p.width, p.height) + " border=0 alt=\"" + tulvexHtml(p.title) + "\"></a><br>" +
            tulvexAddressLink(p.address)) +
            (p.link ? "<br>Ссылка: " + tulvexAddressLink(p.link) : "");
        out += tulvexEntry(i + 1, body);
    }
    return out;
}

/* "(tulvex_swf)": the page's Flash objects, numbered, with their addresses and sizes. */
function tulvexFlashFragment(doc) {
    var films = tulvexFlash(tulvexDocuments(doc)), out, i;
    out = tulvexListHead(doc, "Flash-ролики страницы", films.length);
    if (!films.length) return out + "<p>На странице нет Flash-роликов.</p>\n";
    for (i = 0; i < films.length; i++) {
        out += tulvexEntry(i + 1, (films[i].loadable ? tulvexAddressLink(films[i].address) :
                                   tulvexUnloaded(films[i].address)) +
            (films[i].width && films[i].height ?
                "<br>Размер: " + films[i].width + " x " + films[i].height : ""));
    }
    return out;
}

/*
 * "(tulvex_html)": the document's HTML as the browser holds it. Line ends
 * become "\n", which the program stores as "\r\n".
 */
function tulvexSource(doc) {
    var type = doc.doctype, head = "";
    if (type && type.name) {
        head = "<!DOCTYPE " + type.name +
            (type.publicId ? " PUBLIC \"" + type.publicId + "\"" : "") +
            (type.systemId ? (type.publicId ? " \"" : " SYSTEM \"") + type.systemId + "\"" : "") + ">\n";
    }
    return (head + doc.documentElement.outerHTML).replace(/\r\n?/g, "\n");
}

var TULVEX_SKIPPED = { script: 1, style: 1, noscript: 1, template: 1, head: 1, title: 1, select: 1,
                       textarea: 1, object: 1, embed: 1, iframe: 1, frame: 1, frameset: 1, applet: 1 };
var TULVEX_EMBEDDED = { object: 1, embed: 1, iframe: 1, applet: 1 };
var TULVEX_PARAGRAPHS = { p: 1, h1: 1, h2: 1, h3: 1, h4: 1, h5: 1, h6: 1, blockquote: 1, pre: 1,
                          table: 1, ul: 1, ol: 1, dl: 1, hr: 1, address: 1, fieldset: 1, figure: 1 };
var TULVEX_BLOCKS = { div: 1, li: 1, tr: 1, dt: 1, dd: 1, form: 1, center: 1, caption: 1, legend: 1,
                      section: 1, article: 1, header: 1, footer: 1, nav: 1, aside: 1, main: 1,
                      figcaption: 1, menu: 1, dir: 1, tbody: 1, thead: 1, tfoot: 1, body: 1 };

/*
 * Page text as the program's formatter can take it: characters that take
 * no room (zero-width spaces and joiners, direction marks, the byte-order
 * mark, the soft hyphen) are dropped, the Unicode spaces become a blank;
 * Windows-1251 holds none of them, so each would be a '?'. The no-break
 * space stays within a line: Windows-1251 holds it, the formatter takes it
 * for a letter, and Russian typesetting puts it after initials and
 * abbreviations ("А.\u00A0С.\u00A0Пушкин", "т.\u00A0е."), where a blank would
 * get a false sentence mark. At a line's ends it counts as a blank.
 */
function tulvexPlain(text) {
    return text.replace(/[\u00AD\u200B-\u200F\u202A-\u202E\u2060-\u2069\uFEFF]+/g, "")
        .replace(/[\u1680\u2000-\u200A\u2028\u2029\u202F\u205F\u3000]/g, " ");
}

/* Hidden by its attributes: hidden, or an inline style of display: none or visibility: hidden. */
function tulvexHidden(element) {
    var style;
    if (element.getAttribute("hidden") !== null) return true;
    style = element.getAttribute("style") ? element.style : null;
    return !!style && (style.display === "none" || style.visibility === "hidden");
}

function tulvexSkipped(element, name) {
    return TULVEX_SKIPPED.hasOwnProperty(name) || tulvexHidden(element);
}

/*
 * The lines of a text as it reads: one per block or line break, an empty
 * line between paragraphs (which the program's formatter marks as
 * paragraphs), blanks collapsed outside <pre>; lines end in "\r\n". The
 * text starts with its first line that holds more than blanks, the
 * program's heading. The reader replays its walk's record into the same
 * lines, so that an article reads as the whole text does; keep, where
 * given, tells of each line with text whether it stays.
 */
function tulvexLines(keep) {
    var lines = [], line = "", out = {};

    function endLine(keepEmpty) {
        line = line.replace(/[ \t\u00A0]+$/, "");
        if (line && keep && !keep(line)) line = "";
        else if (line || (keepEmpty && lines.length)) lines[lines.length] = line;
        line = "";
    }
    function add(text, pre) {
        var end;
        text = tulvexPlain(text);
        if (!pre) {
            text = text.replace(/[ \t\n\r\f]+/g, " ");
            if (!line || line.charAt(line.length - 1) === " ") text = text.replace(/^[ \u00A0]+/, "");
            line += text;
            return;
        }
        // Line by line without split: the legacy engine's split by a
        // regular expression drops the empty lines.
        text = text.replace(/\r\n?/g, "\n");
        for (end = text.indexOf("\n"); end >= 0; end = text.indexOf("\n")) {
            line += text.substring(0, end);
            endLine(true);
            text = text.substring(end + 1);
        }
        line += text;
    }
    out.add = add;
    out.endLine = endLine;
    out.paragraph = function () {
        endLine(false);
        if (lines.length && lines[lines.length - 1] !== "") lines[lines.length] = "";
    };
    // A table cell starts after a blank.
    out.cell = function () {
        if (line) add(" ", false);
    };
    out.text = function () {
        endLine(false);
        while (lines.length && lines[lines.length - 1] === "") lines.length = lines.length - 1;
        return lines.join(TULVEX_LINE_END);
    };
    return out;
}

/* "(tulvex_bit)" from alltext.htm, and wherever no article is found: the document's whole text. */
function tulvexText(doc) {
    var lines = tulvexLines();

    function visit(node, pre) {
        var child, name, paragraph, block;
        if (node.nodeType === 3) { lines.add(node.nodeValue, pre); return; }
        if (node.nodeType !== 1) return;
        name = String(node.nodeName).toLowerCase();
        if (tulvexSkipped(node, name)) {
            if (TULVEX_EMBEDDED.hasOwnProperty(name)) lines.add(" ", false);  // it stood between words
            return;
        }
        if (name === "br") { lines.endLine(true); return; }
        if (name === "td" || name === "th") lines.cell();
        paragraph = TULVEX_PARAGRAPHS.hasOwnProperty(name);
        block = !paragraph && TULVEX_BLOCKS.hasOwnProperty(name);
        if (paragraph) lines.paragraph();
        else if (block) lines.endLine(false);
        for (child = node.firstChild; child; child = child.nextSibling) visit(child, pre || name === "pre");
        if (paragraph) lines.paragraph();
        else if (block) lines.endLine(false);
    }

    visit(doc.body || doc.documentElement, false);
    return lines.text();
}

/*
 * "(tulvex_showi)": the address of the link under the mouse (the element
 * the menu was opened on), or else the page's own address.
 */
function tulvexReopenAddress(doc, element) {
    var a = element ? tulvexAncestor(element, ["a", "area"]) : null, address;
    if (a && a.getAttribute("href")) {
        address = tulvexAddress(a.href);
        if (tulvexSchemeIn(address, TULVEX_MEDIA_SCHEMES)) return address;
    }
    return tulvexAddress(doc.URL);
}

/* The file name that the program's downloader makes of an address. */
function tulvexDownloadName(address) {
    var slash = Math.max(address.lastIndexOf("/"), address.lastIndexOf("\\"));
    return address.substring(slash + 1);
}

/*
 * "(tulvex_loud_links)": the addresses of the links that can be fetched
 * (http, https, ftp), without the part after '#', once each, in page
 * order, "\r\n" between them. The downloader ends its walk at a line whose
 * file name is shorter than 4 characters (an address ending in '/', as most
 * links to sites and folders do) and takes a line of more than 511
 * characters in pieces; such addresses would lose every link after them,
 * so they are left out.
 */
function tulvexLinkList(doc) {
    var list = tulvexList();
    tulvexEachLink(tulvexDocuments(doc), TULVEX_FETCH_SCHEMES, function (address) {
        address = tulvexWithoutFragment(address);
        if (address.length <= TULVEX_MAX_LINE && tulvexDownloadName(address).length >= 4) list.add(address, address);
    });
    return list.items.join(TULVEX_LINE_END);
}

/* The top document of a window when it may be read, else the window's own. */
function tulvexTopDocument(win) {
    try {
        if (win.top && win.top.document && win.top.document.documentElement) return win.top.document;
    } catch (e) {
        // the top window belongs to another site
    }
    return win.document;
}

var TULVEX_KEYWORDS = ["(tulvex_links)", "(tulvex_img)", "(tulvex_swf)", "(tulvex_html)",
                       "(tulvex_bit)", "(tulvex_showi)", "(tulvex_loud_links)"];

/*
 * The clipboard text for a keyword. win is the window the menu was opened
 * in, element the element under the mouse (or null), way "all" for the
 * whole page's text under "(tulvex_bit)". Lists gather from the whole page,
 * frames included; source and text are those of the frame that was
 * clicked. NUL characters are dropped: they would end CF_TEXT early.
 */
function tulvexClipboardFor(keyword, win, element, way) {
    var top = tulvexTopDocument(win), text;
    if (keyword === "(tulvex_links)") text = tulvexLinksFragment(top);
    else if (keyword === "(tulvex_img)") text = tulvexPicturesFragment(top);
    else if (keyword === "(tulvex_swf)") text = tulvexFlashFragment(top);
    else if (keyword === "(tulvex_html)") text = tulvexSource(win.document);
    else if (keyword === "(tulvex_bit)") text = way === "all" ? tulvexText(win.document) : tulvexReadable(win);
    else if (keyword === "(tulvex_showi)") text = tulvexReopenAddress(top, element);
    else if (keyword === "(tulvex_loud_links)") text = tulvexLinkList(top);
    else throw new Error("unknown keyword " + keyword);
    return text.replace(/\u0000/g, "");
}

/* What the menu says instead of starting the program on an empty result. */
function tulvexNothingMessage(keyword) {
    if (keyword === "(tulvex_bit)") return "На странице нет текста.";
    if (keyword === "(tulvex_loud_links)") return "На странице нет ссылок на файлы, которые можно загрузить.";
    return "На странице нечего взять.";
}

if (typeof module !== "undefined" && module.exports) {
    module.exports = {
        inCp1251: tulvexInCp1251,
        html: tulvexHtml,
        address: tulvexAddress,
        documents: tulvexDocuments,
        linksFragment: tulvexLinksFragment,
        picturesFragment: tulvexPicturesFragment,
        flashFragment: tulvexFlashFragment,
        source: tulvexSource,
        text: tulvexText,
        reopenAddress: tulvexReopenAddress,
        linkList: tulvexLinkList,
        clipboardFor: tulvexClipboardFor,
        nothingMessage: tulvexNothingMessage,
        keywords: TULVEX_KEYWORDS
    };
}
