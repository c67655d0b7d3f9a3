// The page's files in headless Chromium: saved as the command-line tool's
// writer (the window's) writes them, opened by the chooser and by a drop.
'use strict';
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync } = require('child_process');
const h = require('./page_harness');

let browser;

// A download lands in a file of its own name once it is complete.
async function waitForFile(file, length) {
  for (let waited = 0; waited < 10000; waited += 50) {
    if (fs.existsSync(file) && fs.statSync(file).size === length) return;
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}
before(async () => { browser = await h.launch(); });
after(async () => { await browser.close(); });

test('files: saved as the command-line writer writes them, opened by chooser and by drop', async (t) => {
  const tool = path.join(h.ROOT, 'build/native/cli/usbkbdctl');
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'usbkbd-web-'));
  const reference = path.join(dir, 'pedal.kbd');
  execFileSync(tool, ['set', reference, '1', 'Ctrl+C']);
  execFileSync(tool, ['set', reference, 'shift:8', 'Enter']);
  const expected = Array.from(fs.readFileSync(reference));

  async function openReference(page) {
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.evaluate(() => { Module.page.command(40007); })]);
    await chooser.accept([reference]);
    await h.idle(page);
    assert.match(await h.text(page, '#slot0'), /<Ctrl><C>/);
  }

  await t.test('Open through the chooser, then Save As without a save picker downloads the same bytes', async () => {
    const page = await h.openPage(browser, { devices: [] });
    const downloads = fs.mkdtempSync(path.join(dir, 'downloads-'));
    const session = await page.createCDPSession();
    await session.send('Page.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await openReference(page);
    await page.evaluate(() => { window.prompt = () => 'copy.kbd'; window.showSaveFilePicker = undefined; });
    await h.command(page, 40006);
    assert.deepEqual(await page.evaluate(() => Array.from(Module.page.lastSaved)), expected);
    const copy = path.join(downloads, 'copy.kbd');
    await waitForFile(copy, expected.length);
    assert.deepEqual(Array.from(fs.readFileSync(copy)), expected);
    await page.close();
  });

  await t.test('with a save picker, Save As writes the file chosen there and Save writes it again', async () => {
    const page = await h.openPage(browser, { devices: [] });
    await openReference(page);
    await page.evaluate(() => {
      window.pickerCalls = [];
      window.written = [];
      window.showSaveFilePicker = async (options) => {
        window.pickerCalls.push(options.suggestedName);
        return { name: 'chosen.kbd', createWritable: async () => {
          const parts = [];
          return { write: async (data) => { parts.push(...new Uint8Array(data)); },
                   close: async () => { window.written.push(parts); } };
        } };
      };
    });
    await h.command(page, 40006);
    await h.command(page, 40005);
    assert.deepEqual(await page.evaluate(() => window.pickerCalls), ['pedal.kbd']);
    assert.deepEqual(await page.evaluate(() => window.written), [expected, expected]);
    await page.close();
  });
  await t.test('a dropped .kbd file is opened', async () => {
    const page = await h.openPage(browser, { devices: [] });
    const bytes = expected;
    await page.evaluate((data) => {
      const transfer = new DataTransfer();
      transfer.items.add(new File([new Uint8Array(data)], '페달.kbd'));
      document.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
    }, bytes);
    await page.waitForFunction(() => /Ctrl/.test(document.getElementById('slot0').value));
    await h.idle(page);
    await h.command(page, 132);
    assert.match(await h.text(page, '#slot7'), /<Enter>/);
    await page.close();
  });
  await t.test('Save after a drop gives the dropped bytes under the dropped name', async () => {
    const page = await h.openPage(browser, { devices: [] });
    await page.evaluate((data) => {
      const transfer = new DataTransfer();
      transfer.items.add(new File([new Uint8Array(data)], '페달.kbd'));
      document.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
    }, expected);
    await page.waitForFunction(() => /Ctrl/.test(document.getElementById('slot0').value));
    await h.idle(page);
    await page.evaluate(() => {
      window.showSaveFilePicker = undefined;
      window.__downloads = [];
      HTMLAnchorElement.prototype.click = function () { window.__downloads.push(this.download); };
    });
    await h.command(page, 40005);
    assert.deepEqual(await page.evaluate(() => Array.from(Module.page.lastSaved)), expected);
    assert.deepEqual(await page.evaluate(() => window.__downloads), ['페달.kbd']);
    await page.close();
  });
});

