// Drives the station picker of the page in headless Chromium over an archive holding two
// stations: the picker lists both and says the live values stay the service's own; choosing
// the other station switches the chart, the CSV and the days to it while the live values go
// on, and live ticks are not drawn into its chart; choosing the own station brings them back.
// Prints one JSON line with what it saw; exits non-zero on the first thing that does not happen.
// Usage: node picker.test.mjs URL OTHER_STATION
import { downloadLines, runPageTest } from './browser.mjs';

const [url, other] = process.argv.slice(2);
await runPageTest(async ({ page }) => {
  const shownFor = (id) => page.getAttribute('#' + id, 'data-station');
  const waitShown = (station) => page.waitForFunction((s) =>
    document.getElementById('chart').dataset.station === s && document.getElementById('days').dataset.station === s,
  station);

  await page.goto(url);
  await page.waitForSelector('#picker:not([hidden])');
  const options = await page.$$eval('#history-station option', (os) => os.map((o) => o.textContent));
  const note = await page.textContent('#picker-note');
  const own = await page.textContent('#station');
  await waitShown(own);
  const ownDays = await page.locator('#days tbody tr').count();

  // The other station at 1 h: its chart, its days, and the live ticks stay out of its chart.
  await page.selectOption('#history-station', other);
  await waitShown(other);
  const otherDays = await page.locator('#days tbody tr').count();
  const pointsBefore = Number(await page.getAttribute('#chart', 'data-points'));
  const before = await page.textContent('#humidity-value');
  await page.waitForFunction((v) => document.getElementById('humidity-value').textContent !== v, before);
  await page.waitForTimeout(1000);
  const pointsAfter = Number(await page.getAttribute('#chart', 'data-points'));
  const headings = [await page.textContent('.history h2'), await page.textContent('.days h2')];

  await page.click('#ranges button:has-text("24 h")');
  await page.waitForFunction(() => document.querySelector('#ranges button.on')?.textContent === '24 h'
    && Number(document.getElementById('chart').dataset.points) > 1);
  const href = await page.getAttribute('#csv', 'href');
  const rows = (await downloadLines(page, '#csv')).slice(1);
  const humidities = rows.map((l) => Number(l.split(',')[1]));

  // Back to the service's own station.
  await page.selectOption('#history-station', '');
  await waitShown(own);
  const backDays = await page.locator('#days tbody tr').count();
  return {
    options, note, own, own_days: ownDays, other_days: otherDays, back_days: backDays,
    points_before: pointsBefore, points_after: pointsAfter, headings, csv_href: href,
    csv_rows: rows.length,
    csv_min_humidity: Math.min(...humidities), chart_station: await shownFor('chart'),
  };
});
