#!/usr/bin/env bash
# Inside the guest: the built page in headless Chromium with WebHID granted
# to file pages for the modules' ids by the enterprise policy, so that no
# chooser is needed (tests/guest/webhid_stack.test.js).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p /etc/chromium/policies/managed
cat >/etc/chromium/policies/managed/webhid.json <<'POLICY'
{"WebHidAllowDevicesForUrls": [{"devices": [{"vendor_id": 4343, "product_id": 521},
  {"vendor_id": 4343, "product_id": 518}], "urls": ["file:///"]}]}
POLICY
node --test --test-concurrency=1 "$here/webhid_stack.test.js"
