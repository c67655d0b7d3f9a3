// The browser page in headless Chromium over a fake navigator.hid: module
// search, the commands on the wire and in the console, the key picker, files.
'use strict';
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const h = require('./page_harness');

const QX209 = { vendorId: 0x10F7, productId: 0x0209 };
const QX206 = { vendorId: 0x10F7, productId: 0x0206 };
const FOREIGN = { vendorId: 0x046D, productId: 0xC077 };
const CONNECTED_209 = '키보드 모듈(QX209)이 변경모드로 연결되어 있습니다.';
const READ_DONE = '데이타 읽기를 완료하였습니다.';
const PIN_LABEL = 'Pin No.  2';

let browser;
before(async () => { browser = await h.launch(); });
after(async () => { await browser.close(); });

const sent = (page) => page.evaluate(() => fakeHid.sent.map((r) => [r.reportId].concat(r.bytes)));
const frame = (command, a1 = 0, a2 = 0, a3 = 0) => [0, 0x55, 0xAA, command, a1, a2, a3, 0, 0];

async function pickKey(page, slotRow, ids) {
  const picking = page.evaluate((row) => Module.page.command(105 + row), slotRow);
  await page.waitForSelector('#picker.open');
  for (const id of ids) await page.$eval(`#keyboard button[data-key="${id}"]`, (b) => b.click());
  await picking;
  await h.idle(page);
}

