// Vernaskel in the browser: the site that scripts/build-web.sh writes, served
// on 127.0.0.1 by this test and opened in the machine's own Chromium, headless
// on SwiftShader, driven by puppeteer-core. The pictures are read back from
// the page's canvas as each is shown and checked where the program's
// projection puts the rules, as the real-window tests check screenshots.
//   node web_test.mjs SITE_FOLDER [chromium|firefox]
// Firefox (under xvfb-run, for WebGL) runs the same tests.
import {after, before, describe, it} from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';

import {launchBrowser, serve} from './browser.mjs';

const SITE = path.resolve(process.argv[2] || '../../build-web/site');
const BROWSER = process.argv[3] || 'chromium';
const WIDTH = 1024;
const HEIGHT = 768;
const BODY = [248, 246, 236];  // the default rules' body colour

// The program's perspective: a scene point's pixel in a client of the size
// (the near distance doubles while Shift magnifies).
const projectX = (x, z, width, near = 0.0058) => (x * near / (0.004 * z) + 1) * 0.5 * width;
const projectY = (y, z, height, near = 0.0058) => (1 - y * near / (0.0033 * z)) * 0.5 * height;

// --- The page -------------------------------------------------------------------

// Installed before the page's own script: every picture the program shows is
// copied as it is shown (a WebGL canvas keeps it only until then), and the
// program's words are kept.
function watchProgram() {
  window.programEvents = [];
  window.pictures = [];
  window.keepPictures = 0;  // how many of the next pictures to keep
  window.addEventListener('vernaskel', event => {
    window.programEvents.push(event.detail);
    if (event.detail.what !== 'presented' || window.keepPictures <= 0) return;
    window.keepPictures -= 1;
    const canvas = document.getElementById('canvas');
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const context = copy.getContext('2d');
    context.drawImage(canvas, 0, 0);
    const data = context.getImageData(0, 0, copy.width, copy.height).data;
    let text = '';
    for (let k = 0; k < data.length; k += 0x8000) text += String.fromCharCode(...data.subarray(k, k + 0x8000));
    window.pictures.push({width: copy.width, height: copy.height, rgba: btoa(text)});
  });
}

class Picture {
  constructor({width, height, rgba}) {
    this.width = width;
    this.height = height;
    this.rgba = Buffer.from(rgba, 'base64');
  }
  at(x, y) {
    const k = (Math.round(y) * this.width + Math.round(x)) * 4;
    return [this.rgba[k], this.rgba[k + 1], this.rgba[k + 2]];
  }
  isBody(x, y) {
    return this.at(x, y).every((c, k) => Math.abs(c - BODY[k]) <= 8);
  }
  // The first and the last pixel of the body colour along a row.
  bodyFrom(y) {
    for (let x = 0; x < this.width; ++x) if (this.isBody(x, y)) return x;
    return -1;
  }
  bodyTo(y) {
    for (let x = this.width - 1; x >= 0; --x) if (this.isBody(x, y)) return x;
    return -1;
  }
  // The last row that is not black down a column: the rules' lower edge.
  lowestLit(x) {
    for (let y = this.height - 1; y >= 0; --y) if (this.at(x, y).some(c => c > 40)) return y;
    return -1;
  }
}

// Dark pixels of a row within two pixels of x: a line's width across it.
function darkAround(picture, x, y) {
  let dark = 0;
  for (let dx = -2; dx <= 2; ++dx) dark += picture.at(Math.floor(x) + dx, y)[0] < 120 ? 1 : 0;
  return dark;
}

