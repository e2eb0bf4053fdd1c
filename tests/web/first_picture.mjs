// Times the site's first picture against its floor (floor/: the two
// textures fetched, decoded, uploaded and drawn as quads, nothing else), in
// headless Chromium on this machine, from the start of the navigation to the
// first frame with the rules shown: at a desktop's viewport (1280 x 800) and
// a phone's (390 x 844 at device scale 3), a few runs each in a fresh
// browser context (no cache, no service worker), floor and site taking
// turns; medians. Also the site's steps on the way and, on the phone, the
// time between frames once it runs.
//   node first_picture.mjs SITE_FOLDER [RUNS]   (default 5 runs)
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import {launchChromium, serve} from './browser.mjs';

const site = path.resolve(process.argv[2] || '../../build-web/site');
const runs = Number(process.argv[3] || 5);
const median = values => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// The floor's folder: its page, and the two textures cut from the site's
// data package where the program's script says they lie.
const floor = fs.mkdtempSync(path.join(os.tmpdir(), 'vernaskel-floor-'));
fs.mkdirSync(path.join(floor, 'data'));
for (const file of ['index.html', 'floor.js']) {
  fs.copyFileSync(path.join(path.dirname(fileURLToPath(import.meta.url)), 'floor', file), path.join(floor, file));
}
const script = fs.readFileSync(path.join(site, 'vernaskel.js'), 'utf8');
const data = fs.readFileSync(path.join(site, 'vernaskel.data'));
for (const name of ['rule0.tga', 'rule1.jpg']) {
  const [, start, end] = script.match(new RegExp(`"filename":"/data/${name.replace('.', '\\.')}","start":(\\d+),"end":(\\d+)`));
  fs.writeFileSync(path.join(floor, 'data', name), data.subarray(Number(start), Number(end)));
}

const siteServer = await serve(site);
const floorServer = await serve(floor);
const browser = await launchChromium();

// One load in a fresh context: the time of the mark, and what else the
// page tells.
async function load(server, viewport, markName, extra) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport(viewport);
  await page.evaluateOnNewDocument(() => {
    window.shown = [];
    window.addEventListener('vernaskel', event => {
      if (event.detail.what === 'presented') window.shown.push(performance.now());
    });
  });
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.waitForFunction(name => performance.getEntriesByName(name).length > 0, {timeout: 60000}, markName);
  const result = await page.evaluate(name => ({
    time: performance.getEntriesByName(name)[0].startTime,
    marks: Object.fromEntries(performance.getEntriesByType('mark').map(m => [m.name, m.startTime])),
    resources: Object.fromEntries(performance.getEntriesByType('resource')
      .map(r => [r.name.replace(/.*\//, ''), r.responseEnd])),
    shown: window.shown,
  }), markName);
  if (extra) Object.assign(result, await extra(page));
  await context.close();
  return result;
}

// The time between frames shown once the program runs: two seconds of them.
async function frameInterval(page) {
  await new Promise(resolve => setTimeout(resolve, 1000));
  const shown = await page.evaluate(async () => {
    const from = window.shown.length;
    await new Promise(resolve => setTimeout(resolve, 2000));
    return window.shown.slice(from);
  });
  return {interval: median(shown.slice(1).map((time, k) => time - shown[k]))};
}

const viewports = [
  ['desktop 1280 x 800', {width: 1280, height: 800}],
  ['phone 390 x 844 x 3', {width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true}],
];
for (const [label, viewport] of viewports) {
  const floors = [];
  const sites = [];
  // Turns taken, each going first in every other run.
  for (let run = 0; run < runs; ++run) {
    const loadFloor = async () => floors.push(await load(floorServer, viewport, 'floor-first-picture'));
    const loadSite = async () => sites.push(await load(siteServer, viewport, 'vernaskel-first-picture',
                                                       viewport.isMobile && run === 0 ? frameInterval : null));
    if (run % 2 === 0) {
      await loadFloor();
      await loadSite();
    } else {
      await loadSite();
      await loadFloor();
    }
  }
  const floorTime = median(floors.map(r => r.time));
  const siteTime = median(sites.map(r => r.time));
  const steps = (results, names) => names.map(([name, pick]) => `${name} ${median(results.map(pick)).toFixed(0)}`).join(', ');
  console.log(`${label}: first picture ${siteTime.toFixed(0)} ms, floor ${floorTime.toFixed(0)} ms, ` +
              `ratio ${(siteTime / floorTime).toFixed(2)} (medians of ${runs})`);
  console.log('  floor: ' + steps(floors, [['script', r => r.marks['floor-script']],
    ['tga fetched', r => r.marks['floor-tga-fetched']], ['jpeg fetched', r => r.marks['floor-jpeg-fetched']],
    ['decoded', r => r.marks['floor-decoded']], ['uploaded', r => r.marks['floor-uploaded']],
    ['drawn', r => r.marks['floor-drawn']]]));
  console.log('  site: ' + steps(sites, [
    ['script', r => r.resources['vernaskel.js']], ['wasm', r => r.resources['vernaskel.wasm']],
    ['data', r => r.resources['vernaskel.data']], ['loading pictures', r => r.shown[0]],
    ['', r => r.shown[1]], ['scene', r => r.shown[2]]]));
  if (sites[0].interval) console.log(`  site: ${sites[0].interval.toFixed(1)} ms between frames shown`);
}
await browser.close();
siteServer.close();
floorServer.close();
fs.rmSync(floor, {recursive: true, force: true});
