// The browser page in headless Chromium over a fake navigator.hid: module
// search, the commands on the wire and in the console, the key picker, files.
'use strict';
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const h = require('./page_harness');

const QX209 = { vendorId: 0x10F7, productId: 0x0209 };
const QX206 = { vendorId: 0x10F7, productId: 0x0206 };
const FOREIGN = { vendorId: 0x046D, productId: 0xC077 };
const { MESSAGES } = require('./messages');
const CONNECTED_209 = MESSAGES.connectedAtStart.ko;
const READ_DONE = MESSAGES.readDone.ko;
const PIN_LABEL = 'Pin No.  2';

let browser;
before(async () => { browser = await h.launch(); });
after(async () => { await browser.close(); });

const sent = (page) => page.evaluate(() => fakeHid.sent.map((r) => [r.reportId].concat(r.bytes)));
const frame = (command, a1 = 0, a2 = 0, a3 = 0) => [0, 0x55, 0xAA, command, a1, a2, a3, 0, 0];

async function pickKey(page, slotRow, ids) {
  const picking = page.evaluate((row) => Module.page.command(105 + row), slotRow);
  await page.waitForSelector('#picker[open]');
  for (const id of ids) await page.$eval(`#keyboard button[data-key="${id}"]`, (b) => b.click());
  await picking;
  await h.idle(page);
}

test('module search: each model, both, foreign devices and a keyboard collection', async (t) => {
  await t.test('a QX209 granted before is connected at load, with its pin labels', async () => {
    const page = await h.openPage(browser, { devices: [QX209] });
    assert.ok((await h.text(page, '#console')).includes(CONNECTED_209));
    assert.equal(await h.text(page, '#status'), ' Connected USB Keyboard Module - QX209');
    assert.equal(await h.grayed(page, 40008), false);
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
    assert.equal(await h.grayed(page, 40009), true);
    assert.deepEqual(await sent(page), []);
    await page.close();
  });
});

test('a module the system refuses to open: on Linux the udev rule is shown', async () => {
  const page = await h.openPage(browser, { devices: [Object.assign({ denied: true }, QX209)] });
  const notice = await h.text(page, '#notice');
  assert.match(notice, /NotAllowedError: Failed to open the device/);
  assert.match(notice, /udevadm control --reload-rules/);
  assert.equal(await h.grayed(page, 40009), true);
  await page.close();
});

test("the browser's error shows as text, never as markup", async () => {
  const message = '<img src="x" id="injected">';
  const page = await h.openPage(browser, { devices: [Object.assign({ denied: message }, QX209)] });
  assert.match(await h.text(page, '#notice'), new RegExp('NotAllowedError: ' + message));
  assert.equal(await page.$('#injected'), null);
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
    assert.ok(console.includes(READ_DONE), console);
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
    assert.ok(!console.includes(READ_DONE), console);
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
    await h.untilGrayed(page, 40008, true);
    assert.ok((await sent(page)).length < 16);
    assert.equal(await h.text(page, '#console'), MESSAGES.removed.ko);
    await page.evaluate(() => { fakeHid.onSend = null; fakeHid.plug(fakeHid.add(0x10F7, 0x0209, {})); });
    await h.untilGrayed(page, 40008, false);
    assert.match(await h.text(page, '#console'), /QX209/);
    await page.close();
  });
});

