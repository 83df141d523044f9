// The reader view over page shapes that real sites make, in the legacy and in a modern engine.
'use strict';
const test = require('node:test'), assert = require('node:assert/strict');
const { loadGather, openPage } = require('./load.js'), { SHAPES } = require('./shapes.js');
const legacy = loadGather(), modern = loadGather(false);

test('reader view: the title, then the article without what is not of it; the whole text where no article is',
  async () => {
  for (const { name, html, pages, frame, whole, art, junk } of SHAPES) {
    const top = await openPage('http://site.test/a.htm', html, { pages });
    const win = frame === undefined ? top : top.frames[frame];
    const text = legacy.readable(win);
    assert.equal(modern.readable(win), text, `${name}: the same in both engines`);
    assert.equal(whole ? text : text.split('\r\n')[0], whole ? legacy.text(win.document) : art[0], name);
    for (const piece of art) assert.ok(text.includes(piece), `${name}: has ${piece}`);
    for (const piece of whole ? [] : junk) assert.ok(!text.includes(piece), `${name}: not ${piece}`);
  }
});
