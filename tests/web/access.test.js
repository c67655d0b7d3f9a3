// The page for keyboard and screen-reader users: axe-core over every state in
// both colour schemes, what a screen reader is told, and the keyboard alone.
'use strict';
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const h = require('./page_harness');
const { STATES, openInState, QX209 } = require('./page_states');

const AXE = require.resolve('axe-core/axe.min.js');
const WRITE_DONE = '\n > 데이타 전송이 완료되었습니다.';
const LEFT_CTRL = 1068, LEFT_CTRL_PRESSED = 1089, PICKER_OK = 1, PICKER_CANCEL = 2;

let browser;
before(async () => { browser = await h.launch(); });
after(async () => { await browser.close(); });

test('axe-core finds no violation in any state, light or dark', async (t) => {
  for (const scheme of ['light', 'dark']) {
    for (const state of STATES) {
      await t.test(`${state.name}, ${scheme}`, async () => {
        const page = await openInState(browser, state, { scheme });
        await page.addScriptTag({ path: AXE });
        const violations = await page.evaluate(async () => (await axe.run(document)).violations
          .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`));
        assert.deepEqual(violations, []);
        await page.close();
      });
    }
  }
});

// Role and name as the browser tells a screen reader.
const said = (node) => `${node.role}: ${node.name.replace(/\s+/g, ' ').trim()}`;
const spoken = async (page, selector) =>
  said(await page.accessibility.snapshot({ root: await page.$(selector), interestingOnly: false }));

test('a screen reader hears the menu bar, each slot by its row label, the console, the picker', async () => {
  const page = await h.openPage(browser, { devices: [QX209] });
  const menubar = await page.accessibility.snapshot({ root: await page.$('#menubar') });
  assert.deepEqual(menubar.children.map(said), ['menuitem: File', 'menuitem: Data', 'menuitem: USB']);
  const heard = [];
  for (const selector of ['#slot0', '#change7', 'button[data-command="115"]', '#layers', '#console']) {
    heard.push(await spoken(page, selector));
  }
  assert.deepEqual(heard, ['textbox: Pin No. 2', 'button: Change Pin No. 9', 'button: Clear Pin No. 2',
    'radiogroup: Pin No. 10', 'log: Console']);
  page.evaluate(() => Module.page.command(105)).catch(() => {});
  await page.waitForSelector('#picker[open]');
  const dialog = await page.accessibility.snapshot({ root: await page.$('#picker') });
  assert.equal(said(dialog), 'dialog: Keyboard');
  assert.equal(dialog.modal, true);
  assert.equal(await spoken(page, `#keyboard button[data-key="${LEFT_CTRL}"]`), 'button: Left Ctrl');
  assert.equal(await spoken(page, '#keyboard button[data-key="1107"]'), 'button: Keypad 1');
  await page.close();
});

const focused = (page) => page.evaluate(() => {
  const e = document.activeElement;
  return e.dataset.key ? `key ${e.dataset.key}` : e.id || e.textContent;
});
// Presses Tab until the element has the focus, within as many presses as the page has stops.
async function tabTo(page, selector) {
  for (let presses = 0; presses < 120; presses++) {
    if (await page.$eval(selector, (e) => e === document.activeElement)) return;
    await page.keyboard.press('Tab');
  }
  assert.fail(`Tab never reached ${selector}`);
}
async function press(page, ...keys) { for (const key of keys) await page.keyboard.press(key); }

test('the keyboard alone: Change, left Ctrl, OK, then Data > Write', async () => {
  const page = await h.openPage(browser, { devices: [QX209] });
  await tabTo(page, '#change0');
  assert.notEqual(await page.evaluate(() => getComputedStyle(document.activeElement).outlineStyle), 'none');
  await press(page, 'Enter');
  await page.waitForSelector('#picker[open]');
  await tabTo(page, `#keyboard button[data-key="${LEFT_CTRL}"]`);
  await press(page, 'Space');
  assert.equal(await focused(page), `key ${LEFT_CTRL_PRESSED}`);
  await tabTo(page, `#keyboard button[data-key="${PICKER_OK}"]`);
  await press(page, 'Enter');
  await page.waitForSelector('#picker:not([open])');
  await h.idle(page);
  assert.equal(await h.text(page, '#slot0'), '<Left Ctrl>');
  assert.equal(await focused(page), 'change0');
  await press(page, 'F10', 'ArrowRight', 'ArrowDown');
  assert.equal(await focused(page), 'Write(PC->USB)');
  await press(page, 'Enter');
  await h.idle(page);
  assert.equal(await page.evaluate(() => fakeHid.granted[0].words[0]), 0xE0);
  assert.equal(await focused(page), 'menu-data');
  // The outcome is added to the live console as a text of its own: what a
  // screen reader reads out when the Write ends.
  assert.ok((await page.$eval('#console', (c) => c.lastChild.textContent)).startsWith(WRITE_DONE));
  await page.close();
});

test('Alt+F opens File and the arrows wrap; the picker keeps Tab inside and Escape cancels it', async () => {
  const page = await h.openPage(browser, { devices: [QX209] });
  await page.keyboard.down('Alt');
  await press(page, 'KeyF');
  await page.keyboard.up('Alt');
  assert.equal(await focused(page), 'New');
  await press(page, 'ArrowUp');
  assert.equal(await focused(page), 'Exit');
  await press(page, 'Escape');
  assert.equal(await focused(page), 'menu-file');
  await page.focus('#change1');
  await press(page, 'Enter');
  await page.waitForSelector('#picker[open]');
  assert.equal(await focused(page), `key ${PICKER_CANCEL}`);
  await page.keyboard.down('Shift');
  await press(page, 'Tab');
  await page.keyboard.up('Shift');
  assert.equal(await page.$eval('#picker', (d) => d.contains(document.activeElement)), true);
  await press(page, 'Tab');
  assert.equal(await focused(page), `key ${PICKER_CANCEL}`);
  await press(page, 'Escape');
  await page.waitForSelector('#picker:not([open])');
  await h.idle(page);
  assert.equal(await focused(page), 'change1');
  await page.close();
});
