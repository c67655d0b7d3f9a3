// The page's states as a person meets them, each reached from a new page:
// for the accessibility checks and the screenshots.
'use strict';
const h = require('./page_harness');

const QX209 = { vendorId: 0x10F7, productId: 0x0209 };
const QX206 = { vendorId: 0x10F7, productId: 0x0206 };
const LEFT_CTRL = 1068;

const STATES = [
  { name: 'no-module', devices: [] },
  {
    name: 'connected', devices: [QX209],
    async reach(page) {
      await page.evaluate(() => { fakeHid.granted[0].words[0] = 0x0106; fakeHid.granted[0].words[1] = 0x0028; });
      await h.command(page, 40009);
    },
  },
  { name: 'qx206', devices: [QX206] },
  {
    name: 'menu-open', devices: [QX209],
    async reach(page) {
      await page.click('#menu-data');
      await page.waitForSelector('#menu-data[aria-expanded="true"]');
    },
  },
  {
    // The picking never ends: the page is closed under it.
    name: 'picker', devices: [QX209],
    async reach(page) {
      page.evaluate(() => Module.page.command(107)).catch(() => {});
      await page.waitForSelector('#picker[open]');
      await page.click(`#keyboard button[data-key="${LEFT_CTRL}"]`);
    },
  },
  { name: 'no-webhid', noWebHid: true },
  {
    name: 'ended', devices: [QX209],
    async reach(page) {
      await page.click('#menu-file');
      await page.click('button[data-command="40002"]');
      await page.waitForSelector('#ended', { visible: true });
    },
  },
];

// Opens a new page in the state, at the size, colour scheme and language given.
async function openInState(browser, state, { width = 800, height = 600, scheme = 'light', language = 'ko' } = {}) {
  const page = await h.openPage(browser, { devices: state.devices || [], noWebHid: !!state.noWebHid, language });
  await page.setViewport({ width, height });
  await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: scheme }]);
  if (state.reach) await state.reach(page);
  return page;
}

module.exports = { STATES, openInState, QX209, QX206 };
