// Reader view figures over the test's page shapes: bag-of-words F1 and
// recall of each shape's article against the readable text, for the reader
// and for the whole text, and the reader's time over the whole text's (the
// best of 25 rounds, each way in turns); then the time the legacy realm
// takes in jsdom for the reader and the whole text of a page of more than
// 5,000 elements.
// Run: cd browser && node bench/reader.js
'use strict';
const { performance } = require('node:perf_hooks');
const { loadGather, openPage } = require('../test/load.js');
const { SHAPES } = require('../test/shapes.js');

const g = loadGather();
const bag = (text) => {
  const counts = new Map();
  for (const w of text.toLowerCase().match(/[\p{L}\p{N}]+/gu) || []) counts.set(w, (counts.get(w) || 0) + 1);
  return counts;
};
function score(got, expected) {
  const a = bag(got), b = bag(expected);
  let common = 0, na = 0, nb = 0;
  for (const [w, n] of a) { na += n; common += Math.min(n, b.get(w) || 0); }
  for (const n of b.values()) nb += n;
  const precision = common / na, recall = common / nb;
  return { f1: (2 * precision * recall) / (precision + recall), recall };
}
const open = (shape) => openPage('http://site.test/a.htm', shape.html, { pages: shape.pages })
  .then((top) => (shape.frame === undefined ? top : top.frames[shape.frame]));
const median = (xs) => [...xs].sort((x, y) => x - y)[xs.length >> 1];
function timeRatio(win) {
  const best = [Infinity, Infinity], runs = [() => g.readable(win), () => g.text(win.document)];
  for (let round = 0; round < 61; round++) {
    runs.forEach((run, k) => {
      const t = performance.now();
      for (let i = 0; i < 5; i++) run();
      if (round) best[k] = Math.min(best[k], performance.now() - t);
    });
  }
  return best[0] / best[1];
}

(async () => {
  const rows = [], ratios = [];
  for (const shape of SHAPES) {
    const win = await open(shape);
    const reader = g.readable(win), whole = g.text(win.document), ratio = timeRatio(win);
    ratios.push(ratio);
    const time = `time ${ratio.toFixed(2)} x the whole text's`;
    if (shape.whole) {
      console.log(`${shape.name}: ${reader === whole ? 'whole text' : 'NOT the whole text'}; ${time}`);
      continue;
    }
    const r = score(reader, shape.art.join('\n')), w = score(whole, shape.art.join('\n'));
    rows.push(r);
    console.log(`${shape.name}: reader F1 ${r.f1.toFixed(3)} recall ${r.recall.toFixed(3)}; ` +
      `whole text F1 ${w.f1.toFixed(3)} recall ${w.recall.toFixed(3)}; ${time}`);
  }
  console.log(`articles: ${rows.filter((r) => r.f1 >= 0.9).length} of ${rows.length} with F1 >= 0.9; ` +
    `median F1 ${median(rows.map((r) => r.f1)).toFixed(3)}, median recall ${median(rows.map((r) => r.recall)).toFixed(3)}`);
  console.log(`shapes: the reader takes at most ${Math.max(...ratios).toFixed(2)} x the whole text's time`);

  // The news shape with its comments, sidebar and menus many times over.
  const news = SHAPES[0];
  const comments = news.html.match(/<div id="comments">[^]*?<\/div><\/div><\/main>/)[0].slice(0, -'</main>'.length);
  const big = news.html.replace('</main>', comments.repeat(360) + '</main>');
  const win = await openPage('http://site.test/big.htm', big);
  const elements = win.document.getElementsByTagName('*').length;
  for (const [name, run] of [['reader', () => g.readable(win)], ['whole text', () => g.text(win.document)]]) {
    run();
    const times = [];
    for (let i = 0; i < 5; i++) { const t = performance.now(); run(); times.push(performance.now() - t); }
    console.log(`${name}, ${elements} elements: median ${median(times).toFixed(0)} ms of 5 runs`);
  }
})();
