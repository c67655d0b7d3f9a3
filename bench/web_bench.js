// The browser page's figures in headless Chromium: load to ready, and Write
// and Read on the demo module against their floor of 16 and 17 pauses of
// 40 ms. Run after scripts/web.sh: node bench/web_bench.js
'use strict';
const h = require('../tests/web/page_harness');

const RUNS = 5;
// Loads are quick and vary more: more of them, after one to warm the browser.
const LOADS = 11;
const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];

async function loadTime(browser) {
  const page = await browser.newPage();
  const started = Date.now();
  await page.goto('file://' + h.PAGE);
  await page.waitForSelector('body[data-ready="1"]');
  const elapsed = Date.now() - started;
  await page.close();
  return elapsed;
}

async function commandTime(page, id) {
  return page.evaluate(async (n) => {
    const started = performance.now();
    await Module.page.command(n);
    return performance.now() - started;
  }, id);
}

(async () => {
  const browser = await h.launch();
  await loadTime(browser);
  const loads = [];
  for (let i = 0; i < LOADS; i++) loads.push(await loadTime(browser));
  const page = await h.openPage(browser, { noWebHid: true });
  await page.click('#demo');
  await page.waitForFunction(() => /QX209/.test(document.getElementById('status').textContent));
  const writes = [], reads = [];
  for (let i = 0; i < RUNS; i++) {
    writes.push(await commandTime(page, 40008));
    reads.push(await commandTime(page, 40009));
  }
  await browser.close();
  console.log(`page: ${h.PAGE}`);
  console.log(`load to ready: median ${median(loads)} ms of ${LOADS} (${loads.join(', ')})`);
  console.log(`demo Write: median ${median(writes).toFixed(0)} ms, floor ${16 * 40} ms`);
  console.log(`demo Read: median ${median(reads).toFixed(0)} ms, floor ${17 * 40} ms`);
})().catch((error) => { console.error(error); process.exit(1); });
