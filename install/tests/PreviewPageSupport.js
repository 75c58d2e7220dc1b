// What the preview page tests share: the page's file and URL, a headless Chromium, a
// folder of their own, PNG pictures of one colour, and the two script texts exactly as
// the add-on builds them.
'use strict';
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const { pathToFileURL } = require('node:url');

const templatePath = process.env.PINCHWELL_TEMPLATE || path.join(__dirname, '..', 'Template.html');
const templateUrl = pathToFileURL(templatePath).href;
const chromiumPath = process.env.PINCHWELL_CHROMIUM || '/usr/bin/chromium';

// Flags for a quiet headless run on a machine without a GPU, a sandbox or the network.
// Pictures drawn from file: URLs may be read back from a canvas.
const chromiumArgs = [
  '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--allow-file-access-from-files',
];

// A browser with a fresh profile (playwright makes a new empty one for each launch),
// showing the preview page in a view of the given size; closed when the test ends.
async function openPreviewPage(t, view) {
  if (!fs.existsSync(chromiumPath)) {
    throw new Error(`Chromium is missing at ${chromiumPath} (scripts/setup.sh installs it)`);
  }
  const { chromium } = require('playwright-core');
  const browser = await chromium.launch({ executablePath: chromiumPath, headless: true, args: chromiumArgs });
  t.after(() => browser.close());
  const page = await browser.newPage({ viewport: { width: view[0], height: view[1] } });
  await page.goto(templateUrl);
  return page;
}

// A new folder of the test's own, removed when the test ends.
function makeTempFolder(t) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'pinchwell-page-'));
  t.after(() => fs.rmSync(folder, { recursive: true, force: true }));
  return folder;
}

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let c = 0xffffffff;
  for (const b of bytes) c = crcTable[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}
function chunk(type, data) {
  const head = Buffer.alloc(8);
  head.writeUInt32BE(data.length, 0);
  head.write(type, 4, 'ascii');
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])), 0);
  return Buffer.concat([head, data, crc]);
}

// Writes an RGB PNG of one colour, as the capture is written: the whole file anew.
function writePicture(file, width, height, [r, g, b]) {
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, 2, 0, 0, 0], 8);
  const row = Buffer.concat([Buffer.from([0]), Buffer.from(Array(width).fill([r, g, b]).flat())]);
  const pixels = zlib.deflateSync(Buffer.concat(Array(height).fill(row)));
  fs.writeFileSync(file, Buffer.concat([
    Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', header), chunk('IDAT', pixels), chunk('IEND', Buffer.alloc(0)),
  ]));
}

// The file's URL as the add-on writes it: file:/// and the path.
function pictureUrl(file) {
  return pathToFileURL(file).href;
}

// change_div and load_image as the add-on runs them, rooms as absolute values.
function addonScripts({ url, page: [pageWidth, pageHeight], picture: [width, height], top, left }) {
  const right = Math.abs(pageWidth - width - left);
  const below = Math.abs(pageHeight - height - top);
  return [
    `change_div(${pageWidth},${pageHeight})`,
    `load_image('${url}',${width},${height},${top},${left},${right},${below})`,
  ];
}

// Runs the two texts in the page's global scope, as execScript does, and waits until
// the document's last image has finished loading.
async function runAddonScripts(page, call) {
  for (const script of addonScripts(call)) await page.evaluate(script);
  await page.waitForFunction(() => {
    const last = document.images[document.images.length - 1];
    return last !== undefined && last.complete;
  }, null, { timeout: 5000 });
}

module.exports = {
  templatePath, templateUrl, openPreviewPage, makeTempFolder, writePicture, pictureUrl, runAddonScripts,
};
