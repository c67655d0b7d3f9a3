// A stand-in for navigator.hid, installed before the page loads: modules that
// answer at the WebHID boundary as the module does, foreign devices, and a
// record of every report sent. Tests drive it through window.fakeHid.
(function () {
  'use strict';
  if (window.__noWebHid) { delete Navigator.prototype.hid; return; }
  var listeners = { connect: [], disconnect: [] };
  var vendorCollection = [{ usagePage: 0xFF00, usage: 1,
    outputReports: [{ reportId: 0, items: [{ reportSize: 8, reportCount: 8 }] }],
    inputReports: [{ reportId: 0, items: [{ reportSize: 8, reportCount: 8 }] }] }];
  var keyboardCollection = [{ usagePage: 1, usage: 6, outputReports: [], inputReports: [] }];

  function FakeDevice(vendorId, productId, options) {
    this.vendorId = vendorId;
    this.productId = productId;
    this.productName = 'fake';
    this.collections = options.keyboard ? keyboardCollection : vendorCollection;
    this.opened = false;
    this.words = new Array(16).fill(0);
    this.version = options.version || 0x12;
    this.silent = !!options.silent;
    this.denied = options.denied;  // the system refuses to open it: true, or the error's message
    this.replyDelayMs = options.replyDelayMs || 1;
    this.plugged = true;
    this.inputListeners = [];
  }
  FakeDevice.prototype.open = async function () {
    if (this.collections === keyboardCollection || this.denied) {
      throw new DOMException(typeof this.denied === 'string' ? this.denied : 'Failed to open the device.', 'NotAllowedError');
    }
    this.opened = true;
  };
  FakeDevice.prototype.close = async function () { this.opened = false; };
  FakeDevice.prototype.addEventListener = function (type, listener) { if (type === 'inputreport') this.inputListeners.push(listener); };
  FakeDevice.prototype.removeEventListener = function (type, listener) {
    this.inputListeners = this.inputListeners.filter(function (l) { return l !== listener; });
  };
  FakeDevice.prototype.answer = function (data) {
    if (data[0] !== 0x55 || data[1] !== 0xAA) return null;
    var index = data[3];
    if (data[2] === 0x41) this.words[index] = data[4] * 256 + data[5];
    var read = data[2] === 0x42;
    return [0x01, this.version, read ? this.words[index] >> 8 : 0, read ? this.words[index] & 0xFF : 0, 0x00, 0xFF, 0, 0];
  };
  FakeDevice.prototype.sendReport = async function (reportId, data) {
    if (!this.opened || !this.plugged) throw new DOMException('Failed to write the report.', 'NotAllowedError');
    var bytes = Array.from(new Uint8Array(data.buffer || data));
    fake.sent.push({ productId: this.productId, reportId: reportId, bytes: bytes, time: performance.now() });
    if (fake.onSend) fake.onSend(this, bytes);
    var reply = this.silent ? null : this.answer(bytes);
    if (!reply) return;
    var device = this;
    setTimeout(function () { device.emit(reply); }, this.replyDelayMs);
  };
  FakeDevice.prototype.emit = function (bytes) {
    var event = { reportId: 0, data: new DataView(new Uint8Array(bytes).buffer), device: this };
    this.inputListeners.slice().forEach(function (l) { l(event); });
  };

  var fake = window.fakeHid = {
    // chosen: the devices a person picks in the browser's prompt at the next
    // requestDevice; requests: the options of each call.
    granted: [], sent: [], onSend: null, chosen: [], requests: [],
    add: function (vendorId, productId, options) {
      var device = new FakeDevice(vendorId, productId, options || {});
      fake.granted.push(device);
      return device;
    },
    plug: function (device) {
      device.plugged = true;
      if (fake.granted.indexOf(device) < 0) fake.granted.push(device);
      listeners.connect.forEach(function (l) { l({ device: device }); });
    },
    unplug: function (device) {
      device.plugged = false;
      device.opened = false;
      fake.granted = fake.granted.filter(function (d) { return d !== device; });
      listeners.disconnect.forEach(function (l) { l({ device: device }); });
    },
  };
  var hid = {
    getDevices: async function () { return fake.granted.slice(); },
    requestDevice: async function (options) {
      fake.requests.push(JSON.parse(JSON.stringify(options)));
      var chosen = fake.chosen.splice(0);
      chosen.forEach(function (d) { if (fake.granted.indexOf(d) < 0) fake.granted.push(d); });
      return chosen;
    },
    addEventListener: function (type, listener) { if (listeners[type]) listeners[type].push(listener); },
    removeEventListener: function () {},
  };
  Object.defineProperty(Navigator.prototype, 'hid', { get: function () { return hid; }, configurable: true });
  var setup = window.__fakeSetup || [];
  setup.forEach(function (d) { fake.add(d.vendorId, d.productId, d); });
})();
