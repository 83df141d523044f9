// Test helpers: the gathering script in a modern realm or in one that behaves as Internet Explorer's
// legacy script engine (JScript, IE 8 and older), and sample pages served from memory to jsdom.
'use strict';
const fs = require('node:fs'), path = require('node:path'), vm = require('node:vm'), acorn = require('acorn');
const { JSDOM, ResourceLoader } = require('jsdom');
const ROOT = path.join(__dirname, '..');

// Library calls that the legacy engine lacks: any use of them fails the tests.
const MISSING_IN_OLD_IE = {
  '': 'JSON',
  Array: 'isArray from of',
  'Function.prototype': 'bind',
  Date: 'now',
  'String.prototype': 'trim trimStart trimEnd trimLeft trimRight includes startsWith endsWith padStart padEnd repeat ' +
    'at codePointAt normalize replaceAll matchAll',
  Object: 'keys create defineProperty defineProperties freeze assign entries values getPrototypeOf',
  'Array.prototype': 'indexOf lastIndexOf forEach map filter some every reduce reduceRight includes find findIndex ' +
    'fill flat flatMap at keys values entries',
};

// The realm of `global` made the legacy engine: the calls above are gone; split by a regular expression drops empty
// pieces and captured groups; substr takes a negative start as 0; a string indexed with [] gives undefined (__index).

function makeLegacy(global) {
  const { String: S, RegExp: R, Array: A } = global;
  const split = S.prototype.split, substr = S.prototype.substr;
  S.prototype.split = function (separator, limit) {
    if (!(separator instanceof R)) return split.call(this, separator, limit);
    const all = split.call(this, separator), kept = new A(), step = new R(`${separator.source}|`).exec('').length;
    for (let i = 0; i < all.length; i += step) if (all[i] && kept.length < (limit ?? 1 / 0)) kept.push(all[i]);
    return kept;
  };
  S.prototype.substr = function (start, length) {
    return substr.call(this, Math.max(0, start), length);
  };
  global.__index = (object, key) => (typeof object === 'string' ? undefined : object[key]);
  for (const [owner, names] of Object.entries(MISSING_IN_OLD_IE)) {
    const target = owner.split('.').reduce((o, name) => (name ? o[name] : o), global);
    for (const name of names.split(' ')) delete target[name];
  }
}

function eachNode(node, fn, parent = null) {
  fn(node, parent);
  for (const child of Object.values(node).flat()) {
    if (child && typeof child.type === 'string') eachNode(child, fn, node);
  }
}

// The script file, for the legacy engine with every read of o[k] made __index(o, k).
function readScript(file, legacy) {
  let source = fs.readFileSync(file, 'utf8');
  const edits = [];
  eachNode(legacy && /\.js$/.test(file) ? acorn.parse(source, { ecmaVersion: 3 }) : {}, (n, up) => {
    if (n.type !== 'MemberExpression' || !n.computed || up.callee === n || up.type === 'UpdateExpression' ||
        (up.type === 'AssignmentExpression' && up.left === n) || up.operator === 'delete') return;
    edits.push([n.start, n.start, '__index('], [n.object.end, n.property.start, ','], [n.property.end, n.end, ')']);
  });
  for (const [at, to, text] of edits.sort((a, b) => b[0] - a[0])) {
    source = source.slice(0, at) + text + source.slice(to);
  }
  return source;
}

// The gathering script and the reader view, as bit.htm loads them.
function loadGather(legacy = true) {
  const context = vm.createContext({ module: { exports: {} } });
  if (legacy) makeLegacy(vm.runInContext('this', context));
  for (const file of ['tulvex_gather.js', 'tulvex_reader.js'].map((name) => path.join(ROOT, name))) {
    vm.runInContext(readScript(file, legacy), context, { filename: file });
  }
  return context.module.exports;
}

class MemoryLoader extends ResourceLoader {
  constructor(pages, legacy) {
    super();
    Object.assign(this, { pages, legacy });
  }
  fetch(url) {
    const page = url.startsWith('file:') ? readScript(new URL(url), this.legacy) : this.pages[url];
    return page === undefined ? null : Promise.resolve(Buffer.from(page));
  }
}

// The window of `html` at `url` once it and its frames (`pages`: address -> HTML) have loaded; with `legacy` the
// page's own scripts run in the legacy engine.
function openPage(url, html, { pages = {}, beforeParse, runScripts, legacy = false } = {}) {
  return new Promise((resolve) => {
    const dom = new JSDOM(html, { url, resources: new MemoryLoader(pages, legacy), runScripts,
      beforeParse(window) { if (legacy) makeLegacy(window); if (beforeParse) beforeParse(window); } });
    dom.window.addEventListener('load', () => resolve(dom.window));
  });
}


module.exports = { ROOT, loadGather, openPage, eachNode };
