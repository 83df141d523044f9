// Test helpers: the gathering script loaded the way an old Internet Explorer
// sees it (no ES5 library), and sample pages served from memory to jsdom.
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');
const { JSDOM, ResourceLoader } = require('jsdom');

const ROOT = path.join(__dirname, '..');

// Library calls that IE's script engine before version 9 lacks: any use of
// them in the script fails the tests.
const MISSING_IN_OLD_IE = {
  'String.prototype': 'trim trimStart trimEnd trimLeft trimRight includes startsWith endsWith padStart padEnd ' +
    'repeat at codePointAt normalize replaceAll matchAll',
  'Array.prototype': 'indexOf lastIndexOf forEach map filter some every reduce reduceRight includes find ' +
    'findIndex fill flat flatMap at keys values entries',
  Array: 'isArray from of',
  Object: 'keys create defineProperty defineProperties freeze assign getPrototypeOf entries values',
  'Function.prototype': 'bind',
  Date: 'now',
  globalThis: 'JSON',
};

function loadGather() {
  const context = vm.createContext({ module: { exports: {} } });
  for (const [owner, names] of Object.entries(MISSING_IN_OLD_IE)) {
    vm.runInContext(names.split(' ').map((n) => `delete ${owner}.${n};`).join(''), context);
  }
  const file = path.join(ROOT, 'tulvex_gather.js');
  vm.runInContext(fs.readFileSync(file, 'utf8'), context, { filename: file });
  return context.module.exports;
}

class MemoryLoader extends ResourceLoader {
  constructor(pages) { super(); this.pages = pages; }
  fetch(url) {
    if (url.startsWith('file:')) return Promise.resolve(fs.readFileSync(new URL(url)));
    return url in this.pages ? Promise.resolve(Buffer.from(this.pages[url])) : null;
  }
}

// The window of `html` at `url` once it and its frames (from `pages`,
// address -> HTML) have loaded; the frames at the `denied` addresses refuse
// the script their documents, as another site's frames do.
function openPage(url, html, { pages = {}, denied = [], beforeParse, runScripts } = {}) {
  return new Promise((resolve) => {
    const dom = new JSDOM(html, { url, resources: new MemoryLoader(pages), runScripts, beforeParse });
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
