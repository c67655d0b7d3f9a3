// The page's layout in headless Chromium at the smallest desktop window and a
// common one: nothing wider than the window, the whole key picker in view,
// each row label level with its row, slots that hold the longest key text.
'use strict';
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const h = require('./page_harness');
const { STATES, openInState, QX209, QX206 } = require('./page_states');
const { LANGUAGES } = require('./messages');

const SIZES = [[800, 600], [1280, 800]];
const LEVEL_PX = 2;
// <Ctrl><Shift><Alt><Print Screen>, the longest text a slot shows, and the
// widest a slot need be for it.
const LONGEST_WORD = 0x0746;
const MAX_SLOT_PX = 400;

let browser;
before(async () => { browser = await h.launch(); });
after(async () => { await browser.close(); });

// Every shown element that reaches past the window's left or right edge.
const outside = (page) => page.evaluate(() => Array.from(document.querySelectorAll('body *'))
  .filter((e) => e.checkVisibility())
  .map((e) => ({ e, box: e.getBoundingClientRect() }))
  .filter(({ box }) => box.width > 0 && (box.left < 0 || box.right > innerWidth))
  .map(({ e, box }) => `${e.tagName}#${e.id}.${e.className} ${box.left}..${box.right}`)
  .concat(document.documentElement.scrollWidth > innerWidth ? ['the page scrolls sideways'] : []));

test('no state is wider than the window, in either language', async (t) => {
  for (const language of LANGUAGES) {
    for (const [width, height] of SIZES) {
      for (const state of STATES) {
        await t.test(`${state.name} at ${width} x ${height}, ${language}`, async () => {
          const page = await openInState(browser, state, { width, height, language });
          assert.deepEqual(await outside(page), []);
          await page.close();
        });
      }
    }
  }
});

test('the key picker at 800 x 600: every key, OK and Cancel among them, in view', async () => {
  const page = await openInState(browser, STATES.find((s) => s.name === 'picker'));
  const keys = await page.$$eval('#keyboard button', (buttons) => buttons.filter((b) => !b.hidden).map((b) => {
    const box = b.getBoundingClientRect();
    return { key: +b.dataset.key, inView: box.left >= 0 && box.top >= 0 && box.right <= innerWidth && box.bottom <= innerHeight };
  }));
  assert.ok(keys.some((k) => k.key === 1) && keys.some((k) => k.key === 2), 'OK and Cancel shown');
  // 103 keys (left Ctrl as its pressed twin), Cancel and OK.
  assert.equal(keys.length, 105);
  assert.deepEqual(keys.filter((k) => !k.inView), []);
  await page.close();
});

test('the help text fits the console whole at either size, in either language and scheme', async (t) => {
  for (const language of LANGUAGES) {
    for (const scheme of ['light', 'dark']) {
      await t.test(`${language}, ${scheme}`, async () => {
        const page = await openInState(browser, STATES[0], { language, scheme });
        for (const [width, height] of SIZES) {
          await page.setViewport({ width, height });
          const box = await page.$eval('#console', (c) =>
            ({ width: c.scrollWidth, room: c.clientWidth, height: c.scrollHeight, depth: c.clientHeight }));
          assert.ok(box.width <= box.room && box.height <= box.depth, `${width} x ${height}: ${JSON.stringify(box)}`);
        }
        await page.close();
      });
    }
  }
});

// The vertical middle of each row label's text and of the slot, Change
// button and layer buttons beside it.
const rowMiddles = (page) => page.evaluate(() => {
  const middle = (box) => (box.top + box.bottom) / 2;
  const textMiddle = (e) => { const r = document.createRange(); r.selectNodeContents(e); return middle(r.getBoundingClientRect()); };
  const rows = [];
  for (let k = 1; k <= 8; k++) {
    rows.push({ k, label: textMiddle(document.getElementById(`label${k}`)),
      beside: [`slot${k - 1}`, `change${k - 1}`].map((id) => middle(document.getElementById(id).getBoundingClientRect())) });
  }
  rows.push({ k: 9, label: textMiddle(document.getElementById('label9')),
    beside: [textMiddle(document.querySelector('#layers label'))] });
  return rows;
});

test('each row label is level with its row, for both label sets, in either language', async (t) => {
  for (const language of LANGUAGES) {
    for (const [model, device] of [['QX209', QX209], ['QX206', QX206]]) {
      await t.test(`${model}, ${language}`, async () => {
        const page = await h.openPage(browser, { devices: [device], language });
        for (const { k, label, beside } of await rowMiddles(page)) {
          for (const middle of beside) assert.ok(Math.abs(label - middle) <= LEVEL_PX, `label ${k}: ${label} vs ${middle}`);
        }
        await page.close();
      });
    }
  }
});

test('a slot holds the longest key text whole at either size, and is no wider than it needs', async (t) => {
  for (const language of LANGUAGES) {
    await t.test(language, async () => {
      const page = await h.openPage(browser, { devices: [QX209], language });
      await page.evaluate((word) => { fakeHid.granted[0].words[0] = word; }, LONGEST_WORD);
      await h.command(page, 40009);
      assert.equal(await h.text(page, '#slot0'), '<Ctrl><Shift><Alt><Print Screen>');
      for (const [width, height] of SIZES) {
        await page.setViewport({ width, height });
        const { shown, room } = await page.$eval('#slot0', (s) => ({ shown: s.scrollWidth, room: s.clientWidth }));
        assert.ok(shown <= room && room <= MAX_SLOT_PX, `${width} x ${height}: ${shown} px in ${room} px`);
      }
      await page.close();
    });
  }
});
