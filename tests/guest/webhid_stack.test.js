// Inside the guest (tests/guest/web_cases.sh): the built page in headless
// Chromium over the browser's own WebHID, granted by policy, on the kernel's
// hidraw devices that the presenter makes of the bus file USBKBD_BUS and
// records in USBKBD_EMU_RECORD.
'use strict';
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const { execFileSync } = require('child_process');
const h = require('../web/page_harness');
const { MESSAGES } = require('../web/messages');
const puppeteer = require('../web/node_modules/puppeteer-core');

const BUS = process.env.USBKBD_BUS;
const RECORD = process.env.USBKBD_EMU_RECORD;
const FOREIGN = 'device 046D:C077\n';
const KEYBOARD = 'device 10F7:0209\nopens 0\n';
const MODULE = 'device 10F7:0209\nfirmware 12\nkeys 0106 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0028\n';
// The page speaks Korean here, as a Korean browser's.
const CONNECTED_209 = MESSAGES.connectedAtStart.ko;
const READ_DONE = MESSAGES.readDone.ko;
const REMOVED = MESSAGES.removed.ko;
const CONNECTED_AGAIN = MESSAGES.connected.ko;

let browser;
let page;
const pageErrors = [];

async function until(condition, what, ms = 30000) {
  for (const start = Date.now(); Date.now() - start < ms;) {
    if (await condition()) return;
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  assert.fail('waited in vain for ' + what);
}

// The bus file as text, once the kernel has this many hidraw devices and
// udev has dealt with them.
// The file is replaced in one step: the presenter may read it at any moment.
async function setBus(text, devices) {
  fs.writeFileSync(BUS + '.new', text);
  fs.renameSync(BUS + '.new', BUS);
  await until(() => fs.readdirSync('/sys/class/hidraw').length === devices, devices + ' hidraw devices');
  execFileSync('udevadm', ['settle']);
}

const hex = (b) => b.toString(16).toUpperCase().padStart(2, '0');
const line = (letter, bytes) => letter + ' 10F7:0209 ' + bytes.map(hex).join(' ');
const request = (command, a1 = 0, a2 = 0, a3 = 0) => line('W', [0, 0x55, 0xAA, command, a1, a2, a3, 0, 0]);
const reply = (word = 0) => line('Q', [0, 1, 0x12, word >> 8, word & 0xFF, 0, 0xFF, 0, 0]);
const record = (letter) => fs.readFileSync(RECORD, 'utf8').split('\n').filter((l) => l[0] === letter);
async function awaitRecord(letter, count) {
  await until(() => record(letter).length >= count, count + ' ' + letter + ' lines');
  return record(letter);
}

// A hook's failure is told only as such: its error is shown here.
before(async () => { await start().catch((error) => { console.error(error); throw error; }); });

async function start() {
  await setBus(FOREIGN + KEYBOARD + MODULE, 3);
  fs.writeFileSync(RECORD, '');
  // Chromium takes its time to start under TCG.
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    timeout: 180000,
    protocolTimeout: 180000,
    args: ['--no-sandbox', '--disable-gpu', '--allow-file-access-from-files'],
  });
  page = await browser.newPage();
  // The page loads as slowly as the browser starts: a busy host's TCG guest
  // took more than the default 30 s to reach its load event.
  page.setDefaultTimeout(180000);
  page.on('console', (message) => { if (message.type() === 'error') pageErrors.push(message.text()); });
  page.on('pageerror', (error) => pageErrors.push(String(error)));
  await h.preferLanguage(page, 'ko');
  await page.goto('file://' + h.PAGE);
  await page.waitForSelector('body[data-ready="1"]');
}
after(async () => { if (browser) await browser.close(); });

test('the module is found at load; the foreign device and the keyboard collection are passed over', async () => {
  assert.ok((await h.text(page, '#console')).includes(CONNECTED_209), await h.text(page, '#console'));
  assert.equal(await h.text(page, '#status'), ' Connected USB Keyboard Module - QX209');
  assert.equal(await h.text(page, '#notice'), '');
});

test('Read, Write and Reset are the bytes on the wire', async () => {
  await h.command(page, 40009);
  const requests = [request(0x40)];
  const replies = [reply()];
  const words = [0x0106, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0028];
  words.forEach((word, index) => { requests.push(request(0x42, index)); replies.push(reply(word)); });
  assert.deepEqual(await awaitRecord('W', requests.length), requests);
  assert.deepEqual(await awaitRecord('Q', replies.length), replies);
  const console = await h.text(page, '#console');
  assert.ok(console.includes(READ_DONE), console);
  assert.match(await h.text(page, '#slot0'), /<Ctrl><C>/);

  fs.writeFileSync(RECORD, '');
  await h.command(page, 40008);
  const writes = words.map((word, index) => request(0x41, index, word >> 8, word & 0xFF));
  assert.deepEqual(await awaitRecord('W', writes.length), writes);

  fs.writeFileSync(RECORD, '');
  await h.command(page, 40010);
  assert.deepEqual(await awaitRecord('W', 1), [request(0x4F)]);
  assert.deepEqual(await awaitRecord('Q', 1), [reply()]);
  await setBus(fs.readFileSync(BUS, 'utf8'), 2);
});

test('unplugged and plugged again, the page follows', async () => {
  await setBus(FOREIGN + KEYBOARD + MODULE, 3);
  await until(async () => (await h.text(page, '#console')).includes(CONNECTED_AGAIN), 'the arrival told');
  await setBus(FOREIGN + KEYBOARD, 2);
  await until(async () => (await h.text(page, '#console')).includes(REMOVED), 'the removal told');
  await h.untilGrayed(page, 40009, true);
});

test('the browser console has no error', () => {
  assert.deepEqual(pageErrors, []);
});