// The setting the page publishes in its address (#set=v1_...), as numbers:
// each rule's hairline and slide (index lengths, 25 scene units), the
// reference corner's x, y, z, the drag sensitivity, the readout shown; the
// starting setting before anything is published.
function settingOf(hash) {
  const text = decodeURIComponent(hash).replace(/^#set=/, '') || 'v1_0.5,0_0.5,0_-15,7,23_0.0002_0';
  const [upper, lower, corner, sensitivity, readout] = text.split('_').slice(1).map(f => f.split(',').map(Number));
  return {upper: {hairline: upper[0], slide: upper[1]}, lower, corner: {x: corner[0], y: corner[1], z: corner[2]},
          sensitivity: sensitivity[0], readout: readout[0]};
}

let server;
let browser;
let page;
const consoleErrors = [];

// The picture shown after `passes` more passes (each shows what the pass
// before left).
async function pictureAfter(passes = 3, on = page) {
  await on.evaluate(count => {
    window.pictures = [];
    window.keepPictures = count;
  }, passes);
  await on.waitForFunction(count => window.pictures.length >= count, {timeout: 20000}, passes);
  return new Picture(await on.evaluate(() => window.pictures[window.pictures.length - 1]));
}

async function shownMessage() {
  await page.waitForSelector('#message:not([hidden])', {timeout: 20000});
  return page.$eval('#message', box => box.innerText);
}

async function startPage() {
  page = await browser.newPage();
  page.on('console', message => {
    if (message.type() === 'error') consoleErrors.push(message.text());
  });
  page.on('pageerror', error => consoleErrors.push(String(error)));
  await page.setViewport({width: WIDTH, height: HEIGHT});
  await page.evaluateOnNewDocument(watchProgram);
  await page.evaluateOnNewDocument(() => {
    window.keepPictures = 2;  // the loading pictures
  });
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
}

before(async () => {
  assert.ok(fs.existsSync(path.join(SITE, 'index.html')), `no site in ${SITE}: run scripts/build-web.sh`);
  server = await serve(SITE);
  browser = await launchBrowser(BROWSER);
  await startPage();
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
});

describe('Vernaskel in the browser', () => {
  it('shows the loading screen with its caption, then the default rules where the projection puts them',
     async () => {
    await page.waitForFunction(() => window.pictures.length >= 2, {timeout: 30000});
    const loading = (await page.evaluate(() => window.pictures)).map(p => new Picture(p));
    // The frame and the bar: red segments, the second orange, from x = -0.1
    // to 0.1 of the orthographic window (0.24 wide), y -0.08 to -0.07.
    const column = x => Math.floor((x + 0.12) / 0.24 * WIDTH);
    const row = Math.floor((0.1 + 0.075) / 0.2 * HEIGHT);
    const near = (colour, expected) => colour.every((c, k) => Math.abs(c - expected[k]) <= 1);
    assert.ok(near(loading[0].at(column(-0.05), row), [230, 0, 26]), 'the first segment, red');
    assert.deepEqual(loading[0].at(column(0.05), row), [0, 0, 0]);
    assert.ok(near(loading[1].at(column(0.05), row), [230, 128, 26]), 'the second segment, orange');
    // The caption's first letters, white, left of the bar, its baseline
    // 97 pixels above the bottom.
    let white = 0;
    for (let y = HEIGHT - 97 - 10; y <= HEIGHT - 97; ++y) {
      for (let x = 54; x < column(-0.1) - 1; ++x) white += loading[0].at(x, y).every(c => c === 255) ? 1 : 0;
    }
    assert.ok(white >= 10, `caption pixels: ${white}`);

    // Every strip's body colour begins and ends where the projection puts
    // the strip's ends, along rows between its scales' marks.
    const shown = await pictureAfter();
    for (const y of [3.0, 5.5, -4.5, -7.0]) {
      const row = projectY(y, 23, HEIGHT);
      assert.ok(Math.abs(shown.bodyFrom(row) - projectX(-15, 23, WIDTH)) <= 1.5, `left end at y ${y}`);
      assert.ok(Math.abs(shown.bodyTo(row) - projectX(15, 23, WIDTH)) <= 1.5, `right end at y ${y}`);
    }
    assert.deepEqual(shown.at(projectX(0, 23, WIDTH), projectY(10, 23, HEIGHT)), [0, 0, 0]);
    assert.equal(await page.evaluate(() => location.hash), '', 'nothing published before the user works the rule');
    assert.equal(darkAround(shown, projectX(-1.4, 22.98, WIDTH), projectY(3, 23, HEIGHT)), 3,
                 'the cursor window\'s left side, three pixels wide as on the desktop');
  });

  it('drags the slide by the predicted pixels', async t => {
    const row = projectY(5.5, 23, HEIGHT);
    const before = (await pictureAfter()).bodyFrom(row);
    const x = projectX(-5, 23, WIDTH);
    await page.mouse.move(x, row);
    await page.mouse.down();
    for (let step = 1; step <= 4; ++step) {
      await page.mouse.move(x + 25 * step, row);
      await pictureAfter(1);
    }
    await page.mouse.up();
    const moved = (await pictureAfter()).bodyFrom(row) - before;
    const predicted = projectX(-15 + 100 * (23 - 2) * 0.0002, 23, WIDTH) - projectX(-15, 23, WIDTH);
    t.diagnostic(`a drag of 100 px moved the slide ${moved} px, predicted ${predicted.toFixed(2)}`);
    assert.ok(Math.abs(moved - predicted) <= 1, `moved ${moved} px, predicted ${predicted.toFixed(2)}`);
  });

  it('zooms with Up, Down and the wheel, magnifies with Shift, pans with a right drag, reads out on R', async () => {
    // Shift: the cursor window's side twice as far from the middle.
    const sideRow = projectY(5.5, 23, HEIGHT, 0.0116);
    await page.keyboard.down('Shift');
    const magnified = await pictureAfter();
    await page.keyboard.up('Shift');
    assert.equal(darkAround(magnified, projectX(-1.4, 22.98, WIDTH, 0.0116), sideRow), 3, 'Shift magnifies');
    // Up and Down: the second rule's lower edge, -8 at depth 23, comes up
    // as the rules move away and goes down again as they come nearer.
    const column = projectX(-8, 23, WIDTH);
    const start = (await pictureAfter()).lowestLit(column);
    assert.ok(Math.abs(start - projectY(-8, 23, HEIGHT)) <= 1.5, `Shift let go: lower edge at ${start}`);
    await page.keyboard.down('ArrowDown');
    await new Promise(resolve => setTimeout(resolve, 300));
    await page.keyboard.up('ArrowDown');
    const farther = (await pictureAfter()).lowestLit(column);
    assert.ok(farther < start - 5, `Down moves the rules away: lower edge ${start} -> ${farther}`);
    await page.keyboard.down('ArrowUp');
    await new Promise(resolve => setTimeout(resolve, 300));
    await page.keyboard.up('ArrowUp');
    const nearer = await pictureAfter();
    assert.ok(nearer.lowestLit(column) > farther + 5, 'Up brings them nearer');

    // A right drag of 50 pixels to the right moves the scene 9 units right.
    const upperRow = projectY(5.5, 23, HEIGHT);
    const upperBefore = nearer.bodyFrom(upperRow);
    await page.mouse.move(500, 700);
    // A pass sees the pointer there before the press (Firefox can deliver
    // both to one pass, which would pan by the whole jump).
    await pictureAfter(1);
    await page.mouse.down({button: 'right'});
    await pictureAfter(1);
    await page.mouse.move(550, 700);
    await pictureAfter(1);
    await page.mouse.up({button: 'right'});
    const panned = (await pictureAfter()).bodyFrom(upperRow);
    assert.ok(panned - upperBefore > 200, `the right drag pans: ${upperBefore} -> ${panned}`);
    assert.equal(await page.evaluate(() => document.scrollingElement.scrollTop), 0);

    // The wheel: a notch away from the user brings the rules half a unit
    // nearer; R shows the readout on its panel above the rules.
    const edgeBefore = (await pictureAfter()).lowestLit(WIDTH / 2);
    await page.mouse.wheel({deltaY: -100});
    const edgeAfter = (await pictureAfter()).lowestLit(WIDTH / 2);
    assert.ok(edgeAfter > edgeBefore, `the wheel zooms in: lower edge ${edgeBefore} -> ${edgeAfter}`);
    await page.keyboard.press('KeyR');
    const readout = await pictureAfter();
    assert.deepEqual(readout.at(20, Math.floor(0.04 * HEIGHT) + 3), [237, 237, 237], 'the readout\'s panel');
    await page.keyboard.press('KeyR');
  });

  it('keeps the setting in its address, replaced as it changes; a #set= link opens the rule as it was',
     async () => {
    // The drags, zooms and pans above are published; a drag now replaces
    // the address without a new entry in the history.
    await page.waitForFunction(() => location.hash.startsWith('#set=v1_'), {timeout: 5000});
    const entries = await page.evaluate(() => history.length);
    const before = await page.evaluate(() => location.hash);
    const row = projectY(5.5, 23, HEIGHT);
    await page.mouse.move(projectX(-10, 23, WIDTH), row);
    await page.mouse.down();
    await page.mouse.move(projectX(-10, 23, WIDTH) + 40, row);
    await pictureAfter(1);
    await page.mouse.up();
    await page.waitForFunction(old => location.hash !== old, {timeout: 5000}, before);
    assert.equal(await page.evaluate(() => history.length), entries);
    // Settled: past the publication interval nothing changes.
    await new Promise(resolve => setTimeout(resolve, 700));
    const link = await page.evaluate(() => location.href);
    const worked = await pictureAfter();

    const opened = await browser.newPage();
    try {
      await opened.setViewport({width: WIDTH, height: HEIGHT});
      await opened.evaluateOnNewDocument(watchProgram);
      await opened.goto(link);
      // The frames after the first: the browser draws the first frame's
      // cursor window a shade apart, with or without a setting.
      await opened.waitForFunction(() => window.programEvents.filter(e => e.what === 'presented').length >= 4,
                                   {timeout: 30000});
      const shown = new Picture(await opened.evaluate(async () => {
        window.pictures = [];
        window.keepPictures = 3;
        while (window.pictures.length < 3) await new Promise(resolve => setTimeout(resolve, 50));
        return window.pictures[2];
      }));
      let differing = 0;
      for (let k = 0; k < shown.rgba.length; k += 4) {
        differing += [0, 1, 2].some(c => shown.rgba[k + c] !== worked.rgba[k + c]) ? 1 : 0;
      }
      assert.equal(differing, 0, 'the link shows the rule as it was');
      assert.equal(await opened.evaluate(() => location.href), link, 'nothing new to publish');

      // A text the program cannot read stops it with its reason.
      await opened.goto('about:blank');
      await opened.goto(link.replace(/#.*/, '#set=v1_0.5'));
      await opened.waitForSelector('#message:not([hidden])', {timeout: 20000});
      assert.match(await opened.$eval('#message', box => box.innerText), /--set: a setting has 6 fields/);
    } finally {
      await opened.close();
    }
  });

  it('works a calculation shown by a #show= link, and one typed on the command line', async () => {
    // The upper rule's hairline and slide as the page's address has them.
    const upperRule = hash => {
      const fields = decodeURIComponent(hash).replace(/^#set=/, '').split('_');
      const [hairline, slide] = fields[1].split(',').map(Number);
      return {hairline, slide};
    };
    const opened = await browser.newPage();
    try {
      await opened.setViewport({width: WIDTH, height: HEIGHT});
      await opened.evaluateOnNewDocument(watchProgram);
      await opened.goto(page.url().replace(/#.*/, '') + '#show=2%2A3');
      // Worked step by step: C's 1 over D's 2, the hairline over 3 on C,
      // which crosses D at 6.
      await opened.waitForFunction(() => {
        if (!location.hash.startsWith('#set=')) return false;
        const upper = decodeURIComponent(location.hash).split('_')[1].split(',').map(Number);
        return Math.abs(upper[0] - Math.log10(6)) < 1e-3 && Math.abs(upper[1] - Math.log10(2)) < 1e-3;
      }, {timeout: 30000});
      // Typed: Enter, the line, Enter.
      await opened.keyboard.press('Enter');
      await opened.keyboard.type('D 2.5');
      await opened.keyboard.press('Enter');
      await opened.waitForFunction(() => {
        const upper = decodeURIComponent(location.hash).split('_')[1].split(',').map(Number);
        return Math.abs(upper[0] - Math.log10(2.5)) < 1e-3;
      }, {timeout: 10000});
      assert.ok(Math.abs(upperRule(await opened.evaluate(() => location.hash)).slide - Math.log10(2)) < 1e-3,
                'a hairline setting leaves the slide where it was');
    } finally {
      await opened.close();
    }
  });

  // Puppeteer cannot emulate a phone in Firefox (no isMobile, hasTouch or
  // device scale over WebDriver BiDi): the phone's checks run in Chromium.
  const phoneOnly = BROWSER === 'firefox' ? {skip: 'Firefox cannot be made a phone by puppeteer'} : {};

  it('keeps the rules\' proportions held upright and draws its text as large as the page\'s at any density',
     phoneOnly, async () => {
    // A page of its own at the viewport, with the readout shown: its picture.
    const openAt = async viewport => {
      const opened = await browser.newPage();
      await opened.setViewport(viewport);
      await opened.evaluateOnNewDocument(watchProgram);
      await opened.goto(page.url().replace(/#.*/, ''));
      await opened.waitForFunction(() => window.programEvents.filter(e => e.what === 'presented').length >= 4,
                                   {timeout: 60000});
      await opened.keyboard.press('KeyR');
      const shown = new Picture(await opened.evaluate(async () => {
        window.pictures = [];
        window.keepPictures = 3;
        while (window.pictures.length < 3) await new Promise(resolve => setTimeout(resolve, 50));
        return window.pictures[2];
      }));
      await opened.close();
      return shown;
    };
    // The body-coloured box of the rules, as width over height.
    const proportions = picture => {
      let left = picture.width, right = -1, top = picture.height, bottom = -1;
      for (let y = 0; y < picture.height; y += 2) {
        for (let x = 0; x < picture.width; x += 2) {
          if (!picture.isBody(x, y)) continue;
          left = Math.min(left, x); right = Math.max(right, x);
          top = Math.min(top, y); bottom = Math.max(bottom, y);
        }
      }
      return (right - left) / (bottom - top);
    };
    // The readout's first capital, in rows: dark right of its panel's edge.
    const capitalRows = picture => {
      const panel = (x, y) => picture.at(x, y).every(c => c === 237);
      const dark = (x, y) => picture.at(x, y).every(c => c < 96);
      const top = Math.floor(0.04 * picture.height);
      const bottom = top + Math.floor(picture.height / 10);
      let first = -1;
      for (let x = 2; x < picture.width / 3 && first < 0; ++x) {
        for (let y = top; y < bottom && first < 0; ++y) if (dark(x, y) && panel(x - 1, y)) first = x;
      }
      let rows = 0;
      for (let y = top; y < bottom; ++y) {
        if (panel(first - 2, y) && [0, 1, 2].some(dx => dark(first + dx, y))) ++rows;
      }
      return rows;
    };
    // The view's own proportions, 0.004 : 0.0033, as the reference.
    const made = await openAt({width: 606, height: 500});
    const upright = await openAt({width: 390, height: 844, deviceScaleFactor: 3, isMobile: true});
    assert.equal(upright.width, 1170);
    const ratio = proportions(upright) / proportions(made);
    assert.ok(Math.abs(ratio - 1) < 0.03, `the rules held upright keep their proportions: ${ratio}`);
    // Capitals and digits at least as tall as the page's 12-pixel text: 8.6
    // CSS pixels, 26 device pixels at a density of 3.
    const atOne = capitalRows(made);
    const atThree = capitalRows(upright);
    assert.ok(atOne >= 8 && atOne <= 11, `text at density 1: ${atOne} rows`);
    assert.ok(atThree >= 26, `text at density 3: ${atThree} rows`);
  });

  it('follows a resize of the page, in the device\'s pixels', async () => {
    // The rules' lower edge, down the middle column, as a share of the height.
    const before = await pictureAfter();
    const share = picture => picture.lowestLit(picture.width / 2) / picture.height;
    await page.setViewport({width: 800, height: 600, deviceScaleFactor: 2});
    const resized = await pictureAfter();
    assert.equal(resized.width, 1600);
    assert.equal(resized.height, 1200);
    assert.ok(Math.abs(share(resized) - share(before)) < 2 / 768, `${share(before)} -> ${share(resized)}`);
  });

  describe('on a phone: 390 x 844 CSS pixels, 3 device pixels each, touch', phoneOnly, () => {
    const [W, H, RATIO] = [390, 844, 3];
    let phone;
    let client;
    // Waits for `count` more pictures shown, and for the published setting
    // to settle (the page publishes it at most every 300 ms).
    const frames = async (count = 4) => {
      const from = await phone.evaluate(() => window.programEvents.length);
      await phone.waitForFunction((from, count) => window.programEvents.slice(from)
        .filter(e => e.what === 'presented').length >= count, {timeout: 30000}, from, count);
    };
    const settled = async () => {
      await frames();
      await new Promise(resolve => setTimeout(resolve, 400));
      await frames(2);
      return settingOf(await phone.evaluate(() => location.hash));
    };
    // Fingers by CDP: every point down now, each {x, y} in CSS pixels.
    const touch = (type, points) => client.send('Input.dispatchTouchEvent',
      {type, touchPoints: points.map(([x, y], id) => ({x, y, id}))});
    // One finger from a point, moved right in steps of `step` CSS pixels.
    const swipe = async (x, y, steps, step = 10) => {
      await touch('touchStart', [[x, y]]);
      await frames(2);
      for (let k = 1; k <= steps; ++k) {
        await touch('touchMove', [[x + k * step, y]]);
        await frames(1);
      }
      await touch('touchEnd', []);
    };
    // The slide's or hairline's motion, in index lengths, for a finger's
    // move of `pixels` device pixels at the part's depth.
    const predicted = (pixels, depth, sensitivity = 0.0002) => pixels * (depth - 2) * sensitivity / 25;
    // The canvas ends where the controls' bar begins (its height in device
    // pixels, once the page is shown). Held upright, the picture keeps the
    // view's proportions (0.004 : 0.0033) across the width, centred in the
    // canvas: its rows, in CSS pixels, as the program places them in device
    // pixels.
    let canvasHeight = H * RATIO;
    const pictureHeight = Math.round(W * RATIO / (0.004 / 0.0033));
    const phoneY = (y, z) => (Math.floor((canvasHeight - pictureHeight) / 2) + projectY(y, z, pictureHeight)) / RATIO;
    let upperRow = 0;
    const tap = label => phone.tap(`[aria-label^="${label}"]`);

    before(async () => {
      phone = await browser.newPage();
      phone.on('console', message => {
        if (message.type() === 'error') consoleErrors.push(message.text());
      });
      phone.on('pageerror', error => consoleErrors.push(String(error)));
      await phone.setViewport({width: W, height: H, deviceScaleFactor: RATIO, isMobile: true, hasTouch: true});
      client = await phone.createCDPSession();
      await client.send('Emulation.setTouchEmulationEnabled', {enabled: true, maxTouchPoints: 5});
      await phone.evaluateOnNewDocument(watchProgram);
      await phone.goto(page.url().replace(/#.*/, ''));
      await frames(4);
      canvasHeight = await phone.evaluate(() => document.getElementById('canvas').height);
      upperRow = Math.round(phoneY(5.5, 23));
    });
    after(async () => {
      if (phone) await phone.close();
    });

    it('drags a slide and a cursor window by one finger, pans, pinches, and lets go', async t => {
      const start = await settled();
      // One finger on the upper slide, 40 CSS pixels right: 120 device
      // pixels of the mouse; the hairline stays.
      await swipe(Math.round(projectX(-5, 23, W)), upperRow, 4);
      const dragged = await settled();
      const slideMoved = dragged.upper.slide - start.upper.slide;
      t.diagnostic(`a finger's 120 px moved the slide ${slideMoved.toFixed(6)}, predicted ${predicted(120, 23)}`);
      assert.ok(Math.abs(slideMoved - predicted(120, 23)) < 1e-5, `slide ${slideMoved}`);
      assert.equal(dragged.upper.hairline, start.upper.hairline);
      // On the cursor window, 20 CSS pixels: the hairline, not the slide.
      await swipe(Math.round(projectX(0, 23, W)), upperRow, 2);
      const cursor = await settled();
      const hairlineMoved = cursor.upper.hairline - dragged.upper.hairline;
      t.diagnostic(`60 px moved the hairline ${hairlineMoved.toFixed(6)}, predicted ${predicted(60, 23)}`);
      assert.ok(Math.abs(hairlineMoved - predicted(60, 23)) < 1e-5, `hairline ${hairlineMoved}`);
      assert.equal(cursor.upper.slide, dragged.upper.slide);

      // One finger above the rules pans as the right button: 30 device
      // pixels, 0.18 units each.
      await swipe(60, 120, 1);
      const panned = await settled();
      assert.ok(Math.abs(panned.corner.x - start.corner.x - 5.4) < 1e-3, `one finger pans: ${panned.corner.x}`);
      // Two fingers moved together 10 CSS pixels left pan back; their
      // distance kept, nothing zooms.
      await touch('touchStart', [[150, 400], [240, 400]]);
      await frames(2);
      await touch('touchMove', [[145, 400], [235, 400]]);
      await frames(1);
      await touch('touchMove', [[140, 400], [230, 400]]);
      await frames(1);
      await touch('touchEnd', []);
      const twoPanned = await settled();
      assert.ok(Math.abs(twoPanned.corner.x - start.corner.x) < 1e-3, `two fingers pan: ${twoPanned.corner.x}`);
      assert.equal(twoPanned.corner.z, start.corner.z);

      // Spread apart about their midpoint: nearer, to the zoom limit, and
      // no further; the midpoint stays, so nothing pans.
      await touch('touchStart', [[175, 402], [215, 442]]);
      await frames(2);
      for (let s = 40; s <= 180; s += 20) {
        await touch('touchMove', [[195 - s, 422 - s], [195 + s, 422 + s]]);
        await frames(1);
      }
      await touch('touchEnd', []);
      const pinched = await settled();
      t.diagnostic(`a pinch took the rules from z ${start.corner.z} to ${pinched.corner.z}`);
      assert.ok(pinched.corner.z <= 6 && pinched.corner.z > 5.5, `pinched to z ${pinched.corner.z}`);
      assert.equal(pinched.corner.x, twoPanned.corner.x);
      assert.equal(pinched.corner.y, twoPanned.corner.y);
      // Together again: farther.
      await touch('touchStart', [[15, 242], [375, 602]]);
      await frames(2);
      await touch('touchMove', [[95, 322], [295, 522]]);
      await frames(1);
      await touch('touchEnd', []);
      const apart = await settled();
      assert.ok(apart.corner.z > pinched.corner.z + 5, `pinched back out to z ${apart.corner.z}`);

      // A third finger, and a cancelled touch, end the drag under way: the
      // fingers' and the mouse's moves after them move nothing.
      const slideX = Math.round(projectX(-5, apart.corner.z, W));
      const row = Math.round(phoneY(5.5, apart.corner.z));
      for (const ending of ['third finger', 'cancel']) {
        const before = await settled();
        await touch('touchStart', [[slideX, row]]);
        await frames(2);
        await touch('touchMove', [[slideX + 10, row]]);
        await frames(2);
        if (ending === 'cancel') {
          await touch('touchCancel', []);
        } else {
          await touch('touchStart', [[slideX + 10, row], [slideX + 60, row + 100], [slideX + 90, row + 150]]);
          await frames(2);
          await touch('touchMove', [[slideX + 40, row], [slideX + 90, row + 100], [slideX + 120, row + 150]]);
          await frames(2);
          await touch('touchEnd', []);
        }
        await frames(2);
        await phone.mouse.move(slideX + 100, row);
        const after = await settled();
        const moved = after.upper.slide - before.upper.slide;
        assert.ok(Math.abs(moved - predicted(30, apart.corner.z)) < 1e-5, `${ending}: slide ${moved}`);
        assert.deepEqual(after.corner, before.corner, ending);
      }
      assert.deepEqual(await phone.evaluate(() => [window.scrollY, window.visualViewport.scale]), [0, 1],
                       'the page neither scrolls nor zooms');
    });

    it('has on-screen controls that do what their keys do, and none with a mouse', async () => {
      assert.equal(await page.$eval('#controls', bar => bar.hidden), true, 'no bar with a fine pointer');
      // Every control at least 32 CSS pixels each way, named with its key,
      // in a bar below the rules' lower edge as they start.
      const controls = await phone.$$eval('#controls button, #controls input', elements => elements.map(element => {
        const box = element.getBoundingClientRect();
        return {label: element.getAttribute('aria-label'), width: box.width, height: box.height, top: box.top};
      }));
      assert.equal(controls.length, 23);
      for (const control of controls) {
        assert.ok(control.width >= 32 && control.height >= 32, `${control.label}: ${control.width} x ${control.height}`);
        assert.match(control.label, /\(.+\)$/);
        assert.ok(control.top > phoneY(-8, 23), `${control.label} at ${control.top}`);
      }

      // The readout (R) is published with the setting; the magnifier (x2)
      // takes the rules' lower edge down; the help (F1) draws its panel
      // across the middle.
      await tap('Readout');
      assert.equal((await settled()).readout, 1);
      await tap('Readout');
      assert.equal((await settled()).readout, 0);
      const column = 300;
      const edge = (await pictureAfter(3, phone)).lowestLit(column);
      await tap('Magnifier');
      const magnified = (await pictureAfter(3, phone)).lowestLit(column);
      await tap('Magnifier');
      assert.ok(magnified > edge + 100, `the magnifier: lower edge ${edge} -> ${magnified}`);
      const grey = picture => {
        let count = 0;
        for (let x = 0; x < picture.width; ++x) count += picture.at(x, picture.height / 2).every(c => c === 237) ? 1 : 0;
        return count;
      };
      await tap('Help');
      const help = grey(await pictureAfter(3, phone));
      await tap('Help');
      const noHelp = grey(await pictureAfter(3, phone));
      assert.ok(help > 300 && noHelp < 10, `help's panel across the middle: ${help}, then ${noHelp}`);

      // Zoom nearer and farther while held.
      for (const [label, sign] of [['Zoom nearer', -1], ['Zoom farther', 1]]) {
        const from = (await settled()).corner.z;
        const box = await (await phone.$(`[aria-label^="${label}"]`)).boundingBox();
        await phone.touchscreen.touchStart(box.x + box.width / 2, box.y + box.height / 2);
        await new Promise(resolve => setTimeout(resolve, 400));
        await phone.touchscreen.touchEnd();
        const to = (await settled()).corner.z;
        assert.ok(sign * (to - from) > 0.5, `${label}: z ${from} -> ${to}`);
      }

      // Sensitivity 3, then a drag of 30 device pixels and the fine moves
      // of one pixel each way, at that sensitivity.
      const z = (await settled()).corner.z;
      const slideX = Math.round(projectX(-5, z, W));
      await tap('Drag sensitivity 3');
      const start = await settled();
      await swipe(slideX, Math.round(phoneY(5.5, z)), 1);
      const dragged = await settled();
      assert.equal(dragged.sensitivity, 0.0004);
      assert.ok(Math.abs(dragged.upper.slide - start.upper.slide - predicted(30, z, 0.0004)) < 1e-5, 'sensitivity 3');
      await tap('Fine move left');
      const left = await settled();
      assert.ok(Math.abs(left.upper.slide - dragged.upper.slide + predicted(1, z, 0.0004)) < 1e-6, 'fine move left');
      await tap('Fine move right');
      assert.ok(Math.abs((await settled()).upper.slide - dragged.upper.slide) < 1e-6, 'fine move right');

      // A line typed into the text field is worked; its keys are not the
      // program's (its r shows no readout, its p starts no practice).
      await phone.tap('#controls-line');
      await phone.keyboard.type('upper D 2.5');
      await phone.keyboard.press('Enter');
      await phone.waitForFunction(() => location.hash.startsWith('#set=') &&
        Math.abs(Number(decodeURIComponent(location.hash).split('_')[1].split(',')[0]) - Math.log10(2.5)) < 1e-3,
      {timeout: 20000});
      assert.equal((await settled()).readout, 0);
    });
  });

  it('says it has ended on Escape, and no error reached the console', async () => {
    await page.keyboard.press('Escape');
    const text = await shownMessage();
    assert.match(text, /Vernaskel has ended/);
    assert.match(text, /Reload the page/);
    assert.deepEqual(consoleErrors, []);
  });

  it('shows the desktop\'s message for a broken list dropped on the page', async () => {
    await page.evaluate(() => {
      const transfer = new DataTransfer();
      transfer.items.add(new File(['2\nupper t m data/upper.tga\n'], 'ts'));
      document.dispatchEvent(new DragEvent('drop', {dataTransfer: transfer, bubbles: true, cancelable: true}));
    });
    await page.waitForFunction(() => window.programEvents.some(e => e.what === 'stopped'), {timeout: 30000});
    const text = await shownMessage();
    assert.match(text, /The texture list data\/ts ends early: it names 2 textures, but has only 1\./);
    assert.match(text, /Vernaskel has stopped/);
  });
});
