// The preview page holds an area of the tab's page size with the picture at the tab's
// scroll offsets, scrolled so that the picture's corner is the view's corner.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const support = require('./PreviewPageSupport');

// view: the preview control's size. file: the picture file's own size. call: what the
// add-on hands over. area: the area's size; at: the picture's offsets in it; shown: the
// picture's size on the page.
const cases = [
  { name: 'the example pinch: a page scrolled down',
    view: [778, 578], file: [778, 578],
    call: { page: [1000, 3000], picture: [778, 578], top: 1200, left: 0 },
    area: [1000, 3000], at: [0, 1200], shown: [778, 578] },
  { name: 'a page scrolled down and to the right',
    view: [420, 320], file: [400, 300],
    call: { page: [2000, 1500], picture: [400, 300], top: 500, left: 700 },
    area: [2000, 1500], at: [700, 500], shown: [400, 300] },
  { name: 'a page scrolled to its far corner, the view larger than the picture',
    view: [620, 420], file: [600, 400],
    call: { page: [1000, 900], picture: [600, 400], top: 500, left: 400 },
    area: [1000, 900], at: [400, 500], shown: [600, 400] },
  { name: 'a page smaller than the picture: the area grows to hold it',
    view: [400, 300], file: [400, 300],
    call: { page: [300, 200], picture: [400, 300], top: 0, left: 0 },
    area: [400, 300], at: [0, 0], shown: [400, 300] },
  { name: 'negative offsets count as 0',
    view: [400, 300], file: [400, 300],
    call: { page: [800, 600], picture: [400, 300], top: -30, left: -20 },
    area: [800, 600], at: [0, 0], shown: [400, 300] },
  { name: 'a picture size of 0 takes the file\'s own size',
    view: [400, 300], file: [40, 30],
    call: { page: [800, 600], picture: [0, 0], top: 10, left: 20 },
    area: [800, 600], at: [20, 10], shown: [40, 30] },
  { name: 'a page size of 0 gives an area just holding the picture',
    view: [400, 300], file: [400, 300],
    call: { page: [0, 0], picture: [400, 300], top: 10, left: 20 },
    area: [420, 310], at: [20, 10], shown: [400, 300] },
];

// Where the page put things, in document and view coordinates.
function measure() {
  const area = document.getElementById('page').getBoundingClientRect();
  const picture = document.images[document.images.length - 1];
  const box = picture.getBoundingClientRect();
  return {
    images: document.images.length,
    complete: picture.complete && picture.naturalWidth > 0,
    area: [area.width, area.height],
    areaInDocument: [area.left + window.scrollX, area.top + window.scrollY],
    at: [box.left - area.left, box.top - area.top],
    inView: [box.left, box.top],
    shown: [box.width, box.height],
  };
}

test('the preview page places the picture', async (t) => {
  const page = await support.openPreviewPage(t, [400, 300]);
  const folder = support.makeTempFolder(t);
  for (const [index, c] of cases.entries()) {
    await t.test(c.name, async () => {
      const file = path.join(folder, `picture${index}.png`);
      support.writePicture(file, c.file[0], c.file[1], [200, 40, 40]);
      await page.setViewportSize({ width: c.view[0], height: c.view[1] });
      await support.runAddonScripts(page, { url: support.pictureUrl(file), ...c.call });
      const found = await page.evaluate(measure);
      assert.equal(found.images, 1, 'the picture is the only image');
      assert.ok(found.complete, 'the picture has loaded');
      assert.deepEqual(found.areaInDocument, [0, 0], 'the area starts at the document\'s corner');
      assert.deepEqual(found.area, c.area, 'area size');
      assert.deepEqual(found.at, c.at, 'picture offsets in the area');
      assert.deepEqual(found.shown, c.shown, 'picture size');
      assert.deepEqual(found.inView, [0, 0], 'the picture\'s corner is the view\'s corner');
    });
  }
});

test('the picture stays at the view\'s corner when the view grows after the calls', async (t) => {
  const page = await support.openPreviewPage(t, [200, 150]);
  const folder = support.makeTempFolder(t);
  const file = path.join(folder, 'temp.png');
  support.writePicture(file, 600, 400, [40, 40, 200]);
  await support.runAddonScripts(page, {
    url: support.pictureUrl(file), page: [1000, 900], picture: [600, 400], top: 500, left: 400,
  });
  await page.setViewportSize({ width: 640, height: 440 });
  // The resize event is handled before the next frame is drawn.
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  const found = await page.evaluate(measure);
  assert.deepEqual(found.at, [400, 500]);
  assert.deepEqual(found.inView, [0, 0]);
});
