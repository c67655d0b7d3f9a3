// The page for keyboard and screen-reader users: axe-core over every state in
// both colour schemes, what a screen reader is told, and the keyboard alone.
'use strict';
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const h = require('./page_harness');
const { STATES, openInState, QX209 } = require('./page_states');
const { MESSAGES, LANGUAGES } = require('./messages');

const AXE = require.resolve('axe-core/axe.min.js');
const LEFT_CTRL = 1068, LEFT_CTRL_PRESSED = 1089, KEYPAD_1 = 1107, PICKER_OK = 1, PICKER_CANCEL = 2;

let browser;
before(async () => { browser = await h.launch(); });
after(async () => { await browser.close(); });

test('axe-core finds no violation in any state, light or dark, in either language', async (t) => {
  for (const language of LANGUAGES) {
    for (const scheme of ['light', 'dark']) {
      for (const state of STATES) {
        await t.test(`${state.name}, ${scheme}, ${language}`, async () => {
          const page = await openInState(browser, state, { scheme, language });
          await page.addScriptTag({ path: AXE });
          const violations = await page.evaluate(async () => (await axe.run(document)).violations
            .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`));
          assert.deepEqual(violations, []);
          await page.close();
        });
      }
    }
  }
});

// Role and name as the browser tells a screen reader.
const said = (node) => `${node.role}: ${node.name.replace(/\s+/g, ' ').trim()}`;
const spoken = async (page, selector) =>
  said(await page.accessibility.snapshot({ root: await page.$(selector), interestingOnly: false }));

// What a screen reader hears of the slot, a Change and an x button, the
// layer buttons, the console, left Ctrl and keypad 1 in the picker: the
// page's own words in its language, the window's captions in English.
const HEARD = {
  en: ['textbox: Pin No. 2', 'button: Change Pin No. 9', 'button: Clear Pin No. 2', 'radiogroup: Pin No. 10',
    'log: Console', 'button: Left Ctrl', 'button: Keypad 1'],
  ko: ['textbox: Pin No. 2', 'button: Change Pin No. 9', 'button: 지우기 Pin No. 2', 'radiogroup: Pin No. 10',
    'log: 콘솔', 'button: 왼쪽 Ctrl', 'button: 키패드 1'],
};

test('a screen reader hears the menu bar, each slot by its row label, the console, the picker', async (t) => {
  for (const language of LANGUAGES) {
    await t.test(language, async () => {
      const page = await h.openPage(browser, { devices: [QX209], language });
      const menubar = await page.accessibility.snapshot({ root: await page.$('#menubar') });
      assert.deepEqual(menubar.children.map(said), ['menuitem: File', 'menuitem: Data', 'menuitem: USB']);
      const heard = [];
      for (const selector of ['#slot0', '#change7', 'button[data-command="115"]', '#layers', '#console']) {
        heard.push(await spoken(page, selector));
      }
      page.evaluate(() => Module.page.command(105)).catch(() => {});
      await page.waitForSelector('#picker[open]');
      const dialog = await page.accessibility.snapshot({ root: await page.$('#picker') });
      assert.equal(said(dialog), 'dialog: Keyboard');
      assert.equal(dialog.modal, true);
      for (const key of [LEFT_CTRL, KEYPAD_1]) heard.push(await spoken(page, `#keyboard button[data-key="${key}"]`));
      assert.deepEqual(heard, HEARD[language]);
      await page.close();
    });
  }
});

const focused = (page) => page.evaluate(() => {
  const e = document.activeElement;
  return e.dataset.key ? `key ${e.dataset.key}` : e.id || e.textContent;
});
async function press(page, ...keys) { for (const key of keys) await page.keyboard.press(key); }

test('the keyboard alone: Change, left Ctrl, OK, then Data > Write', async () => {
  const page = await h.openPage(browser, { devices: [QX209] });
  await h.tabTo(page, '#change0');
  assert.notEqual(await page.evaluate(() => getComputedStyle(document.activeElement).outlineStyle), 'none');
  await press(page, 'Enter');
  await page.waitForSelector('#picker[open]');
  await h.tabTo(page, `#keyboard button[data-key="${LEFT_CTRL}"]`);
  await press(page, 'Space');
  assert.equal(await focused(page), `key ${LEFT_CTRL_PRESSED}`);
  await h.tabTo(page, `#keyboard button[data-key="${PICKER_OK}"]`);
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
  assert.equal(await page.$eval('#console', (c) => c.lastChild.textContent), MESSAGES.writeDone.ko);
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
