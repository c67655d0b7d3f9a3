// PNGs of the browser page in its states into build/shots/, over the fake
// WebHID of the tests: no module, a QX209 read, its Data menu, a QX206, the
// key picker, and a browser without WebHID.
'use strict';
const fs = require('fs');
const path = require('path');
const h = require('../tests/web/page_harness');

const SHOTS = path.join(h.ROOT, 'build/shots');

async function shot(page, name) {
  await page.screenshot({ path: path.join(SHOTS, `web-${name}.png`) });
  console.log(path.join(SHOTS, `web-${name}.png`));
}

(async () => {
  fs.mkdirSync(SHOTS, { recursive: true });
  const browser = await h.launch();
  let page = await h.openPage(browser, {});
  await shot(page, 'no-module');
  await page.close();
  page = await h.openPage(browser, { devices: [{ vendorId: 0x10F7, productId: 0x0209 }] });
  await page.evaluate(() => { fakeHid.granted[0].words[0] = 0x0106; fakeHid.granted[0].words[1] = 0x0028; });
  await h.command(page, 40009);
  await shot(page, 'qx209-read');
  await page.click('.menu:nth-child(2) > .title');
  await shot(page, 'data-menu');
  await page.keyboard.press('Escape');
  // The picker stays open: the page is closed under it.
  page.evaluate(() => Module.page.command(107)).catch(() => {});
  await page.waitForSelector('#picker.open');
  await page.$eval('#keyboard button[data-key="1068"]', (b) => b.click());
  await shot(page, 'key-picker');
  await page.close();
  page = await h.openPage(browser, { devices: [{ vendorId: 0x10F7, productId: 0x0206 }] });
  await shot(page, 'qx206');
  await page.close();
  page = await h.openPage(browser, { noWebHid: true });
  await shot(page, 'no-webhid');
  await page.close();
  await browser.close();
})().catch((error) => { console.error(error); process.exit(1); });
