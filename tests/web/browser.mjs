// What the browser tests and measurements share: the site served on
// 127.0.0.1, and the machine's own Chromium, headless, drawing WebGL on
// SwiftShader (no GPU), without reaching out to the network; or its Firefox
// ESR, headless too, driven over WebDriver BiDi, which draws WebGL only with
// an X display (run it under xvfb-run).
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const TYPES = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
               '.data': 'application/octet-stream', '.txt': 'text/plain', '.png': 'image/png',
               '.webmanifest': 'application/manifest+json'};

// A static server of the folder on a free port (or the one given); resolves
// to the server.
export function serve(folder, port = 0) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const file = path.join(folder, name.endsWith('/') ? name + 'index.html' : name);
    if (!file.startsWith(folder) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, {'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream'});
    fs.createReadStream(file).pipe(response);
  });
  return new Promise(resolve => server.listen(port, '127.0.0.1', () => resolve(server)));
}

export function launchChromium() {
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: 'new',
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}

export function launchFirefox() {
  return puppeteer.launch({browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true});
}

// The browser a test's command line names: chromium (the default) or firefox.
export function launchBrowser(name = 'chromium') {
  if (name === 'firefox') return launchFirefox();
  if (name === 'chromium') return launchChromium();
  throw new Error(`no such browser: ${name} (chromium or firefox)`);
}
