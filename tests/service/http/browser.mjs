// Debian's Chromium, headless, as the page tests drive it, and a page the size of a phone.
import { chromium } from 'playwright-core';
import { readFileSync } from 'node:fs';

export function launchChromium() {
  return chromium.launch({
    executablePath: process.env.BRISORA_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'],
    timeout: 60000,
  });
}

export async function phonePage(browser) {
  const page = await browser.newPage({ viewport: { width: 390, height: 844 }, acceptDownloads: true });
  page.setDefaultTimeout(20000);
  return page;
}

// Clicks `selector`, waits for the download it starts and gives its non-empty lines.
export async function downloadLines(page, selector) {
  const [download] = await Promise.all([page.waitForEvent('download'), page.click(selector)]);
  return readFileSync(await download.path(), 'utf8').split('\n').filter((l) => l.length > 0);
}

// Runs one page test: `drive({ browser, page })` on a phone-sized page, with the page's script
// errors collected. Prints the JSON of what `drive` returns; on its first failure, or on any
// script error, prints that and exits non-zero. The browser is closed either way.
export async function runPageTest(drive) {
  const browser = await launchChromium();
  let failed = null;
  try {
    const page = await phonePage(browser);
    const errors = [];
    page.on('pageerror', (e) => errors.push(String(e)));
    page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
    const seen = await drive({ browser, page });
    if (errors.length) throw new Error('page errors: ' + errors.join(' | '));
    console.log(JSON.stringify(seen));
  } catch (e) {
    failed = e;
  } finally {
    await browser.close();
  }
  if (failed) {
    console.error(String(failed && failed.stack || failed));
    process.exit(1);
  }
}
