// Times the site in headless Chromium on this machine: from the start of
// loading the page to the first scene frame shown, and a steady frame (the
// program's own pass, and the time between frames shown), at two sizes.
// Optionally saves a picture of the page.
//   node measure.mjs SITE_FOLDER [PICTURE.png]
import path from 'node:path';

import {launchChromium, serve} from './browser.mjs';

const site = path.resolve(process.argv[2] || '../../build-web/site');
const server = await serve(site);
const browser = await launchChromium();
const median = values => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
for (const [width, height] of [[1024, 768], [1920, 1080]]) {
  const page = await browser.newPage();
  await page.setViewport({width, height});
  await page.evaluateOnNewDocument(() => {
    window.shown = [];
    window.addEventListener('vernaskel', event => {
      if (event.detail.what === 'presented') window.shown.push(performance.now());
    });
    // Each animation frame runs one pass of the program: its time.
    window.passes = [];
    const request = window.requestAnimationFrame.bind(window);
    window.requestAnimationFrame = callback => request(time => {
      const start = performance.now();
      callback(time);
      window.passes.push(performance.now() - start);
    });
  });
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await new Promise(resolve => setTimeout(resolve, 5000));
  const result = await page.evaluate(() => ({shown: window.shown, passes: window.passes}));
  // Shown: two loading pictures, then the first scene frame.
  const steady = result.shown.slice(30);
  const gaps = steady.slice(1).map((time, k) => time - steady[k]);
  console.log(`${width} x ${height}: first scene frame ${result.shown[2].toFixed(0)} ms after the page began ` +
              `loading; a steady pass ${median(result.passes.slice(30)).toFixed(2)} ms of the page's own time, ` +
              `${median(gaps).toFixed(1)} ms between frames shown`);
  if (process.argv[3] && width === 1024) await page.screenshot({path: process.argv[3]});
  await page.close();
}
await browser.close();
server.close();
