// The page around the core: draws what the view says, runs the dialogs the
// core waits on, and keeps the WebHID devices the browser granted.
(function () {
  'use strict';
  var $ = function (id) { return document.getElementById(id); };
  var decoder = new TextDecoder('euc-kr');
  var running = false;
  var demo = false;
  var quitted = false;

  Module.cp949Text = function (pointer) {
    var end = pointer;
    while (HEAPU8[end] !== 0) end++;
    return decoder.decode(HEAPU8.subarray(pointer, end)).replace(/\r\n/g, '\n');
  };

  // Code page 949 from text: every two-byte code decoded once by the
  // browser's decoder gives the table backwards.
  var encoding = null;
  function encodingTable() {
    if (encoding) return encoding;
    encoding = new Map();
    var pair = new Uint8Array(2);
    for (var lead = 0x81; lead <= 0xFE; lead++) {
      for (var trail = 0x41; trail <= 0xFE; trail++) {
        pair[0] = lead;
        pair[1] = trail;
        var c = decoder.decode(pair);
        if (c.length === 1 && c !== '\uFFFD' && !encoding.has(c)) encoding.set(c, lead << 8 | trail);
      }
    }
    return encoding;
  }
  // Writes text as code page 949 into out (size bytes with the terminator);
  // 0 when a character has no form there or the text does not fit.
  Module.encodeCp949 = function (text, out, size) {
    var bytes = [];
    for (var ch of text) {
      var code = ch.codePointAt(0);
      if (code < 0x80) { bytes.push(code); continue; }
      var word = encodingTable().get(ch);
      if (word === undefined) return 0;
      bytes.push(word >> 8, word & 0xFF);
    }
    if (bytes.length >= size) return 0;
    HEAPU8.set(bytes, out);
    HEAPU8[out + bytes.length] = 0;
    return 1;
  };

  var page = Module.page = {};
  // The console is a live region: a text that extends the one shown is added
  // as a text of its own, so that a screen reader reads only what is new.
  page.setConsole = function (text) {
    var c = $('console'), shown = c.textContent;
    if (text === shown) return;
    if (shown && text.startsWith(shown)) c.appendChild(document.createTextNode(text.slice(shown.length)));
    else c.textContent = text;
    c.scrollTop = c.scrollHeight;
  };
  page.setStatus = function (text) { $('status').textContent = text; };
  // Grayed items stay in the menu's keyboard order, as in the window's menus.
  page.enableDeviceCommands = function (on) {
    document.querySelectorAll('button.device').forEach(function (b) { b.setAttribute('aria-disabled', String(!on)); });
  };
  page.showLayerButtons = function (on) { $('layers').style.visibility = on ? 'visible' : 'hidden'; };
  page.checkLayer = function (layer) { $('layer' + (layer === 1 ? 1 : 0)).checked = true; };
  page.setBusy = function (on) { document.body.classList.toggle('busy', on); };

  // File > Exit: the modules are let go and nothing runs any more. A script
  // may close only a tab it opened, so the page says it has ended instead.
  page.quit = function () {
    quitted = true;
    hid.devices.forEach(function (d) { if (d.device.opened) d.device.close(); });
    document.body.classList.add('ended');
    $('ended').hidden = false;
    $('ended').focus();
    window.close();
  };

  // Row label 0 above the eight slots, labels 1 to 8 beside them, 9 beside
  // the layer buttons. Each slot's text and buttons are named by its label.
  function element(tag, id, className) {
    var e = document.createElement(tag);
    if (id) e.id = id;
    if (className) e.className = className;
    return e;
  }
  function slotButton(caption, command, nameIds) {
    var b = element('button');
    b.textContent = caption;
    b.dataset.command = String(command);
    b.setAttribute('aria-labelledby', nameIds);
    return b;
  }
  function buildPanel() {
    var panel = $('panel'), layers = $('layers');
    var add = function (e) { panel.insertBefore(e, layers); };
    add(element('div', 'label0', 'label'));
    for (var row = 0; row < 8; row++) {
      var label = 'label' + (row + 1);
      var slot = element('input', 'slot' + row, 'slot');
      slot.readOnly = true;
      slot.setAttribute('aria-labelledby', label);
      var change = slotButton('Change', Module.COMMAND_IDS.ID_CHANGE_FIRST + row, 'change' + row + ' ' + label);
      change.id = 'change' + row;
      var clear = slotButton('x', Module.COMMAND_IDS.ID_CLEAR_FIRST + row, 'clear-word ' + label);
      clear.dataset.title = 'clear';
      [element('div', label, 'label'), slot, change, clear].forEach(add);
    }
    add(element('div', 'label9', 'label'));
  }
  page.drawSlots = function () {
    for (var row = 0; row < 8; row++) $('slot' + row).value = Module.cp949Text(_web_slot_text(row));
  };
  page.drawLabels = function () {
    for (var k = 0; k < 10; k++) $('label' + k).textContent = Module.cp949Text(_web_row_label(k));
  };

  page.showKey = Module.picker.showKey;
  page.runKeyPicker = Module.picker.run;
  page.endPick = Module.picker.end;

  // Files: the core reads and writes the page's one file, /files/current.kbd
  // or a dropped file's name; the page moves its bytes from a file chooser or
  // a drop, and to a save picker or a download.
  var PAGE_FILE = '/files/current.kbd';
  var saveTarget = { handle: null, name: '' };
  // The code page 949 form of a text in the core's buffer for it, 0 when it
  // has none. Called directly: ccall, while the core waits, would wait too.
  function cp949(text) {
    var stack = stackSave();
    var size = text.length * 4 + 1;
    var utf8 = stackAlloc(size);
    stringToUTF8(text, utf8, size);
    var converted = _web_cp949(utf8);
    stackRestore(stack);
    return converted;
  }
  // Hands bytes to the core as the file at path, named in code page 949 as
  // the core names files; false when the path has no such form.
  function keepFile(path, data) {
    var name = cp949(path);
    if (!name) return false;
    var at = _web_file_receive(name, data.length);
    HEAPU8.set(data, at);
    return true;
  }
  function chooseFileToOpen() {
    return new Promise(function (resolve) {
      var input = $('file-input');
      input.value = '';
      input.onchange = function () {
        var file = input.files[0];
        if (!file) { resolve(null); return; }
        file.arrayBuffer().then(function (data) { resolve({ name: file.name, data: new Uint8Array(data) }); });
      };
      input.oncancel = function () { resolve(null); };
      input.click();
    });
  }
  function writeName(name, out, size) { stringToUTF8(name, out, size); return 1; }
  page.runFileDialog = async function (save, title, out, size) {
    if (!save) {
      var file = await chooseFileToOpen();
      if (!file) return 0;
      keepFile(PAGE_FILE, file.data);
      saveTarget = { handle: null, name: file.name };
      return writeName(file.name, out, size);
    }
    if (window.showSaveFilePicker) {
      try {
        var handle = await window.showSaveFilePicker({ suggestedName: title || 'keys.kbd',
          types: [{ description: Module.language.text('keyTable'), accept: { 'application/octet-stream': ['.kbd'] } }] });
        saveTarget = { handle: handle, name: handle.name };
        return writeName(handle.name, out, size);
      } catch (e) { return 0; }
    }
    var name = window.prompt(Module.language.text('fileName'), title || 'keys.kbd');
    if (!name) return 0;
    saveTarget = { handle: null, name: name };
    return writeName(name, out, size);
  };
  function savedBytes() {
    var length = _web_file_length();
    if (length < 0) return null;
    var at = _web_file_data();
    return { data: HEAPU8.slice(at, at + length) };
  }
  async function deliverSave() {
    var after = savedBytes();
    if (!after) return;
    if (saveTarget.handle) {
      var writable = await saveTarget.handle.createWritable();
      await writable.write(after.data);
      await writable.close();
    } else {
      var link = document.createElement('a');
      link.href = URL.createObjectURL(new Blob([after.data], { type: 'application/octet-stream' }));
      link.download = saveTarget.name || 'keys.kbd';
      document.body.appendChild(link);
      link.click();
      link.remove();
    }
    page.lastSaved = after.data;
  }

  // Runs an entry point of the core to its end.
  var ended = null;
  page.done = function () { var resolve = ended; ended = null; if (resolve) resolve(); };
  function callCore(name, types, args) {
    return new Promise(function (resolve) {
      ended = resolve;
      ccall(name, null, types, args, { async: true });
    });
  }

  // One command at a time; the others are refused while it runs.
  // A device change during a command is looked at once the command ends.
  // The window paints itself anew after each of them; so does the page.
  var changeWaiting = false;
  async function run(work) {
    if (running || quitted) return false;
    running = true;
    try {
      await work();
      while (changeWaiting && !quitted) {
        changeWaiting = false;
        await callCore('web_device_change', ['number'], [0]);
      }
    } finally { running = false; }
    page.drawLabels();
    page.drawSlots();
    return true;
  }
  function command(id) {
    return run(async function () {
      // A save writes the page's file anew; once written, it goes out.
      var saving = id === Module.COMMAND_IDS.IDM_FILE_SAVE || id === Module.COMMAND_IDS.IDM_FILE_SAVE_AS;
      if (saving) _web_file_forget();
      await callCore('web_command', ['number'], [id]);
      if (saving) await deliverSave();
    });
  }
  page.command = command;
  page.busy = function () { return running; };

  function openDropped(file) {
    return run(async function () {
      var data = new Uint8Array(await file.arrayBuffer());
      if (!keepFile('/files/' + file.name, data)) return;
      var name = cp949(file.name);
      saveTarget = { handle: null, name: file.name };
      await callCore('web_open_dropped', ['number'], [name]);
    });
  }
  document.addEventListener('dragover', function (e) { e.preventDefault(); document.body.classList.add('dragging'); });
  document.addEventListener('dragleave', function () { document.body.classList.remove('dragging'); });
  document.addEventListener('drop', function (e) {
    e.preventDefault();
    document.body.classList.remove('dragging');
    var files = Array.prototype.slice.call(e.dataTransfer.files).filter(function (f) { return /\.kbd$/i.test(f.name); });
    if (files.length) openDropped(files[0]);
  });

  // WebHID: the granted modules, by a path of the page's own.
  var MODULE_FILTERS = [{ vendorId: 0x10F7, productId: 0x0206 }, { vendorId: 0x10F7, productId: 0x0209 }];
  var UDEV = 'sudo install -m 644 70-usbkbd.rules /etc/udev/rules.d/ && sudo udevadm control --reload-rules && sudo udevadm trigger';
  var hid = Module.hid = { devices: [], handles: {}, nextHandle: 1 };
  function reportLength(reports) {
    var best = 0;
    (reports || []).forEach(function (r) {
      if (r.reportId !== 0) return;
      var bits = 0;
      (r.items || []).forEach(function (i) { bits += i.reportSize * i.reportCount; });
      best = Math.max(best, Math.ceil(bits / 8) + 1);
    });
    return best;
  }
  // The lengths of a device's vendor collection; a keyboard collection
  // (usage page 1, usage 6), which the browser keeps to itself, never counts.
  function lengthsOf(device) {
    var found = null;
    (device.collections || []).forEach(function (c) {
      if (c.usagePage === 1 && c.usage === 6) return;
      var out = reportLength(c.outputReports), input = reportLength(c.inputReports);
      if (!found && out > 0 && input > 0) found = { out: out, input: input };
    });
    return found;
  }
  function known(device) {
    for (var i = 0; i < hid.devices.length; i++) if (hid.devices[i].device === device) return hid.devices[i];
    return null;
  }
  hid.add = function (device) {
    if (known(device)) return;
    var lengths = lengthsOf(device);
    if (!lengths) return;
    hid.devices.push({ device: device, path: 'webhid' + hid.nextHandle++, lengths: lengths });
  };
  hid.remove = function (device) {
    hid.devices = hid.devices.filter(function (d) { return d.device !== device; });
    Object.keys(hid.handles).forEach(function (h) { if (hid.handles[h].device === device) hid.handles[h].gone = true; });
  };
  hid.listText = function () {
    return hid.devices.map(function (d) {
      return d.path + ' ' + d.device.vendorId.toString(16) + ' ' + d.device.productId.toString(16) + ' ' +
        d.lengths.out + ' ' + d.lengths.input;
    }).join('\n');
  };
  hid.open = async function (path) {
    var entry = hid.devices.filter(function (d) { return d.path === path; })[0];
    if (!entry) return 0;
    try {
      if (!entry.device.opened) await entry.device.open();
    } catch (e) {
      showOpenFailure(e);
      return -1;
    }
    var handle = { device: entry.device, queue: [], waiter: null, gone: false, inTransaction: false };
    handle.listener = function (event) {
      if (!handle.inTransaction || event.reportId !== 0) return;
      var report = new Uint8Array(event.data.byteLength + 1);
      report.set(new Uint8Array(event.data.buffer, event.data.byteOffset, event.data.byteLength), 1);
      handle.queue.push(report);
      if (handle.waiter) handle.waiter();
    };
    entry.device.addEventListener('inputreport', handle.listener);
    var id = hid.nextHandle++;
    hid.handles[id] = handle;
    return id;
  };
  hid.close = function (id) {
    var handle = hid.handles[id];
    if (!handle) return;
    handle.device.removeEventListener('inputreport', handle.listener);
    delete hid.handles[id];
  };
  // A report written opens a transaction: what came before it is dropped.
  hid.write = async function (id, report) {
    var handle = hid.handles[id];
    if (!handle || handle.gone) return -1;
    handle.queue = [];
    handle.inTransaction = true;
    try {
      await handle.device.sendReport(report[0], report.slice(1));
    } catch (e) {
      handle.inTransaction = false;
      return -1;
    }
    return report.length;
  };
  hid.read = async function (id, buffer, capacity, timeoutMs) {
    var handle = hid.handles[id];
    if (!handle || handle.gone) return -1;
    if (!handle.queue.length && timeoutMs > 0) {
      await new Promise(function (resolve) {
        var timer = setTimeout(done, timeoutMs);
        function done() { clearTimeout(timer); handle.waiter = null; resolve(); }
        handle.waiter = done;
      });
    }
    handle.inTransaction = false;
    if (handle.gone) return -1;
    var report = handle.queue.shift();
    if (!report) return 0;
    var length = Math.min(report.length, capacity);
    HEAPU8.set(report.subarray(0, length), buffer);
    return length;
  };

  // The notice, made by html() in the page's language, or none; made again
  // when the language changes. It takes the page's own HTML; a text from
  // elsewhere goes in through htmlOf.
  var noticeHtml = null;
  function notice(html) {
    var n = $('notice');
    noticeHtml = html;
    n.innerHTML = html ? html() : '';
    n.hidden = !html;
  }
  function htmlOf(text) { var e = document.createElement('span'); e.textContent = text; return e.innerHTML; }
  function showOpenFailure(error) {
    var linux = /Linux/.test(navigator.userAgent) && !/Android|CrOS/.test(navigator.userAgent);
    var text = htmlOf(String(error && error.name ? error.name + ': ' + error.message : error));
    notice(function () {
      return linux ? text + '<br>' + Module.language.text('udev') + '<br><code>' + UDEV + '</code>' : text;
    });
  }
  function deviceChange() {
    if (running && !demo) { changeWaiting = true; return Promise.resolve(false); }
    return run(async function () {
      await callCore('web_device_change', ['number'], [demo ? 1 : 0]);
    });
  }

  Module.onRuntimeInitialized = async function () {
    buildPanel();
    Module.picker.build();
    Module.buildMenus();
    Module.language.start();
    // The core may be waiting on a module or a dialog: the call never suspends.
    Module.language.onChange(function () {
      _web_use_language(Module.language.code());
      notice(noticeHtml);
    });
    document.addEventListener('click', function (e) {
      var target = e.target.closest('button[data-command]');
      if (target && target.getAttribute('aria-disabled') !== 'true') command(+target.dataset.command);
    });
    // A layer button chosen by a click or by the arrow keys.
    document.addEventListener('change', function (e) {
      if (e.target.dataset.command) command(+e.target.dataset.command);
    });
    $('demo').addEventListener('click', function () {
      demo = true;
      notice(null);
      deviceChange();
    });
    if (!navigator.hid) {
      $('connect').disabled = true;
      notice(function () { return Module.language.text('noWebHid'); });
    } else {
      $('connect').addEventListener('click', async function () {
        var granted;
        try { granted = await navigator.hid.requestDevice({ filters: MODULE_FILTERS }); } catch (e) { return; }
        granted.forEach(hid.add);
        demo = false;
        deviceChange();
      });
      navigator.hid.addEventListener('connect', function (e) { hid.add(e.device); if (!demo) deviceChange(); });
      navigator.hid.addEventListener('disconnect', function (e) { hid.remove(e.device); if (!demo) deviceChange(); });
      (await navigator.hid.getDevices()).forEach(hid.add);
    }
    await run(async function () { await callCore('web_start', ['number'], [Module.language.code()]); });
    page.drawLabels();
    page.drawSlots();
    document.body.dataset.ready = '1';
  };
})();
