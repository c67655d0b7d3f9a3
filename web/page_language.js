// The page's language, Korean or English: the console's messages come from
// the core in the language handed to it, the page's own texts (notices, the
// demo button, what screen readers hear) from here; menus, buttons and the
// status line are English in both, as in the window. The browser's first
// preferred language decides until the language button is used; that choice
// is kept in localStorage. Elements name their texts: data-text (content),
// data-label (aria-label), data-alt (alt), data-title (title).
(function () {
  'use strict';
  var STORED = 'usbkbd-language';
  // The core's codes of the languages.
  var CODES = { ko: 0, en: 1 };
  var TEXTS = {
    en: {
      other: 'ko',
      demo: 'Try without a module',
      menubar: 'Menu',
      console: 'Console',
      banner: 'USB Keyboard Module set-up / change',
      clear: 'Clear',
      open: 'Open',
      ended: 'USB Keyboard Module has ended. Close this tab, or reload the page to start it again.',
      noWebHid: 'This browser has no WebHID (use Chrome, Edge or Opera on a desktop); try the demo module instead.',
      udev: 'On Linux the module must be readable by you: install the udev rule ' +
        '(packaging/linux/70-usbkbd.rules) and plug the module in again:',
      fileName: 'File name',
      keyTable: 'Key table',
      keypad: 'Keypad ',
      keys: {},
    },
    ko: {
      other: 'en',
      demo: '모듈 없이 해 보기',
      menubar: '메뉴',
      console: '콘솔',
      banner: 'USB Keyboard Module 설정 / 변경',
      clear: '지우기',
      open: '열기',
      ended: 'USB Keyboard Module이 끝났습니다. 이 탭을 닫거나, 다시 시작하려면 페이지를 새로 고치십시오.',
      noWebHid: '이 브라우저에는 WebHID가 없습니다(데스크톱의 Chrome, Edge, Opera를 쓰십시오). ' +
        '대신 모듈 없이 해 보십시오.',
      udev: 'Linux에서는 모듈을 읽을 권한이 있어야 합니다. udev 규칙(packaging/linux/70-usbkbd.rules)을 ' +
        '설치하고 모듈을 다시 연결하십시오:',
      fileName: '파일 이름',
      keyTable: '키 테이블',
      keypad: '키패드 ',
      keys: {
        'Left Ctrl': '왼쪽 Ctrl', 'Left Shift': '왼쪽 Shift', 'Left Alt': '왼쪽 Alt',
        'Right Ctrl': '오른쪽 Ctrl', 'Right Shift': '오른쪽 Shift', 'Right Alt': '오른쪽 Alt',
        'Left Arrow': '왼쪽 화살표', 'Right Arrow': '오른쪽 화살표', 'Up Arrow': '위쪽 화살표',
        'Down Arrow': '아래쪽 화살표', Backspace: '백스페이스',
      },
    },
  };
  // The language button names the other language in that language.
  var NAMES = { en: 'English', ko: '한국어' };

  function stored() {
    try { return localStorage.getItem(STORED); } catch (e) { return null; }
  }
  function preferred() {
    var first = (navigator.languages && navigator.languages[0]) || navigator.language || '';
    return /^ko\b/i.test(first) ? 'ko' : 'en';
  }
  var current = TEXTS[stored()] ? stored() : preferred();
  var listeners = [];

  var api = Module.language = {};
  api.current = function () { return current; };
  api.code = function () { return CODES[current]; };
  api.text = function (name) { return TEXTS[current][name]; };
  // A key of the picker by its English name; a keypad key is 'Keypad ' and its caption.
  api.keyName = function (name) {
    var texts = TEXTS[current];
    if (/^Keypad /.test(name)) return texts.keypad + name.slice(7);
    return texts.keys[name] || name;
  };
  api.onChange = function (listener) { listeners.push(listener); };

  function each(attribute, set) {
    document.querySelectorAll('[' + attribute + ']').forEach(function (e) { set(e, e.getAttribute(attribute)); });
  }
  function apply() {
    document.documentElement.lang = current;
    each('data-text', function (e, name) { e.textContent = api.text(name); });
    each('data-label', function (e, name) { e.setAttribute('aria-label', api.text(name)); });
    each('data-alt', function (e, name) { e.alt = api.text(name); });
    each('data-title', function (e, name) { e.title = api.text(name); });
    each('data-key-name', function (e, name) { e.setAttribute('aria-label', api.keyName(name)); });
    var button = document.getElementById('language'), other = api.text('other');
    button.textContent = NAMES[other];
    button.lang = other;
  }
  api.choose = function (language) {
    current = language;
    try { localStorage.setItem(STORED, language); } catch (e) { /* kept for this page only */ }
    apply();
    listeners.forEach(function (listener) { listener(); });
  };
  // Once the page's elements are there: its texts, and the button at work.
  api.start = function () {
    apply();
    document.getElementById('language').addEventListener('click', function () { api.choose(api.text('other')); });
  };
})();
