// The capture file is rewritten at every pinch under the same URL; the preview page
// shows the file as it is now, not a picture it showed before.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const support = require('./PreviewPageSupport');

// One pinch after another, the same file rewritten before each; the third has the
// second's size, so only its colour tells it apart. reload: the preview page is loaded
// anew before the pinch (a new preview window).
const pinches = [
  { size: [7, 5], colour: [255, 0, 0] },
  { size: [9, 6], colour: [0, 0, 255] },
  { size: [9, 6], colour: [0, 255, 0] },
  { size: [9, 6], colour: [255, 255, 0], reload: true },
];

// The size of the file behind the shown picture and the colour of its middle pixel.
function shownPicture() {
  const picture = document.images[document.images.length - 1];
  const canvas = document.createElement('canvas');
  canvas.width = picture.naturalWidth;
  canvas.height = picture.naturalHeight;
  const context = canvas.getContext('2d');
  context.drawImage(picture, 0, 0);
  const pixel = context.getImageData(canvas.width >> 1, canvas.height >> 1, 1, 1).data;
  return { images: document.images.length, size: [canvas.width, canvas.height], colour: [pixel[0], pixel[1], pixel[2]] };
}

test('the preview page shows the rewritten capture file at every pinch', async (t) => {
  const page = await support.openPreviewPage(t, [100, 80]);
  const folder = support.makeTempFolder(t);
  const file = path.join(folder, 'temp.png');
  for (const [index, pinch] of pinches.entries()) {
    support.writePicture(file, pinch.size[0], pinch.size[1], pinch.colour);
    if (pinch.reload) await page.goto(support.templateUrl);
    await support.runAddonScripts(page, {
      url: support.pictureUrl(file), page: [100, 80], picture: pinch.size, top: 0, left: 0,
    });
    const shown = await page.evaluate(shownPicture);
    assert.deepEqual(shown, { images: 1, size: pinch.size, colour: pinch.colour }, `pinch ${index + 1}`);
  }
});
