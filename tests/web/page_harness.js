// Opens the built page in headless Chromium with the fake WebHID in place.
'use strict';
const path = require('path');
const fs = require('fs');
const puppeteer = require('puppeteer-core');

const ROOT = path.resolve(__dirname, '../..');
const PAGE = process.env.USBKBD_WEB_PAGE || path.join(ROOT, 'build/web/web/usbkbd.html');
const FAKE = fs.readFileSync(path.join(__dirname, 'fake_hid.js'), 'utf8');

async function launch() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--allow-file-access-from-files'],
  });
}

// The browser's preferred languages, as navigator.languages tells the page
// from its next load on.
async function preferLanguage(page, language) {
  await page.evaluateOnNewDocument((languages) => {
    Object.defineProperty(Navigator.prototype, 'languages', { get: () => languages, configurable: true });
    Object.defineProperty(Navigator.prototype, 'language', { get: () => languages[0], configurable: true });
  }, [language]);
}

// browser: the browser or a context of its own (with a storage of its own);
// devices: [{vendorId, productId, ...options}] granted before the page loads;
// noWebHid: the page sees a browser without WebHID; url: where it is opened
// from, the file itself unless told; language: the browser's preferred one.
async function openPage(browser, { devices = [], noWebHid = false, url = 'file://' + PAGE, language = 'ko' } = {}) {
  const page = await browser.newPage();
  await preferLanguage(page, language);
  // A Save As without a save picker downloads; no test leaves its file in ~/Downloads.
  await (await page.createCDPSession()).send('Page.setDownloadBehavior', { behavior: 'deny' });
  await page.setViewport({ width: 800, height: 620 });
  await page.evaluateOnNewDocument(
    (setup, none, fake) => {
      window.__fakeSetup = setup;
      window.__noWebHid = none;
      new Function(fake)();
    },
    devices, noWebHid, FAKE);
  await page.goto(url);
  await page.waitForSelector('body[data-ready="1"]');
  return page;
}

// What an element shows: a field's value, any other element's text.
const text = (page, selector) => page.$eval(selector, (e) => (e.tagName === 'INPUT' ? e.value : e.textContent));
const idle = (page) => page.waitForFunction(() => !Module.page.busy());
// Whether a command's menu item is grayed, and a wait until it is or is not.
const grayed = (page, id) => page.$eval(`button[data-command="${id}"]`, (b) => b.getAttribute('aria-disabled') === 'true');
const untilGrayed = (page, id, on) => page.waitForFunction((n, want) =>
  document.querySelector(`button[data-command="${n}"]`).getAttribute('aria-disabled') === String(want), {}, id, on);

// Runs a command as its button does and waits for its end.
async function command(page, id) {
  await page.evaluate((n) => Module.page.command(n), id);
  await idle(page);
}

// Presses Tab until the element has the focus, within as many presses as the page has stops.
async function tabTo(page, selector) {
  for (let presses = 0; presses < 120; presses++) {
    if (await page.$eval(selector, (e) => e === document.activeElement)) return;
    await page.keyboard.press('Tab');
  }
  throw new Error(`Tab never reached ${selector}`);
}

module.exports = { launch, openPage, preferLanguage, text, idle, grayed, untilGrayed, command, tabTo, ROOT, PAGE };