// What each key of the picker leaves in its slot: the key's usage ID, with
// the bits of the modifiers held in the high byte.
const USAGES = {
  1002: 0x29, 1003: 0x3A, 1004: 0x3B, 1005: 0x3C, 1006: 0x3D, 1007: 0x3E, 1008: 0x3F, 1009: 0x40,
  1010: 0x41, 1011: 0x42, 1012: 0x43, 1013: 0x44, 1014: 0x45, 1015: 0x35, 1016: 0x1E, 1017: 0x1F,
  1018: 0x20, 1019: 0x21, 1020: 0x22, 1021: 0x23, 1022: 0x24, 1023: 0x25, 1024: 0x26, 1025: 0x27,
  1026: 0x2D, 1027: 0x2E, 1028: 0x31, 1029: 0x2A, 1030: 0x2B, 1031: 0x14, 1032: 0x1A, 1033: 0x08,
  1034: 0x15, 1035: 0x17, 1036: 0x1C, 1037: 0x18, 1038: 0x0C, 1039: 0x12, 1040: 0x13, 1041: 0x2F,
  1042: 0x30, 1043: 0x39, 1044: 0x04, 1045: 0x16, 1046: 0x07, 1047: 0x09, 1048: 0x0A, 1049: 0x0B,
  1050: 0x0D, 1051: 0x0E, 1052: 0x0F, 1053: 0x33, 1054: 0x34, 1055: 0x28, 1057: 0x1D, 1058: 0x1B,
  1059: 0x06, 1060: 0x19, 1061: 0x05, 1062: 0x11, 1063: 0x10, 1064: 0x36, 1065: 0x37, 1066: 0x38,
  1070: 0x91, 1071: 0x2C, 1072: 0x90, 1075: 0x49, 1076: 0x4C, 1077: 0x4A, 1078: 0x4D, 1079: 0x4B,
  1080: 0x4E, 1081: 0x52, 1082: 0x51, 1083: 0x50, 1084: 0x4F, 1085: 0x46, 1086: 0x47, 1087: 0x48,
  1088: 0x53, 1093: 0x54, 1094: 0x55, 1095: 0x56, 1097: 0x5F, 1098: 0x60, 1099: 0x61, 1100: 0x57,
  1102: 0x5C, 1103: 0x5D, 1104: 0x5E, 1107: 0x59, 1108: 0x5A, 1109: 0x5B, 1110: 0x58, 1112: 0x62,
  1114: 0x63,
};
// Left Ctrl, Shift, Alt, right Ctrl, Shift, Alt: button, bit, usage alone.
const MODIFIERS = [[1068, 0x01, 0xE0], [1056, 0x02, 0xE1], [1069, 0x04, 0xE2],
  [1074, 0x10, 0xE4], [1067, 0x20, 0xE5], [1073, 0x40, 0xE6]];
const PICKER_OK = 1;
const KEY_A = 1044;

// Picks as a person does: Change of the slot, then the keys on screen.
async function pickByClicks(page, row, ids) {
  await page.click(`#panel button[data-command="${105 + row}"]`);
  await page.waitForSelector('#picker[open]');
  for (const id of ids) await page.click(`#keyboard button[data-key="${id}"]`);
  await page.waitForSelector('#picker:not([open])');
  await h.idle(page);
}

// The words of the table, normal layer first, as Save As writes them.
async function savedWords(page) {
  await page.evaluate(() => { window.prompt = () => 'keys.kbd'; window.showSaveFilePicker = undefined; });
  await h.command(page, 40006);
  const text = await page.evaluate(() => new TextDecoder().decode(Module.page.lastSaved));
  return text.split(/\s+/).filter(Boolean).map((word) => parseInt(word, 16));
}

test('the key picker: every key leaves its usage, modifiers their bits, a lone modifier by OK', async (t) => {
  const page = await h.openPage(browser, { devices: [] });
  const shown = await page.$$eval('#keyboard button', (bs) => bs.filter((b) => !b.hidden).map((b) => +b.dataset.key));
  await t.test('every key on screen, eight slots at a time', async () => {
    const keys = Object.keys(USAGES).map(Number);
    assert.deepEqual(keys.filter((id) => !shown.includes(id)), []);
    for (let first = 0; first < keys.length; first += 8) {
      const batch = keys.slice(first, first + 8);
      for (let row = 0; row < batch.length; row++) await pickByClicks(page, row, [batch[row]]);
      const words = (await savedWords(page)).slice(0, batch.length);
      assert.deepEqual(words, batch.map((id) => USAGES[id]), `keys ${batch}`);
    }
  });
  await t.test('each modifier held with A, and each alone by OK', async () => {
    for (const [button, bit, alone] of MODIFIERS) {
      await pickByClicks(page, 0, [button, KEY_A]);
      await pickByClicks(page, 1, [button, PICKER_OK]);
      const words = await savedWords(page);
      assert.deepEqual(words.slice(0, 2), [bit << 8 | USAGES[KEY_A], alone], `modifier ${button}`);
    }
  });
  await t.test('Cancel and Escape leave the slot as it was', async () => {
    await pickByClicks(page, 2, [1059]);
    await pickByClicks(page, 2, [1068, 2]);
    await page.click('#panel button[data-command="107"]');
    await page.waitForSelector('#picker[open]');
    await page.keyboard.press('Escape');
    await page.waitForSelector('#picker:not([open])');
    await h.idle(page);
    assert.equal((await savedWords(page))[2], USAGES[1059]);
  });
  await page.close();
});

test('without WebHID the page says so and offers the demo module, which works', async () => {
  const page = await h.openPage(browser, { noWebHid: true });
  assert.match(await h.text(page, '#notice'), /WebHID/);
  assert.equal(await page.$eval('#connect', (b) => b.disabled), true);
  await page.click('#demo');
  await h.untilGrayed(page, 40009, false);
  assert.match(await h.text(page, '#console'), /QX209/);
  await h.command(page, 40009);
  assert.ok((await h.text(page, '#console')).includes(READ_DONE));
  await page.close();
});
