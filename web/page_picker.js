// The key picker: a modal dialog with the shared key layout drawn to the
// width of the window, Tab kept among its keys, Escape as Cancel.
(function () {
  'use strict';
  // The dialog's size in dialog units; keys are placed by fractions of it.
  var WIDTH = 495, HEIGHT = 146;
  var KIND_TWIN = 2, KIND_CANCEL = 3, KIND_OK = 4;
  // Names for the keys whose caption does not tell them apart, in English;
  // screen readers hear them in the page's language (page_language.js).
  var MODIFIER_NAMES = { 1: 'Left Ctrl', 2: 'Left Shift', 4: 'Left Alt', 16: 'Right Ctrl', 32: 'Right Shift',
    64: 'Right Alt' };
  var ARROW_NAMES = { '←': 'Left Arrow', '→': 'Right Arrow', '↑': 'Up Arrow', '↓': 'Down Arrow' };
  var BACKSPACE = 0x2A, KEYPAD_FIRST = 0x54, KEYPAD_LAST = 0x63;
  function keyName(caption, bit, usage) {
    if (bit) return MODIFIER_NAMES[bit];
    if (usage === BACKSPACE) return 'Backspace';
    if (usage >= KEYPAD_FIRST && usage <= KEYPAD_LAST) return 'Keypad ' + caption;
    return ARROW_NAMES[caption];
  }
  var percent = function (part, whole) { return (100 * part / whole) + '%'; };

  var picker = { resolve: null, buttons: {}, startHidden: {} };
  var dialog = function () { return document.getElementById('picker'); };
  var shownKeys = function () {
    return Array.prototype.filter.call(dialog().querySelectorAll('button'), function (b) { return !b.hidden; });
  };

  // A key that hides itself when clicked (a modifier and its pressed twin,
  // OK) hands focus to the key now shown in its place, or to the first key.
  function keepFocus(clicked) {
    if (!picker.resolve || !clicked.hidden) return;
    var keys = shownKeys();
    var twin = keys.filter(function (b) { return b.style.left === clicked.style.left && b.style.top === clicked.style.top; });
    (twin[0] || keys[0]).focus();
  }
  function addKey(board, f) {
    var id = +f[0], kind = +f[5], bit = +f[6];
    var caption = f[8].replace(/\\n/g, '\n').replace(/&&/g, '&');
    var b = document.createElement('button');
    b.textContent = caption;
    b.dataset.key = f[0];
    var name = keyName(caption, bit, +f[7]);
    if (name) b.dataset.keyName = name;
    if (bit) b.setAttribute('aria-pressed', String(kind === KIND_TWIN));
    b.style.left = percent(+f[1], WIDTH);
    b.style.top = percent(+f[2], HEIGHT);
    b.style.width = percent(+f[3], WIDTH);
    b.style.height = percent(+f[4], HEIGHT);
    if (kind === KIND_TWIN) b.className = 'twin';
    if (kind === KIND_CANCEL || kind === KIND_OK) b.className = 'command';
    // The twins and OK show only while modifiers are held.
    b.hidden = kind === KIND_TWIN || kind === KIND_OK;
    picker.startHidden[id] = b.hidden;
    b.addEventListener('click', function () {
      _web_picker_click(id);
      keepFocus(b);
    });
    board.appendChild(b);
    picker.buttons[id] = b;
  }
  // Tab from the last key goes to the first and Shift+Tab back.
  function trapTab(e) {
    if (e.key !== 'Tab') return;
    var keys = shownKeys(), first = keys[0], last = keys[keys.length - 1];
    if (e.shiftKey ? document.activeElement !== first : document.activeElement !== last) return;
    e.preventDefault();
    (e.shiftKey ? last : first).focus();
  }

  var api = Module.picker = {};
  api.build = function () {
    var board = document.getElementById('keyboard');
    UTF8ToString(_web_picker_layout()).split('\n').forEach(function (line) {
      if (line) addKey(board, line.split('\t'));
    });
    dialog().addEventListener('keydown', trapTab);
    // Escape closes a modal dialog by itself: that is Cancel.
    dialog().addEventListener('close', function () { if (picker.resolve) _web_picker_click(2); });
  };
  api.showKey = function (id, shown) { if (picker.buttons[id]) picker.buttons[id].hidden = !shown; };
  // Each picking starts from the keys as a dialog made anew shows them.
  api.run = function () {
    Object.keys(picker.buttons).forEach(function (id) { picker.buttons[id].hidden = picker.startHidden[id]; });
    dialog().showModal();
    return new Promise(function (resolve) { picker.resolve = resolve; });
  };
  api.end = function (code) {
    var resolve = picker.resolve;
    picker.resolve = null;
    dialog().close();
    if (resolve) resolve(code);
  };
})();
