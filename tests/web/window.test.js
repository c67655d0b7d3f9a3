// The page as the window: its menus, File > Exit, USB > Reset's texts, and
// the move from the demo module to a module the browser grants.
'use strict';
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const h = require('./page_harness');

const QX209 = { vendorId: 0x10F7, productId: 0x0209 };
const { MESSAGES } = require('./messages');
const READ_DONE = MESSAGES.readDone.ko;

let browser;
before(async () => { browser = await h.launch(); });
after(async () => { await browser.close(); });

// The items of each menu as a person sees them: text, and whether grayed.
const menuItems = (page) => page.$$eval('.menu', (menus) => menus.map((menu) => ({
  title: menu.querySelector('.title').textContent,
  items: Array.from(menu.querySelectorAll('[role="menu"] > *')).map((item) =>
    item.getAttribute('role') === 'separator' ? '-'
      : item.textContent + (item.getAttribute('aria-disabled') === 'true' ? ' (grayed)' : '')),
})));
const visible = (page, selector) => page.$eval(selector, (e) => e.checkVisibility());

test('menus: the window\'s items, grayed without a module, opened and closed by clicks', async (t) => {
  await t.test('without a module the device items are grayed', async () => {
    const page = await h.openPage(browser, { devices: [] });
    assert.deepEqual(await menuItems(page), [
      { title: 'File', items: ['New', 'Open', 'Save', 'Save As', '-', 'Exit'] },
      { title: 'Data', items: ['Write(PC->USB) (grayed)', 'Read(USB->PC) (grayed)'] },
      { title: 'USB', items: ['Reset (grayed)'] },
    ]);
    await page.close();
  });
  await t.test('a click on a title opens its menu, pointing at the next one moves there', async () => {
    const page = await h.openPage(browser, { devices: [QX209] });
    const items = (await menuItems(page)).map((menu) => menu.items);
    assert.deepEqual(items.slice(1), [['Write(PC->USB)', 'Read(USB->PC)'], ['Reset']]);
    assert.equal(await visible(page, 'button[data-command="40009"]'), false);
    await page.click('#menu-file');
    assert.equal(await visible(page, 'button[data-command="40003"]'), true);
    await page.hover('#menu-data');
    assert.equal(await visible(page, 'button[data-command="40003"]'), false);
    assert.equal(await visible(page, 'button[data-command="40009"]'), true);
    await page.click('button[data-command="40009"]');
    assert.equal(await visible(page, 'button[data-command="40009"]'), false);
    await h.idle(page);
    assert.ok((await h.text(page, '#console')).endsWith(READ_DONE));
    await page.click('#menu-usb');
    await page.keyboard.press('Escape');
    assert.equal(await visible(page, 'button[data-command="40010"]'), false);
    await page.close();
  });
});

test('USB > Reset: the console texts and the status line', async (t) => {
  await t.test('a module that answers: keyboard mode, status emptied', async () => {
    const page = await h.openPage(browser, { devices: [] });
    await page.evaluate(() => fakeHid.plug(fakeHid.add(0x10F7, 0x0209, {})));
    await page.waitForFunction(() => /QX209/.test(document.getElementById('status').textContent));
    await h.command(page, 40010);
    assert.equal(await h.text(page, '#console'), MESSAGES.resetDone.ko);
    assert.equal(await h.text(page, '#status'), '');
    await page.close();
  });
  await t.test('a silent module: the reset error, and the module is still there to try again', async () => {
    const page = await h.openPage(browser, { devices: [Object.assign({ silent: true }, QX209)] });
    await h.command(page, 40010);
    assert.equal(await h.text(page, '#console'), MESSAGES.resetError.ko);
    assert.equal(await h.grayed(page, 40010), false);
    await page.close();
  });
});

test('File > Exit lets the module go, says the page has ended, and nothing runs after', async () => {
  const page = await h.openPage(browser, { devices: [QX209] });
  assert.equal(await page.evaluate(() => fakeHid.granted[0].opened), true);
  await page.click('#menu-file');
  await page.click('button[data-command="40002"]');
  await page.waitForSelector('#ended', { visible: true });
  assert.equal(await visible(page, '#panel'), false);
  assert.equal(await page.evaluate(() => fakeHid.granted[0].opened), false);
  assert.equal(await page.evaluate(() => Module.page.command(40009)), false);
  assert.deepEqual(await page.evaluate(() => fakeHid.sent.length), 0);
  await page.close();
});

test('after the demo module, Connect puts the page on the module granted', async () => {
  const page = await h.openPage(browser, { devices: [] });
  await page.click('#demo');
  await page.waitForFunction(() => /QX209/.test(document.getElementById('status').textContent));
  await page.evaluate(() => { fakeHid.chosen = [fakeHid.add(0x10F7, 0x0206, {})]; });
  await page.click('#connect');
  await page.waitForFunction(() => /QX206/.test(document.getElementById('status').textContent));
  assert.deepEqual(await page.evaluate(() => fakeHid.requests), [{ filters: [
    { vendorId: 0x10F7, productId: 0x0206 }, { vendorId: 0x10F7, productId: 0x0209 }] }]);
  await h.command(page, 40009);
  const wire = await page.evaluate(() => fakeHid.sent.map((r) => r.productId));
  assert.deepEqual(wire, new Array(17).fill(0x0206));
  assert.ok((await h.text(page, '#console')).endsWith(READ_DONE));
  await page.close();
});
