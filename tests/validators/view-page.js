// Opens a page in headless Chromium and reports what a user would see: whether it loaded,
// every request that left the file, every console error and uncaught exception, the figures
// beside the model, and where the model's colours are in a screenshot.
// usage: node view-page.js PAGE.html WIDTH HEIGHT [SCREENSHOT.png]
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const [page, width, height, shotFile] = process.argv.slice(2);
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'view-page-'));
const chromium = spawn('chromium', [
  '--headless', '--no-sandbox', '--remote-debugging-pipe', `--user-data-dir=${profile}`,
  '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--hide-scrollbars', 'about:blank',
], { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });

const toBrowser = chromium.stdio[3];
const fromBrowser = chromium.stdio[4];
let nextId = 1;
const waiting = new Map();
const listeners = [];
let pending = '';
fromBrowser.on('data', (chunk) => {
  pending += chunk.toString('utf8');
  let end;
  while ((end = pending.indexOf('\0')) >= 0) {
    const message = JSON.parse(pending.slice(0, end));
    pending = pending.slice(end + 1);
    if (message.id && waiting.has(message.id)) {
      const { resolve, reject } = waiting.get(message.id);
      waiting.delete(message.id);
      if (message.error) reject(new Error(JSON.stringify(message.error)));
      else resolve(message.result);
    } else if (message.method) {
      for (const listen of listeners) listen(message);
    }
  }
});
function send(method, params = {}, sessionId) {
  const id = nextId++;
  toBrowser.write(JSON.stringify({ id, method, params, sessionId }) + '\0');
  return new Promise((resolve, reject) => waiting.set(id, { resolve, reject }));
}
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function main() {
  const { targetInfos } = await send('Target.getTargets');
  const target = targetInfos.find((t) => t.type === 'page');
  const { sessionId } = await send('Target.attachToTarget', { targetId: target.targetId, flatten: true });
  const outside = [], errors = [];
  listeners.push(({ method, params }) => {
    if (method === 'Network.requestWillBeSent') {
      const url = params.request.url;
      if (!/^(file|blob|data):/.test(url)) outside.push(url);
    } else if (method === 'Runtime.consoleAPICalled' && params.type === 'error') {
      errors.push(params.args.map((a) => a.value ?? a.description).join(' '));
    } else if (method === 'Runtime.exceptionThrown') {
      errors.push(params.exceptionDetails.exception?.description ?? params.exceptionDetails.text);
    } else if (method === 'Log.entryAdded' && params.entry.level === 'error') {
      errors.push(params.entry.text);
    }
  });
  const session = (method, params) => send(method, params, sessionId);
  await session('Network.enable');
  await session('Runtime.enable');
  await session('Log.enable');
  await session('Page.enable');
  await session('Emulation.setDeviceMetricsOverride',
    { width: Number(width), height: Number(height), deviceScaleFactor: 1, mobile: false });
  await session('Page.navigate', { url: 'file://' + path.resolve(page) });
  let state = '';
  for (let tries = 0; tries < 600 && state !== 'yes' && state !== 'failed'; ++tries) {
    await sleep(100);
    const { result } = await session('Runtime.evaluate',
      { expression: 'document.body ? document.body.dataset.ready || "" : ""' });
    state = result.value;
  }
  console.log(`loaded: ${state || 'no'}`);
  console.log(`requests leaving the file: ${outside.length}`);
  for (const url of outside) console.log(`  ${url}`);
  console.log(`console errors: ${errors.length}`);
  for (const error of errors) console.log(`  ${error.split('\n')[0]}`);
  const { result: figures } = await session('Runtime.evaluate', {
    expression: `[...document.querySelectorAll('aside dt')].map((dt) =>
      dt.textContent + ': ' + dt.nextElementSibling.textContent).join('\\n')`,
  });
  console.log(figures.value);

  // The screenshot, decoded in the page, as a class per pixel: background (the page's
  // colour), red, green, blue (one channel well above the others) or other.
  const shot = await session('Page.captureScreenshot', { format: 'png' });
  if (shotFile) fs.writeFileSync(shotFile, Buffer.from(shot.data, 'base64'));
  const { result } = await session('Runtime.evaluate', {
    awaitPromise: true,
    returnByValue: true,
    expression: `(async () => {
      const blob = await (await fetch('data:image/png;base64,${shot.data}')).blob();
      const bitmap = await createImageBitmap(blob);
      const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
      const context = canvas.getContext('2d');
      context.drawImage(bitmap, 0, 0);
      const view = document.getElementById('view').getBoundingClientRect();
      const data = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
      const classes = { red: [], green: [], blue: [] };
      let background = 0, other = 0, total = 0;
      for (let y = 0; y < bitmap.height; ++y) {
        for (let x = Math.round(view.left); x < Math.round(view.right); ++x) {
          const i = (y * bitmap.width + x) * 4, r = data[i], g = data[i + 1], b = data[i + 2];
          ++total;
          if (Math.abs(r - 0xf2) + Math.abs(g - 0xf2) + Math.abs(b - 0xef) < 12) ++background;
          else if (r > g + 60 && r > b + 60) classes.red.push([x, y]);
          else if (g > r + 60 && g > b + 60) classes.green.push([x, y]);
          else if (b > r + 60 && b > g + 60) classes.blue.push([x, y]);
          else ++other;
        }
      }
      const summary = {};
      for (const [name, points] of Object.entries(classes)) {
        if (points.length === 0) continue;
        const mean = (k) => points.reduce((s, p) => s + p[k], 0) / points.length;
        const x = Math.round(mean(0)), y = Math.round(mean(1));
        const at = points.some(([px, py]) => px === x && py === y);
        summary[name] = { share: points.length / total, x: mean(0) / (view.right - view.left),
                          y: mean(1) / bitmap.height, atMean: at };
      }
      const corners = [[2, 2], [bitmap.width - 2, 2], [2, bitmap.height - 2]]
        .filter(([x]) => x < view.right)
        .map(([x, y]) => { const i = (y * bitmap.width + x) * 4; return [data[i], data[i + 1], data[i + 2]]; });
      return { background: background / total, summary, corners };
    })()`,
  });
  console.log('PIXELS ' + JSON.stringify(result.value));
}

main().catch((error) => { console.log('failed: ' + error.message); process.exitCode = 1; })
  .finally(async () => {
    // Closed through the protocol, so that its helper processes are gone when it exits.
    const exited = new Promise((resolve) => chromium.on('exit', resolve));
    send('Browser.close').catch(() => {});
    const timer = setTimeout(() => chromium.kill('SIGKILL'), 10000);
    await exited;
    clearTimeout(timer);
    try {
      fs.rmSync(profile, { recursive: true, force: true, maxRetries: 20, retryDelay: 100 });
    } catch (error) {
      // A helper still writing there: the profile is a scratch folder under /tmp.
    }
  });
