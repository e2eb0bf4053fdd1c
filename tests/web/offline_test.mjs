// The site installed and offline: after one visit its service worker keeps
// every file, so that a reload without a network and without the server
// draws the rules; Chromium finds nothing against installing the page; a new
// build's worker replaces the old files, which the next load shows.
//   node offline_test.mjs SITE_FOLDER [chromium|firefox]
import {after, before, describe, it} from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import {launchBrowser, serve} from './browser.mjs';

const SITE = path.resolve(process.argv[2] || '../../build-web/site');
const BROWSER = process.argv[3] || 'chromium';
const BODY = [248, 246, 236];  // the default rules' body colour

// The share of the picture shown after the first scene frame that has the
// rules' body colour, sampled on a grid; with the program's words.
function watchPictures(bodyColour) {
  window.programEvents = [];
  window.bodyShares = [];
  window.addEventListener('vernaskel', event => {
    window.programEvents.push(event.detail.what);
    if (event.detail.what !== 'presented' || !window.programEvents.includes('started')) return;
    if (window.bodyShares.length > 0) return;
    const canvas = document.getElementById('canvas');
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const context = copy.getContext('2d');
    context.drawImage(canvas, 0, 0);
    const data = context.getImageData(0, 0, copy.width, copy.height).data;
    let body = 0;
    let samples = 0;
    for (let y = 4; y < copy.height; y += 8) {
      for (let x = 4; x < copy.width; x += 8, ++samples) {
        const k = (y * copy.width + x) * 4;
        body += [0, 1, 2].every(c => Math.abs(data[k + c] - bodyColour[c]) <= 8) ? 1 : 0;
      }
    }
    window.bodyShares.push(body / samples);
  });
}

let folder;  // the site as served: a copy, changed as a new build would be
let server;
let port;
let browser;
let page;

async function rulesShown() {
  await page.waitForFunction(() => window.bodyShares.length > 0, {timeout: 30000});
  return page.evaluate(() => window.bodyShares[0]);
}

async function serveOn(fixedPort) {
  server = await serve(folder, fixedPort);
  port = server.address().port;
}

before(async () => {
  assert.ok(fs.existsSync(path.join(SITE, 'index.html')), `no site in ${SITE}: run scripts/build-web.sh`);
  folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vernaskel-site-'));
  fs.cpSync(SITE, folder, {recursive: true});
  await serveOn(0);
  browser = await launchBrowser(BROWSER);
  page = await browser.newPage();
  await page.setViewport({width: 800, height: 600});
  await page.evaluateOnNewDocument(watchPictures, BODY);
  await page.goto(`http://127.0.0.1:${port}/`);
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
  fs.rmSync(folder, {recursive: true, force: true});
});

describe(`Vernaskel installed and offline (${BROWSER})`, () => {
  it('keeps every file of the build after one visit, in one cache named after the build', async () => {
    assert.ok(await rulesShown() > 0.1, 'the rules, online');
    const worker = fs.readFileSync(path.join(folder, 'vernaskel-worker.js'), 'utf8');
    const name = worker.match(/const CACHE = '([^']+)'/)[1];
    assert.match(name, /^vernaskel-\d+\.\d+\.\d+-[0-9a-f]{16}$/);
    const kept = await page.evaluate(async () => {
      await navigator.serviceWorker.ready;
      const names = await caches.keys();
      const cache = await caches.open(names[0]);
      return {names, files: (await cache.keys()).map(request => decodeURI(new URL(request.url).pathname))};
    });
    assert.deepEqual(kept.names, [name]);
    const files = fs.readdirSync(folder, {recursive: true}).filter(file => fs.statSync(path.join(folder, file)).isFile())
                    .filter(file => file !== 'vernaskel-worker.js').map(file => '/' + file.split(path.sep).join('/'));
    assert.deepEqual(kept.files.sort(), ['/', ...files].sort());
  });

  it('finds nothing against installing the page', async t => {
    if (BROWSER !== 'chromium') {
      t.skip('installability is asked of Chromium over CDP, which Firefox has not');
      return;
    }
    const session = await page.createCDPSession();
    assert.deepEqual((await session.send('Page.getInstallabilityErrors')).installabilityErrors, []);
    await session.detach();
  });

  it('draws the rules on a reload without a network and without the server', async () => {
    await page.setOfflineMode(true);
    server.closeAllConnections();
    await new Promise(resolve => server.close(resolve));
    await page.reload();
    assert.ok(await rulesShown() > 0.1, 'the rules, offline');
    await page.setOfflineMode(false);
  });

  it('replaces the files with a new build\'s, which the next load shows', async () => {
    // A new build: another page title, and so another worker.
    const replace = (file, from, to) => {
      const where = path.join(folder, file);
      fs.writeFileSync(where, fs.readFileSync(where, 'utf8').replace(from, to));
    };
    replace('index.html', '<title>Vernaskel</title>', '<title>Vernaskel, the next build</title>');
    replace('vernaskel-worker.js', /const CACHE = '([^']+)'/, 'const CACHE = \'$1-next\'');
    await serveOn(port);
    // This load runs on the kept files; the browser finds the new worker.
    await page.reload();
    await rulesShown();
    assert.equal(await page.title(), 'Vernaskel');
    await page.waitForFunction(() => window.vernaskelFilesReplaced === true, {timeout: 30000});
    const name = fs.readFileSync(path.join(folder, 'vernaskel-worker.js'), 'utf8').match(/const CACHE = '([^']+)'/)[1];
    await page.waitForFunction(async kept => (await caches.keys()).join() === kept, {timeout: 10000}, name);
    await page.reload();
    assert.ok(await rulesShown() > 0.1, 'the rules, from the new build\'s files');
    assert.equal(await page.title(), 'Vernaskel, the next build');
  });
});
