// PNGs of the browser page in each of its states (tests/web/page_states.js)
// at 800 x 600 and 1280 x 800, in the light and the dark colour scheme, in
// Korean and in English, into build/shots/web-STATE-WIDTHxHEIGHT-SCHEME.png
// (Korean) and web-STATE-WIDTHxHEIGHT-SCHEME-en.png, over the fake WebHID of
// the tests. With --readme it also writes README's pictures,
// docs/browser-page.png and docs/browser-page-en.png.
'use strict';
const fs = require('fs');
const path = require('path');
const h = require('../tests/web/page_harness');
const { STATES, openInState } = require('../tests/web/page_states');

const SHOTS = path.join(h.ROOT, 'build/shots');
const SIZES = [[800, 600], [1280, 800]];
const SCHEMES = ['light', 'dark'];
// The file names' ending for each language.
const LANGUAGES = { ko: '', en: '-en' };
const README_PICTURE = { state: 'connected', width: 800, height: 600, scheme: 'light' };

async function shot(browser, state, width, height, scheme, language, file) {
  const page = await openInState(browser, state, { width, height, scheme, language });
  await page.screenshot({ path: file });
  await page.close();
  console.log(file);
}

(async () => {
  fs.mkdirSync(SHOTS, { recursive: true });
  const browser = await h.launch();
  for (const [language, ending] of Object.entries(LANGUAGES)) {
    for (const state of STATES) {
      for (const [width, height] of SIZES) {
        for (const scheme of SCHEMES) {
          await shot(browser, state, width, height, scheme, language,
            path.join(SHOTS, `web-${state.name}-${width}x${height}-${scheme}${ending}.png`));
        }
      }
    }
    if (process.argv.includes('--readme')) {
      const { state, width, height, scheme } = README_PICTURE;
      await shot(browser, STATES.find((s) => s.name === state), width, height, scheme, language,
        path.join(h.ROOT, `docs/browser-page${ending}.png`));
    }
  }
  await browser.close();
})().catch((error) => { console.error(error); process.exit(1); });
