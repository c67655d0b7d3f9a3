// The page served over http from localhost, as from any web server: it
// loads, finds a granted module and runs a command, as it does from disk.
'use strict';
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const http = require('http');
const h = require('./page_harness');
const { MESSAGES } = require('./messages');

let browser;
let server;
let address;
before(async () => {
  browser = await h.launch();
  const body = fs.readFileSync(h.PAGE);
  server = http.createServer((request, response) => {
    if (request.url !== '/usbkbd.html') { response.writeHead(404); response.end(); return; }
    response.writeHead(200, { 'Content-Type': 'text/html' });
    response.end(body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  address = `http://localhost:${server.address().port}/usbkbd.html`;
});
after(async () => {
  await browser.close();
  await new Promise((resolve) => server.close(resolve));
});

test('served from http://localhost: a granted module is found and read', async () => {
  const page = await h.openPage(browser, { devices: [{ vendorId: 0x10F7, productId: 0x0209 }], url: address });
  assert.equal(await page.evaluate(() => window.isSecureContext), true);
  assert.match(await h.text(page, '#console'), /QX209/);
  await h.command(page, 40009);
  assert.ok((await h.text(page, '#console')).endsWith(MESSAGES.readDone.ko));
  assert.equal(await page.evaluate(() => fakeHid.sent.length), 17);
  await page.close();
});
