// Drives the station's page in headless Chromium: sees the meters while the page's scripts are
// held back, then loads it, waits for both meters, sees a live value change, shows 24 h,
// downloads the CSV and saves a screenshot. Prints one JSON line with what it measured; exits
// non-zero on the first thing that does not happen.
// Usage: node page.test.mjs URL SCREENSHOT
import { downloadLines, runPageTest } from './browser.mjs';

const [url, screenshot] = process.argv.slice(2);
const origin = new URL(url).origin;
await runPageTest(async ({ browser, page }) => {
  const foreign = [];
  page.on('request', (r) => { if (!r.url().startsWith(origin) && !r.url().startsWith('blob:') && !r.url().startsWith('data:')) foreign.push(r.url()); });

  // The meters are part of the page itself: they show while its scripts are still held back.
  const held = await browser.newPage();
  let release;
  const scriptsHeld = new Promise((resolve) => { release = resolve; });
  await held.route(/\/(app|uplot)\.js$/, async (route) => { await scriptsHeld; await route.continue(); });
  await held.goto(url, { waitUntil: 'commit' });
  await held.waitForFunction(() => ['humidity-meter', 'pressure-meter'].every(
    (id) => { const img = document.getElementById(id); return img && img.complete && img.naturalWidth > 0; }),
    null, { timeout: 20000 });
  release();
  await held.close();

  const start = Date.now();
  await page.goto(url);
  await page.waitForFunction(() => ['humidity-meter', 'pressure-meter'].every(
    (id) => document.getElementById(id).complete && document.getElementById(id).naturalWidth > 0));
  const meters = Date.now() - start;

  const before = await page.textContent('#humidity-value');
  await page.waitForFunction((v) => {
    const now = document.getElementById('humidity-value').textContent;
    return now !== '–' && now !== v;
  }, before);
  const after = await page.textContent('#humidity-value');
  const link = await page.textContent('#link');

  await page.click('#ranges button:has-text("24 h")');
  await page.waitForFunction(() => document.querySelector('#ranges button.on')?.textContent === '24 h'
    && document.querySelector('#chart canvas') && Number(document.getElementById('chart').dataset.points) > 1);
  const points = Number(await page.getAttribute('#chart', 'data-points'));

  const csvLines = await downloadLines(page, '#csv');
  if (!csvLines[0].startsWith('time,humidity_pct,pressure_kpa')) throw new Error('CSV header: ' + csvLines[0]);

  const days = await page.locator('#days tbody tr').count();
  const pickerHidden = await page.isHidden('#picker');
  const fits = await page.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth);
  await page.screenshot({ path: screenshot, fullPage: true });
  if (foreign.length) throw new Error('requests to other hosts: ' + foreign.join(' '));
  if (!fits) throw new Error('the page is wider than a phone');
  return { meters_ms: meters, before, after, link, points, csv_rows: csvLines.length - 1, days, picker_hidden: pickerHidden };
});
