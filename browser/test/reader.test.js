// The reader view over page shapes that real sites make, in the legacy and
// in a modern engine: the article and its title come out, nothing else.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { loadGather, openPage } = require('./load.js');
const { SHAPES } = require('./shapes.js');

const legacy = loadGather(), modern = loadGather(false);

test('reader view: the article and its title, without what is not of it; the whole text where no article is', async () => {
  for (const shape of SHAPES) {
    const top = await openPage(shape.url || 'http://site.test/a.htm', shape.html, { pages: shape.pages });
    const win = shape.frame === undefined ? top : top.frames[shape.frame];
    const text = legacy.readable(win);
    assert.equal(modern.readable(win), text, shape.name);
    if (shape.whole) assert.equal(text, legacy.text(win.document), shape.name);
    for (const piece of shape.art) assert.ok(text.includes(piece), `${shape.name}: has ${piece}`);
    for (const piece of shape.whole ? [] : shape.junk) assert.ok(!text.includes(piece), `${shape.name}: not ${piece}`);
    assert.equal(text.split('\r\n')[0], shape.whole ? text.split('\r\n')[0] : shape.art[0], shape.name);
  }
});
