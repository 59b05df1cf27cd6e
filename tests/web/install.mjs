// The page served over http from this computer, as a school's server serves it: with its files
// beside it, installable (the manifest found, nothing in the way of installing it) and started
// again with the server gone; opened from the file, none of it.
import { readFile } from 'node:fs/promises';
import { createServer } from 'node:http';
import { dirname, join } from 'node:path';
import { HEIGHT, WIDTH } from './page.mjs';

// What scripts/web puts beside the page for a web server.
export const SERVED_FILES = [
  'funzioni.html',
  'funzioni.webmanifest',
  'funzioni-sw.js',
  'funzioni-192.png',
  'funzioni-512.png',
];
const TYPES = {
  html: 'text/html; charset=utf-8',
  webmanifest: 'application/manifest+json',
  js: 'text/javascript',
  png: 'image/png',
};
const WAIT_MS = 30000;

// The named files of `dir` on 127.0.0.1 (a secure context, as https is), at `port` (0: any);
// every other address is not found.
async function serve(dir, names, port = 0) {
  const server = createServer(async (request, response) => {
    const name = new URL(request.url, 'http://host').pathname.slice(1);
    if (!names.includes(name)) {
      response.writeHead(404).end();
      return;
    }
    const body = await readFile(join(dir, name));
    response.writeHead(200, { 'Content-Type': TYPES[name.split('.').pop()] }).end(body);
  });
  await new Promise((resolve) => server.listen(port, '127.0.0.1', resolve));
  return server;
}

async function stop(server) {
  server.closeAllConnections();
  await new Promise((resolve) => server.close(resolve));
}

async function ready(page) {
  await page.waitForFunction(() => window.funzioniPage !== undefined, { timeout: WAIT_MS });
  await page.evaluate(() => window.funzioniPage.ready);
}

// Runs in the page: the service worker's registration (its scope) and the cache it keeps.
async function offlineCopy() {
  const registration = await navigator.serviceWorker.getRegistration();
  const names = await caches.keys();
  const kept = [];
  for (const name of names) kept.push(...(await (await caches.open(name)).keys()).map((r) => r.url));
  return { scope: registration?.scope ?? null, caches: names, kept };
}

// Installable: the manifest as the browser read it, and nothing that keeps it from installing.
async function installProblems(session, origin) {
  const problems = [];
  const manifest = await session.send('Page.getAppManifest');
  if (manifest.url !== `${origin}/funzioni.webmanifest`) problems.push(`manifest at ${manifest.url}`);
  for (const error of manifest.errors) problems.push(`manifest: ${error.message}`);
  const data = manifest.data ? JSON.parse(manifest.data) : {};
  if (data.name !== 'funzioni' || data.lang !== 'it') problems.push(`manifest: ${manifest.data}`);
  const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
  for (const error of installabilityErrors) problems.push(`not installable: ${error.errorId}`);
  return problems;
}

export async function installableAndOffline(browser, pagePath, fileUrl) {
  const dir = dirname(pagePath);
  const server = await serve(dir, SERVED_FILES);
  const origin = `http://127.0.0.1:${server.address().port}`;
  // The browser's own context, not a private one: a private window installs nothing.
  const page = await browser.newPage();
  const problems = [];
  page.on('pageerror', (error) => problems.push(`uncaught: ${error.message}`));
  try {
    await page.setViewport({ width: WIDTH, height: HEIGHT, deviceScaleFactor: 1 });
    const session = await page.createCDPSession();
    await page.goto(`${origin}/funzioni.html`, { waitUntil: 'load' });
    await ready(page);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null &&
      document.querySelector('link[rel="manifest"]') !== null, { timeout: WAIT_MS });
    problems.push(...(await installProblems(session, origin)));
    const copy = await page.evaluate(offlineCopy);
    const want = SERVED_FILES.filter((name) => name !== 'funzioni-sw.js').map((n) => `${origin}/${n}`);
    const missing = want.filter((address) => !copy.kept.includes(address));
    if (missing.length > 0) problems.push(`not kept for offline use: ${missing.join(' ')}`);

    // No server, no network: the page starts from the browser's copy.
    await stop(server);
    await session.send('Network.enable');
    await session.send('Network.emulateNetworkConditions',
      { offline: true, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
    await page.reload({ waitUntil: 'load' });
    await ready(page);
    await session.send('Network.emulateNetworkConditions',
      { offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });

    // From the file: no manifest, no worker.
    await page.goto(fileUrl, { waitUntil: 'load' });
    await ready(page);
    if (await page.$('link[rel="manifest"]')) problems.push('the file names a manifest');
  } finally {
    await page.close();
    if (server.listening) await stop(server);
  }
  return problems.join('\n');
}
