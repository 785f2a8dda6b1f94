// Page load in headless Chromium: from navigation until both meters are on screen, against the
// real brisora-station fed by station-sim, each run in a fresh browser context (empty cache).
// Prints every run, then the first (the server's first pictures), min and median, and the
// resources of the median run; exits non-zero when something does not happen.
// Usage: node bench/web/page_load.mjs BRISORA_STATION STATION_SIM [RUNS]
import { chromium } from 'playwright-core';
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createInterface } from 'node:readline';

const [stationBin, simBin, runsArg] = process.argv.slice(2);
const runs = Number(runsArg || process.env.BRISORA_PAGE_RUNS || 9);
const children = [];
const dir = mkdtempSync(join(tmpdir(), 'brisora-page-'));

function stopAll() {
  for (const c of children.reverse()) if (c.exitCode === null) c.kill('SIGTERM');
  rmSync(dir, { recursive: true, force: true });
}

const freePort = () => new Promise((resolve, reject) => {
  const s = createServer();
  s.once('error', reject);
  s.listen(0, '127.0.0.1', () => { const { port } = s.address(); s.close(() => resolve(port)); });
});

function startSimulator() {
  const sim = spawn(simBin, [], { stdio: ['ignore', 'pipe', 'ignore'] });
  children.push(sim);
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error('station-sim gave no device')), 10000);
    createInterface({ input: sim.stdout }).once('line', (line) => { clearTimeout(timer); resolve(line.trim()); });
  });
}

async function waitForReadings(url) {
  const deadline = Date.now() + 30000;
  while (Date.now() < deadline) {
    try {
      if ((await fetch(url + 'api/health')).status === 200) return;
    } catch { /* not listening yet */ }
    await new Promise((r) => setTimeout(r, 200));
  }
  throw new Error('the station served no reading within 30 s');
}

const median = (xs) => { const s = [...xs].sort((a, b) => a - b); return s[Math.floor((s.length - 1) / 2)]; };

let failed = null;
let browser = null;
try {
  const device = await startSimulator();
  const port = await freePort();
  const conf = join(dir, 'station.conf');
  writeFileSync(conf, `port = ${device}\narchive = ${join(dir, 'archive.sqlite')}\n` +
    `interval_ms = 1000\nlisten = 127.0.0.1:${port}\n`);
  const station = spawn(stationBin, ['--config', conf], {
    stdio: 'ignore', env: { ...process.env, STATE_DIRECTORY: dir } });
  children.push(station);
  const url = `http://127.0.0.1:${port}/`;
  await waitForReadings(url);

  browser = await chromium.launch({
    executablePath: process.env.BRISORA_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'],
    timeout: 60000,
  });
  const results = [];
  for (let i = 0; i < runs; ++i) {
    const context = await browser.newContext({ viewport: { width: 390, height: 844 } });
    // The browser's own record of when each meter was first painted (the page marks its meter
    // pictures for element timing), in milliseconds from the navigation's start.
    await context.addInitScript(() => {
      window.brisoraMeters = {};
      new PerformanceObserver((list) => {
        for (const e of list.getEntries()) {
          if (!(e.identifier in window.brisoraMeters)) window.brisoraMeters[e.identifier] = e.renderTime || e.loadTime;
        }
      }).observe({ type: 'element', buffered: true });
    });
    const page = await context.newPage();
    page.setDefaultTimeout(20000);
    const start = Date.now();
    await page.goto(url, { waitUntil: 'commit' });
    const handle = await page.waitForFunction(() => {
      const m = window.brisoraMeters || {};
      return 'humidity-meter' in m && 'pressure-meter' in m && Math.max(m['humidity-meter'], m['pressure-meter']);
    }, null, { polling: 50 });
    const inPage = Math.round(await handle.jsonValue());
    const outside = Date.now() - start;
    const resources = await page.evaluate(() => performance.getEntriesByType('resource').map((r) =>
      `${new URL(r.name).pathname} ${Math.round(r.startTime)}-${Math.round(r.responseEnd)}`));
    const nav = await page.evaluate(() => {
      const n = performance.getEntriesByType('navigation')[0];
      return { response_end: Math.round(n.responseEnd), dom_content_loaded: Math.round(n.domContentLoadedEventEnd) };
    });
    results.push({ run: i + 1, meters_ms: inPage, wall_ms: outside, ...nav, resources });
    console.log(`run ${i + 1}: both meters on screen at ${inPage} ms after navigation (${outside} ms seen from outside)`);
    await context.close();
  }
  const times = results.map((r) => r.meters_ms);
  const rest = times.slice(1);
  const med = median(rest.length ? rest : times);
  const medRun = results.find((r, i) => i > 0 && r.meters_ms === med) || results[0];
  console.log(JSON.stringify({ runs, first_ms: times[0], min_ms: Math.min(...times), median_ms: med,
    median_run: medRun }, null, 1));
} catch (e) {
  failed = e;
} finally {
  if (browser) await browser.close();
  stopAll();
}
if (failed) {
  console.error(String(failed && failed.stack || failed));
  process.exit(1);
}