test('module search: each model, both, foreign devices and a keyboard collection', async (t) => {
  await t.test('a QX209 granted before is connected at load, with its pin labels', async () => {
    const page = await h.openPage(browser, { devices: [QX209] });
    assert.ok((await h.text(page, '#console')).includes(CONNECTED_209));
    assert.equal(await page.$eval('button[data-command="40008"]', (b) => b.disabled), false);
    assert.match(await h.text(page, '#panel'), new RegExp(PIN_LABEL));
    assert.equal(await page.$eval('#layers', (e) => e.style.visibility), 'visible');
    await page.close();
  });
  await t.test('a QX206 hides the layer buttons and shows other labels; with both, the QX206 wins', async () => {
    const page = await h.openPage(browser, { devices: [QX209, QX206] });
    assert.match(await h.text(page, '#console'), /QX206/);
    assert.equal(await page.$eval('#layers', (e) => e.style.visibility), 'hidden');
    assert.doesNotMatch(await h.text(page, '#panel'), new RegExp(PIN_LABEL));
    await page.close();
  });
  await t.test('a foreign device and a keyboard-only collection are passed over', async () => {
    const page = await h.openPage(browser, {
      devices: [FOREIGN, Object.assign({ keyboard: true }, QX209)] });
    assert.doesNotMatch(await h.text(page, '#console'), /\(QX20/);
    assert.equal(await page.$eval('button[data-command="40009"]', (b) => b.disabled), true);
    assert.deepEqual(await sent(page), []);
    await page.close();
  });
});

test('a module the system refuses to open: on Linux the udev rule is shown', async () => {
  const page = await h.openPage(browser, { devices: [Object.assign({ denied: true }, QX209)] });
  const notice = await h.text(page, '#notice');
  assert.match(notice, /NotAllowedError: Failed to open the device/);
  assert.match(notice, /udevadm control --reload-rules/);
  assert.equal(await page.$eval('button[data-command="40009"]', (b) => b.disabled), true);
  await page.close();
});

test('device commands on the wire and in the console', async (t) => {
  await t.test('Read sends the version query and sixteen read-keys and shows the words', async () => {
    const page = await h.openPage(browser, { devices: [QX209] });
    await page.evaluate(() => { fakeHid.granted[0].words[0] = 0x0106; fakeHid.granted[0].words[15] = 0x0028; });
    await h.command(page, 40009);
    const expected = [frame(0x40)];
    for (let i = 0; i < 16; i++) expected.push(frame(0x42, i));
    assert.deepEqual(await sent(page), expected);
    const console = await h.text(page, '#console');
    assert.match(console, /1\.2/);
    assert.match(console, new RegExp(READ_DONE));
    assert.match(await h.text(page, '#slot0'), /<Ctrl><C>/);
    await page.close();
  });
  await t.test('a key picked with Ctrl is written as its word, and Reset is sent', async () => {
    const page = await h.openPage(browser, { devices: [QX209] });
    await pickKey(page, 0, [1068, 1059]);
    assert.match(await h.text(page, '#slot0'), /<Ctrl><C>/);
    await h.command(page, 40008);
    const wire = await sent(page);
    assert.equal(wire.length, 16);
    assert.deepEqual(wire[0], frame(0x41, 0, 0x01, 0x06));
    for (let i = 1; i < 16; i++) assert.deepEqual(wire[i], frame(0x41, i, 0, 0));
    assert.match(await h.text(page, '#console'), /0106/);
    assert.deepEqual(await page.evaluate(() => fakeHid.granted[0].words[0]), 0x0106);
    await h.command(page, 40010);
    assert.equal((await sent(page))[16][3], 0x4F);
    await page.close();
  });
  await t.test('a silent module ends Read with the receive error after its time-out', async () => {
    const page = await h.openPage(browser, { devices: [Object.assign({ silent: true }, QX209)] });
    const before = await h.text(page, '#console');
    await h.command(page, 40009);
    const console = await h.text(page, '#console');
    assert.notEqual(console, before);
    assert.doesNotMatch(console, new RegExp(READ_DONE));
    assert.equal((await sent(page)).length, 1);
    await page.close();
  });
  await t.test('a reply that comes late, after a new request, is not taken for its answer', async () => {
    const page = await h.openPage(browser, { devices: [QX209] });
    await page.evaluate(() => { fakeHid.granted[0].emit([1, 0x99, 0, 0, 0, 0xFF, 0, 0]); });
    await h.command(page, 40009);
    assert.match(await h.text(page, '#console'), /1\.2/);
    await page.close();
  });
  await t.test('a command is refused while one runs', async () => {
    const page = await h.openPage(browser, { devices: [QX209] });
    const refused = await page.evaluate(async () => {
      const first = Module.page.command(40009);
      const second = await Module.page.command(40008);
      await first;
      return second;
    });
    assert.equal(refused, false);
    assert.equal((await sent(page)).length, 17);
    await page.close();
  });
});

test('unplug and plug again', async (t) => {
  await t.test('a module unplugged mid-Write ends it, the removal is told, and it comes back', async () => {
    const page = await h.openPage(browser, { devices: [QX209] });
    await page.evaluate(() => {
      fakeHid.onSend = (device) => { if (fakeHid.sent.length === 4) fakeHid.unplug(device); };
    });
    await h.command(page, 40008);
    await page.waitForFunction(() => document.querySelector('button[data-command="40008"]').disabled);
    assert.ok((await sent(page)).length < 16);
    assert.match(await h.text(page, '#console'), /제거/);
    await page.evaluate(() => { fakeHid.onSend = null; fakeHid.plug(fakeHid.add(0x10F7, 0x0209, {})); });
    await page.waitForFunction(() => !document.querySelector('button[data-command="40008"]').disabled);
    assert.match(await h.text(page, '#console'), /QX209/);
    await page.close();
  });
});

test('the key picker: every key picks what its caption names, a lone modifier by OK', async () => {
  const page = await h.openPage(browser, { devices: [] });
  const keys = await page.$$eval('#keyboard button', (bs) =>
    bs.filter((b) => !b.hidden).map((b) => +b.dataset.key).filter((id) => id > 2));
  assert.ok(keys.length > 90);
  const modifiers = [1068, 1074];
  for (const id of keys.filter((k) => !modifiers.includes(k) && k !== 1000 + 0)) {
    const isModifier = await page.$eval(`#keyboard button[data-key="${id}"]`, (b) => /Shift|Ctrl|Alt/.test(b.textContent));
    await pickKey(page, 1, isModifier ? [id, 1] : [id]);
    const shown = await h.text(page, '#slot1');
    assert.notEqual(shown.trim(), '', `key ${id} picks nothing`);
    await h.command(page, 116);
    assert.equal((await h.text(page, '#slot1')).trim(), '');
  }
  await page.close();
});

test('without WebHID the page says so and offers the demo module, which works', async () => {
  const page = await h.openPage(browser, { noWebHid: true });
  assert.match(await h.text(page, '#notice'), /WebHID/);
  assert.equal(await page.$eval('#connect', (b) => b.disabled), true);
  await page.click('#demo');
  await page.waitForFunction(() => !document.querySelector('button[data-command="40009"]').disabled);
  assert.match(await h.text(page, '#console'), /QX209/);
  await h.command(page, 40009);
  assert.match(await h.text(page, '#console'), new RegExp(READ_DONE));
  await page.close();
});
