// Test helpers: the gathering script loaded the way an old Internet Explorer
// sees it (no ES5 library), and sample pages served from memory to jsdom.
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');
const { JSDOM, ResourceLoader } = require('jsdom');

const ROOT = path.join(__dirname, '..');

// Library calls that IE's script engine before version 9 lacks. Running the
// script in a realm without them makes any use of them fail the tests.
const MISSING_IN_OLD_IE = `
  for (const n of ['trim', 'trimStart', 'trimEnd', 'trimLeft', 'trimRight', 'includes', 'startsWith',
                   'endsWith', 'padStart', 'padEnd', 'repeat', 'at', 'codePointAt', 'normalize',
                   'replaceAll', 'matchAll']) delete String.prototype[n];
  for (const n of ['indexOf', 'lastIndexOf', 'forEach', 'map', 'filter', 'some', 'every', 'reduce',
                   'reduceRight', 'includes', 'find', 'findIndex', 'fill', 'flat', 'flatMap', 'at',
                   'keys', 'values', 'entries']) delete Array.prototype[n];
  for (const n of ['isArray', 'from', 'of']) delete Array[n];
  for (const n of ['keys', 'create', 'defineProperty', 'defineProperties', 'freeze', 'assign',
                   'getPrototypeOf', 'entries', 'values']) delete Object[n];
  delete Function.prototype.bind; delete Date.now; delete globalThis.JSON;
`;

function loadGather() {
  const context = vm.createContext({});
  vm.runInContext(MISSING_IN_OLD_IE, context);
  context.module = { exports: {} };
  const file = path.join(ROOT, 'tulvex_gather.js');
  vm.runInContext(fs.readFileSync(file, 'utf8'), context, { filename: file });
  return context.module.exports;
}

class MemoryLoader extends ResourceLoader {
  constructor(pages) { super(); this.pages = pages; }
  fetch(url) {
    if (url.startsWith('file:')) return Promise.resolve(fs.readFileSync(new URL(url)));
    const page = this.pages[url];
    return page === undefined ? null : Promise.resolve(Buffer.from(page));
  }
}

// The window of `html` at `url` once it and its frames have loaded; frames
// come from `pages` (address -> HTML). `denied` lists frame addresses whose
// documents the browser refuses to show the script (another site's frames).
function openPage(url, html, { pages = {}, denied = [], beforeParse, runScripts } = {}) {
  return new Promise((resolve) => {
    const dom = new JSDOM(html, {
      url, resources: new MemoryLoader(pages), runScripts,
      beforeParse,
    });
    dom.window.addEventListener('load', () => {
      denyFrames(dom.window.document, denied);
      resolve(dom.window);
    });
  });
}

function denyFrames(document, denied) {
  for (const frame of document.querySelectorAll('frame, iframe')) {
    if (denied.includes(frame.src)) {
      Object.defineProperty(frame, 'contentWindow', { get() { throw new Error('Access is denied.'); } });
    } else if (frame.contentWindow) {
      denyFrames(frame.contentWindow.document, denied);
    }
  }
}

module.exports = { ROOT, loadGather, openPage };
