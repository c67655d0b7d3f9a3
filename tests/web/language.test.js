// The page in Korean and in English: each console message in the language
// the browser prefers, and the language button, used from the keyboard.
'use strict';
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const h = require('./page_harness');
const { MESSAGES, EMPTY_DUMP, LANGUAGES } = require('./messages');

const QX209 = { vendorId: 0x10F7, productId: 0x0209 };

let browser;
before(async () => { browser = await h.launch(); });
after(async () => { await browser.close(); });

const consoleOf = (page) => h.text(page, '#console');

// Each message after what brings it about: the devices granted at load, then
// what happens to the page; the console's text after it, in each language.
const CASES = [
  { name: 'help at start', devices: [], shown: (l) => MESSAGES.help[l] },
  { name: 'connected at start', devices: [QX209], shown: (l) => MESSAGES.connectedAtStart[l] },
  {
    name: 'connected on arrival', devices: [],
    async act(page) {
      await page.evaluate(() => fakeHid.plug(fakeHid.add(0x10F7, 0x0209, {})));
      await h.untilGrayed(page, 40008, false);
    },
    shown: (l) => MESSAGES.connected[l],
  },
  {
    name: 'removed', devices: [QX209],
    async act(page) {
      await page.evaluate(() => fakeHid.unplug(fakeHid.granted[0]));
      await h.untilGrayed(page, 40008, true);
    },
    shown: (l) => MESSAGES.removed[l],
  },
  { name: 'written', devices: [QX209], act: (page) => h.command(page, 40008), shown: (l) => EMPTY_DUMP + MESSAGES.writeDone[l] },
  {
    name: 'write error', devices: [QX209],
    async act(page) {
      await page.evaluate(() => { fakeHid.granted[0].plugged = false; });
      await h.command(page, 40008);
    },
    shown: (l) => EMPTY_DUMP + MESSAGES.writeError[l],
  },
  {
    name: 'firmware version and read', devices: [QX209], act: (page) => h.command(page, 40009),
    shown: (l) => MESSAGES.version[l] + MESSAGES.readDone[l],
  },
  {
    name: 'receive error', devices: [QX209],
    async act(page) {
      await page.evaluate(() => { fakeHid.granted[0].version = 0; });
      await h.command(page, 40009);
    },
    shown: (l) => MESSAGES.receiveError[l],
  },
  { name: 'reset', devices: [QX209], act: (page) => h.command(page, 40010), shown: (l) => MESSAGES.resetDone[l] },
  {
    name: 'reset error', devices: [QX209],
    async act(page) {
      await page.evaluate(() => { fakeHid.granted[0].plugged = false; });
      await h.command(page, 40010);
    },
    shown: (l) => MESSAGES.resetError[l],
  },
];

test('each console message in the language the browser prefers', async (t) => {
  for (const language of LANGUAGES) {
    for (const c of CASES) {
      await t.test(`${c.name}, ${language}`, async () => {
        const page = await h.openPage(browser, { devices: c.devices, language });
        if (c.act) await c.act(page);
        assert.equal(await consoleOf(page), c.shown(language));
        assert.equal(await page.evaluate(() => document.documentElement.lang), language);
        await page.close();
      });
    }
  }
});

test('another preferred language than Korean gives English', async () => {
  const page = await h.openPage(browser, { language: 'de-DE' });
  assert.equal(await consoleOf(page), MESSAGES.help.en);
  await page.close();
});

// What changes with the language: the console, lang, the page's own words.
const shownLanguage = (page) => page.evaluate(() => ({
  lang: document.documentElement.lang,
  demo: document.getElementById('demo').textContent,
  console: document.getElementById('console').getAttribute('aria-label'),
  button: document.getElementById('language').textContent,
}));
const SHOWN = {
  ko: { lang: 'ko', demo: '모듈 없이 해 보기', console: '콘솔', button: 'English' },
  en: { lang: 'en', demo: 'Try without a module', console: 'Console', button: '한국어' },
};

test('the language button, from the keyboard: at once, and still so after a reload', async () => {
  // A context of its own: the choice kept in its storage stays there.
  const context = await browser.createBrowserContext();
  const page = await h.openPage(context, { devices: [QX209], language: 'ko' });
  await h.command(page, 40009);
  assert.deepEqual(await shownLanguage(page), SHOWN.ko);

  await h.tabTo(page, '#language');
  await page.keyboard.press('Enter');
  assert.deepEqual(await shownLanguage(page), SHOWN.en);
  assert.equal(await consoleOf(page), MESSAGES.version.en + MESSAGES.readDone.en);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'language');

  await page.reload();
  await page.waitForSelector('body[data-ready="1"]');
  assert.deepEqual(await shownLanguage(page), SHOWN.en);
  assert.equal(await consoleOf(page), MESSAGES.connectedAtStart.en);

  await h.tabTo(page, '#language');
  await page.keyboard.press('Space');
  assert.deepEqual(await shownLanguage(page), SHOWN.ko);
  assert.equal(await consoleOf(page), MESSAGES.connectedAtStart.ko);
  await context.close();
});

test('the notice of a browser without WebHID follows the language', async () => {
  const context = await browser.createBrowserContext();
  const page = await h.openPage(context, { noWebHid: true, language: 'en' });
  assert.match(await h.text(page, '#notice'), /^This browser has no WebHID/);
  await h.tabTo(page, '#language');
  await page.keyboard.press('Enter');
  assert.match(await h.text(page, '#notice'), /^이 브라우저에는 WebHID가 없습니다/);
  await context.close();
});

test('a switch while a Write runs: the Write ends in the new language', async () => {
  const context = await browser.createBrowserContext();
  const page = await h.openPage(context, { devices: [Object.assign({ replyDelayMs: 30 }, QX209)], language: 'ko' });
  const writing = page.evaluate(() => Module.page.command(40008));
  await page.waitForFunction(() => fakeHid.sent.length >= 2);
  await page.click('#language');
  await writing;
  await h.idle(page);
  assert.equal(await consoleOf(page), EMPTY_DUMP + MESSAGES.writeDone.en);
  await context.close();
});
