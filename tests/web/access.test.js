// The page for keyboard and screen-reader users: axe-core over every state in
// both colour schemes, what a screen reader is told, and a run through
// Change, a key, OK and Data > Write with the keyboard alone.
'use strict';
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const h = require('./page_harness');
const { STATES, openInState, QX209 } = require('./page_states');

const AXE = require.resolve('axe-core/axe.min.js');
const WRITE_DONE = ' > 데이타 전송이 완료되었습니다.';
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

// Role and name of an element as the browser tells a screen reader.
const said = (node) => `${node.role}: ${node.name.replace(/\s+/g, ' ').trim()}`;
const spoken = async (page, selector) =>
  said(await page.accessibility.snapshot({ root: await page.$(selector), interestingOnly: false }));

test('what a screen reader hears: menus, slots by their row labels, the console, the picker', async () => {
  const page = await h.openPage(browser, { devices: [QX209] });
  const menubar = await page.accessibility.snapshot({ root: await page.$('#menubar') });
  assert.deepEqual(menubar.children.map(said),
    ['menuitem: File', 'menuitem: Data', 'menuitem: USB']);
  assert.equal(await spoken(page, '#slot0'), 'textbox: Pin No. 2');
  assert.equal(await spoken(page, '#change7'), 'button: Change Pin No. 9');
  assert.equal(await spoken(page, 'button[data-command="115"]'), 'button: Clear Pin No. 2');
  assert.equal(await spoken(page, '#layers'), 'radiogroup: Pin No. 10');
  assert.equal(await spoken(page, '#console'), 'log: Console');
  page.evaluate(() => Module.page.command(105)).catch(() => {});
  await page.waitForSelector('#picker[open]');
  const dialog = await page.accessibility.snapshot({ root: await page.$('#picker') });
  assert.equal(said(dialog), 'dialog: Keyboard');
  assert.equal(dialog.modal, true);
  assert.equal(await spoken(page, `#keyboard button[data-key="${LEFT_CTRL}"]`), 'button: Left Ctrl');
  assert.equal(await spoken(page, '#keyboard button[data-key="1029"]'), 'button: Backspace');
  assert.equal(await spoken(page, '#keyboard button[data-key="1107"]'), 'button: Keypad 1');
  await page.close();
});

const focused = (page) => page.evaluate(() => {
  const e = document.activeElement;
  return e.dataset.key ? `key ${e.dataset.key}` : `#${e.id}`;
});
const focusedText = (page) => page.evaluate(() => document.activeElement.textContent);
// Presses Tab until the element is focused: within the keys there are.
async function tabTo(page, selector) {
  for (let presses = 0; presses < 120; presses++) {
    if (await page.$eval(selector, (e) => e === document.activeElement)) return;
    await page.keyboard.press('Tab');
  }
  assert.fail(`Tab never reached ${selector}`);
}
const outlined = (page) => page.evaluate(() => {
  const style = getComputedStyle(document.activeElement);
  return style.outlineStyle !== 'none' && parseFloat(style.outlineWidth) >= 2;
});

test('the keyboard alone: Change, left Ctrl, OK, then Data > Write', async () => {
  const page = await h.openPage(browser, { devices: [QX209] });
  await tabTo(page, '#change0');
  assert.equal(await outlined(page), true, 'focus is shown');
  await page.keyboard.press('Enter');
  await page.waitForSelector('#picker[open]');
  await tabTo(page, `#keyboard button[data-key="${LEFT_CTRL}"]`);
  await page.keyboard.press('Space');
  assert.equal(await focused(page), `key ${LEFT_CTRL_PRESSED}`);
  await tabTo(page, `#keyboard button[data-key="${PICKER_OK}"]`);
  await page.keyboard.press('Enter');
  await page.waitForSelector('#picker:not([open])');
  await h.idle(page);
  assert.equal(await h.text(page, '#slot0'), '<Left Ctrl>');
  assert.equal(await focused(page), '#change0');

  await page.keyboard.press('F10');
  assert.equal(await focused(page), '#menu-file');
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('ArrowDown');
  assert.equal(await focusedText(page), 'Write(PC->USB)');
  await page.keyboard.press('Enter');
  await h.idle(page);
  assert.equal(await page.evaluate(() => fakeHid.granted[0].words[0]), 0xE0);
  assert.equal(await focused(page), '#menu-data');
  // The live console adds the outcome as a text of its own, which is all a
  // screen reader reads out at the end.
  const added = await page.$eval('#console', (c) => c.lastChild.textContent);
  assert.ok(added.startsWith(`\n${WRITE_DONE}`), added);
  await page.close();
});

test('menus by access key and arrows; the picker keeps focus and Escape cancels', async (t) => {
  const page = await h.openPage(browser, { devices: [QX209] });
  await t.test('Alt+F opens File at New, the arrows wrap, N chooses New', async () => {
    await pickWithKeys(page);
    await page.keyboard.down('Alt');
    await page.keyboard.press('KeyF');
    await page.keyboard.up('Alt');
    assert.equal(await focusedText(page), 'New');
    await page.keyboard.press('ArrowUp');
    assert.equal(await focusedText(page), 'Exit');
    await page.keyboard.press('KeyN');
    await h.idle(page);
    assert.equal(await h.text(page, '#slot0'), '');
    assert.equal(await focused(page), '#menu-file');
  });
  await t.test('Tab and Shift+Tab go round the picker\'s keys; Escape picks nothing', async () => {
    await page.focus('#change1');
    await page.keyboard.press('Enter');
    await page.waitForSelector('#picker[open]');
    assert.equal(await focused(page), `key ${PICKER_CANCEL}`);
    await page.keyboard.down('Shift');
    await page.keyboard.press('Tab');
    await page.keyboard.up('Shift');
    const last = await focused(page);
    assert.equal(await page.$eval('#picker', (d) => d.contains(document.activeElement)), true);
    await page.keyboard.press('Tab');
    assert.equal(await focused(page), `key ${PICKER_CANCEL}`);
    assert.notEqual(last, `key ${PICKER_CANCEL}`);
    await page.keyboard.press('Escape');
    await page.waitForSelector('#picker:not([open])');
    await h.idle(page);
    assert.equal(await h.text(page, '#slot1'), '');
    assert.equal(await focused(page), '#change1');
  });
  await page.close();
});

// Picks C for slot 1 with the keyboard, to have something that New clears.
async function pickWithKeys(page) {
  await page.focus('#change0');
  await page.keyboard.press('Enter');
  await page.waitForSelector('#picker[open]');
  await page.focus('#keyboard button[data-key="1059"]');
  await page.keyboard.press('Enter');
  await page.waitForSelector('#picker:not([open])');
  await h.idle(page);
  assert.equal(await h.text(page, '#slot0'), '<C>');
}
